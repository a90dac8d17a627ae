#include "CompoundFile.h"

#include "SpreadsheetError.h"

#include <QByteArray>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

namespace nelvo {
namespace {

constexpr int sectorSize = 512;
constexpr int idsPerSector = sectorSize / 4;
constexpr int idsInHeader = 109;
constexpr quint32 freeSector = 0xFFFFFFFF;
constexpr quint32 endOfChain = 0xFFFFFFFE;
constexpr quint32 fatSector = 0xFFFFFFFD;
constexpr quint32 difatSector = 0xFFFFFFFC;
// Streams below this size would have to live in the mini stream; the workbook stream is padded instead.
constexpr int miniStreamCutoff = 4096;

void put16(char *p, quint16 v)
{
    qToLittleEndian(v, p);
}

void put32(char *p, quint32 v)
{
    qToLittleEndian(v, p);
}

QByteArray directoryEntry(const char16_t *name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    QByteArray e(128, '\0');
    char *p = e.data();
    int len = 0;
    for (; name[len]; ++len)
        put16(p + 2 * len, static_cast<quint16>(name[len]));
    put16(p + 64, static_cast<quint16>(len ? (len + 1) * 2 : 0));
    p[66] = static_cast<char>(type);
    p[67] = 1;                 // black
    put32(p + 68, freeSector); // left sibling
    put32(p + 72, freeSector); // right sibling
    put32(p + 76, child);
    put32(p + 116, start);
    put32(p + 120, size);
    return e;
}

} // namespace

CompoundFileWriter::CompoundFileWriter(QIODevice &out, quint64 streamSize)
    : m_out(out), m_streamSize(std::max<quint64>(streamSize, miniStreamCutoff)), m_contentSize(streamSize)
{
    if (m_streamSize > 0x7FFF0000)
        throw FileProblem(QStringLiteral("工作簿太大，无法保存为 .xls"));
    m_streamSectors = static_cast<quint32>((m_streamSize + sectorSize - 1) / sectorSize);
    // The allocation table must also describe its own sectors and those of its extension (DIFAT).
    for (;;) {
        const quint32 total = m_streamSectors + 1 + m_fatCount + m_difatCount;
        const quint32 neededFat = (total + idsPerSector - 1) / idsPerSector;
        const quint32 neededDifat =
            neededFat > idsInHeader ? (neededFat - idsInHeader + idsPerSector - 2) / (idsPerSector - 1) : 0;
        if (neededFat == m_fatCount && neededDifat == m_difatCount)
            break;
        m_fatCount = neededFat;
        m_difatCount = neededDifat;
    }
    const quint32 fatStart = m_streamSectors + 1;
    const quint32 difatStart = fatStart + m_fatCount;

    char header[sectorSize] = {};
    std::memcpy(header, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    put16(header + 24, 0x003E); // minor version
    put16(header + 26, 0x0003); // major version 3: 512-byte sectors
    put16(header + 28, 0xFFFE); // little-endian
    put16(header + 30, 9);      // sector size 2^9
    put16(header + 32, 6);      // mini sector size 2^6
    put32(header + 44, m_fatCount);
    put32(header + 48, m_streamSectors); // the directory follows the stream
    put32(header + 56, miniStreamCutoff);
    put32(header + 60, endOfChain); // no mini allocation table
    put32(header + 68, m_difatCount ? difatStart : endOfChain);
    put32(header + 72, m_difatCount);
    for (quint32 i = 0; i < idsInHeader; ++i)
        put32(header + 76 + 4 * i, i < m_fatCount ? fatStart + i : freeSector);
    put(header, sectorSize);
}

void CompoundFileWriter::put(const char *data, qint64 size)
{
    if (m_out.write(data, size) != size)
        throw FileProblem(m_out.errorString());
}

void CompoundFileWriter::write(const char *data, qint64 size)
{
    m_written += static_cast<quint64>(size);
    if (m_written > m_contentSize)
        throw FileProblem(QStringLiteral("内部错误：工作簿数据长度不符"));
    put(data, size);
}

void CompoundFileWriter::finish()
{
    if (m_written != m_contentSize)
        throw FileProblem(QStringLiteral("内部错误：工作簿数据长度不符"));
    const QByteArray padding(static_cast<qsizetype>(quint64(m_streamSectors) * sectorSize - m_written), '\0');
    put(padding.constData(), padding.size());

    QByteArray directory;
    directory += directoryEntry(u"Root Entry", 5, 1, endOfChain, 0);
    directory += directoryEntry(u"Workbook", 2, freeSector, 0, static_cast<quint32>(m_streamSize));
    directory += QByteArray(2 * 128, '\0');
    for (int e = 2; e < 4; ++e) // unused entries: no name, no links
        for (int field : {68, 72, 76})
            put32(directory.data() + e * 128 + field, freeSector);
    put(directory.constData(), directory.size());

    const quint32 fatStart = m_streamSectors + 1;
    const quint32 difatStart = fatStart + m_fatCount;
    std::vector<quint32> fat(static_cast<std::size_t>(m_fatCount) * idsPerSector, freeSector);
    for (quint32 i = 0; i < m_streamSectors; ++i)
        fat[i] = i + 1 < m_streamSectors ? i + 1 : endOfChain;
    fat[m_streamSectors] = endOfChain;
    for (quint32 i = 0; i < m_fatCount; ++i)
        fat[fatStart + i] = fatSector;
    for (quint32 i = 0; i < m_difatCount; ++i)
        fat[difatStart + i] = difatSector;
    QByteArray fatBytes(static_cast<qsizetype>(fat.size()) * 4, '\0');
    for (std::size_t i = 0; i < fat.size(); ++i)
        put32(fatBytes.data() + 4 * i, fat[i]);
    put(fatBytes.constData(), fatBytes.size());

    QByteArray difatBytes(static_cast<qsizetype>(m_difatCount) * sectorSize, '\0');
    quint32 nextFat = idsInHeader;
    for (quint32 d = 0; d < m_difatCount; ++d) {
        char *p = difatBytes.data() + d * sectorSize;
        for (int i = 0; i < idsPerSector - 1; ++i, ++nextFat)
            put32(p + 4 * i, nextFat < m_fatCount ? fatStart + nextFat : freeSector);
        put32(p + 4 * (idsPerSector - 1), d + 1 < m_difatCount ? difatStart + d + 1 : endOfChain);
    }
    put(difatBytes.constData(), difatBytes.size());
}

} // namespace nelvo
