#include "CellText.h"
#include "FileFormats.h"
#include "NumberFormats.h"
#include "SpreadsheetError.h"
#include "Workbook.h"
#include "ZipArchive.h"

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QXmlStreamReader>

#include <vector>

namespace nelvo {
namespace {

constexpr std::uint32_t maxRows = 1048576;
constexpr std::uint32_t maxColumns = 16384;

struct SheetPart
{
    QString name;
    QString member;
};

// Runs `handle` on every start element of one member and turns parse or zip faults into FileProblem.
template <typename Handler> void parseMember(ZipArchive &zip, const QString &member, Handler handle)
{
    {
        const std::unique_ptr<QIODevice> device = zip.openMember(member);
        QXmlStreamReader xml(device.get());
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement)
                handle(xml);
        }
        if (xml.hasError()) {
            zip.checkHealth();
            throw FileProblem(QStringLiteral("文件已损坏：%1 第 %2 行：%3")
                                  .arg(member)
                                  .arg(xml.lineNumber())
                                  .arg(xml.errorString()));
        }
    }
    zip.checkHealth();
}

// The text of a <si> or <is> element, runs joined and phonetic guides (<rPh>) left out.
QString readRichText(QXmlStreamReader &xml)
{
    QString text;
    const QStringView end = xml.name();
    const QString endName = end.toString();
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"rPh")
                xml.skipCurrentElement();
            else if (xml.name() == u"t")
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (token == QXmlStreamReader::EndElement && xml.name() == endName) {
            break;
        }
    }
    return text;
}

QString resolve(const QString &baseDir, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(baseDir.isEmpty() ? target : baseDir + QLatin1Char('/') + target);
}

QString directoryOf(const QString &member)
{
    const int slash = member.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : member.left(slash);
}

struct Relationship
{
    QString type;
    QString target;
};

QHash<QString, Relationship> readRelationships(ZipArchive &zip, const QString &partMember)
{
    QHash<QString, Relationship> rels;
    const QString dir = directoryOf(partMember);
    const QString relsMember = (dir.isEmpty() ? QString() : dir + QLatin1Char('/')) +
                               QStringLiteral("_rels/") + partMember.mid(dir.isEmpty() ? 0 : dir.size() + 1) +
                               QStringLiteral(".rels");
    if (!zip.contains(relsMember))
        return rels;
    parseMember(zip, relsMember, [&](QXmlStreamReader &xml) {
        if (xml.name() != u"Relationship")
            return;
        const QXmlStreamAttributes a = xml.attributes();
        rels.insert(a.value(QLatin1String("Id")).toString(),
                    Relationship{a.value(QLatin1String("Type")).toString(),
                                 resolve(dir, a.value(QLatin1String("Target")).toString())});
    });
    return rels;
}

// Cell references like "AB12"; `column` and `row` count from 0.
bool parseReference(QStringView ref, std::uint32_t *row, std::uint32_t *column)
{
    std::uint32_t col = 0;
    qsizetype i = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        const char16_t c = ref[i].toUpper().unicode();
        if (c < 'A' || c > 'Z' || col > maxColumns)
            return false;
        col = col * 26 + (c - 'A' + 1);
        ++i;
    }
    std::uint32_t r = 0;
    const qsizetype digitsStart = i;
    while (i < ref.size() && ref[i].isDigit()) {
        r = r * 10 + (ref[i].unicode() - '0');
        if (r > maxRows)
            return false;
        ++i;
    }
    if (i != ref.size() || col == 0 || col > maxColumns || digitsStart == i || r == 0)
        return false;
    *row = r - 1;
    *column = col - 1;
    return true;
}

class XlsxWorkbookReader
{
public:
    XlsxWorkbookReader(const QString &path, Workbook &workbook) : m_zip(path), m_workbook(workbook) {}

    void read()
    {
        QString workbookMember = QStringLiteral("xl/workbook.xml");
        for (const Relationship &rel : readRelationships(m_zip, QStringLiteral("")))
            if (rel.type.endsWith(QLatin1String("/officeDocument")))
                workbookMember = rel.target;
        if (!m_zip.contains(workbookMember))
            throw FileProblem(QStringLiteral("不是 Excel 工作簿（压缩包中没有 %1）").arg(workbookMember));

        const QHash<QString, Relationship> rels = readRelationships(m_zip, workbookMember);
        std::vector<SheetPart> sheets;
        parseMember(m_zip, workbookMember, [&](QXmlStreamReader &xml) {
            if (xml.name() == u"workbookPr") {
                const QStringView d = xml.attributes().value(QLatin1String("date1904"));
                m_date1904 = d == u"1" || d == u"true";
            } else if (xml.name() == u"sheet") {
                const QXmlStreamAttributes a = xml.attributes();
                QString id;
                for (const QXmlStreamAttribute &attr : a)
                    if (attr.name() == u"id" && attr.prefix() != u"")
                        id = attr.value().toString();
                const auto rel = rels.constFind(id);
                if (rel != rels.constEnd() && rel->type.endsWith(QLatin1String("/worksheet")))
                    sheets.push_back(SheetPart{a.value(QLatin1String("name")).toString(), rel->target});
            }
        });
        for (const Relationship &rel : rels) {
            if (rel.type.endsWith(QLatin1String("/styles")) && m_zip.contains(rel.target))
                readStyles(rel.target);
            else if (rel.type.endsWith(QLatin1String("/sharedStrings")) && m_zip.contains(rel.target))
                readSharedStrings(rel.target);
        }
        for (const SheetPart &part : sheets)
            readSheet(m_workbook.addSheet(part.name), part.member);
    }

private:
    void readStyles(const QString &member)
    {
        QHash<int, QString> customCodes;
        bool inCellXfs = false;
        parseMember(m_zip, member, [&](QXmlStreamReader &xml) {
            if (xml.name() == u"numFmt") {
                const QXmlStreamAttributes a = xml.attributes();
                customCodes.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                   a.value(QLatin1String("formatCode")).toString());
            } else if (xml.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (xml.name() == u"cellStyleXfs" || xml.name() == u"dxfs") {
                inCellXfs = false;
            } else if (xml.name() == u"xf" && inCellXfs) {
                const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                m_xfKinds.push_back(dateKindOfFormat(id, customCodes.value(id)));
            }
        });
    }

