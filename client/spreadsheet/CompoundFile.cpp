#include "CompoundFile.h"

#include "SpreadsheetError.h"

#include <QtEndian>

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

void writeCompoundFile(QIODevice &out, QByteArray stream)
{
    if (stream.size() < miniStreamCutoff)
        stream.append(QByteArray(miniStreamCutoff - stream.size(), '\0'));
    if (stream.size() > 0x7FFF0000)
        throw FileProblem(QStringLiteral("工作簿太大，无法保存为 .xls"));

    const quint32 streamSectors = static_cast<quint32>((stream.size() + sectorSize - 1) / sectorSize);
    const quint32 directorySectors = 1;
    // The allocation table must also describe its own sectors and those of its extension (DIFAT).
    quint32 fatCount = 0;
    quint32 difatCount = 0;
    for (;;) {
        const quint32 total = streamSectors + directorySectors + fatCount + difatCount;
        const quint32 neededFat = (total + idsPerSector - 1) / idsPerSector;
        const quint32 neededDifat =
            neededFat > idsInHeader ? (neededFat - idsInHeader + idsPerSector - 2) / (idsPerSector - 1) : 0;
        if (neededFat == fatCount && neededDifat == difatCount)
            break;
        fatCount = neededFat;
        difatCount = neededDifat;
    }
    const quint32 directoryStart = streamSectors;
    const quint32 fatStart = directoryStart + directorySectors;
    const quint32 difatStart = fatStart + fatCount;

    std::vector<quint32> fat(static_cast<std::size_t>(fatCount) * idsPerSector, freeSector);
    for (quint32 i = 0; i < streamSectors; ++i)
        fat[i] = i + 1 < streamSectors ? i + 1 : endOfChain;
    fat[directoryStart] = endOfChain;
    for (quint32 i = 0; i < fatCount; ++i)
        fat[fatStart + i] = fatSector;
    for (quint32 i = 0; i < difatCount; ++i)
        fat[difatStart + i] = difatSector;

    QByteArray header(sectorSize, '\0');
    char *h = header.data();
    std::memcpy(h, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    put16(h + 24, 0x003E); // minor version
    put16(h + 26, 0x0003); // major version 3: 512-byte sectors
    put16(h + 28, 0xFFFE); // little-endian
    put16(h + 30, 9);      // sector size 2^9
    put16(h + 32, 6);      // mini sector size 2^6
    put32(h + 44, fatCount);
    put32(h + 48, directoryStart);
    put32(h + 56, miniStreamCutoff);
    put32(h + 60, endOfChain); // no mini allocation table
    put32(h + 64, 0);
    put32(h + 68, difatCount ? difatStart : endOfChain);
    put32(h + 72, difatCount);
    for (quint32 i = 0; i < idsInHeader; ++i)
        put32(h + 76 + 4 * i, i < fatCount ? fatStart + i : freeSector);

    QByteArray directory;
    directory += directoryEntry(u"Root Entry", 5, 1, endOfChain, 0);
    directory += directoryEntry(u"Workbook", 2, freeSector, 0, static_cast<quint32>(stream.size()));
    directory += directoryEntry(u"", 0, freeSector, 0, 0);
    directory += directoryEntry(u"", 0, freeSector, 0, 0);
    // Unused entries carry no name and no links.
    for (int e = 2; e < 4; ++e) {
        put32(directory.data() + e * 128 + 116, 0);
        directory[e * 128 + 67] = 0;
    }

    QByteArray fatBytes(static_cast<qsizetype>(fat.size()) * 4, '\0');
    for (std::size_t i = 0; i < fat.size(); ++i)
        put32(fatBytes.data() + 4 * i, fat[i]);

    QByteArray difatBytes(static_cast<qsizetype>(difatCount) * sectorSize, '\0');
    quint32 nextFat = idsInHeader;
    for (quint32 d = 0; d < difatCount; ++d) {
        char *p = difatBytes.data() + d * sectorSize;
        for (int i = 0; i < idsPerSector - 1; ++i, ++nextFat)
            put32(p + 4 * i, nextFat < fatCount ? fatStart + nextFat : freeSector);
        put32(p + 4 * (idsPerSector - 1), d + 1 < difatCount ? difatStart + d + 1 : endOfChain);
    }

    const qsizetype streamPadding = static_cast<qsizetype>(streamSectors) * sectorSize - stream.size();
    const bool ok = out.write(header) == header.size() && out.write(stream) == stream.size() &&
                    out.write(QByteArray(streamPadding, '\0')) == streamPadding &&
                    out.write(directory) == directory.size() && out.write(fatBytes) == fatBytes.size() &&
                    out.write(difatBytes) == difatBytes.size();
    if (!ok)
        throw FileProblem(out.errorString());
}

} // namespace nelvo
