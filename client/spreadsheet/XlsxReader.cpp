#include "CellText.h"
#include "FileFormats.h"
#include "NumberFormats.h"
#include "SpreadsheetError.h"
#include "Workbook.h"
#include "XmlScanner.h"
#include "ZipArchive.h"

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QXmlStreamReader>

#include <charconv>
#include <cstring>
#include <string>
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
bool parseReference(std::string_view ref, std::uint32_t *row, std::uint32_t *column)
{
    std::uint32_t col = 0;
    std::size_t i = 0;
    for (; i < ref.size() && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z')); ++i) {
        col = col * 26 + static_cast<std::uint32_t>((ref[i] & ~0x20) - 'A' + 1);
        if (col > maxColumns)
            return false;
    }
    std::uint32_t r = 0;
    const std::size_t digitsStart = i;
    for (; i < ref.size() && ref[i] >= '0' && ref[i] <= '9'; ++i) {
        r = r * 10 + static_cast<std::uint32_t>(ref[i] - '0');
        if (r > maxRows)
            return false;
    }
    if (i != ref.size() || col == 0 || digitsStart == i || r == 0)
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
        if (sheets.size() > 1024)
            throw FileProblem(QStringLiteral("文件中的工作表太多（超过 1024 个）"));
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

    // Worksheets hold nearly all the bytes of a workbook: they go through the fast scanner.
    void readSheet(Worksheet &sheet, const QString &member)
    {
        try {
            const std::unique_ptr<QIODevice> device = m_zip.openMember(member);
            XmlScanner xml(*device);
            SheetRows rows{sheet.cells(), member};
            for (auto token = xml.next(); token != XmlScanner::Token::End; token = xml.next()) {
                if (token != XmlScanner::Token::StartTag)
                    continue;
                if (xml.name() == "row")
                    rows.startRow(xml.attribute("r"));
                else if (xml.name() == "c")
                    readCell(xml, rows);
            }
        } catch (const FileProblem &) {
            // A damaged member shows as bad XML; the zip's own diagnosis says more.
            m_zip.checkHealth();
            throw;
        }
        m_zip.checkHealth();
    }

    struct SheetRows
    {
        SheetCells &cells;
        const QString &member;
        std::uint32_t row = 0;
        std::uint32_t nextColumn = 0;
        bool anyRow = false;

        void startRow(std::string_view r)
        {
            if (!r.empty()) {
                std::uint32_t n = 0;
                const auto [end, ec] = std::from_chars(r.data(), r.data() + r.size(), n);
                if (ec != std::errc() || end != r.data() + r.size() || n == 0 || n > maxRows)
                    throw FileProblem(
                        QStringLiteral("文件已损坏：%1 中的行号 %2 无效")
                            .arg(member, QString::fromUtf8(r.data(), static_cast<qsizetype>(r.size()))));
                row = n - 1;
            } else if (anyRow) {
                ++row;
            }
            anyRow = true;
            nextColumn = 0;
        }
    };

    void readCell(XmlScanner &xml, SheetRows &rows)
    {
        std::uint32_t r = rows.row;
        std::uint32_t c = rows.nextColumn;
        const std::string_view ref = xml.attribute("r");
        if (!ref.empty() && !parseReference(ref, &r, &c))
            throw FileProblem(
                QStringLiteral("文件已损坏：%1 中的单元格引用 %2 无效")
                    .arg(rows.member, QString::fromUtf8(ref.data(), static_cast<qsizetype>(ref.size()))));
        if (c >= maxColumns)
            throw FileProblem(QStringLiteral("文件已损坏：%1 的列数超出范围").arg(rows.member));
        rows.nextColumn = c + 1;
        // Attribute views die with the next token: keep what is needed.
        const std::string type(xml.attribute("t"));
        std::uint32_t style = 0;
        const std::string_view s = xml.attribute("s");
        std::from_chars(s.data(), s.data() + s.size(), style);

        m_value.clear();
        bool hasValue = false;
        if (!xml.selfClosing()) {
            for (;;) {
                const auto token = xml.next();
                if (token == XmlScanner::Token::End)
                    throw FileProblem(QStringLiteral("文件已损坏：%1 不完整").arg(rows.member));
                if (token == XmlScanner::Token::EndTag)
                    break; // </c>
                if (token != XmlScanner::Token::StartTag)
                    continue;
                if (xml.name() == "v" || xml.name() == "is") {
                    m_value.clear();
                    readText(xml);
                    hasValue = true;
                } else {
                    xml.skipElement();
                }
            }
        }
        if (!hasValue)
            return;
        store(rows, r, c, type, style);
    }

    // The text inside <v> or <is>: the runs of <t>, phonetic guides (<rPh>) left out.
    void readText(XmlScanner &xml)
    {
        if (xml.selfClosing())
            return;
        const bool plain = xml.name() == "v";
        int depth = 1;
        bool inText = plain;
        while (depth > 0) {
            switch (xml.next()) {
            case XmlScanner::Token::StartTag:
                if (xml.name() == "rPh") {
                    xml.skipElement();
                } else if (!xml.selfClosing()) {
                    ++depth;
                    inText = xml.name() == "t";
                }
                break;
            case XmlScanner::Token::EndTag:
                --depth;
                inText = plain && depth == 1;
                break;
            case XmlScanner::Token::Text:
                if (inText)
                    xml.appendText(m_value);
                break;
            case XmlScanner::Token::End:
                throw FileProblem(QStringLiteral("文件已损坏：工作表不完整"));
            }
        }
    }

    void store(SheetRows &rows, std::uint32_t r, std::uint32_t c, const std::string &type,
               std::uint32_t style)
    {
        SheetCells &cells = rows.cells;
        const std::string_view value = m_value;
        // Numbers, indexes and flags may carry blanks around them; text keeps its own.
        std::string_view trimmed = value;
        while (!trimmed.empty() && std::strchr(" \t\r\n", trimmed.front()))
            trimmed.remove_prefix(1);
        while (!trimmed.empty() && std::strchr(" \t\r\n", trimmed.back()))
            trimmed.remove_suffix(1);
        if (type == "s") {
            std::uint32_t index = 0;
            const auto [end, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), index);
            if (ec != std::errc() || index >= m_strings.size())
                throw FileProblem(QStringLiteral("文件已损坏：%1 引用了不存在的共享字符串").arg(rows.member));
            if (m_strings[index].length > 0)
                cells.putTextRef(r, c, m_strings[index]);
        } else if (type == "inlineStr" || type == "str" || type == "e") {
            if (!value.empty())
                cells.putText(r, c, value.data(), value.size());
        } else if (type == "b") {
            cells.putNumber(r, c, trimmed == "1" ? 1 : 0, CellKind::Boolean);
        } else if (type == "d") {
            const QDateTime when = QDateTime::fromString(
                QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())), Qt::ISODate);
            if (when.isValid())
                cells.putNumber(r, c, serialFromDateTime(when),
                                when.time() == QTime(0, 0) ? CellKind::Date : CellKind::DateTime);
            else if (!value.empty())
                cells.putText(r, c, value.data(), value.size());
        } else {
            double number = 0;
            const char *begin = trimmed.data();
            const char *stop = trimmed.data() + trimmed.size();
            if (begin < stop && *begin == '+')
                ++begin;
            const auto [end, ec] = std::from_chars(begin, stop, number);
            if (ec != std::errc() || end != stop) {
                if (!value.empty())
                    cells.putText(r, c, value.data(), value.size());
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
    std::string m_value;
};

} // namespace

void readXlsx(const QString &path, Workbook &workbook)
{
    XlsxWorkbookReader reader(path, workbook);
    reader.read();
}

} // namespace nelvo
