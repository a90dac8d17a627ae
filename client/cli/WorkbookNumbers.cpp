#include "WorkbookNumbers.h"

#include "CommonHelpers.h"
#include "Workbook.h"

#include <QFileInfo>

bool IsWorkbookFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("xls") || suffix == QLatin1String("xlsx") ||
           suffix == QLatin1String("csv");
}

WorkbookNumbers ReadWorkbookNumbers(const QString &path)
{
    const nelvo::Workbook book = nelvo::Workbook::open(path);
    const nelvo::Worksheet &sheet = book.sheet(1);
    const int last = sheet.lastUsedCell().row;
    WorkbookNumbers result;
    for (int row = 1; row <= last; ++row) {
        const QString number = sheet.text(row, 1).trimmed();
        if (IsMobileNumber(number))
            result.numbers.append(number);
        else if (row > 1)
            result.rejected.append(number);
    }
    return result;
}
