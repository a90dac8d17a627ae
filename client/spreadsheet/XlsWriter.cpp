#include "Biff8Stream.h"
#include "CompoundFile.h"
#include "FileFormats.h"
#include "SheetNames.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace nelvo {
namespace {

constexpr std::uint32_t rowsPerSheet = 65536;
constexpr std::uint32_t columnsPerSheet = 256;
constexpr int maxTextLength = 32767;

enum Record : quint16
{
    BOF = 0x0809,
    EOF_ = 0x000A,
    CODEPAGE = 0x0042,
    WINDOW1 = 0x003D,
    DATEMODE = 0x0022,
    FONT = 0x0031,
    FORMAT = 0x041E,
    XF = 0x00E0,
    STYLE = 0x0293,
    BOUNDSHEET = 0x0085,
    SST = 0x00FC,
    CONTINUE = 0x003C,
    EXTSST = 0x00FF,
    COLINFO = 0x007D,
    DIMENSIONS = 0x0200,
    WINDOW2 = 0x023E,
    LABELSST = 0x00FD,
    NUMBER = 0x0203,
    RK = 0x027E,
    BOOLERR = 0x0205,
};

// Cell formats (XF indexes) after the 15 style formats and the default cell format 15.
constexpr quint16 xfDefault = 15;
constexpr quint16 xfDate = 16;
constexpr quint16 xfTime = 17;
constexpr quint16 xfDateTime = 18;
constexpr quint16 xfFirstColumnFormat = 19;
constexpr quint16 fmtDate = 164;
constexpr quint16 fmtTime = 165;
constexpr quint16 fmtDateTime = 166;
constexpr quint16 fmtFirstCustom = 167;

// The shared string table being built: each distinct text once, in order of first use. Open addressing
// over a flat array, since a big export looks up every text cell and node-based maps spend their time
// in cache misses.
class SharedStrings
{
public:
    explicit SharedStrings(std::size_t expected)
    {
        std::size_t size = 1024;
        while (size < expected * 2)
            size *= 2;
        m_slots.assign(size, 0);
    }

    quint32 add(std::string_view text)
    {
        const std::size_t hash = std::hash<std::string_view>()(text);
        std::size_t i = hash & (m_slots.size() - 1);
        while (const quint32 slot = m_slots[i]) {
            if (m_hashes[slot - 1] == hash && m_strings[slot - 1] == text)
                return slot - 1;
            i = (i + 1) & (m_slots.size() - 1);
        }
        const auto index = static_cast<quint32>(m_strings.size());
        m_strings.push_back(text);
        m_hashes.push_back(hash);
        m_slots[i] = index + 1;
        m_bytes += text.size();
        if (m_strings.size() * 2 > m_slots.size())
            grow();
        return index;
    }

    const std::vector<std::string_view> &strings() const { return m_strings; }
    std::size_t bytes() const { return m_bytes; }

private:
    void grow()
    {
        std::vector<quint32> table(m_slots.size() * 2, 0);
        for (quint32 index = 0; index < m_strings.size(); ++index) {
            std::size_t i = m_hashes[index] & (table.size() - 1);
            while (table[i])
                i = (i + 1) & (table.size() - 1);
            table[i] = index + 1;
        }
        m_slots.swap(table);
    }

    std::vector<quint32> m_slots; // index + 1, 0 for free
    std::vector<std::string_view> m_strings;
    std::vector<std::size_t> m_hashes;
    std::size_t m_bytes = 0;
};

// One sheet of the file: a sheet of the workbook, or the continuation of one too long for .xls.
struct SheetPart
{
    const Worksheet *sheet;
    QString name;
    std::uint32_t titleRows; // rows 0..titleRows-1 repeated at the top
    std::uint32_t firstRow;  // first row after the titles
    std::uint32_t endRow;    // one past the last row
    bool active;
    qsizetype boundSheetOffset = 0;
};

class XlsFileBuilder
{
public:
    explicit XlsFileBuilder(const Workbook &workbook) : m_workbook(workbook) {}

