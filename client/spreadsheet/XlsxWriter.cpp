#include "FileFormats.h"
#include "SheetNames.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <xlsxwriter.h>

#include <cstdio>

namespace nelvo {
namespace {

QString libraryError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

class XlsxFile
{
public:
    explicit XlsxFile(const QString &path) : m_path(path), m_partPath(path + QStringLiteral(".part"))
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        m_book = workbook_new_opt(QFile::encodeName(m_partPath).constData(), &options);
        if (!m_book)
            throw FileProblem(QStringLiteral("无法创建文件"));
        m_date = numberFormat("yyyy-mm-dd");
        m_time = numberFormat("hh:mm:ss");
        m_dateTime = numberFormat("yyyy-mm-dd hh:mm:ss");
    }
    ~XlsxFile()
    {
        if (m_book) {
            // Written only to free the library's memory: the partial file is not kept.
            workbook_close(m_book);
            QFile::remove(m_partPath);
        }
    }
    XlsxFile(const XlsxFile &) = delete;
    XlsxFile &operator=(const XlsxFile &) = delete;

    void addSheet(const Worksheet &sheet, const QString &name, bool active);

    void finish()
    {
        const lxw_error rc = workbook_close(m_book);
        m_book = nullptr;
        if (rc != LXW_NO_ERROR) {
            QFile::remove(m_partPath);
            throw FileProblem(libraryError(rc));
        }
        if (std::rename(QFile::encodeName(m_partPath).constData(), QFile::encodeName(m_path).constData()) !=
            0) {
            QFile::remove(m_partPath);
            throw FileProblem(QStringLiteral("无法写入目标文件"));
        }
    }

private:
    lxw_format *numberFormat(const char *code)
    {
        lxw_format *format = workbook_add_format(m_book);
        format_set_num_format(format, code);
        return format;
    }
    lxw_format *columnFormat(const QString &code)
    {
        auto it = m_columnFormats.find(code);
        if (it == m_columnFormats.end())
            it = m_columnFormats.insert(code, numberFormat(code.toUtf8().constData()));
        return it.value();
    }

    QString m_path;
    QString m_partPath;
    lxw_workbook *m_book = nullptr;
    lxw_format *m_date = nullptr;
    lxw_format *m_time = nullptr;
    lxw_format *m_dateTime = nullptr;
    QHash<QString, lxw_format *> m_columnFormats;
    QStringList m_names;
};

void XlsxFile::addSheet(const Worksheet &sheet, const QString &wantedName, bool active)
{
    const QString name = acceptableSheetName(wantedName, m_names);
    m_names << name;
    lxw_worksheet *ws = workbook_add_worksheet(m_book, name.toUtf8().constData());
    if (!ws)
        throw FileProblem(QStringLiteral("工作表名“%1”无效").arg(name));
    if (active)
        worksheet_activate(ws);

    const SheetCells &cells = sheet.cells();
    if (cells.rowCount() > LXW_ROW_MAX || cells.columnCount() > LXW_COL_MAX)
        throw FileProblem(QStringLiteral("工作表“%1”超出 .xlsx 的行列范围").arg(name));

    // Column formats and widths; a column with a format but no width keeps the default width.
    const int lastColumn =
        std::max<int>(static_cast<int>(cells.columnCount()),
                      sheet.columnFormats().isEmpty() ? 0 : sheet.columnFormats().lastKey());
    std::vector<lxw_format *> formats(static_cast<std::size_t>(lastColumn), nullptr);
    for (int col = 1; col <= lastColumn; ++col) {
        const QString code = sheet.columnFormat(col);
        lxw_format *format = code.isEmpty() ? nullptr : columnFormat(code);
        formats[static_cast<std::size_t>(col - 1)] = format;
        const double width = sheet.columnWidth(col);
        if (format || width > 0) {
            const lxw_error rc =
                worksheet_set_column(ws, static_cast<lxw_col_t>(col - 1), static_cast<lxw_col_t>(col - 1),
                                     width > 0 ? width : LXW_DEF_COL_WIDTH, format);
            if (rc != LXW_NO_ERROR)
                throw FileProblem(libraryError(rc));
        }
    }

    for (std::uint32_t r = 0; r < cells.rowCount(); ++r) {
        for (const StoredCell &cell : cells.row(r)) {
            lxw_format *format = cell.column < formats.size() ? formats[cell.column] : nullptr;
            lxw_error rc = LXW_NO_ERROR;
            switch (cell.kind) {
            case CellKind::Text:
                rc = worksheet_write_string(ws, r, static_cast<lxw_col_t>(cell.column),
                                            cells.arena().data(cell.value.text), format);
                break;
            case CellKind::Number:
                rc = worksheet_write_number(ws, r, static_cast<lxw_col_t>(cell.column), cell.value.number,
                                            format);
                break;
            case CellKind::Boolean:
                rc = worksheet_write_boolean(ws, r, static_cast<lxw_col_t>(cell.column),
                                             cell.value.number != 0, format);
                break;
            case CellKind::Date:
                rc = worksheet_write_number(ws, r, static_cast<lxw_col_t>(cell.column), cell.value.number,
                                            m_date);
                break;
            case CellKind::Time:
                rc = worksheet_write_number(ws, r, static_cast<lxw_col_t>(cell.column), cell.value.number,
                                            m_time);
                break;
            case CellKind::DateTime:
                rc = worksheet_write_number(ws, r, static_cast<lxw_col_t>(cell.column), cell.value.number,
                                            m_dateTime);
                break;
            }
            if (rc != LXW_NO_ERROR)
                throw FileProblem(QStringLiteral("第 %1 行第 %2 列：%3")
                                      .arg(r + 1)
                                      .arg(cell.column + 1)
                                      .arg(libraryError(rc)));
        }
    }
}

} // namespace

void writeXlsx(const Workbook &workbook, const QString &path)
{
    XlsxFile file(path);
    for (int s = 1; s <= workbook.sheetCount(); ++s)
        file.addSheet(workbook.sheet(s), workbook.sheet(s).name(), s == workbook.activeSheetIndex());
    file.finish();
}

} // namespace nelvo
