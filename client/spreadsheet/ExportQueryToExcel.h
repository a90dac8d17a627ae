#pragma once

#include <QString>

class QSqlQuery;

// Writes the result of `sql` to a workbook file the user picks: column names in row 1 of sheet "sheet1",
// one row per record below, column C as text so numbers keep their leading zeros, widths fitted. The save
// dialog, titled `dialogTitle`, offers .xls first, also .xlsx and .csv; the format follows the chosen
// name's extension. An existing file is deleted only after the user agrees to overwrite it.
// `query` (on the caller's connection) is closed, given `sql`, run, and left open on the result.
// Returns false when the user cancels the dialog or declines to overwrite; failures raise
// SpreadsheetError (or nelvo::Error) and leave no file behind.
bool ExportQueryToExcel(const QString &sql, const QString &dialogTitle, QSqlQuery &query);
