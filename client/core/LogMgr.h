#pragma once

#include <QDateTime>
#include <QMutex>
#include <QString>

// The client log: one file a day, "Log/Tavrin4_YYYYMMDD.log" in the program folder. The file is opened and
// closed for every line so that anyone can read it while the program runs.
class TLogMgr
{
public:
    explicit TLogMgr(int level) : Level(level) {}

    // Appends the line when `level` is at most Level. Never raises: a line that cannot be written is lost.
    void Write(int level, const QString &module, const QString &text);

    const int Level;

    // The line as it stands in the file, without its CR LF.
    static QString FormatLine(const QDateTime &when, int level, const QString &module, const QString &text);

private:
    QMutex m_lock;
};