    // Writes the whole file in one pass: the sheets' sizes are worked out first, so their positions and
    // the container's tables are known before the first byte goes out.
    void write(QIODevice &out)
    {
        planParts();
        collectFormats();
        collectStrings();
        writeGlobals();
        quint64 total = static_cast<quint64>(m_out.size());
        for (SheetPart &part : m_parts) {
            if (total > 0xFFFFFFFFu)
                throw FileProblem(QStringLiteral("工作簿太大，无法保存为 .xls"));
            m_out.patch32(part.boundSheetOffset, static_cast<quint32>(total));
            total += sheetSize(part);
        }
        CompoundFileWriter container(out, total);
        flush(container);
        for (const SheetPart &part : m_parts) {
            const quint64 start = container.written();
            writeSheet(part, container);
            flush(container);
            if (container.written() - start != sheetSize(part))
                throw FileProblem(QStringLiteral("内部错误：工作表数据长度不符"));
        }
        container.finish();
    }

private:
    void planParts()
    {
        QStringList taken = m_workbook.sheetNames();
        QStringList used;
        for (int s = 1; s <= m_workbook.sheetCount(); ++s) {
            const Worksheet &sheet = m_workbook.sheet(s);
            const SheetCells &cells = sheet.cells();
            if (cells.columnCount() > columnsPerSheet)
                throw FileProblem(QStringLiteral("工作表“%1”超过 256 列，.xls 文件容纳不下，请保存为 .xlsx")
                                      .arg(sheet.name()));
            const QString first = acceptableSheetName(sheet.name(), used);
            used << first;
            taken << first;
            const std::uint32_t rows = cells.rowCount();
            const auto titles = static_cast<std::uint32_t>(std::clamp(sheet.titleRows(), 0, 16));
            const bool active = s == m_workbook.activeSheetIndex();
            if (rows <= rowsPerSheet) {
                m_parts.push_back(SheetPart{&sheet, first, 0, 0, rows, active});
                continue;
            }
            // A sheet too long for one .xls sheet goes on in further sheets, each with the title rows again.
            const std::uint32_t perPart = rowsPerSheet - titles;
            std::uint32_t start = titles;
            for (int part = 1; start < rows; ++part) {
                const std::uint32_t end = std::min(rows, start + perPart);
                QString name = first;
                if (part > 1) {
                    name = continuationSheetName(first, part - 1, taken);
                    taken << name;
                    used << name;
                }
                m_parts.push_back(SheetPart{&sheet, name, titles, start, end, active && part == 1});
                start = end;
            }
        }
    }

    void collectFormats()
    {
        QStringList codes;
        for (int s = 1; s <= m_workbook.sheetCount(); ++s)
            for (const QString &code : m_workbook.sheet(s).columnFormats())
                if (!codes.contains(code))
                    codes << code;
        quint16 nextCustom = fmtFirstCustom;
        for (int i = 0; i < codes.size(); ++i) {
            quint16 id = 0;
            if (codes[i] == QLatin1String("@"))
                id = 49;
            else {
                id = nextCustom++;
                m_customFormats.push_back({id, codes[i]});
            }
            m_columnXfFormats.push_back(id);
            m_xfOfCode.insert(codes[i], static_cast<quint16>(xfFirstColumnFormat + i));
        }
    }

    void collectStrings()
    {
        std::size_t cellCount = 0;
        for (const SheetPart &part : m_parts)
            for (std::uint32_t r = part.firstRow; r < part.endRow; ++r)
                cellCount += part.sheet->cells().row(r).size();
        m_shared = SharedStrings(cellCount / 4);
        m_cellStrings.reserve(cellCount);
        for (const SheetPart &part : m_parts) {
            const SheetCells &cells = part.sheet->cells();
            const auto visit = [&](std::uint32_t r) {
                for (const StoredCell &cell : cells.row(r)) {
                    if (cell.kind != CellKind::Text)
                        continue;
                    const std::string_view text(cells.arena().data(cell.value.text), cell.value.text.length);
                    // The cells are written in this same order, so each takes its index from here.
                    m_cellStrings.push_back(m_shared.add(text));
                }
            };
            for (std::uint32_t r = 0; r < part.titleRows; ++r)
                visit(r);
            for (std::uint32_t r = part.firstRow; r < part.endRow; ++r)
                visit(r);
        }
    }

