#include "ScriptedPrompts.h"

ScriptedPrompts *ScriptedPrompts::install()
{
    auto prompts = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts *raw = prompts.get();
    nelvo::installPrompts(std::move(prompts));
    return raw;
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const Shown &s : m_shown)
        result.append(s.text);
    return result;
}

QVariant ScriptedPrompts::nextAnswer()
{
    return m_answers.isEmpty() ? QVariant() : m_answers.dequeue();
}

void ScriptedPrompts::message(const QString &caption, const QString &text, Icon icon)
{
    m_shown.append({QStringLiteral("message"), caption, text, icon});
}

bool ScriptedPrompts::question(const QString &caption, const QString &text)
{
    m_shown.append({QStringLiteral("question"), caption, text, Icon::Question});
    return nextAnswer().toBool();
}

bool ScriptedPrompts::okCancel(const QString &caption, const QString &text, Icon icon)
{
    m_shown.append({QStringLiteral("okCancel"), caption, text, icon});
    return nextAnswer().toBool();
}

QString ScriptedPrompts::inputText(const QString &caption, const QString &prompt, const QString &, int)
{
    m_shown.append({QStringLiteral("inputText"), caption, prompt, Icon::None});
    return nextAnswer().toString();
}

QString ScriptedPrompts::inputLine(const QString &caption, const QString &prompt, const QString &initial,
                                   bool *ok)
{
    m_shown.append({QStringLiteral("inputLine"), caption, prompt, Icon::None});
    const QVariant answer = nextAnswer();
    if (ok)
        *ok = answer.isValid();
    return answer.isValid() ? answer.toString() : initial;
}

QString ScriptedPrompts::openFileName(const QString &title, const QStringList &filters)
{
    m_shown.append({QStringLiteral("openFile"), title, filters.join(QStringLiteral(";;")), Icon::None});
    return nextAnswer().toString();
}

QString ScriptedPrompts::saveFileName(const QString &title, const QStringList &filters, const QString &)
{
    m_shown.append({QStringLiteral("saveFile"), title, filters.join(QStringLiteral(";;")), Icon::None});
    return nextAnswer().toString();
}

bool ScriptedPrompts::shellOpen(const QString &target)
{
    m_shown.append({QStringLiteral("shellOpen"), QString(), target, Icon::None});
    return true;
}

bool ScriptedPrompts::openInTextEditor(const QString &path)
{
    m_shown.append({QStringLiteral("editor"), QString(), path, Icon::None});
    return true;
}
