#include "BatchSender.h"
#include "Clock.h"
#include "FakeServiceProcess.h"
#include "MessageComposer.h"
#include "RecipientListModel.h"
#include "ScriptedPrompts.h"
#include "TempProgramFolder.h"
#include "TgParams.h"
#include "uit_DataBase.h"
#include "webService.h"

#include <QJsonArray>
#include <QSqlRecord>
#include <QtTest>

namespace {

struct Row
{
    QString sendlist, sendtext, sendtime, schetime, sequence, smstype;
    QVariant committime;
    double listcount = 0;
    int smsfolder = 0, sendstatus = 0;
};

QList<Row> rows(TdmData &data)
{
    QSqlQuery query = data.Query(QStringLiteral("select sendlist, sendtext, sendtime, schetime, listcount, "
                                                "committime, sequence, smsfolder, sendstatus, "
                                                "smstype from smssendlist order by 编号"));
    QList<Row> out;
    while (query.next()) {
        Row row;
        row.sendlist = query.value(0).toString();
        row.sendtext = query.value(1).toString();
        row.sendtime = query.value(2).toString();
        row.schetime = query.value(3).toString();
        row.listcount = query.value(4).toDouble();
        row.committime = query.value(5);
        row.sequence = query.value(6).toString();
        row.smsfolder = query.value(7).toInt();
        row.sendstatus = query.value(8).toInt();
        row.smstype = query.value(9).toString();
        out.append(row);
    }
    return out;
}

QStringList numbersFrom(qint64 first, int count)
{
    QStringList numbers;
    for (int i = 0; i < count; ++i)
        numbers.append(QString::number(first + i));
    return numbers;
}

QByteArray fileLines(const QStringList &numbers)
{
    return numbers.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList sendlistFiles(const TempProgramFolder &folder, const QString &kind)
{
    return QDir(folder.sendlist())
        .entryList({QStringLiteral("*") + kind + QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
}

QList<int> journalBatchSizes(const FakeServiceProcess &service)
{
    QList<int> sizes;
    for (const QJsonObject &entry : service.journal())
        sizes.append(int(entry.value(QStringLiteral("numbers")).toArray().size()));
    return sizes;
}

int sendRequests(const FakeServiceProcess &service)
{
    int count = 0;
    for (const QByteArray &request : service.gatewayRequests())
        count += request.contains("/sendSMS.jsp?");
    return count;
}

} // namespace

// Every send runs against the real facade and gateway library, the loopback service and a copy of
// the shipped database in a throw-away program folder.
class TestBatchSending : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeServiceProcess> m_service;
    std::unique_ptr<TdmData> m_data;
    std::unique_ptr<TwebInterFace> m_facade;
    std::unique_ptr<MessageComposer> m_composer;
    std::unique_ptr<RecipientListModel> m_list;
    ScriptedPrompts *m_prompts = nullptr;

    void startService(const QStringList &arguments = {})
    {
        m_service = std::make_unique<FakeServiceProcess>(arguments);
        QVERIFY(m_service->start());
        m_service->exportGatewayAddress();
    }

    SendReport send(SendOptions options = {})
    {
        BatchSender sender(*m_facade, *m_data);
        return sender.Send(*m_composer, *m_list, options);
    }

    void addNumbers(const QStringList &numbers)
    {
        for (const QString &number : numbers)
            m_list->AddMobile(number);
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        gParams = TgParams{};
        LoadParamsFromConfig(gParams);
        gParams.OnlineFlag = 1;
        gParams.ChannelLength = 70;
        gParams.SmsLengths = {70, 70, 70, 56};
        m_prompts = ScriptedPrompts::install();
        m_data = std::make_unique<TdmData>(m_folder->databaseFile());
        m_facade = std::make_unique<TwebInterFace>(TwebInterFace::StatusPanel{},
                                                   QStringLiteral(NELVO_GATEWAY_LIBRARY));
        m_composer = std::make_unique<MessageComposer>(gParams);
        m_list = std::make_unique<RecipientListModel>(*m_composer);
        m_composer->setContent(QStringLiteral("你好，明天见"));
    }
    void cleanup()
    {
        nelvo::setClock({});
        m_list.reset();
        m_facade.reset();
        m_data.reset();
        m_service.reset();
        m_folder.reset();
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("signature");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty list") << QStringList{} << "hi" << QString() << true
                                    << QStringLiteral("请输入手机号码！");
        QTest::newRow("blank text") << QStringList{"13800138000"} << " \r\n\t" << QString() << true
                                    << QStringLiteral("请输入短信内容！");
        QTest::newRow("too long for one message")
            << QStringList{"13800138000"} << QString(71, QLatin1Char('x')) << QString() << true
            << QStringLiteral("短信内容超长！");
        QTest::newRow("signature takes the limit")
            << QStringList{"13800138000"} << "hi" << QString(70, QLatin1Char('s')) << true
            << QStringLiteral("签名已占满一条短信的长度，短信内容无处可放，请缩短签名后再发送！");
        QTest::newRow("confirmation declined")
            << QStringList{"13800138000", "13800138000"} << "hi" << QString() << false
            << QStringLiteral("您确认要发送这一批（共计2个号码）短信吗？");
    }
    void refusals()
    {
        QFETCH(QStringList, numbers);
        QFETCH(QString, content);
        QFETCH(QString, signature);
        QFETCH(bool, answerYes);
        QFETCH(QString, shown);
        addNumbers(numbers);
        m_composer->setContent(content);
        m_composer->setSignature(signature);
        m_composer->setUseSign(!signature.isEmpty());
        m_composer->setMultiMode(!signature.isEmpty());
        if (answerYes)
            m_prompts->queueYes();
        else
            m_prompts->queueNo();

        const SendReport report = send();
        QVERIFY(report.result == SendReport::Result::Refused ||
                report.result == SendReport::Result::Cancelled);
        QCOMPARE(m_prompts->texts(), QStringList{shown});
        QCOMPARE(m_list->Count(), numbers.size());
        QCOMPARE(report.requests, 0);
        QVERIFY(rows(*m_data).isEmpty());
        QVERIFY(sendlistFiles(*m_folder, QString()).isEmpty());
    }

    void oneNumber()
    {
        startService();
        addNumbers({"13800138000"});
        m_prompts->queueYes();
        QList<SendProgress::Stage> stages;
        SendOptions options;
        options.progress = [&](const SendProgress &p) { stages.append(p.stage); };

        const SendReport report = send(options);
        QCOMPARE(report.result, SendReport::Result::Completed);
        QCOMPARE(m_prompts->texts(), (QStringList{QStringLiteral("您确认要发送这一批（共计1个号码）短信吗？"),
                                                  QStringLiteral("发送成功！")}));
        QCOMPARE(journalBatchSizes(*m_service), QList<int>{1});
        QCOMPARE(m_service->journal().first().value("content").toString(), QStringLiteral("你好，明天见"));
        QCOMPARE(stages.first(), SendProgress::Stage::Started);
        QCOMPARE(stages.last(), SendProgress::Stage::Finished);

        const QList<Row> written = rows(*m_data);
        QCOMPARE(written.size(), 1);
        const Row &row = written.first();
        QCOMPARE(row.sendlist, QStringLiteral("13800138000"));
        QCOMPARE(row.listcount, 1.0);
        QCOMPARE(row.smsfolder, 2);
        QCOMPARE(row.sendstatus, 1);
        QCOMPARE(row.smstype, QStringLiteral("发送"));
        QCOMPARE(row.schetime, QString());
        QVERIFY(!row.schetime.isNull());
        QCOMPARE(row.sequence.size(), 17);
        QCOMPARE(row.committime.toString(), row.sendtime);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(row.sendtime)
                    .hasMatch());

        QVERIFY(sendlistFiles(*m_folder, QStringLiteral("succ")).isEmpty());
        const QStringList before = sendlistFiles(*m_folder, QStringLiteral("beforesend"));
        QCOMPARE(before.size(), 1);
        QCOMPARE(readFile(m_folder->sendlist() + before.first()), QByteArray("13800138000\r\n"));
        QCOMPARE(m_list->Count(), 0);
    }

    // 250 numbers (and five repeated) at 100 a request, with a scheduled time.
    void batchesOfAHundred()
    {
        startService();
        const QStringList numbers = numbersFrom(13900000000, 250);
        addNumbers(numbers);
        addNumbers(numbers.mid(10, 5));
        m_prompts->queueYes();
        SendOptions options;
        options.scheduleTime =
            ScheduleTimeText(QDate(2031, 5, 1), QStringLiteral("08"), QStringLiteral("30"));
        QCOMPARE(options.scheduleTime, QStringLiteral("20310501083000"));
        qint64 lastPosition = 0, maximum = 0;
        options.progress = [&](const SendProgress &p) {
            if (p.stage == SendProgress::Stage::Sending) {
                lastPosition = p.position;
                maximum = p.maximum;
            }
        };

        const SendReport report = send(options);
        QCOMPARE(m_prompts->texts().first(), QStringLiteral("您确认要发送这一批（共计255个号码）短信吗？"));
        QCOMPARE(journalBatchSizes(*m_service), (QList<int>{100, 100, 50}));
        QCOMPARE(m_service->journal().first().value("schtime").toString(), QStringLiteral("20310501083000"));
        QCOMPARE(report.recipients, 250);
        QCOMPARE(lastPosition, 250);
        QCOMPARE(maximum, 250);

        const QList<Row> written = rows(*m_data);
        QCOMPARE(written.size(), 1);
        QCOMPARE(written.first().listcount, 250.0);
        QCOMPARE(written.first().schetime, QStringLiteral("20310501083000"));
        const QStringList succ = sendlistFiles(*m_folder, QStringLiteral("succ"));
        QCOMPARE(succ.size(), 1);
        QCOMPARE(written.first().sendlist, m_folder->sendlist() + succ.first());
        QCOMPARE(readFile(written.first().sendlist), fileLines(numbers));
        QCOMPARE(readFile(report.beforeSendFile), fileLines(numbers));
    }

    // Three parts whose files all fall in one second: nine requests, three sequences, no file replaced.
    void threePartsInOneSecond()
    {
        startService();
        qint64 tick = 0;
        nelvo::setClock([&tick] { return QDateTime(QDate(2031, 5, 1), QTime(8, 30)).addMSecs(tick++); });
        addNumbers(numbersFrom(13700000000, 250));
        QString text;
        for (int i = 0; i < 150; ++i)
            text += QChar(u'a' + i % 26);
        m_composer->setContent(text);
        m_composer->setMultiMode(true);
        m_composer->setPageNumbers(true);
        m_prompts->queueYes();
        QStringList previewed;
        SendOptions options;
        options.preview = [&](const QStringList &parts) {
            previewed = parts;
            return true;
        };

        const SendReport report = send(options);
        QCOMPARE(previewed.size(), 3);
        QCOMPARE(journalBatchSizes(*m_service), (QList<int>{100, 100, 50, 100, 100, 50, 100, 100, 50}));
        const QList<Row> written = rows(*m_data);
        QCOMPARE(written.size(), 3);
        QSet<QString> sequences, files;
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(written[k].sendtext, previewed[k]);
            QCOMPARE(written[k].listcount, 250.0);
            QVERIFY(QFile::exists(written[k].sendlist));
            sequences.insert(written[k].sequence);
            files.insert(written[k].sendlist);
        }
        QCOMPARE(sequences.size(), 3);
        QCOMPARE(files.size(), 3);
        QCOMPARE(
            sendlistFiles(*m_folder, QStringLiteral("succ")),
            (QStringList{"20310501083000succ.txt", "20310501083000succ_2.txt", "20310501083000succ_3.txt"}));
        QCOMPARE(report.numberFiles.size(), 3);
        QCOMPARE(m_list->Count(), 0);
    }

