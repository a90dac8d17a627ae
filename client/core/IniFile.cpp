#include "IniFile.h"

#include "LocalCodec.h"
#include "NelvoError.h"
#include "ProgramFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include <optional>

namespace {

// One line of the file as stored, with what it means when it parses; lines that do not parse (no "=",
// bytes that are not GBK, comments) are carried along untouched and never match.
struct IniLine
{
    QByteArray raw;
    enum Kind
    {
        Other,
        Section,
        Entry
    } kind = Other;
    QString name;  // section name or key
    QString value; // for entries
};

struct IniDocument
{
    QList<IniLine> lines;
    QByteArray eol = "\r\n";
    bool endsWithEol = true;
};

IniLine parseLine(const QByteArray &raw)
{
    IniLine line;
    line.raw = raw;
    const std::optional<QString> decoded = nelvo::decodeLocalStrict(raw);
    if (!decoded)
        return line;
    const QString text = decoded->trimmed();
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = IniLine::Section;
            line.name = text.mid(1, close - 1).trimmed();
        }
        return line;
    }
    if (text.startsWith(QLatin1Char(';')))
        return line;
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return line;
    line.kind = IniLine::Entry;
    line.name = text.left(eq).trimmed();
    QString value = text.mid(eq + 1).trimmed();
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        value = value.mid(1, value.size() - 2);
    line.value = value;
    return line;
}

IniDocument readDocument(const QString &path)
{
    IniDocument doc;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return doc;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return doc;
    doc.eol = bytes.contains("\r\n") || !bytes.contains('\n') ? QByteArray("\r\n") : QByteArray("\n");
    doc.endsWithEol = bytes.endsWith('\n');
    QList<QByteArray> rawLines = bytes.split('\n');
    if (doc.endsWithEol)
        rawLines.removeLast();
    for (QByteArray &raw : rawLines) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        doc.lines.append(parseLine(raw));
    }
    return doc;
}

// Index of the section header, or -1.
qsizetype findSection(const IniDocument &doc, const QString &section)
{
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const IniLine &line = doc.lines.at(i);
        if (line.kind == IniLine::Section && line.name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// Index of the key's line inside the section that starts at `header`, or -1.
qsizetype findKey(const IniDocument &doc, qsizetype header, const QString &key)
{
    for (qsizetype i = header + 1; i < doc.lines.size(); ++i) {
        const IniLine &line = doc.lines.at(i);
        if (line.kind == IniLine::Section)
            break;
        if (line.kind == IniLine::Entry && line.name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> readValue(const QString &file, const QString &section, const QString &key)
{
    const IniDocument doc = readDocument(nelvo::resolvePath(file));
    const qsizetype header = findSection(doc, section);
    if (header < 0)
        return std::nullopt;
    const qsizetype at = findKey(doc, header, key);
    if (at < 0)
        return std::nullopt;
    return doc.lines.at(at).value;
}

void writeDocument(const QString &path, const IniDocument &doc)
{
    const QString failure = QStringLiteral("Unable to write to %1").arg(path);
    const QFileInfo info(path);
    if (info.exists() && !info.isWritable())
        throw nelvo::Error(failure);

    QByteArray bytes;
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        bytes += doc.lines.at(i).raw;
        if (i + 1 < doc.lines.size() || doc.endsWithEol)
            bytes += doc.eol;
    }
    // The new content goes to a temporary file first and replaces the old one by rename, so that a crash
    // in the middle never leaves half a settings file behind.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw nelvo::Error(failure);
}

} // namespace

int IniReadInt(const QString &file, const QString &section, const QString &key, int defaultValue)
{
    const std::optional<QString> value = readValue(file, section, key);
    if (!value)
        return defaultValue;
    bool ok = false;
    const int number = value->toInt(&ok);
    return ok ? number : defaultValue;
}

QString IniReadStr(const QString &file, const QString &section, const QString &key)
{
    return readValue(file, section, key).value_or(QString());
}

void IniWriteStr(const QString &file, const QString &section, const QString &key, const QString &value)
{
    const QString path = nelvo::resolvePath(file);
    IniDocument doc = readDocument(path);
    IniLine entry;
    entry.kind = IniLine::Entry;
    entry.name = key;
    entry.value = value;
    entry.raw = nelvo::encodeLocal(key + QLatin1Char('=') + value);

    qsizetype header = findSection(doc, section);
    if (header < 0) {
        if (!doc.lines.isEmpty() && !doc.lines.constLast().raw.trimmed().isEmpty())
            doc.lines.append(IniLine{});
        IniLine head;
        head.kind = IniLine::Section;
        head.name = section;
        head.raw = nelvo::encodeLocal(QLatin1Char('[') + section + QLatin1Char(']'));
        doc.lines.append(head);
        doc.lines.append(entry);
        doc.endsWithEol = true;
    } else if (const qsizetype at = findKey(doc, header, key); at >= 0) {
        entry.raw = nelvo::encodeLocal(doc.lines.at(at).name + QLatin1Char('=') + value);
        doc.lines[at] = entry;
    } else {
        // After the section's last entry, so that blank lines before the next section stay where they are.
        qsizetype insertAt = header + 1;
        for (qsizetype i = header + 1; i < doc.lines.size() && doc.lines.at(i).kind != IniLine::Section;
             ++i) {
            if (!doc.lines.at(i).raw.trimmed().isEmpty())
                insertAt = i + 1;
        }
        doc.lines.insert(insertAt, entry);
        if (insertAt == doc.lines.size() - 1)
            doc.endsWithEol = true;
    }
    writeDocument(path, doc);
}

void IniWriteInt(const QString &file, const QString &section, const QString &key, int value)
{
    IniWriteStr(file, section, key, QString::number(value));
}

std::optional<bool> IniReadFlag(const QString &file, const QString &section, const QString &key)
{
    const std::optional<QString> value = readValue(file, section, key);
    if (!value)
        return std::nullopt;
    if (value->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (value->compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong number = value->toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return number != 0;
}

void IniWriteFlag(const QString &file, const QString &section, const QString &key, bool value)
{
    IniWriteStr(file, section, key, value ? QStringLiteral("-1") : QStringLiteral("0"));
}
