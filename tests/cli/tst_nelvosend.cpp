#include "FakeServiceProcess.h"
#include "IniFile.h"
#include "LocalCodec.h"
#include "TempProgramFolder.h"
#include "Workbook.h"
#include "uit_DataBase.h"

#include <QJsonArray>
#include <QSqlRecord>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// nelvosend runs from a copy of the program folder, as an installation would hold it, against the
// loopback service.
class TestNelvoSend : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeServiceProcess> m_service;

    Run nelvosend(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (m_service) {
            env.insert(QStringLiteral("NELVOGATE_HOST"), m_service->host());
            env.insert(QStringLiteral("NELVOGATE_PORT"), QString::number(m_service->port()));
        }
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_folder->root());
        process.start(m_folder->bin() + QStringLiteral("nelvosend"), arguments);
        if (!process.waitForFinished(120000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    void startService(const QStringList &arguments = {})
    {
        m_service = std::make_unique<FakeServiceProcess>(arguments);
        QVERIFY(m_service->start());
    }

    QList<QStringList> rows(const QString &columns)
    {
        TdmData data(m_folder->databaseFile());
        QSqlQuery query = data.Query(QStringLiteral("select ") + columns +
                                     QStringLiteral(" from smssendlist order by 编号"));
        QList<QStringList> out;
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < query.record().count(); ++i)
                row.append(query.value(i).toString());
            out.append(row);
        }
        return out;
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(QFile::copy(QStringLiteral(NELVOSEND_PATH), m_folder->bin() + QStringLiteral("nelvosend")));
        QVERIFY(QFile::copy(QStringLiteral(NELVO_GATEWAY_LIBRARY),
                            m_folder->bin() + QStringLiteral("libnelvogate.so")));
    }
    void cleanup()
    {
        m_service.reset();
        m_folder.reset();
    }

    void badUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList{} << QStringLiteral("缺少 --text");
        QTest::newRow("no numbers") << QStringList{"--text", "hi"} << QStringLiteral("--to 或 --numbers");
        QTest::newRow("both number sources")
            << QStringList{"--text", "hi", "--to", "13800138000", "--numbers", "a.txt"}
            << QStringLiteral("--to 或 --numbers");
        QTest::newRow("not a mobile number") << QStringList{"--text", "hi", "--to", "13800138000,1380013800"}
                                             << QStringLiteral("不是手机号码：“1380013800”");
        QTest::newRow("empty item") << QStringList{"--text", "hi", "--to", "13800138000,"}
                                    << QStringLiteral("不是手机号码");
        QTest::newRow("bad time") << QStringList{"--text",      "hi",   "--to",
                                                 "13800138000", "--at", "202405011260"}
                                  << QStringLiteral("--at");
        QTest::newRow("page numbers alone")
            << QStringList{"--text", "hi", "--to", "13800138000", "--page-numbers"}
            << QStringLiteral("--split");
        QTest::newRow("unknown option")
            << QStringList{"--text", "hi", "--to", "13800138000", "--bcc", "x"} << QStringLiteral("bcc");
        QTest::newRow("no signature stored")
            << QStringList{"--text", "hi", "--to", "13800138000", "--sign"} << QStringLiteral("SMSSIGN");
        QTest::newRow("too long for one message")
            << QStringList{"--text", QString(71, QLatin1Char('x')), "--to", "13800138000"}
            << QStringLiteral("短信没有发送");
        QTest::newRow("unreadable numbers file")
            << QStringList{"--text", "hi", "--numbers", "missing.txt"} << QStringLiteral("missing.txt");
    }
    void badUsage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = nelvosend(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(rows(QStringLiteral("sendlist")).isEmpty());
    }

    void missingDatabase()
    {
        QVERIFY(QFile::remove(m_folder->databaseFile()));
        const Run run = nelvosend({"--text", "hi", "--to", "13800138000"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("data.mdb")), qPrintable(run.err));
    }

    void everyNumberAccepted()
    {
        startService();
        const Run run =
            nelvosend({"--text", "会议改到三点", "--to", "13800138000,13900139000", "--at", "203105010830"});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> journal = m_service->journal();
        QCOMPARE(journal.size(), 1);
        QCOMPARE(journal.first().value("phone").toString(), QStringLiteral("13800138000,13900139000"));
        QCOMPARE(journal.first().value("schtime").toString(), QStringLiteral("20310501083000"));
        const QList<QStringList> written =
            rows(QStringLiteral("sendtext, schetime, listcount, smsfolder, sendstatus"));
        QCOMPARE(written,
                 (QList<QStringList>{{QStringLiteral("会议改到三点"), "20310501083000", "2", "2", "1"}}));
        QVERIFY2(run.out.contains(QStringLiteral("成功 2 个号码次")), qPrintable(run.out));
    }

    // One number a request and money for one: the second is refused, the send still completes.
    void someNumbersFailed()
    {
        startService({QStringLiteral("--balance"), QStringLiteral("0.10")});
        IniWriteInt(m_folder->configFile(), QStringLiteral("SMS"), QStringLiteral("EashSendCount"), 1);
        const Run run = nelvosend({"--text", "hi", "--to", "13900139000,13800138000"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(m_service->journal().size(), 1);
        QCOMPARE(rows(QStringLiteral("sendlist, smsfolder")),
                 (QList<QStringList>{{"13800138000", "2"}, {"13900139000", "3"}}));
        QVERIFY2(run.err.contains(QStringLiteral("到短信管理中检查发送失败的短信！")), qPrintable(run.err));
    }

    // The text-file import, split with page numbers and the stored signature.
    void numbersFileSplitAndSigned()
    {
        startService();
        IniWriteStr(m_folder->configFile(), QStringLiteral("SMS"), QStringLiteral("SMSSIGN"),
                    QStringLiteral("【本店】"));
        QFile numbers(m_folder->root() + QStringLiteral("/numbers.txt"));
        QVERIFY(numbers.open(QIODevice::WriteOnly));
        numbers.write("13800138000, 13900139000\r\nabc\r\n13800138000\r\n");
        numbers.close();
        const QString text = QString(100, QChar(u'好'));

        const Run run =
            nelvosend({"--text", text, "--numbers", "numbers.txt", "--split", "--page-numbers", "--sign"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(m_folder->root() + QStringLiteral("/InputError.txt")), QByteArray("abc\r\n"));
        const QList<QJsonObject> journal = m_service->journal();
        QCOMPARE(journal.size(), 2);
        // Limit 70, signature 4, reserve 5: 61 characters a part.
        QCOMPARE(journal[0].value("content").toString(),
                 QString(61, QChar(u'好')) + QStringLiteral("【本店】(1/2)"));
        QCOMPARE(journal[1].value("content").toString(),
                 QString(39, QChar(u'好')) + QStringLiteral("【本店】(2/2)"));
        QCOMPARE(journal[0].value("numbers").toArray().size(), 2);
        QCOMPARE(rows(QStringLiteral("listcount")), (QList<QStringList>{{"2"}, {"2"}}));
    }

    void numbersFromAWorkbook_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("xls") << "numbers.xls";
        QTest::newRow("xlsx") << "numbers.XLSX";
        QTest::newRow("csv") << "numbers.csv";
    }
    void numbersFromAWorkbook()
    {
        QFETCH(QString, file);
        startService();
        nelvo::Workbook book;
        nelvo::Worksheet &sheet = book.sheet(1);
        sheet.setText(1, 1, QStringLiteral("手机号码"));
        sheet.setNumber(2, 1, 13800138000.0);
        sheet.setText(3, 1, QStringLiteral(" 13900139000 "));
        sheet.setText(4, 1, QStringLiteral("abc"));
        sheet.setText(5, 1, QStringLiteral("075512345678"));
        sheet.setText(5, 2, QStringLiteral("13700137000")); // only the first column counts
        book.addSheet(QStringLiteral("other")).setText(1, 1, QStringLiteral("13600136000"));
        book.saveAs(m_folder->root() + QLatin1Char('/') + file);

        const Run run = nelvosend({"--text", "hi", "--numbers", file});
        QCOMPARE(run.exitCode, 0);
        const QList<QJsonObject> journal = m_service->journal();
        QCOMPARE(journal.size(), 1);
        QCOMPARE(journal.first().value("phone").toString(),
                 QStringLiteral("075512345678,13800138000,13900139000"));
        QCOMPARE(readFile(m_folder->root() + QStringLiteral("/InputError.txt")), QByteArray("abc\r\n"));
    }

    void anUnreadableWorkbookIsASetUpError()
    {
        QFile broken(m_folder->root() + QStringLiteral("/broken.xlsx"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a workbook at all");
        broken.close();
        const Run run = nelvosend({"--text", "hi", "--numbers", "broken.xlsx"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("broken.xlsx")), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestNelvoSend)
#include "tst_nelvosend.moc"
