#include "SpreadsheetError.h"
#include "Worksheet.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace nelvo {

void Worksheet::placeQueryResult(QSqlQuery &query, const QString &topLeft)
{
    CellRef origin;
    if (!parseCellName(topLeft, &origin))
        throw SpreadsheetError(QStringLiteral("单元格“%1”无效").arg(topLeft));
    if (!query.isActive() || !query.isSelect())
        throw SpreadsheetError(QStringLiteral("查询没有打开，无法导出：%1").arg(query.lastError().text()));

    const QSqlRecord record = query.record();
    const int fields = record.count();
    for (int f = 0; f < fields; ++f)
        setText(origin.row, origin.column + f, record.fieldName(f));

    int row = origin.row + 1;
    for (bool more = query.first(); more; more = query.next(), ++row) {
        for (int f = 0; f < fields; ++f)
            setValue(row, origin.column + f, query.value(f));
    }
    if (query.lastError().isValid())
        throw SpreadsheetError(QStringLiteral("读取查询结果失败：%1").arg(query.lastError().text()));
    if (origin.row == 1)
        m_titleRows = 1;
    autoFitColumns();
}

} // namespace nelvo
