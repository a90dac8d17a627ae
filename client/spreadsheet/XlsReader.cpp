#include "CompoundFileReader.h"
#include "FileFormats.h"
#include "NumberFormats.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QFile>
#include <QHash>
#include <QtEndian>

#include <cstring>
#include <vector>

namespace nelvo {
namespace {

constexpr qint64 maxXlsBytes = 512LL * 1024 * 1024;
constexpr std::size_t maxSheets = 1024;

enum Record : quint16
{
    BOF = 0x0809,
    EOF_ = 0x000A,
    FILEPASS = 0x002F,
    DATEMODE = 0x0022,
    FORMAT = 0x041E,
    XF = 0x00E0,
    BOUNDSHEET = 0x0085,
    SST = 0x00FC,
    CONTINUE = 0x003C,
    LABELSST = 0x00FD,
    LABEL = 0x0204,
    RSTRING = 0x00D6,
    NUMBER = 0x0203,
    RK = 0x027E,
    MULRK = 0x00BD,
    BOOLERR = 0x0205,
    FORMULA = 0x0006,
    STRING = 0x0207,
};

FileProblem damaged()
{
    return FileProblem(QStringLiteral("文件已损坏或不是 .xls 文件"));
}

FileProblem passwordProtected()
{
    return FileProblem(QStringLiteral("文件设有密码保护，请先在 Excel 中取消密码"));
}

// The bytes of one record, every read checked against its length.
struct RecordData
{
    const char *data = nullptr;
    qsizetype size = 0;

    quint8 u8(qsizetype at) const
    {
        check(at, 1);
        return static_cast<quint8>(data[at]);
    }
    quint16 u16(qsizetype at) const
    {
        check(at, 2);
        return qFromLittleEndian<quint16>(data + at);
    }
    quint32 u32(qsizetype at) const
    {
        check(at, 4);
        return qFromLittleEndian<quint32>(data + at);
    }
    double f64(qsizetype at) const
    {
        check(at, 8);
        return qFromLittleEndian<double>(data + at);
    }
    void check(qsizetype at, qsizetype n) const
    {
        if (at < 0 || n < 0 || at + n > size)
            throw damaged();
    }
    // Characters of a string: one byte each (Latin-1) or UTF-16LE.
    QString chars(qsizetype at, qsizetype count, bool wide) const
    {
        check(at, count * (wide ? 2 : 1));
        if (!wide)
            return QString::fromLatin1(data + at, count);
        QString s(count, Qt::Uninitialized);
        for (qsizetype i = 0; i < count; ++i)
            s[i] = QChar(qFromLittleEndian<quint16>(data + at + 2 * i));
        return s;
    }
    // A string with a 16-bit length and an option byte, as in LABEL, FORMAT and STRING records.
    QString unicodeString(qsizetype at) const
    {
        const quint16 count = u16(at);
        const quint8 flags = u8(at + 2);
        qsizetype p = at + 3;
        if (flags & 0x08)
            p += 2; // rich text run count
        if (flags & 0x04)
            p += 4; // phonetic data size
        const qsizetype available = (size - p) / ((flags & 1) ? 2 : 1);
        return chars(p, std::min<qsizetype>(count, std::max<qsizetype>(available, 0)), flags & 1);
    }
};

class RecordCursor
{
public:
    explicit RecordCursor(const QByteArray &stream, qsizetype at = 0) : m_stream(stream), m_at(at) {}

    bool next()
    {
        if (m_at + 4 > m_stream.size())
            return false;
        m_type = qFromLittleEndian<quint16>(m_stream.constData() + m_at);
        const quint16 length = qFromLittleEndian<quint16>(m_stream.constData() + m_at + 2);
        if (m_at + 4 + length > m_stream.size())
            throw FileProblem(QStringLiteral("文件不完整或已损坏"));
        m_record = RecordData{m_stream.constData() + m_at + 4, length};
        m_at += 4 + length;
        return true;
    }
    quint16 type() const { return m_type; }
    const RecordData &record() const { return m_record; }
    quint16 peekType() const
    {
        return m_at + 4 <= m_stream.size() ? qFromLittleEndian<quint16>(m_stream.constData() + m_at) : 0;
    }

private:
    const QByteArray &m_stream;
    qsizetype m_at;
    quint16 m_type = 0;
    RecordData m_record;
};

// The shared string table, continued over CONTINUE records: a string's characters may go on in the next
// record, which then starts with a fresh option byte saying whether they are one or two bytes wide.
class SstParser
{
public:
    SstParser(std::vector<RecordData> segments, CellArena &arena)
        : m_segments(std::move(segments)), m_arena(arena)
    {
    }