    void bof(quint16 kind)
    {
        m_out.header(BOF, 16);
        m_out.u16(0x0600);
        m_out.u16(kind);
        m_out.u16(0x0DBB);
        m_out.u16(0x07CC);
        m_out.u32(0);
        m_out.u32(0x06);
    }

    void shortString(const QString &s)
    {
        const bool latin1 = Biff8Stream::fitsLatin1(s);
        m_out.u8(static_cast<quint8>(s.size()));
        m_out.u8(latin1 ? 0 : 1);
        m_out.chars(s, 0, s.size(), latin1);
    }

    void font()
    {
        const QString name = QStringLiteral("宋体");
        m_out.beginRecord(FONT);
        m_out.u16(240); // 12 points
        m_out.u16(0);
        m_out.u16(0x7FFF);
        m_out.u16(400);
        m_out.u16(0);
        m_out.u8(0);
        m_out.u8(0);
        m_out.u8(134); // GB2312 character set
        m_out.u8(0);
        shortString(name);
        m_out.endRecord();
    }

    void xf(quint16 format, bool style)
    {
        m_out.header(XF, 20);
        m_out.u16(0);
        m_out.u16(format);
        m_out.u16(style ? 0xFFF5 : 0x0001);
        m_out.u8(0x20); // bottom aligned
        m_out.u8(0);
        m_out.u8(0);
        m_out.u8(style ? 0xF4 : (format ? 0x04 : 0x00));
        m_out.u32(0);
        m_out.u32(0);
        m_out.u16(0x20C0);
    }

    void format(quint16 id, const QString &code)
    {
        const bool latin1 = Biff8Stream::fitsLatin1(code);
        m_out.beginRecord(FORMAT);
        m_out.u16(id);
        m_out.u16(static_cast<quint16>(code.size()));
        m_out.u8(latin1 ? 0 : 1);
        m_out.chars(code, 0, code.size(), latin1);
        m_out.endRecord();
    }

    void writeGlobals()
    {
        bof(0x0005);
        m_out.header(CODEPAGE, 2);
        m_out.u16(1200); // UTF-16
        int activePart = 0;
        for (std::size_t i = 0; i < m_parts.size(); ++i)
            if (m_parts[i].active)
                activePart = static_cast<int>(i);
        m_out.header(WINDOW1, 18);
        for (quint16 v : {quint16(0), quint16(0), quint16(0x4000), quint16(0x2000), quint16(0x0038),
                          quint16(activePart), quint16(0), quint16(1), quint16(0x0258)})
            m_out.u16(v);
        m_out.header(DATEMODE, 2);
        m_out.u16(0);
        for (int i = 0; i < 5; ++i)
            font();
        format(fmtDate, QStringLiteral("yyyy-mm-dd"));
        format(fmtTime, QStringLiteral("hh:mm:ss"));
        format(fmtDateTime, QStringLiteral("yyyy-mm-dd hh:mm:ss"));
        for (const auto &custom : m_customFormats)
            format(custom.first, custom.second);
        for (int i = 0; i < 15; ++i)
            xf(0, true);
        xf(0, false);
        xf(fmtDate, false);
        xf(fmtTime, false);
        xf(fmtDateTime, false);
        for (const quint16 id : m_columnXfFormats)
            xf(id, false);
        m_out.header(STYLE, 4);
        m_out.u16(0x8000);
        m_out.u8(0);
        m_out.u8(0xFF);
        for (SheetPart &part : m_parts) {
            m_out.beginRecord(BOUNDSHEET);
            part.boundSheetOffset = m_out.size();
            m_out.u32(0);
            m_out.u8(0);
            m_out.u8(0);
            shortString(part.name);
            m_out.endRecord();
        }
        writeSst();
        m_out.header(EOF_, 0);
    }

