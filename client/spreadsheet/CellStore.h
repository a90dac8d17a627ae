#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace nelvo {

enum class CellKind : std::uint8_t
{
    Text,
    Number,
    Boolean,
    Date,
    Time,
    DateTime
};

// One cell as kept in memory: 16 bytes, text living in the workbook's arena. A million-row sheet has to
// fit in a desktop's memory, so cells stay small and text is stored once, as UTF-8.
struct StoredCell
{
    struct TextRef
    {
        std::uint32_t offset;
        std::uint32_t length;
    };
    union Payload {
        double number;
        TextRef text;
    };

    std::uint32_t column; // from 0
    CellKind kind;
    Payload value;
};

// The text of all cells of one workbook, and the budget that keeps a hostile or oversized file from
// taking all memory: past the limits, reading stops with a clear message. Text lives in 4 MB chunks that
// never move, so growing never copies what is stored and never needs twice the memory.
class CellArena
{
public:
    static constexpr std::size_t maxCells = 20'000'000;
    static constexpr std::size_t maxTextBytes = 512u * 1024 * 1024;
    static constexpr unsigned chunkBits = 22;
    static constexpr std::uint32_t chunkSize = 1u << chunkBits;

    CellArena();
    ~CellArena();
    CellArena(const CellArena &) = delete;
    CellArena &operator=(const CellArena &) = delete;

    StoredCell::TextRef addText(const char *utf8, std::size_t length);
    StoredCell::TextRef addText(QStringView text);
    const char *data(StoredCell::TextRef ref) const
    {
        return m_chunks[ref.offset >> chunkBits].get() + (ref.offset & (chunkSize - 1));
    }
    QString text(StoredCell::TextRef ref) const { return QString::fromUtf8(data(ref), ref.length); }
    void countCell();

private:
    // Room for `length` bytes and the terminating NUL in the current chunk, or a new one.
    char *reserve(std::size_t length);
    StoredCell::TextRef commit(std::size_t length);

    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::uint32_t m_used = chunkSize;
    std::size_t m_textBytes = 0;
    std::size_t m_cells = 0;
};

// The cells of one sheet, row by row; rows and columns count from 0 here.
class SheetCells
{
public:
    explicit SheetCells(CellArena &arena) : m_arena(&arena) {}

    // Readers append in reading order; a cell at an already used position replaces the old one.
    void putText(std::uint32_t row, std::uint32_t column, const char *utf8, std::size_t length);
    void putText(std::uint32_t row, std::uint32_t column, QStringView text);
    void reserveRow(std::uint32_t row, std::size_t cells);
    void putNumber(std::uint32_t row, std::uint32_t column, double value, CellKind kind = CellKind::Number);
    void putTextRef(std::uint32_t row, std::uint32_t column, StoredCell::TextRef ref);
    void erase(std::uint32_t row, std::uint32_t column);

    const StoredCell *find(std::uint32_t row, std::uint32_t column) const;
    std::uint32_t rowCount() const { return static_cast<std::uint32_t>(m_rows.size()); }
    std::uint32_t columnCount() const { return m_columnCount; }
    const std::vector<StoredCell> &row(std::uint32_t r) const { return m_rows[r]; }
    const CellArena &arena() const { return *m_arena; }
    CellArena &arena() { return *m_arena; }

    // What a person sees in the cell: numbers without exponent or trailing ".0", dates as dates.
    QString displayText(const StoredCell &cell) const;

private:
    void put(std::uint32_t row, const StoredCell &cell);

    CellArena *m_arena;
    std::vector<std::vector<StoredCell>> m_rows;
    std::uint32_t m_columnCount = 0;
};

} // namespace nelvo