    std::vector<StoredCell::TextRef> parse()
    {
        std::vector<StoredCell::TextRef> strings;
        m_pos = 8;
        const quint32 declared = m_segments.front().u32(4);
        strings.reserve(std::min<quint32>(declared, 1u << 20));
        while (strings.size() < declared && !atEnd()) {
            const quint16 count = u16();
            quint8 flags = u8();
            quint16 runs = (flags & 0x08) ? u16() : 0;
            quint32 phonetic = (flags & 0x04) ? u32() : 0;
            QString text;
            text.reserve(count);
            qsizetype left = count;
            while (left > 0) {
                if (m_pos >= m_segments[m_segment].size) {
                    nextSegment();
                    flags = u8();
                }
                const int width = (flags & 1) ? 2 : 1;
                const qsizetype n = std::min<qsizetype>(left, (m_segments[m_segment].size - m_pos) / width);
                if (n == 0)
                    throw damaged();
                text += m_segments[m_segment].chars(m_pos, n, width == 2);
                m_pos += n * width;
                left -= n;
            }
            skip(qsizetype(runs) * 4 + phonetic);
            strings.push_back(m_arena.addText(text));
        }
        return strings;
    }

private:
    bool atEnd() const { return m_segment + 1 >= m_segments.size() && m_pos >= m_segments[m_segment].size; }
    void nextSegment()
    {
        if (++m_segment >= m_segments.size())
            throw damaged();
        m_pos = 0;
    }
    void ensure()
    {
        if (m_pos >= m_segments[m_segment].size)
            nextSegment();
    }
    quint8 u8()
    {
        ensure();
        return m_segments[m_segment].u8(m_pos++);
    }
    // The operands of | are evaluated in no fixed order, so the low part is read in a statement of its own.
    quint16 u16()
    {
        const quint8 low = u8();
        return static_cast<quint16>(low | (u8() << 8));
    }
    quint32 u32()
    {
        const quint16 low = u16();
        return low | (quint32(u16()) << 16);
    }
    void skip(qsizetype n)
    {
        while (n > 0) {
            ensure();
            const qsizetype step = std::min(n, m_segments[m_segment].size - m_pos);
            m_pos += step;
            n -= step;
        }
    }

