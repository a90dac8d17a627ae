// Two processes writing the gateway log at once: every entry stays whole.
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

class GatewayLogProcessesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entriesOfTwoProcessesDoNotInterleave()
    {
        constexpr int entries = 2000;
        const QString run = QString::number(QRandomGenerator::global()->generate());
        const QStringList names{"writerA" + run, "writerB" + run};

        QProcess writers[2];
        for (int i = 0; i < 2; ++i)
            writers[i].start(QStringLiteral(NELVO_LOG_WRITER_PATH), {names[i], QString::number(entries)});
        QString logPath;
        for (QProcess &writer : writers) {
            QVERIFY(writer.waitForFinished(120000));
            QCOMPARE(writer.exitCode(), 0);
            logPath = QString::fromLocal8Bit(writer.readAllStandardOutput()).trimmed();
        }

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        int seen[2] = {0, 0};
        for (qsizetype i = 0; i < lines.size(); ++i) {
            for (int w = 0; w < 2; ++w) {
                const QByteArray first = "first " + names[w].toLatin1() + ' ';
                const qsizetype at = lines[i].indexOf(first);
                if (at < 0)
                    continue;
                const QByteArray tag = lines[i].mid(at + 6).chopped(1); // without the CR
                QVERIFY2(i + 2 < lines.size(), "entry cut short");
                QCOMPARE(lines[i + 1], "second " + tag + '\r');
                QCOMPARE(lines[i + 2], "third " + tag);
                ++seen[w];
            }
        }
        QCOMPARE(seen[0], entries);
        QCOMPARE(seen[1], entries);
    }
};

QTEST_GUILESS_MAIN(GatewayLogProcessesTest)
#include "tst_gateway_log_processes.moc"
