#include "LogMgr.h"

#include "Clock.h"
#include "CommonHelpers.h"
#include "LocalCodec.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>

QString TLogMgr::FormatLine(const QDateTime &when, int level, const QString &module, const QString &text)
{
    return QLatin1Char('[') + when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) +
           QStringLiteral("]  [") + QString::number(level) + QStringLiteral("] ") + module +
           QLatin1Char(':') + TrimBlanksAndControls(text);
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
