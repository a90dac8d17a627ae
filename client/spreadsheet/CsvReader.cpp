#include "FileFormats.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace nelvo {
namespace {

// Decoded, the text takes twice the file's size; the cells take about as much again.
constexpr qint64 maxCsvBytes = 256LL * 1024 * 1024;

// UTF-8 with or without its byte order mark, UTF-16 with one, and otherwise the GBK that spreadsheet
// programs on Chinese systems write; GB18030 decodes GBK byte for byte.
QString decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringConverter::Utf16);
        return utf16(bytes);
    }
    if (bytes.contains('\0'))
        throw FileProblem(QStringLiteral("不是文本格式的 .csv 文件"));
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GB18030");
    if (!gbk.isValid())
        throw FileProblem(QStringLiteral("系统不支持 GBK 编码"));
    return gbk(bytes);
}

QChar delimiterOf(QStringView text)
{
    // Tab-separated files saved as "Unicode text" come through here too.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const QStringView firstLine = text.left(lineEnd < 0 ? text.size() : lineEnd);
    if (!firstLine.contains(QLatin1Char(',')) && firstLine.contains(QLatin1Char('\t')))
        return QLatin1Char('\t');
    return QLatin1Char(',');
}

} // namespace

void readCsv(const QString &path, Workbook &workbook)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileProblem(QStringLiteral("文件不存在或无法读取（%1）").arg(file.errorString()));
    if (file.size() > maxCsvBytes)
        throw FileProblem(QStringLiteral("文件太大（超过 %1 MB）").arg(maxCsvBytes >> 20));
    const QString text = decode(file.readAll());
    const QChar delimiter = delimiterOf(text);

    SheetCells &cells = workbook.addSheet(QFileInfo(path).completeBaseName()).cells();
    std::uint32_t row = 0;
    std::uint32_t column = 0;
    QString field;
    const qsizetype n = text.size();
    qsizetype i = 0;
    const auto endField = [&] {
        if (!field.isEmpty())
            cells.putText(row, column, field);
        field.clear();
        if (++column > 16384)
            throw FileProblem(QStringLiteral("第 %1 行的列数超过 16384").arg(row + 1));
    };
    bool lineHasContent = false;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"') && field.isEmpty()) {
            // A quoted field: doubled quotes stand for one, line breaks belong to the field.
            ++i;
            while (i < n) {
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text.at(i++);
            }
            lineHasContent = true;
            continue;
        }
        if (c == delimiter) {
            endField();
            lineHasContent = true;
            ++i;
            continue;
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (lineHasContent || !field.isEmpty()) {
                endField();
            }
            ++row;
            column = 0;
            lineHasContent = false;
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++i;
            if (row >= 1048576 && i < n)
                throw FileProblem(QStringLiteral("文件的行数超过 1048576"));
            continue;
        }
        field += c;
        lineHasContent = true;
        ++i;
    }
    if (lineHasContent || !field.isEmpty())
        endField();
}

} // namespace nelvo
