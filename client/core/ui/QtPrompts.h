#pragma once

#include "Prompts.h"

// The prompts of a desktop session: Qt message boxes, the input dialog, file dialogs, the desktop's
// handlers.
class QtPrompts final : public nelvo::Prompts
{
public:
    void message(const QString &caption, const QString &text, Icon icon) override;
    bool question(const QString &caption, const QString &text) override;
    bool okCancel(const QString &caption, const QString &text, Icon icon) override;
    QString inputText(const QString &caption, const QString &prompt, const QString &initial,
                      int maxLen) override;
    QString inputLine(const QString &caption, const QString &prompt, const QString &initial,
                      bool *ok) override;
    QString openFileName(const QString &title, const QStringList &filters) override;
    QString saveFileName(const QString &title, const QStringList &filters, const QString &suggested) override;
    bool shellOpen(const QString &target) override;
    bool openInTextEditor(const QString &path) override;
};
