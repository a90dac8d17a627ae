#include "CellStore.h"

#include "CellText.h"
#include "SpreadsheetError.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace nelvo {

CellArena::CellArena() = default;
CellArena::~CellArena() = default;

char *CellArena::reserve(std::size_t length)
{
    if (length + 1 > chunkSize)
        throw FileProblem(QStringLiteral("有单元格的文字过长（超过 %1 MB），无法处理").arg(chunkSize >> 20));
    if (m_textBytes + length + 1 > maxTextBytes)
        throw FileProblem(QStringLiteral("表格中的文字太多（超过 %1 MB），无法处理").arg(maxTextBytes >> 20));
    if (m_used + length + 1 > chunkSize) {
        m_chunks.emplace_back(new char[chunkSize]); // left uninitialised: untouched pages cost nothing
        m_used = 0;
    }
    return m_chunks.back().get() + m_used;
}

StoredCell::TextRef CellArena::commit(std::size_t length)
{
    char *at = m_chunks.back().get() + m_used;
    // Kept NUL-terminated so writers can hand the text to C libraries without a copy.
    at[length] = '\0';
    const StoredCell::TextRef ref{static_cast<std::uint32_t>(((m_chunks.size() - 1) << chunkBits) | m_used),
                                  static_cast<std::uint32_t>(length)};
    m_used += static_cast<std::uint32_t>(length + 1);
    m_textBytes += length + 1;
    return ref;
}

StoredCell::TextRef CellArena::addText(const char *utf8, std::size_t length)
{
    std::memcpy(reserve(length), utf8, length);
    return commit(length);
}

StoredCell::TextRef CellArena::addText(QStringView text)
{
    const std::size_t most = static_cast<std::size_t>(text.size()) * 3;
    if (most > chunkSize - 1) {
        // Rare: a text whose UTF-8 form might not fit a chunk is measured through a temporary copy.
        const QByteArray utf8 = text.toUtf8();
        return addText(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
    char *start = reserve(most);
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    char *end = encoder.appendToBuffer(start, text);
    return commit(static_cast<std::size_t>(end - start));
}

void CellArena::countCell()
{
    if (++m_cells > maxCells)
        throw FileProblem(QStringLiteral("表格太大（超过 %1 个单元格），无法处理").arg(maxCells));
}

void SheetCells::put(std::uint32_t row, const StoredCell &cell)
{
    if (row >= m_rows.size())
        m_rows.resize(row + 1);
    std::vector<StoredCell> &cells = m_rows[row];
    // Rows of a sheet tend to be alike: a new row starts with the room its predecessor needed.
    if (cells.capacity() == 0 && row > 0)
        cells.reserve(std::max<std::size_t>(1, m_rows[row - 1].size()));
    if (cells.empty() || cells.back().column < cell.column) {
        m_arena->countCell();
        cells.push_back(cell);
    } else {
        auto it = std::lower_bound(cells.begin(), cells.end(), cell.column,
                                   [](const StoredCell &c, std::uint32_t col) { return c.column < col; });
        if (it != cells.end() && it->column == cell.column) {
            *it = cell;
        } else {
            m_arena->countCell();
            cells.insert(it, cell);
        }
    }
    m_columnCount = std::max(m_columnCount, cell.column + 1);
}

void SheetCells::putText(std::uint32_t row, std::uint32_t column, const char *utf8, std::size_t length)
{
    putTextRef(row, column, m_arena->addText(utf8, length));
}

void SheetCells::reserveRow(std::uint32_t row, std::size_t cells)
{
    if (row >= m_rows.size())
        m_rows.resize(row + 1);
    m_rows[row].reserve(cells);
}

void SheetCells::putText(std::uint32_t row, std::uint32_t column, QStringView text)
{
    putTextRef(row, column, m_arena->addText(text));
}

void SheetCells::putTextRef(std::uint32_t row, std::uint32_t column, StoredCell::TextRef ref)
{
    StoredCell cell{column, CellKind::Text, {}};
    cell.value.text = ref;
    put(row, cell);
}

void SheetCells::putNumber(std::uint32_t row, std::uint32_t column, double value, CellKind kind)
{
    StoredCell cell{column, kind, {}};
    cell.value.number = value;
    put(row, cell);
}

void SheetCells::erase(std::uint32_t row, std::uint32_t column)
{
    if (row >= m_rows.size())
        return;
    std::vector<StoredCell> &cells = m_rows[row];
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const StoredCell &c, std::uint32_t col) { return c.column < col; });
    if (it != cells.end() && it->column == column)
        cells.erase(it);
    // The used range shrinks only at its bottom edge; a hole inside it stays part of it.
    while (!m_rows.empty() && m_rows.back().empty())
        m_rows.pop_back();
}

const StoredCell *SheetCells::find(std::uint32_t row, std::uint32_t column) const
{
    if (row >= m_rows.size())
        return nullptr;
    const std::vector<StoredCell> &cells = m_rows[row];
    auto it = std::lower_bound(cells.begin(), cells.end(), column,
                               [](const StoredCell &c, std::uint32_t col) { return c.column < col; });
    return it != cells.end() && it->column == column ? &*it : nullptr;
}

QString SheetCells::displayText(const StoredCell &cell) const
{
    switch (cell.kind) {
    case CellKind::Text:
        return m_arena->text(cell.value.text);
    case CellKind::Number:
        return numberText(cell.value.number);
    case CellKind::Boolean:
        return cell.value.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellKind::Date:
    case CellKind::Time:
    case CellKind::DateTime:
        return serialDateText(cell.value.number, cell.kind);
    }
    return {};
}

} // namespace nelvo