    // The shared string table, split over CONTINUE records as BIFF8 wants: a string's header never
    // splits, and a string split across records repeats its encoding flag at the start of the next one.
    void writeSst()
    {
        const std::vector<std::string_view> &strings = m_shared.strings();
        const quint32 perBucket = std::max<quint32>(8, static_cast<quint32>((strings.size() + 127) / 128));
        std::vector<std::pair<quint32, quint16>> buckets;
        m_out.beginRecord(SST);
        m_out.u32(static_cast<quint32>(m_cellStrings.size()));
        m_out.u32(static_cast<quint32>(strings.size()));
        for (std::size_t i = 0; i < strings.size(); ++i) {
            const QString s = QString::fromUtf8(strings[i].data(), static_cast<qsizetype>(strings[i].size()));
            if (s.size() > maxTextLength)
                throw FileProblem(QStringLiteral("有单元格的文字超过 32767 个字符，.xls 文件容纳不下"));
            const bool latin1 = Biff8Stream::fitsLatin1(s);
            const int charSize = latin1 ? 1 : 2;
            if (m_out.recordLength() + 3 + charSize > Biff8Stream::maxRecordData) {
                m_out.endRecord();
                m_out.beginRecord(CONTINUE);
            }
            if (i % perBucket == 0)
                buckets.emplace_back(static_cast<quint32>(m_out.size()),
                                     static_cast<quint16>(m_out.size() - m_out.recordStart()));
            m_out.u16(static_cast<quint16>(s.size()));
            m_out.u8(latin1 ? 0 : 1);
            qsizetype written = 0;
            while (written < s.size()) {
                qsizetype room = (Biff8Stream::maxRecordData - m_out.recordLength()) / charSize;
                if (room == 0) {
                    m_out.endRecord();
                    m_out.beginRecord(CONTINUE);
                    m_out.u8(latin1 ? 0 : 1);
                    room = (Biff8Stream::maxRecordData - 1) / charSize;
                }
                const qsizetype n = std::min(room, s.size() - written);
                m_out.chars(s, written, n, latin1);
                written += n;
            }
        }
        m_out.endRecord();

        m_out.beginRecord(EXTSST);
        m_out.u16(static_cast<quint16>(perBucket));
        for (const auto &bucket : buckets) {
            m_out.u32(bucket.first);
            m_out.u16(bucket.second);
            m_out.u16(0);
        }
        m_out.endRecord();
    }

    quint16 xfOfColumn(const Worksheet &sheet, std::uint32_t column) const
    {
        const QString code = sheet.columnFormat(static_cast<int>(column) + 1);
        return code.isEmpty() ? xfDefault : m_xfOfCode.value(code, xfDefault);
    }

    void writeCell(const StoredCell &cell, quint16 row, const std::vector<quint16> &xfs)
    {
        const auto column = static_cast<quint16>(cell.column);
        const quint16 columnXf = cell.column < xfs.size() ? xfs[cell.column] : xfDefault;
        switch (cell.kind) {
        case CellKind::Text: {
            qToLittleEndian(m_cellStrings[m_nextCellString++],
                            m_out.cell(LABELSST, 10, row, column, columnXf));
            return;
        }
        case CellKind::Boolean: {
            char *p = m_out.cell(BOOLERR, 8, row, column, columnXf);
            p[0] = cell.value.number != 0 ? 1 : 0;
            p[1] = 0;
            return;
        }
        default:
            break;
        }
        const double v = cell.value.number;
        const quint16 xfIndex = cell.kind == CellKind::Date       ? xfDate
                                : cell.kind == CellKind::Time     ? xfTime
                                : cell.kind == CellKind::DateTime ? xfDateTime
                                                                  : columnXf;
        if (isRk(v)) {
            // Whole numbers fit the 30-bit integer form, which takes less room than a full double.
            qToLittleEndian((static_cast<quint32>(static_cast<qint32>(v)) << 2) | 2u,
                            m_out.cell(RK, 10, row, column, xfIndex));
            return;
        }
        qToLittleEndian(v, m_out.cell(NUMBER, 14, row, column, xfIndex));
    }

    void flush(CompoundFileWriter &container)
    {
        container.write(m_out.bytes().constData(), m_out.size());
        m_out.bytes().resize(0);
    }

    static bool isRk(double v) { return v == std::floor(v) && std::fabs(v) < (1 << 29); }

