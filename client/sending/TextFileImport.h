#pragma once

#include <QString>
#include <QStringList>

class RecipientListModel;
class TLogMgr;

struct TextImportResult
{
    qsizetype added = 0;
    // Tokens that are not mobile numbers, empty ones included, in file order.
    QStringList rejected;
    // Why reading stopped early; the numbers read before stay in the list.
    QString readError;
};

// Reads a text file of numbers into the list in one bulk step: lines (CR LF, LF or CR) in the local code
// page, each cut at every "," front to back, each token trimmed; numbers that IsMobileNumber accepts join
// the list as AddMobile would add them, everything else is rejected. A read error is written to `log`.
TextImportResult ImportNumberTextFile(RecipientListModel &list, const QString &path, TLogMgr *log);

// Where rejected tokens are saved: InputError.txt in the current working directory.
QString RejectedTokensFile();
// Saves the rejected tokens there, one a line, replacing an older file; raises nelvo::Error naming the
// file when it cannot be written.
void SaveRejectedTokens(const QStringList &rejected);
// The window's notice: saves the tokens and asks whether to open the file in the text editor.
void ReportRejectedTokens(const QStringList &rejected);

// The text-import command ("文本导入"): the file choice, the import and the notice. The caller shows
// the busy cursor and refreshes nothing else: the list signals its new count.
void ImportTextFileCommand(RecipientListModel &list, TLogMgr *log);
