#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString &overriddenFolder()
{
    static QString folder;
    return folder;
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QString ProgramFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    if (QCoreApplication::instance())
        return withSlash(QCoreApplication::applicationDirPath());
    return withSlash(
        QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2));
}

namespace nelvo {

void setProgramFolder(const QString &folder)
{
    overriddenFolder() = folder.isEmpty() ? QString() : withSlash(QDir::cleanPath(folder));
}

QString resolvePath(const QString &path)
{
    QString unixPath = path;
    unixPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool trailingSlash = unixPath.endsWith(QLatin1Char('/'));
    const QStringList parts = unixPath.split(QLatin1Char('/'));

    QString result = unixPath.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    bool matching = true; // once a component is missing, nothing below it can exist
    for (const QString &part : parts) {
        if (part.isEmpty())
            continue;
        QString chosen = part;
        if (matching && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QDir dir(result.isEmpty() ? QStringLiteral(".") : result);
            if (!dir.exists(part)) {
                chosen.clear();
                const QStringList entries =
                    dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
                for (const QString &entry : entries) {
                    if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                        chosen = entry;
                        break;
                    }
                }
                if (chosen.isEmpty()) {
                    chosen = part;
                    matching = false;
                }
            }
        }
        if (!result.isEmpty() && !result.endsWith(QLatin1Char('/')))
            result += QLatin1Char('/');
        result += chosen;
    }
    if (trailingSlash && !result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

} // namespace nelvo