    std::vector<RecordData> m_segments;
    CellArena &m_arena;
    std::size_t m_segment = 0;
    qsizetype m_pos = 0;
};

// RK values: a 30-bit integer or the top 30 bits of a double, optionally divided by 100.
double rkValue(quint32 rk)
{
    double value = 0;
    if (rk & 2) {
        value = static_cast<double>(static_cast<qint32>(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100 : value;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    default:
        return QStringLiteral("#N/A");
    }
}

struct SheetEntry
{
    quint32 offset;
    QString name;
};

class XlsWorkbookReader
{
public:
    XlsWorkbookReader(const QByteArray &stream, Workbook &workbook) : m_stream(stream), m_workbook(workbook)
    {
    }

    void read()
    {
        RecordCursor cursor(m_stream);
        if (!cursor.next() || cursor.type() != BOF)
            throw damaged();
        if (cursor.record().u16(0) != 0x0600)
            throw FileProblem(
                QStringLiteral("Excel 95 或更早版本的文件不受支持，请另存为 Excel 97-2003 或 .xlsx 格式"));
        std::vector<SheetEntry> sheets;
        while (cursor.next() && cursor.type() != EOF_) {
            const RecordData &r = cursor.record();
            switch (cursor.type()) {
            case FILEPASS:
                throw passwordProtected();
            case DATEMODE:
                m_date1904 = r.u16(0) == 1;
                break;
            case FORMAT:
                m_formatCodes.insert(r.u16(0), r.unicodeString(2));
                break;
            case XF:
                m_xfFormats.push_back(r.u16(2));
                break;
            case BOUNDSHEET: {
                const quint8 kind = r.u8(5);
                const quint8 count = r.u8(6);
                const bool wide = r.u8(7) & 1;
                if (kind == 0)
                    sheets.push_back(SheetEntry{r.u32(0), r.chars(8, count, wide)});
                break;
            }
            case SST: {
                std::vector<RecordData> segments{r};
                while (cursor.peekType() == CONTINUE && cursor.next())
                    segments.push_back(cursor.record());
                m_strings = SstParser(std::move(segments), m_workbook.arena()).parse();
                break;
            }
            default:
                break;
            }
        }
        m_xfKinds.reserve(m_xfFormats.size());
        for (const quint16 format : m_xfFormats)
            m_xfKinds.push_back(dateKindOfFormat(format, m_formatCodes.value(format)));
        if (sheets.size() > maxSheets)
            throw FileProblem(QStringLiteral("文件中的工作表太多（超过 %1 个）").arg(maxSheets));
        for (const SheetEntry &entry : sheets)
            readSheet(m_workbook.addSheet(entry.name), entry.offset);
    }

private:
    CellKind kindOf(quint16 xf) const { return xf < m_xfKinds.size() ? m_xfKinds[xf] : CellKind::Number; }

    void putNumber(SheetCells &cells, quint16 row, quint16 column, quint16 xf, double value)
    {
        const CellKind kind = kindOf(xf);
        if (kind != CellKind::Number && m_date1904)
            value += 1462;
        cells.putNumber(row, column, value, kind);
    }

    void putText(SheetCells &cells, quint16 row, quint16 column, const QString &text)
    {
        if (!text.isEmpty())
            cells.putText(row, column, text);
    }

    void readSheet(Worksheet &sheet, quint32 offset)
    {
        if (offset >= quint32(m_stream.size()))
            throw damaged();
        SheetCells &cells = sheet.cells();
        RecordCursor cursor(m_stream, offset);
        if (!cursor.next() || cursor.type() != BOF)
            throw damaged();
        int depth = 1; // charts embedded in a sheet bring their own BOF ... EOF
        bool pendingString = false;
        quint16 stringRow = 0;
        quint16 stringColumn = 0;
        while (depth > 0 && cursor.next()) {
            // Sheets of a sound file lie apart; sheets pointing into each other would be read over and over.
            m_scanned += 4 + cursor.record().size;
            if (m_scanned > 2 * quint64(m_stream.size()) + (1 << 20))
                throw damaged();
            const RecordData &r = cursor.record();
            const quint16 type = cursor.type();
            if (type == BOF) {
                ++depth;
                continue;
            }
            if (type == EOF_) {
                --depth;
                continue;
            }
            if (depth > 1)
                continue;
            switch (type) {
            case LABELSST: {
                const quint32 index = r.u32(6);
                if (index >= m_strings.size())
                    throw damaged();
                if (m_strings[index].length > 0)
                    cells.putTextRef(r.u16(0), r.u16(2), m_strings[index]);
                break;
            }
            case LABEL:
            case RSTRING:
                putText(cells, r.u16(0), r.u16(2), r.unicodeString(6));
                break;
            case NUMBER:
                putNumber(cells, r.u16(0), r.u16(2), r.u16(4), r.f64(6));
                break;
            case RK:
                putNumber(cells, r.u16(0), r.u16(2), r.u16(4), rkValue(r.u32(6)));
                break;
            case MULRK: {
                const quint16 row = r.u16(0);
                const quint16 first = r.u16(2);
                const qsizetype count = (r.size - 6) / 6;
                for (qsizetype i = 0; i < count; ++i)
                    putNumber(cells, row, static_cast<quint16>(first + i), r.u16(4 + 6 * i),
                              rkValue(r.u32(6 + 6 * i)));
                break;
            }
            case BOOLERR:
                if (r.u8(7) == 0)
                    cells.putNumber(r.u16(0), r.u16(2), r.u8(6) ? 1 : 0, CellKind::Boolean);
                else
                    putText(cells, r.u16(0), r.u16(2), errorText(r.u8(6)));
                break;
            case FORMULA: {
                // The last computed result: a number, or a marker saying what kind of result it was.
                const quint16 row = r.u16(0);
                const quint16 column = r.u16(2);
                if (r.u16(12) != 0xFFFF) {
                    putNumber(cells, row, column, r.u16(4), r.f64(6));
                    break;
                }
                switch (r.u8(6)) {
                case 0:
                    pendingString = true;
                    stringRow = row;
                    stringColumn = column;
                    break;
                case 1:
                    cells.putNumber(row, column, r.u8(8) ? 1 : 0, CellKind::Boolean);
                    break;
                case 2:
                    putText(cells, row, column, errorText(r.u8(8)));
                    break;
                default:
                    break;
                }
                break;
            }
            case STRING:
                if (pendingString)
                    putText(cells, stringRow, stringColumn, r.unicodeString(0));
                pendingString = false;
                break;
            default:
                break;
            }
        }
    }

    const QByteArray &m_stream;
    Workbook &m_workbook;
    bool m_date1904 = false;
    QHash<quint16, QString> m_formatCodes;
    std::vector<quint16> m_xfFormats;
    std::vector<CellKind> m_xfKinds;
    std::vector<StoredCell::TextRef> m_strings;
    quint64 m_scanned = 0;
};

} // namespace

void readXls(const QString &path, Workbook &workbook)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileProblem(QStringLiteral("文件不存在或无法读取（%1）").arg(file.errorString()));
    if (file.size() > maxXlsBytes)
        throw FileProblem(QStringLiteral("文件太大（超过 %1 MB）").arg(maxXlsBytes >> 20));
    // Read, not mapped: a mapped file that another program shortens while we read it would kill the
    // process, and reading the (bounded) file costs little next to parsing it.
    const QByteArray bytes = file.readAll();
    const CompoundFileReader container(bytes);
    // A password-protected .xlsx is a compound document holding the encrypted package.
    if (container.hasStream(QStringLiteral("EncryptedPackage")))
        throw passwordProtected();
    if (!container.hasStream(QStringLiteral("Workbook"))) {
        if (container.hasStream(QStringLiteral("Book")))
            throw FileProblem(
                QStringLiteral("Excel 95 或更早版本的文件不受支持，请另存为 Excel 97-2003 或 .xlsx 格式"));
        throw FileProblem(QStringLiteral("文件中没有 Excel 工作簿（不是 .xls 文件）"));
    }
    const QByteArray stream = container.stream(QStringLiteral("Workbook"));
    XlsWorkbookReader(stream, workbook).read();
}

} // namespace nelvo
