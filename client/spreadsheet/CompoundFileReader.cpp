#include "CompoundFileReader.h"

#include "SpreadsheetError.h"

#include <QtEndian>

#include <vector>

namespace nelvo {
namespace {

constexpr quint32 endOfChain = 0xFFFFFFFE;
constexpr quint32 freeSector = 0xFFFFFFFF;
constexpr quint32 maxRegularSector = 0xFFFFFFFA;

FileProblem damaged()
{
    return FileProblem(QStringLiteral("文件已损坏或不是 .xls 文件"));
}

quint32 read32(const QByteArray &data, qsizetype at)
{
    if (at < 0 || at + 4 > data.size())
        throw damaged();
    return qFromLittleEndian<quint32>(data.constData() + at);
}

quint16 read16(const QByteArray &data, qsizetype at)
{
    if (at < 0 || at + 2 > data.size())
        throw damaged();
    return qFromLittleEndian<quint16>(data.constData() + at);
}

} // namespace

CompoundFileReader::CompoundFileReader(QByteArray file) : m_file(std::move(file))
{
    if (m_file.size() < 512 || !m_file.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        throw damaged();
    const quint16 shift = read16(m_file, 30);
    if (shift != 9 && shift != 12)
        throw damaged();
    m_sectorShift = shift;
    const qsizetype sectorSize = qsizetype(1) << m_sectorShift;
    const qsizetype sectorsInFile = (m_file.size() - sectorSize + sectorSize - 1) / sectorSize;
    const quint32 fatSectors = read32(m_file, 44);
    const quint32 directoryStart = read32(m_file, 48);
    m_miniCutoff = read32(m_file, 56);
    const quint32 miniFatStart = read32(m_file, 60);
    quint32 difatSector = read32(m_file, 68);
    const quint32 difatSectors = read32(m_file, 72);
    if (fatSectors > static_cast<quint32>(sectorsInFile) ||
        difatSectors > static_cast<quint32>(sectorsInFile))
        throw damaged();

    // Where the allocation table lives: 109 places in the header, the rest in a chain of DIFAT sectors.
    std::vector<quint32> fatLocations;
    for (int i = 0; i < 109 && fatLocations.size() < fatSectors; ++i)
        fatLocations.push_back(read32(m_file, 76 + 4 * i));
    const int idsPerSector = static_cast<int>(sectorSize / 4);
    for (quint32 d = 0; d < difatSectors && fatLocations.size() < fatSectors; ++d) {
        if (difatSector > maxRegularSector || difatSector >= static_cast<quint32>(sectorsInFile))
            throw damaged();
        const qsizetype base = (qsizetype(difatSector) + 1) << m_sectorShift;
        for (int i = 0; i < idsPerSector - 1 && fatLocations.size() < fatSectors; ++i)
            fatLocations.push_back(read32(m_file, base + 4 * i));
        difatSector = read32(m_file, base + 4 * (idsPerSector - 1));
    }
    for (const quint32 location : fatLocations) {
        if (location > maxRegularSector || location >= static_cast<quint32>(sectorsInFile))
            throw damaged();
        const qsizetype base = (qsizetype(location) + 1) << m_sectorShift;
        for (int i = 0; i < idsPerSector; ++i)
            m_fat.push_back(read32(m_file, base + 4 * i));
    }

    const QByteArray directory = chain(directoryStart, 0, false);
    for (qsizetype at = 0; at + 128 <= directory.size(); at += 128) {
        const quint16 nameBytes = read16(directory, at + 64);
        const quint8 type = static_cast<quint8>(directory[at + 66]);
        if (type == 0)
            continue;
        const int chars = std::min<int>(nameBytes / 2, 32) - 1;
        QString name =
            chars > 0
                ? QString::fromUtf16(reinterpret_cast<const char16_t *>(directory.constData() + at), chars)
                : QString();
        const quint64 size = read32(directory, at + 120) |
                             (m_sectorShift == 12 ? quint64(read32(directory, at + 124)) << 32 : 0);
        m_entries.push_back(Entry{name, type, read32(directory, at + 116), size});
    }
    if (m_entries.empty() || m_entries.front().type != 5)
        throw damaged();
    if (miniFatStart != endOfChain && miniFatStart != freeSector) {
        const QByteArray miniFat = chain(miniFatStart, 0, false);
        for (qsizetype at = 0; at + 4 <= miniFat.size(); at += 4)
            m_miniFat.push_back(read32(miniFat, at));
        m_miniStream = chain(m_entries.front().start, m_entries.front().size, false);
    }
}

QByteArray CompoundFileReader::chain(quint32 start, quint64 size, bool mini) const
{
    const std::vector<quint32> &table = mini ? m_miniFat : m_fat;
    const QByteArray &source = mini ? m_miniStream : m_file;
    const int shift = mini ? 6 : m_sectorShift;
    const qsizetype sectorSize = qsizetype(1) << shift;
    const qsizetype headerBytes = mini ? 0 : sectorSize;
    if (size > quint64(source.size()))
        throw FileProblem(QStringLiteral("文件不完整或已损坏"));
    // Streams are nearly always stored in consecutive sectors: then they are handed out without a copy.
    if (size > 0 && start < table.size()) {
        quint32 sector = start;
        quint64 covered = 0;
        std::size_t steps = 0;
        while (covered < size && sector < table.size() && steps++ < table.size()) {
            covered += quint64(sectorSize);
            const quint32 following = table[sector];
            if (covered < size && following != sector + 1)
                break;
            sector = following;
        }
        const qsizetype at = headerBytes + (qsizetype(start) << shift);
        if (covered >= size && at + qsizetype(size) <= source.size())
            return QByteArray::fromRawData(source.constData() + at, static_cast<qsizetype>(size));
    }
    QByteArray out;
    out.reserve(static_cast<qsizetype>(size));
    quint32 sector = start;
    std::size_t steps = 0;
    while (sector != endOfChain && (size == 0 || quint64(out.size()) < size)) {
        // A chain longer than the table has sectors is a loop.
        if (sector >= table.size() || ++steps > table.size())
            throw damaged();
        const qsizetype at = headerBytes + (qsizetype(sector) << shift);
        if (at + sectorSize > source.size()) {
            // The last sector of a file may be cut short; anything beyond the data is damage.
            if (at >= source.size())
                throw FileProblem(QStringLiteral("文件不完整或已损坏"));
            out.append(source.constData() + at, source.size() - at);
        } else {
            out.append(source.constData() + at, sectorSize);
        }
        sector = table[sector];
    }
    if (quint64(out.size()) < size)
        throw FileProblem(QStringLiteral("文件不完整或已损坏"));
    if (size)
        out.truncate(static_cast<qsizetype>(size));
    return out;
}

const CompoundFileReader::Entry *CompoundFileReader::find(const QString &name) const
{
    for (const Entry &e : m_entries)
        if (e.type == 2 && e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

bool CompoundFileReader::hasStream(const QString &name) const
{
    return find(name) != nullptr;
}

QByteArray CompoundFileReader::stream(const QString &name) const
{
    const Entry *e = find(name);
    if (!e)
        throw damaged();
    if (e->size == 0)
        return {};
    return chain(e->start, e->size, e->size < m_miniCutoff);
}

} // namespace nelvo
