#include "FileFormats.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QDate>
#include <QFile>

#include <freexl.h>

#include <cstdio>
#include <cstring>

namespace nelvo {
namespace {

QString reasonOf(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("文件不存在或无法读取");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("内存不足");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("文件中没有 Excel 工作簿（不是 .xls 文件）");
    case FREEXL_UNSUPPORTED_CHARSET:
    case FREEXL_INVALID_CHARACTER:
        return QStringLiteral("文件的字符编码无法识别");
    default:
        return QStringLiteral("文件已损坏或不是 .xls 文件（错误 %1）").arg(code);
    }
}

// A password-protected .xlsx is a compound file too, holding an "EncryptedPackage" stream.
bool isEncryptedPackage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(1 << 20);
    const QString name = QStringLiteral("EncryptedPackage");
    return head.contains(QByteArray(reinterpret_cast<const char *>(name.utf16()), name.size() * 2));
}

class FreeXlHandle
{
public:
    explicit FreeXlHandle(const QString &path)
    {
        int rc = freexl_open(QFile::encodeName(path).constData(), &m_handle);
        if (rc == FREEXL_OK && !m_handle)
            rc = FREEXL_CRAFTED_FILE; // FreeXL gives up on some damage this way
        if (rc != FREEXL_OK) {
            // FreeXL may hand back a half-built handle on failure; it owns nothing we could use.
            if (m_handle)
                freexl_close(m_handle);
            m_handle = nullptr;
            if (isEncryptedPackage(path))
                throw FileProblem(QStringLiteral("文件设有密码保护，请先在 Excel 中取消密码"));
            throw FileProblem(reasonOf(rc));
        }
    }
    ~FreeXlHandle()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    FreeXlHandle(const FreeXlHandle &) = delete;
    FreeXlHandle &operator=(const FreeXlHandle &) = delete;
    const void *get() const { return m_handle; }

private:
    const void *m_handle = nullptr;
};

void check(int rc)
{
    if (rc != FREEXL_OK)
        throw FileProblem(reasonOf(rc));
}

// FreeXL reports dates as text; the workbook keeps them as serial days so they are written back as dates.
double serialOf(const char *text, CellKind kind)
{
    int y = 1900, mo = 1, d = 1, h = 0, mi = 0, s = 0;
    if (kind == CellKind::Time)
        std::sscanf(text, "%d:%d:%d", &h, &mi, &s);
    else
        std::sscanf(text, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    double days = 0;
    if (kind != CellKind::Time) {
        const QDate date(y, mo, d);
        if (!date.isValid())
            return -1;
        days = static_cast<double>(date.toJulianDay() - QDate(1899, 12, 30).toJulianDay());
        if (days < 61)
            days -= 1;
    }
    return days + (h * 3600 + mi * 60 + s) / 86400.0;
}

} // namespace

void readXls(const QString &path, Workbook &workbook)
{
    FreeXlHandle xls(path);
    unsigned int password = 0;
    check(freexl_get_info(xls.get(), FREEXL_BIFF_PASSWORD, &password));
    if (password == FREEXL_BIFF_OBFUSCATED)
        throw FileProblem(QStringLiteral("文件设有密码保护，请先在 Excel 中取消密码"));
    unsigned int sheetCount = 0;
    check(freexl_get_info(xls.get(), FREEXL_BIFF_SHEET_COUNT, &sheetCount));

    for (unsigned int s = 0; s < sheetCount; ++s) {
        const char *name = nullptr;
        check(freexl_get_worksheet_name(xls.get(), static_cast<unsigned short>(s), &name));
        Worksheet &sheet = workbook.addSheet(QString::fromUtf8(name ? name : ""));
        check(freexl_select_active_worksheet(xls.get(), static_cast<unsigned short>(s)));
        unsigned int rows = 0;
        unsigned short columns = 0;
        check(freexl_worksheet_dimensions(xls.get(), &rows, &columns));
        SheetCells &cells = sheet.cells();
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(xls.get(), r, c, &value) != FREEXL_OK)
                    continue;
                switch (value.type) {
                case FREEXL_CELL_INT:
                    cells.putNumber(r, c, value.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    cells.putNumber(r, c, value.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    if (value.value.text_value && *value.value.text_value)
                        cells.putText(r, c, value.value.text_value, std::strlen(value.value.text_value));
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME: {
                    const CellKind kind = value.type == FREEXL_CELL_DATE   ? CellKind::Date
                                          : value.type == FREEXL_CELL_TIME ? CellKind::Time
                                                                           : CellKind::DateTime;
                    const double serial =
                        value.value.text_value ? serialOf(value.value.text_value, kind) : -1;
                    if (serial >= 0)
                        cells.putNumber(r, c, serial, kind);
                    else if (value.value.text_value)
                        cells.putText(r, c, value.value.text_value, std::strlen(value.value.text_value));
                    break;
                }
                default:
                    break;
                }
            }
        }
    }
}

} // namespace nelvo
