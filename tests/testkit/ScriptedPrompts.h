#pragma once

#include "Prompts.h"

#include <QList>
#include <QQueue>
#include <QVariant>

// Answers the program's questions from a queue and records everything shown, so that a test drives a
// window without a dialog ever blocking. Questions with nothing queued are answered No / empty.
class ScriptedPrompts final : public nelvo::Prompts
{
public:
    struct Shown
    {
        QString kind; // "message", "question", "okCancel", "inputText", "inputLine", "openFile", "saveFile",
                      // "shellOpen", "editor"
        QString caption;
        QString text;
        Icon icon = Icon::None;
    };

    // Installs a fresh instance for the rest of the test and returns it; the previous one is dropped.
    static ScriptedPrompts *install();

    // Yes to a question, OK to an OK/Cancel notice; No and Cancel likewise.
    void queueYes() { m_answers.enqueue(true); }
    void queueNo() { m_answers.enqueue(false); }
    void queueText(const QString &text) { m_answers.enqueue(text); }
    // An input that is cancelled.
    void queueCancel() { m_answers.enqueue(QVariant()); }

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    const Shown *last() const { return m_shown.isEmpty() ? nullptr : &m_shown.constLast(); }
    void clear() { m_shown.clear(); }
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }

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

private:
    QVariant nextAnswer();

    QList<Shown> m_shown;
    QQueue<QVariant> m_answers;
};
