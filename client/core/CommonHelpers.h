#pragma once

#include <QString>
#include <QStringList>

// True for a mobile number the service accepts: after trimming, a 64-bit integer that is either 11
// characters starting "13", "15" or "18", or 11 or 12 characters starting "0" (fixed line with area code).
bool IsMobileNumber(const QString &text);

// Carrier class of a number, an index into TgParams::SmsLengths: 0 Unicom, 1 Mobile, 2 Telecom, 3 PHS.
// Text whose first three characters are not digits counts as Mobile (1), the class of "everything else".
int CarrierClass(const QString &number);

// Takes the first item off a list separated by `separator`: `head` gets the text before the first
// separator and `rest` the text after it; without a separator `head` gets all of `rest`, which empties.
void SplitHead(QChar separator, QString &rest, QString &head);

// The text without leading and trailing blanks and control characters (everything up to U+0020).
QString TrimBlanksAndControls(const QString &text);

// Index of the first item equal to `text` (case-sensitive), -1 when none.
int IndexOfText(const QStringList &list, const QString &text);

// The id rule of groups, phrase types and folders: the counter's value is the new id, then it goes up.
int TakeNextId(int &counter);