    // The second of three batches is refused by the gateway (balance runs out): three attempts, then a
    // failure row; the third batch still goes.
    void refusedBatchIsTriedThreeTimes()
    {
        startService({QStringLiteral("--balance"), QStringLiteral("15.00")});
        const QStringList numbers = numbersFrom(13600000000, 250);
        addNumbers(numbers);
        m_prompts->queueYes();

        const SendReport report = send();
        QCOMPARE(sendRequests(*m_service), 5);
        QCOMPARE(report.failedBatches, 1);
        QCOMPARE(journalBatchSizes(*m_service), (QList<int>{100, 50}));
        QCOMPARE(m_prompts->texts().last(), QStringLiteral("到短信管理中检查发送失败的短信！"));

        const QList<Row> written = rows(*m_data);
        QCOMPARE(written.size(), 2);
        QCOMPARE(written[0].listcount, 150.0);
        const Row &failure = written[1];
        QCOMPARE(failure.listcount, 100.0);
        QCOMPARE(failure.smsfolder, 3);
        QCOMPARE(failure.sendstatus, 0);
        QVERIFY(failure.committime.isNull());
        QCOMPARE(failure.sequence, QString());
        QVERIFY(!failure.sequence.isNull());
        QCOMPARE(readFile(failure.sendlist), fileLines(numbers.mid(100, 100)));
        QCOMPARE(readFile(written[0].sendlist), fileLines(numbers.mid(0, 100) + numbers.mid(200)));
    }

