#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace nelvo {

// Every question or notice the program puts to a person passes through one object, so that windows and
// engines stay testable and a command-line front end can answer without a display.
class Prompts
{
public:
    enum class Icon
    {
        None,
        Information,
        Warning,
        Question,
        Error
    };

    virtual ~Prompts() = default;

    // A message box with one OK button.
    virtual void message(const QString &caption, const QString &text, Icon icon) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool question(const QString &caption, const QString &text) = 0;
    // A notice with OK and Cancel; true for OK.
    virtual bool okCancel(const QString &caption, const QString &text, Icon icon) = 0;
    // The one-field input dialog; an empty text when cancelled.
    virtual QString inputText(const QString &caption, const QString &prompt, const QString &initial,
                              int maxLen) = 0;
    // The one-line input box; `ok` tells OK from Cancel.
    virtual QString inputLine(const QString &caption, const QString &prompt, const QString &initial,
                              bool *ok) = 0;
    // File choice; an empty text when cancelled. `filters` are Qt name filters, the first is selected.
    virtual QString openFileName(const QString &title, const QStringList &filters) = 0;
    virtual QString saveFileName(const QString &title, const QStringList &filters,
                                 const QString &suggested) = 0;
    // Hands a file or address to the desktop's handler for it; false when nothing could be started.
    virtual bool shellOpen(const QString &target) = 0;
    // Opens a text file in the text editor.
    virtual bool openInTextEditor(const QString &path) = 0;
};

// The one instance in use. Without an installed one, a console implementation answers (No, empty).
Prompts &prompts();
// Installs `p` for the rest of the run (or until the next install) and returns the previous one.
std::unique_ptr<Prompts> installPrompts(std::unique_ptr<Prompts> p);

} // namespace nelvo

// The message boxes all windows share.
void ShowWarning(const QString &text);
void ShowInfo(const QString &text);
// 6 for Yes, 7 for No.
int AskYesNo(const QString &text);
constexpr int mrYes = 6;
constexpr int mrNo = 7;
// The input dialog: the text on OK, an empty text on Cancel or the close box.
QString InputText(const QString &caption, const QString &prompt, const QString &initial, int maxLen);
