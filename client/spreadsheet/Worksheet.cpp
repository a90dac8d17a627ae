#include "Worksheet.h"

#include "CellText.h"
#include "SpreadsheetError.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace nelvo {
namespace {

constexpr int maxRows = 1048576;
constexpr int maxColumns = 16384;
constexpr double maxWidth = 255;

void checkPosition(int row, int column)
{
    if (row < 1 || row > maxRows || column < 1 || column > maxColumns)
        throw SpreadsheetError(
            QStringLiteral("单元格位置（第 %1 行，第 %2 列）超出工作表范围").arg(row).arg(column));
}

int columnNumber(QStringView letters)
{
    int n = 0;
    for (const QChar c : letters) {
        n = n * 26 + (c.toUpper().unicode() - 'A' + 1);
        if (n > maxColumns)
            return 0;
    }
    return n;
}

bool isTextFormat(const QString &format)
{
    return format == QLatin1String("@");
}

// The text a value shows in a text-formatted column.
QString textOfValue(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    default:
        return value.toString();
    }
}

} // namespace

bool parseCellName(const QString &name, CellRef *ref)
{
    static const QRegularExpression pattern(QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?([1-9][0-9]{0,6})$"));
    const QRegularExpressionMatch m = pattern.match(name.trimmed());
    if (!m.hasMatch())
        return false;
    const int column = columnNumber(m.capturedView(1));
    const int row = m.capturedView(2).toInt();
    if (column < 1 || row > maxRows)
        return false;
    *ref = CellRef{row, column};
    return true;
}

CellRef Worksheet::lastUsedCell() const
{
    return CellRef{std::max<int>(1, static_cast<int>(m_cells.rowCount())),
                   std::max<int>(1, static_cast<int>(m_cells.columnCount()))};
}

QString Worksheet::text(int row, int column) const
{
    if (row < 1 || column < 1)
        return {};
    const StoredCell *cell =
        m_cells.find(static_cast<std::uint32_t>(row - 1), static_cast<std::uint32_t>(column - 1));
    return cell ? m_cells.displayText(*cell) : QString();
}

void Worksheet::setText(int row, int column, const QString &text)
{
    checkPosition(row, column);
    const auto r = static_cast<std::uint32_t>(row - 1);
    const auto c = static_cast<std::uint32_t>(column - 1);
    try {
        if (text.isEmpty())
            m_cells.erase(r, c);
        else
            m_cells.putText(r, c, text);
    } catch (const FileProblem &problem) {
        throw SpreadsheetError(problem.reason());
    }
}

void Worksheet::setNumber(int row, int column, double value)
{
    checkPosition(row, column);
    try {
        m_cells.putNumber(static_cast<std::uint32_t>(row - 1), static_cast<std::uint32_t>(column - 1), value);
    } catch (const FileProblem &problem) {
        throw SpreadsheetError(problem.reason());
    }
}

void Worksheet::setValue(int row, int column, const QVariant &value)
{
    checkPosition(row, column);
    if (value.isNull() || isTextFormat(columnFormat(column))) {
        setText(row, column, value.isNull() ? QString() : textOfValue(value));
        return;
    }
    const auto r = static_cast<std::uint32_t>(row - 1);
    const auto c = static_cast<std::uint32_t>(column - 1);
    try {
        switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort: {
            // Beyond 15 digits a double loses digits (an identity card number, say): keep those as text.
            const qlonglong n = value.toLongLong();
            if (n > 999999999999999LL || n < -999999999999999LL)
                m_cells.putText(r, c, value.toString());
            else
                m_cells.putNumber(r, c, static_cast<double>(n));
            break;
        }
        case QMetaType::Double:
        case QMetaType::Float:
            m_cells.putNumber(r, c, value.toDouble());
            break;
        case QMetaType::Bool:
            m_cells.putNumber(r, c, value.toBool() ? 1 : 0, CellKind::Boolean);
            break;
        case QMetaType::QDate:
            m_cells.putNumber(r, c, serialFromDate(value.toDate()), CellKind::Date);
            break;
        case QMetaType::QTime:
            m_cells.putNumber(r, c, serialFromTime(value.toTime()), CellKind::Time);
            break;
        case QMetaType::QDateTime:
            m_cells.putNumber(r, c, serialFromDateTime(value.toDateTime()), CellKind::DateTime);
            break;
        default: {
            const QString text = value.toString();
            if (text.isEmpty())
                m_cells.erase(r, c);
            else
                m_cells.putText(r, c, text);
        }
        }
    } catch (const FileProblem &problem) {
        throw SpreadsheetError(problem.reason());
    }
}

void Worksheet::setColumnFormat(const QString &columns, const QString &format)
{
    static const QRegularExpression pattern(QStringLiteral("^\\$?([A-Za-z]{1,3}):\\$?([A-Za-z]{1,3})$"));
    const QRegularExpressionMatch m = pattern.match(columns.trimmed());
    const int first = m.hasMatch() ? columnNumber(m.capturedView(1)) : 0;
    const int last = m.hasMatch() ? columnNumber(m.capturedView(2)) : 0;
    if (first < 1 || last < first)
        throw SpreadsheetError(QStringLiteral("列范围“%1”无效").arg(columns));
    for (int col = first; col <= last; ++col) {
        if (format.isEmpty() || format.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
            m_columnFormats.remove(col);
        else
            m_columnFormats.insert(col, format);
    }
}

QString Worksheet::columnFormat(int column) const
{
    return m_columnFormats.value(column);
}

void Worksheet::setColumnWidth(int column, double width)
{
    if (width <= 0)
        m_columnWidths.remove(column);
    else
        m_columnWidths.insert(column, std::min(width, maxWidth));
}

double Worksheet::columnWidth(int column) const
{
    return m_columnWidths.value(column);
}

void Worksheet::autoFitColumns()
{
    std::vector<int> widths(m_cells.columnCount(), 0);
    for (std::uint32_t r = 0; r < m_cells.rowCount(); ++r) {
        for (const StoredCell &cell : m_cells.row(r)) {
            int w = 0;
            switch (cell.kind) {
            case CellKind::Text:
                w = displayWidth(m_cells.arena().data(cell.value.text), cell.value.text.length);
                break;
            case CellKind::Number: {
                const double v = cell.value.number;
                if (v == std::floor(v) && std::fabs(v) < 1e15) {
                    // Whole numbers, the common case, are measured without formatting them.
                    w = v < 0 ? 2 : 1;
                    for (double m = std::fabs(v); m >= 10; m /= 10)
                        ++w;
                } else {
                    w = static_cast<int>(numberText(v).size());
                }
                break;
            }
            case CellKind::Boolean:
                w = 5;
                break;
            case CellKind::Date:
                w = 10;
                break;
            case CellKind::Time:
                w = 8;
                break;
            case CellKind::DateTime:
                w = 19;
                break;
            }
            widths[cell.column] = std::max(widths[cell.column], w);
        }
    }
    for (std::size_t c = 0; c < widths.size(); ++c) {
        if (widths[c] > 0)
            setColumnWidth(static_cast<int>(c) + 1, std::min(maxWidth, widths[c] + 1.0));
    }
}

} // namespace nelvo