    void readSharedStrings(const QString &member)
    {
        CellArena &arena = m_workbook.arena();
        parseMember(m_zip, member, [&](QXmlStreamReader &xml) {
            if (xml.name() == u"si")
                m_strings.push_back(arena.addText(readRichText(xml)));
        });
    }

    void readSheet(Worksheet &sheet, const QString &member)
    {
        SheetCells &cells = sheet.cells();
        std::uint32_t row = 0;
        std::uint32_t nextColumn = 0;
        bool anyRow = false;
        parseMember(m_zip, member, [&](QXmlStreamReader &xml) {
            if (xml.name() == u"row") {
                const QStringView r = xml.attributes().value(QLatin1String("r"));
                if (!r.isEmpty()) {
                    const uint n = r.toUInt();
                    if (n == 0 || n > maxRows)
                        throw FileProblem(QStringLiteral("文件已损坏：%1 中的行号 %2 无效").arg(member, r));
                    row = n - 1;
                } else if (anyRow) {
                    ++row;
                }
                anyRow = true;
                nextColumn = 0;
            } else if (xml.name() == u"c") {
                readCell(xml, cells, row, nextColumn, member);
            }
        });
    }

    void readCell(QXmlStreamReader &xml, SheetCells &cells, std::uint32_t row, std::uint32_t &nextColumn,
                  const QString &member)
    {
        const QXmlStreamAttributes a = xml.attributes();
        std::uint32_t r = row;
        std::uint32_t c = nextColumn;
        const QStringView ref = a.value(QLatin1String("r"));
        if (!ref.isEmpty() && !parseReference(ref, &r, &c))
            throw FileProblem(QStringLiteral("文件已损坏：%1 中的单元格引用 %2 无效").arg(member, ref));
        if (c >= maxColumns)
            throw FileProblem(QStringLiteral("文件已损坏：%1 的列数超出范围").arg(member));
        nextColumn = c + 1;
        const QString type = a.value(QLatin1String("t")).toString();
        const uint style = a.value(QLatin1String("s")).toUInt();

        QString value;
        bool hasValue = false;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == u"v") {
                    value = xml.readElementText(QXmlStreamReader::SkipChildElements);
                    hasValue = true;
                } else if (xml.name() == u"is") {
                    value = readRichText(xml);
                    hasValue = true;
                } else {
                    xml.skipCurrentElement();
                }
            } else if (token == QXmlStreamReader::EndElement && xml.name() == u"c") {
                break;
            }
        }
        if (!hasValue)
            return;

        if (type == QLatin1String("s")) {
            bool ok = false;
            const uint index = value.trimmed().toUInt(&ok);
            if (!ok || index >= m_strings.size())
                throw FileProblem(QStringLiteral("文件已损坏：%1 引用了不存在的共享字符串").arg(member));
            if (m_strings[index].length > 0)
                cells.putTextRef(r, c, m_strings[index]);
        } else if (type == QLatin1String("inlineStr") || type == QLatin1String("str") ||
                   type == QLatin1String("e")) {
            if (!value.isEmpty())
                cells.putText(r, c, value);
        } else if (type == QLatin1String("b")) {
            cells.putNumber(r, c, value.trimmed() == QLatin1String("1") ? 1 : 0, CellKind::Boolean);
        } else if (type == QLatin1String("d")) {
            const QDateTime when = QDateTime::fromString(value.trimmed(), Qt::ISODate);
            if (when.isValid())
                cells.putNumber(r, c, serialFromDateTime(when),
                                when.time() == QTime(0, 0) ? CellKind::Date : CellKind::DateTime);
            else if (!value.isEmpty())
                cells.putText(r, c, value);
        } else {
            bool ok = false;
            double number = value.trimmed().toDouble(&ok);
            if (!ok) {
                if (!value.isEmpty())
                    cells.putText(r, c, value);
                return;
            }
            const CellKind kind = style < m_xfKinds.size() ? m_xfKinds[style] : CellKind::Number;
            if (kind != CellKind::Number && m_date1904)
                number += 1462;
            cells.putNumber(r, c, number, kind);
        }
    }

    ZipArchive m_zip;
    Workbook &m_workbook;
    bool m_date1904 = false;
    std::vector<CellKind> m_xfKinds;
    std::vector<StoredCell::TextRef> m_strings;
};

} // namespace

void readXlsx(const QString &path, Workbook &workbook)
{
    XlsxWorkbookReader reader(path, workbook);
    reader.read();
}

} // namespace nelvo
