#pragma once

#include "CellStore.h"

#include <QDateTime>
#include <QString>

namespace nelvo {

// A number as the spreadsheet shows it in a general cell: 13800138000, 0.5, -12.25; at most 15
// significant digits, no trailing zeros, no exponent below 1e15.
QString numberText(double value);

// Serial day numbers of the 1900 date system (day 1 = 1900-01-01, with the phantom 1900-02-29), as both
// file formats store dates; `date1904` for workbooks made on old Macs.
QString serialDateText(double serial, CellKind kind, bool date1904 = false);
double serialFromDateTime(const QDateTime &dateTime);
double serialFromDate(const QDate &date);
double serialFromTime(const QTime &time);

// Width of a text in spreadsheet character units: East Asian characters take two.
int displayWidth(const QString &text);
int displayWidth(const char *utf8, std::size_t length);

} // namespace nelvo
