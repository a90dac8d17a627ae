#include "SpreadsheetError.h"
#include "Worksheet.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdlib>
#include <vector>

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

    if (origin.column + fields - 1 > 16384)
        throw SpreadsheetError(QStringLiteral("查询结果的列数超出工作表范围"));
    std::vector<bool> textColumns(static_cast<std::size_t>(fields));
    for (int f = 0; f < fields; ++f)
        textColumns[static_cast<std::size_t>(f)] = columnFormat(origin.column + f) == QLatin1String("@");

    int row = origin.row + 1;
    try {
        for (bool more = query.first(); more; more = query.next(), ++row) {
            if (row > 1048576)
                throw SpreadsheetError(QStringLiteral("查询结果超过 1048576 行，工作表容纳不下"));
            const auto r = static_cast<std::uint32_t>(row - 1);
            m_cells.reserveRow(r, static_cast<std::size_t>(fields));
            for (int f = 0; f < fields; ++f) {
                const QVariant value = query.value(f);
                if (value.isNull())
                    continue;
                const int column = origin.column + f;
                // Text and plain numbers, the bulk of most results, go straight in; the rest takes the
                // general path.
                const auto c = static_cast<std::uint32_t>(column - 1);
                const int type = value.metaType().id();
                if (type == QMetaType::QString) {
                    const QString text = value.toString();
                    if (!text.isEmpty())
                        m_cells.putText(r, c, text);
                } else if (type == QMetaType::Double && !textColumns[static_cast<std::size_t>(f)]) {
                    m_cells.putNumber(r, c, value.toDouble());
                } else if (type == QMetaType::LongLong && !textColumns[static_cast<std::size_t>(f)] &&
                           std::llabs(value.toLongLong()) <= 999999999999999LL) {
                    m_cells.putNumber(r, c, static_cast<double>(value.toLongLong()));
                } else {
                    setValue(row, column, value);
                }
            }
        }
    } catch (const FileProblem &problem) {
        throw SpreadsheetError(problem.reason());
    }
    if (query.lastError().isValid())
        throw SpreadsheetError(QStringLiteral("读取查询结果失败：%1").arg(query.lastError().text()));
    if (origin.row == 1)
        m_titleRows = 1;
    autoFitColumns();
}

} // namespace nelvo
