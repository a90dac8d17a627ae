#include "FileFormats.h"
#include "SpreadsheetError.h"
#include "Worksheet.h"

#include <QSaveFile>

namespace nelvo {
namespace {

void appendField(QByteArray &out, const QByteArray &utf8)
{
    const bool quote = utf8.contains(',') || utf8.contains('"') || utf8.contains('\n') ||
                       utf8.contains('\r') || utf8.startsWith(' ') || utf8.endsWith(' ');
    if (!quote) {
        out += utf8;
        return;
    }
    out += '"';
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

void writeCsv(const Worksheet &sheet, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileProblem(file.errorString());
    // The byte order mark makes spreadsheet programs on Chinese systems read the file as UTF-8.
    QByteArray out("\xEF\xBB\xBF");
    const SheetCells &cells = sheet.cells();
    for (std::uint32_t r = 0; r < cells.rowCount(); ++r) {
        std::uint32_t column = 0;
        for (const StoredCell &cell : cells.row(r)) {
            for (; column < cell.column; ++column)
                out += ',';
            if (cell.kind == CellKind::Text)
                appendField(out, QByteArray(cells.arena().data(cell.value.text), cell.value.text.length));
            else
                appendField(out, cells.displayText(cell).toUtf8());
        }
        out += "\r\n";
        if (out.size() > (1 << 20)) {
            if (file.write(out) != out.size())
                throw FileProblem(file.errorString());
            out.clear();
        }
    }
    if (file.write(out) != out.size() || !file.commit())
        throw FileProblem(file.errorString());
}

} // namespace nelvo
