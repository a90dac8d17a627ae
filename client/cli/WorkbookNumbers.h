#pragma once

#include <QString>
#include <QStringList>

// Whether nelvosend reads a --numbers file as a workbook (.xls, .xlsx, .csv) rather than as text.
bool IsWorkbookFile(const QString &path);

struct WorkbookNumbers
{
    QStringList numbers;
    QStringList rejected; // cells of the first column that are not numbers, the title row left out
};

// The numbers in the first column of the first sheet. A first row that is not a valid number is taken as
// a title and skipped. Raises nelvo::Error naming the file when it cannot be read.
WorkbookNumbers ReadWorkbookNumbers(const QString &path);