    // Which columns carry a COLINFO record: those with a width or a number format.
    static bool hasColumnInfo(const Worksheet &sheet, int column)
    {
        return sheet.columnWidth(column) > 0 || !sheet.columnFormat(column).isEmpty();
    }

    // The bytes writeSheet() produces for the part, record by record.
    static quint64 sheetSize(const SheetPart &part)
    {
        const SheetCells &cells = part.sheet->cells();
        quint64 size = 20 + 18 + 22 + 4; // BOF, DIMENSIONS, WINDOW2, EOF
        for (int column = 1; column <= int(columnsPerSheet); ++column)
            if (hasColumnInfo(*part.sheet, column))
                size += 16;
        const auto addRow = [&](std::uint32_t r) {
            for (const StoredCell &cell : cells.row(r)) {
                switch (cell.kind) {
                case CellKind::Text:
                    size += 14;
                    break;
                case CellKind::Boolean:
                    size += 12;
                    break;
                default:
                    size += isRk(cell.value.number) ? 14 : 18;
                }
            }
        };
        for (std::uint32_t r = 0; r < part.titleRows; ++r)
            addRow(r);
        for (std::uint32_t r = part.firstRow; r < part.endRow; ++r)
            addRow(r);
        return size;
    }

    void writeSheet(const SheetPart &part, CompoundFileWriter &container)
    {
        bof(0x0010);
        const Worksheet &sheet = *part.sheet;
        const SheetCells &cells = sheet.cells();
        const std::uint32_t columns = cells.columnCount();

        std::vector<quint16> xfs(columnsPerSheet, xfDefault);
        for (std::uint32_t c = 0; c < columnsPerSheet; ++c) {
            const int column = static_cast<int>(c) + 1;
            if (!hasColumnInfo(sheet, column))
                continue;
            const double width = sheet.columnWidth(column);
            xfs[c] = xfOfColumn(sheet, c);
            m_out.header(COLINFO, 12);
            m_out.u16(static_cast<quint16>(c));
            m_out.u16(static_cast<quint16>(c));
            m_out.u16(static_cast<quint16>(std::lround((width > 0 ? width : 8.43) * 256)));
            m_out.u16(xfs[c]);
            m_out.u16(0);
            m_out.u16(0);
        }

        const std::uint32_t rows = part.titleRows + (part.endRow - part.firstRow);
        m_out.header(DIMENSIONS, 14);
        m_out.u32(0);
        m_out.u32(rows);
        m_out.u16(0);
        m_out.u16(static_cast<quint16>(columns));
        m_out.u16(0);

        quint16 outRow = 0;
        for (std::uint32_t r = 0; r < part.titleRows; ++r, ++outRow)
            for (const StoredCell &cell : cells.row(r))
                writeCell(cell, outRow, xfs);
        for (std::uint32_t r = part.firstRow; r < part.endRow; ++r, ++outRow) {
            for (const StoredCell &cell : cells.row(r))
                writeCell(cell, outRow, xfs);
            if (m_out.size() > (1 << 20))
                flush(container);
        }

        m_out.header(WINDOW2, 18);
        m_out.u16(part.active ? 0x06B6 : 0x00B6);
        m_out.u16(0);
        m_out.u16(0);
        m_out.u16(0x40);
        m_out.u16(0);
        m_out.u16(0);
        m_out.u16(0);
        m_out.u32(0);
        m_out.header(EOF_, 0);
    }

    const Workbook &m_workbook;
    Biff8Stream m_out{2 << 20};
    std::vector<SheetPart> m_parts;
    std::vector<std::pair<quint16, QString>> m_customFormats;
    std::vector<quint16> m_columnXfFormats;
    QHash<QString, quint16> m_xfOfCode;
    SharedStrings m_shared{0};
    std::vector<quint32> m_cellStrings;
    std::size_t m_nextCellString = 0;
};

} // namespace

void writeXls(const Workbook &workbook, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileProblem(file.errorString());
    XlsFileBuilder(workbook).write(file);
    if (!file.commit())
        throw FileProblem(file.errorString());
}

} // namespace nelvo
