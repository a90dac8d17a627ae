#include "Workbook.h"

#include "FileFormats.h"
#include "SpreadsheetError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <new>

namespace nelvo {
namespace {

enum class Format
{
    Xls,
    Xlsx,
    Csv,
    Unknown
};

Format formatOfContent(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileProblem(QStringLiteral("文件不存在或无法读取（%1）").arg(file.errorString()));
    const QByteArray head = file.read(8);
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return Format::Xls;
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
        return Format::Xlsx;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt"))
        return Format::Csv;
    return Format::Unknown;
}

QString openFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("打开文件“%1”失败：%2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

Workbook::Workbook() : m_arena(std::make_unique<CellArena>())
{
    addSheet(QStringLiteral("sheet1"));
}

Workbook::~Workbook() = default;
Workbook::Workbook(Workbook &&) noexcept = default;
Workbook &Workbook::operator=(Workbook &&) noexcept = default;

Workbook Workbook::read(const QString &path)
{
    Workbook workbook;
    workbook.m_sheets.clear();
    try {
        switch (formatOfContent(path)) {
        case Format::Xls:
            readXls(path, workbook);
            break;
        case Format::Xlsx:
            readXlsx(path, workbook);
            break;
        case Format::Csv:
            readCsv(path, workbook);
            break;
        case Format::Unknown:
            throw FileProblem(QStringLiteral("不是电子表格文件（.xls、.xlsx 或 .csv）"));
        }
    } catch (const FileProblem &problem) {
        throw SpreadsheetError(openFailure(path, problem.reason()));
    } catch (const std::bad_alloc &) {
        throw SpreadsheetError(openFailure(path, QStringLiteral("内存不足")));
    }
    if (workbook.m_sheets.empty())
        throw SpreadsheetError(openFailure(path, QStringLiteral("文件中没有工作表")));
    workbook.m_active = 1;
    return workbook;
}

Workbook Workbook::open(const QString &path)
{
    Workbook workbook = read(path);
    workbook.m_fileName = path;
    return workbook;
}

Workbook Workbook::basedOn(const QString &path)
{
    return read(path);
}

QStringList Workbook::sheetNames() const
{
    QStringList names;
    for (const auto &s : m_sheets)
        names << s->name();
    return names;
}

Worksheet &Workbook::sheet(int index)
{
    return const_cast<Worksheet &>(static_cast<const Workbook *>(this)->sheet(index));
}

const Worksheet &Workbook::sheet(int index) const
{
    if (index < 1 || index > sheetCount())
        throw SpreadsheetError(QStringLiteral("工作簿中没有第 %1 个工作表").arg(index));
    return *m_sheets[static_cast<std::size_t>(index - 1)];
}

Worksheet &Workbook::addSheet(const QString &name)
{
    m_sheets.push_back(std::make_unique<Worksheet>(*m_arena, name));
    return *m_sheets.back();
}

void Workbook::activate(int index)
{
    sheet(index); // raises for a sheet that does not exist
    m_active = index;
}

void Workbook::saveAs(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    try {
        if (suffix == QLatin1String("xlsx"))
            writeXlsx(*this, path);
        else if (suffix == QLatin1String("csv"))
            writeCsv(sheet(m_active), path);
        else
            writeXls(*this, path);
    } catch (const FileProblem &problem) {
        throw SpreadsheetError(
            QStringLiteral("保存文件“%1”失败：%2").arg(QDir::toNativeSeparators(path), problem.reason()));
    } catch (const std::bad_alloc &) {
        throw SpreadsheetError(
            QStringLiteral("保存文件“%1”失败：内存不足").arg(QDir::toNativeSeparators(path)));
    }
    m_fileName = path;
}

void Workbook::close()
{
    *this = Workbook();
}

} // namespace nelvo
