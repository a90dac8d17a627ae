#include "Prompts.h"

#include <cstdio>

namespace nelvo {
namespace {

// Used where no window system is around (the command-line sender, tools): notices go to stderr and
// every question is answered with its safe side.
class ConsolePrompts final : public Prompts
{
public:
    void message(const QString &caption, const QString &text, Icon) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
    }
    bool question(const QString &caption, const QString &text) override
    {
        message(caption, text, Icon::Question);
        return false;
    }
    bool okCancel(const QString &caption, const QString &text, Icon icon) override
    {
        message(caption, text, icon);
        return false;
    }
    QString inputText(const QString &, const QString &, const QString &, int) override { return {}; }
    QString inputLine(const QString &, const QString &, const QString &initial, bool *ok) override
    {
        if (ok)
            *ok = false;
        return initial;
    }
    QString openFileName(const QString &, const QStringList &) override { return {}; }
    QString saveFileName(const QString &, const QStringList &, const QString &) override { return {}; }
    bool shellOpen(const QString &) override { return false; }
    bool openInTextEditor(const QString &) override { return false; }
};

std::unique_ptr<Prompts> &slot()
{
    static std::unique_ptr<Prompts> instance = std::make_unique<ConsolePrompts>();
    return instance;
}

} // namespace

Prompts &prompts()
{
    return *slot();
}

std::unique_ptr<Prompts> installPrompts(std::unique_ptr<Prompts> p)
{
    if (!p)
        p = std::make_unique<ConsolePrompts>();
    slot().swap(p);
    return p;
}

} // namespace nelvo

void ShowWarning(const QString &text)
{
    nelvo::prompts().message(QStringLiteral("警示"), text, nelvo::Prompts::Icon::Warning);
}

void ShowInfo(const QString &text)
{
    nelvo::prompts().message(QStringLiteral("信息"), text, nelvo::Prompts::Icon::Information);
}

int AskYesNo(const QString &text)
{
    return nelvo::prompts().question(QStringLiteral("确认"), text) ? mrYes : mrNo;
}

QString InputText(const QString &caption, const QString &prompt, const QString &initial, int maxLen)
{
    return nelvo::prompts().inputText(caption, prompt, initial, maxLen);
}
