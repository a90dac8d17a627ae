#include "Clock.h"
#include "LocalCodec.h"
#include "LogMgr.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestClientLog : public QObject
{
    Q_OBJECT

    static QByteArray logBytes(const TempProgramFolder &folder, const QString &day)
    {
        QFile f(folder.bin() + QStringLiteral("Log/Tavrin4_") + day + QStringLiteral(".log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void cleanup() { nelvo::setClock({}); }

    void writesTheLineLayout()
    {
        TempProgramFolder folder;
        QVERIFY(!QDir(folder.bin() + QStringLiteral("Log")).exists());
        nelvo::setClock([] { return QDateTime(QDate(2026, 3, 9), QTime(7, 5, 3, 42)); });
        TLogMgr log(10);
        log.Write(8, QStringLiteral("InputTextFile"), QStringLiteral("  Error--文件无法读取 \r\n"));
        log.Write(10, QStringLiteral("模块"), QStringLiteral("second"));
        QCOMPARE(logBytes(folder, QStringLiteral("20260309")),
                 "[2026-03-09 07:05:03.042]  [8] InputTextFile:" +
                     nelvo::encodeLocal(QStringLiteral("Error--文件无法读取")) +
                     "\r\n[2026-03-09 07:05:03.042]  [10] " + nelvo::encodeLocal(QStringLiteral("模块")) +
                     ":second\r\n");
    }

    void levelsAboveTheManagersAreDropped()
    {
        TempProgramFolder folder;
        TLogMgr log(10);
        log.Write(11, QStringLiteral("m"), QStringLiteral("too verbose"));
        QVERIFY(!QDir(folder.bin() + QStringLiteral("Log")).exists());
    }

    void aNewDayStartsANewFile()
    {
        TempProgramFolder folder;
        TLogMgr log(10);
        nelvo::setClock([] { return QDateTime(QDate(2026, 3, 9), QTime(23, 59, 59, 999)); });
        log.Write(1, QStringLiteral("m"), QStringLiteral("late"));
        nelvo::setClock([] { return QDateTime(QDate(2026, 3, 10), QTime(0, 0)); });
        log.Write(1, QStringLiteral("m"), QStringLiteral("early"));
        QVERIFY(logBytes(folder, QStringLiteral("20260309")).endsWith("m:late\r\n"));
        QVERIFY(logBytes(folder, QStringLiteral("20260310")).endsWith("m:early\r\n"));
    }

    void aLogThatCannotBeWrittenIsSilent()
    {
        TempProgramFolder folder;
        // A file where the folder should be: nothing can be created, and the caller goes on.
        QFile blocker(folder.bin() + QStringLiteral("Log"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TLogMgr log(10);
        log.Write(8, QStringLiteral("m"), QStringLiteral("lost"));
        QCOMPARE(QFileInfo(blocker).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestClientLog)
#include "tst_clientlog.moc"
