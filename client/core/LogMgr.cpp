#include "LogMgr.h"

#include "Clock.h"
#include "LocalCodec.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>

namespace {

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

QString trimBlanksAndControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString TLogMgr::FormatLine(const QDateTime &when, int level, const QString &module, const QString &text)
{
    return QLatin1Char('[') + when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) +
           QStringLiteral("]  [") + QString::number(level) + QStringLiteral("] ") + module +
           QLatin1Char(':') + trimBlanksAndControls(text);
}

void TLogMgr::Write(int level, const QString &module, const QString &text)
{
    if (level > Level)
        return;
    try {
        const QString folder = nelvo::resolvePath(ProgramFolder() + QStringLiteral("Log"));
        if (!QDir(folder).exists() && !QDir().mkdir(folder))
            return;
        const QDateTime when = nelvo::now();
        const QString path = folder + QStringLiteral("/Tavrin4_") +
                             when.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
        const QByteArray bytes = nelvo::encodeLocal(FormatLine(when, level, module, text)) + "\r\n";

        QMutexLocker locker(&m_lock);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write(bytes);
    } catch (...) {
        // The log must never interrupt its caller.
    }
}
