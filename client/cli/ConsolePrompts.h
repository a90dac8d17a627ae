#pragma once

#include "Prompts.h"

#include <cstdio>

// nelvosend's answers: nobody sits at a scripted or scheduled send, so a question is printed and taken
// as Yes (the command line is the confirmation), notices are printed, and nothing is ever opened.
class ConsolePrompts final : public nelvo::Prompts
{
public:
    void message(const QString &caption, const QString &text, Icon icon) override;
    bool question(const QString &caption, const QString &text) override;
    // Nothing to open on a console: the notice is printed and answered Cancel.
    bool okCancel(const QString &caption, const QString &text, Icon icon) override
    {
        message(caption, text, icon);
        return false;
    }
    QString inputText(const QString &, const QString &, const QString &, int) override { return {}; }
    QString inputLine(const QString &, const QString &, const QString &initial, bool *ok) override;
    QString openFileName(const QString &, const QStringList &) override { return {}; }
    QString saveFileName(const QString &, const QStringList &, const QString &) override { return {}; }
    bool shellOpen(const QString &) override { return false; }
    bool openInTextEditor(const QString &) override { return false; }
};