    // A reply the gateway library cannot read may hide an accepted batch: it goes once, and is recorded
    // with the failures rather than sent again.
    void unknownOutcomeIsNotRepeated()
    {
        startService();
        QVERIFY(m_service->failNth(2, QStringLiteral("no-result")));
        addNumbers(numbersFrom(13500000000, 250));
        m_prompts->queueYes();

        const SendReport report = send();
        QCOMPARE(sendRequests(*m_service), 3);
        QCOMPARE(report.requests, 3);
        QCOMPARE(report.failedNumbers, 100);
        QCOMPARE(rows(*m_data).last().smsfolder, 3);
        QCOMPARE(m_prompts->texts().last(), QStringLiteral("到短信管理中检查发送失败的短信！"));
    }

    // Nothing listens: every attempt fails before reaching a gateway, so each batch gets its three.
    void undeliveredBatchIsTriedThreeTimes()
    {
        qputenv("NELVOGATE_HOST", "127.0.0.1");
        qputenv("NELVOGATE_PORT", "1"); // refused at once, and never someone else's service
        addNumbers(numbersFrom(13500000000, 2));
        m_prompts->queueYes();

        const SendReport report = send();
        QCOMPARE(report.requests, 3);
        QCOMPARE(report.failedBatches, 1);
        const QList<Row> written = rows(*m_data);
        QCOMPARE(written.size(), 1);
        QCOMPARE(written.first().smsfolder, 3);
        QCOMPARE(readFile(written.first().sendlist), fileLines(numbersFrom(13500000000, 2)));
    }

