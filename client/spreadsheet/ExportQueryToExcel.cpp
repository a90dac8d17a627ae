#include "ExportQueryToExcel.h"

#include "Prompts.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

bool ExportQueryToExcel(const QString &sql, const QString &dialogTitle, QSqlQuery &query)
{
    const QString path = nelvo::prompts().saveFileName(dialogTitle,
                                                       {QStringLiteral("Excel files (*.xls)"),
                                                        QStringLiteral("Excel 2007 files (*.xlsx)"),
                                                        QStringLiteral("CSV files (*.csv)")},
                                                       QString());
    if (path.isEmpty())
        return false;
    if (QFile::exists(path)) {
        if (AskYesNo(path + QStringLiteral("文件已经存在，您要覆盖这个文件吗？")) != mrYes)
            return false;
        if (!QFile::remove(path))
            throw nelvo::SpreadsheetError(QStringLiteral("无法删除文件“%1”，请确认它没有被其他程序打开")
                                              .arg(QDir::toNativeSeparators(path)));
    }

    query.finish();
    if (!query.exec(sql))
        throw nelvo::SpreadsheetError(QStringLiteral("查询数据失败：%1").arg(query.lastError().text()));

    nelvo::Workbook workbook;
    nelvo::Worksheet &sheet = workbook.sheet(1);
    sheet.setColumnFormat(QStringLiteral("C:C"), QStringLiteral("@"));
    sheet.placeQueryResult(query, QStringLiteral("A1"));
    workbook.saveAs(path);
    return true;
}
