// Feeds arbitrary bytes to the .xls, .xlsx and .csv readers. The first byte picks the way in:
//   0: the bytes as a file named .xls, 1: as .xlsx, 2: as .csv,
//   3: the rest split at "\n--\n" into sheet, shared strings, styles and workbook XML, zipped into a
//      well-formed .xlsx, so the XML handling is reached without the zip's checksums in the way.
// Every cell of every sheet is then read as text. A SpreadsheetError is the expected outcome for junk.

#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QString>

#include <minizip/zip.h>

#include <unistd.h>

namespace {

const char *const contentTypes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
                                 "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
const char *const rootRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/></Relationships>";
const char *const workbookRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
    "Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/></Relationships>";
const char *const defaultWorkbook =
    "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
    "<sheet name=\"s\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";

void addMember(zipFile zip, const char *name, const QByteArray &data)
{
    zipOpenNewFileInZip(zip, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1);
    zipWriteInFileInZip(zip, data.constData(), static_cast<unsigned>(data.size()));
    zipCloseFileInZip(zip);
}

void writeXlsxFromParts(const QString &path, const QByteArray &parts)
{
    QByteArrayList pieces = parts.split('\n');
    QByteArrayList xml{QByteArray()};
    for (const QByteArray &line : pieces) {
        if (line == "--")
            xml << QByteArray();
        else
            xml.last() += line + '\n';
    }
    zipFile zip = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return;
    addMember(zip, "[Content_Types].xml", contentTypes);
    addMember(zip, "_rels/.rels", rootRels);
    addMember(zip, "xl/_rels/workbook.xml.rels", workbookRels);
    addMember(zip, "xl/worksheets/sheet1.xml", xml.value(0));
    if (xml.size() > 1)
        addMember(zip, "xl/sharedStrings.xml", xml.value(1));
    if (xml.size() > 2)
        addMember(zip, "xl/styles.xml", xml.value(2));
    addMember(zip, "xl/workbook.xml", xml.size() > 3 ? xml.value(3) : QByteArray(defaultWorkbook));
    zipClose(zip, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const QString base = QStringLiteral("/dev/shm/nelvo-fuzz-%1").arg(getpid());
    const char *const suffixes[] = {".xls", ".xlsx", ".csv", ".xlsx"};
    const int mode = data[0] % 4;
    const QString path = base + QString::fromLatin1(suffixes[mode]);
    const QByteArray body(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    if (mode == 3) {
        QFile::remove(path);
        writeXlsxFromParts(path, body);
    } else {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(body);
    }
    try {
        nelvo::Workbook workbook = nelvo::Workbook::open(path);
        for (int s = 1; s <= workbook.sheetCount(); ++s) {
            const nelvo::Worksheet &sheet = workbook.sheet(s);
            const nelvo::CellRef last = sheet.lastUsedCell();
            const int rows = std::min(last.row, 2000);
            const int columns = std::min(last.column, 300);
            for (int r = 1; r <= rows; ++r)
                for (int c = 1; c <= columns; ++c)
                    (void)sheet.text(r, c);
        }
    } catch (const nelvo::SpreadsheetError &) {
    }
    QFile::remove(path);
    return 0;
}