    void unwritableSendListSendsNothing()
    {
        startService();
        QDir(m_folder->sendlist()).removeRecursively();
        QFile blocker(m_folder->root() + QStringLiteral("/sendlist"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        addNumbers({"13800138000", "13800138000"});
        m_prompts->queueYes();

        const SendReport report = send();
        QCOMPARE(report.result, SendReport::Result::Stopped);
        QCOMPARE(sendRequests(*m_service), 0);
        QVERIFY(m_prompts->last()->text.contains(QStringLiteral("sendlist")));
        QCOMPARE(m_prompts->last()->caption, QStringLiteral("警示"));
        QCOMPARE(m_list->Count(), 1);
        QVERIFY(!m_list->IsSending());
    }

    void missingSendListFolderIsCreated()
    {
        startService();
        QDir(m_folder->sendlist()).removeRecursively();
        addNumbers({"13800138000"});
        m_prompts->queueYes();
        QCOMPARE(send().result, SendReport::Result::Completed);
        QCOMPARE(sendlistFiles(*m_folder, QStringLiteral("beforesend")).size(), 1);
    }

    void databaseFailureStopsTheSend()
    {
        startService();
        m_data->Query(QStringLiteral("drop table smssendlist"));
        addNumbers(numbersFrom(13400000000, 3));
        m_composer->setContent(QString(100, QLatin1Char('x')));
        m_composer->setMultiMode(true);
        m_prompts->queueYes();

        const SendReport report = send();
        QCOMPARE(report.result, SendReport::Result::Stopped);
        QCOMPARE(journalBatchSizes(*m_service), QList<int>{3}); // the second part never went
        QCOMPARE(m_prompts->last()->caption, QStringLiteral("警示"));
        QVERIFY(m_prompts->last()->text.contains(QStringLiteral("smssendlist")));
        const QStringList succ = sendlistFiles(*m_folder, QStringLiteral("succ"));
        QCOMPARE(succ.size(), 1);
        QCOMPARE(readFile(m_folder->sendlist() + succ.first()), fileLines(numbersFrom(13400000000, 3)));
        QCOMPARE(m_list->Count(), 0);
    }

    // The loop lets the window run between requests; nothing done there reaches the running send.
    void oneSendAtATime()
    {
        startService();
        addNumbers(numbersFrom(13300000000, 150));
        m_prompts->queueYes();
        int nested = -1;
        bool added = true;
        SendOptions options;
        options.progress = [&](const SendProgress &p) {
            if (p.stage != SendProgress::Stage::Sending || nested >= 0)
                return;
            BatchSender other(*m_facade, *m_data);
            nested = int(other.Send(*m_composer, *m_list, {}).result);
            added = m_list->AddMobile(QStringLiteral("13800138000"));
        };

        const SendReport report = send(options);
        QCOMPARE(nested, int(SendReport::Result::Refused));
        QVERIFY(!added);
        QCOMPARE(report.acceptedNumbers, 150);
        QCOMPARE(journalBatchSizes(*m_service), (QList<int>{100, 50}));
        QVERIFY(!BatchSender::IsSending());
        QVERIFY(m_list->AddMobile(QStringLiteral("13800138000")));
    }

    void batchSize_data()
    {
        QTest::addColumn<int>("configured");
        QTest::addColumn<int>("longest");
        QTest::addColumn<int>("effective");
        QTest::newRow("missing") << 0 << 11 << 100;
        QTest::newRow("negative") << -5 << 11 << 100;
        QTest::newRow("as configured") << 50 << 11 << 50;
        QTest::newRow("eleven digits fit 108") << 500 << 11 << 108;
        QTest::newRow("twelve digits fit 100") << 500 << 12 << 100;
        QTest::newRow("an absurd entry still goes alone") << 100 << 2000 << 1;
    }
    void batchSize()
    {
        QFETCH(int, configured);
        QFETCH(int, longest);
        QFETCH(int, effective);
        QCOMPARE(EffectiveBatchSize(configured, longest), effective);
    }

    // Twelve-digit numbers at a configured 500 still fit the gateway's limit per request.
    void oversizedBatchIsLowered()
    {
        startService();
        QStringList numbers;
        for (int i = 0; i < 150; ++i)
            numbers.append(QString::number(75512340000LL + i).prepend(QLatin1Char('0')));
        addNumbers(numbers);
        m_prompts->queueYes();
        SendOptions options;
        options.eashSendCount = 500;
        const SendReport report = send(options);
        QCOMPARE(journalBatchSizes(*m_service), (QList<int>{100, 50}));
        QCOMPARE(report.failedBatches, 0);
    }
};

QTEST_GUILESS_MAIN(TestBatchSending)
#include "tst_batchsending.moc"
