#include "FakeServiceProcess.h"
#include "NelvoError.h"
#include "ScriptedPrompts.h"
#include "SmsWebService.h"
#include "TgParams.h"
#include "webService.h"

#include <QJsonArray>
#include <QtTest>

namespace {

// Points the SOAP service of this process at the loopback one.
void exportServiceAddress(const FakeServiceProcess &service)
{
    qputenv("NELVO_SERVICE_HOST", service.host().toLatin1());
    qputenv("NELVO_SERVICE_PORT", QByteArray::number(service.port()));
}

QList<QByteArray> soapRequests(const FakeServiceProcess &service)
{
    QList<QByteArray> raw;
    const QJsonArray list =
        service.control(QStringLiteral("soap-requests")).value(QStringLiteral("requests")).toArray();
    for (const QJsonValue &v : list)
        raw.append(QByteArray::fromBase64(v.toString().toLatin1()));
    return raw;
}

} // namespace

class TestSoapService : public QObject
{
    Q_OBJECT
    std::unique_ptr<FakeServiceProcess> m_service;

private Q_SLOTS:
    void init()
    {
        ScriptedPrompts::install();
        m_service = std::make_unique<FakeServiceProcess>(QStringList{
            QStringLiteral("--newest-version"), QStringLiteral("2.1.0"), QStringLiteral("--package-url"),
            QStringLiteral("http://127.0.0.1/update/setup-2.1.0.exe")});
        QVERIFY(m_service->start());
        exportServiceAddress(*m_service);
        gParams = TgParams{};
        gParams.OnlineFlag = 1;
    }

    void theDescriptionLocationFollowsTheEnvironment()
    {
        const QUrl url = SmsWebService::DescriptionUrl();
        QCOMPARE(url.port(), int(m_service->port()));
        QCOMPARE(url.path(), QStringLiteral("/smsservice/services/SmsWebService"));
        QCOMPARE(url.query(), QStringLiteral("wsdl"));
    }

    void newVersionQuestion_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("answer");
        QTest::newRow("older") << "1.0.0"
                               << "http://127.0.0.1/update/setup-2.1.0.exe";
        QTest::newRow("older minor") << "2.0.9"
                                     << "http://127.0.0.1/update/setup-2.1.0.exe";
        QTest::newRow("current") << "2.1.0"
                                 << "";
        QTest::newRow("newer") << "3.0"
                               << "";
    }
    void newVersionQuestion()
    {
        QFETCH(QString, current);
        QFETCH(QString, answer);
        SmsWebService service;
        QCOMPARE(service.GetNewVersion(current), answer);
        TwebInterFace facade;
        QString version = QStringLiteral("stale");
        facade.CheckNewVersion(current, version);
        QCOMPARE(version, answer);
    }

    void theRequestIsADocumentWithNamedParameters()
    {
        SmsWebService service;
        service.GetNewVersion(QStringLiteral("1.0.0"));
        const QList<QByteArray> requests = soapRequests(*m_service);
        QCOMPARE(requests.size(), 1);
        const QByteArray &raw = requests.constFirst();
        QVERIFY(raw.startsWith("POST /smsservice/services/SmsWebService HTTP/1.1\r\n"));
        QVERIFY(raw.contains("\r\nSOAPAction: \"\"\r\n"));
        QVERIFY(raw.contains("\r\nContent-Type: text/xml; charset=UTF-8\r\n"));
        QVERIFY(raw.contains("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QVERIFY(raw.contains("<ns:GetNewVersion xmlns:ns=\"http://smsservice.nelvodesk.cn/\">"
                             "<CurrVersion>1.0.0</CurrVersion></ns:GetNewVersion>"));
    }

    void everyOperationNamesItsParameters_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QByteArray>("elements");
        QTest::newRow("SendSMS")
            << "SendSMS"
            << QByteArray("<User>u</User><Pwd>p</Pwd><MobileNum>1</MobileNum><Content>c</Content>"
                          "<SchTime>s</SchTime><Sequence>q</Sequence>");
        QTest::newRow("ChangeSubAccountPwd")
            << "ChangeSubAccountPwd"
            << QByteArray("<user>u</user><pwd>p</pwd><AccountName>a</AccountName><newPwd>n</newPwd>");
        QTest::newRow("GetMobiles") << "GetMobiles"
                                    << QByteArray(
                                           "<usr>u</usr><pwd>p</pwd><groupId>g</groupId><count>5</count>");
        QTest::newRow("SubAccountSendList")
            << "SubAccountSendList"
            << QByteArray("<user>u</user><pwd>p</pwd><accountname>a</accountname><starttime>s</starttime>"
                          "<endtime>e</endtime>");
    }
    void everyOperationNamesItsParameters()
    {
        QFETCH(QString, operation);
        QFETCH(QByteArray, elements);
        SmsWebService service;
        // The loopback service offers only the version question; the others answer with a fault.
        try {
            if (operation == QLatin1String("SendSMS"))
                service.SendSMS(QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("1"),
                                QStringLiteral("c"), QStringLiteral("s"), QStringLiteral("q"));
            else if (operation == QLatin1String("ChangeSubAccountPwd"))
                service.ChangeSubAccountPwd(QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("a"),
                                            QStringLiteral("n"));
            else if (operation == QLatin1String("GetMobiles"))
                service.GetMobiles(QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("g"), 5);
            else
                service.SubAccountSendList(QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("a"),
                                           QStringLiteral("s"), QStringLiteral("e"));
            QFAIL("the loopback service should have answered with a fault");
        } catch (const nelvo::Error &error) {
            QVERIFY(error.text().contains(operation));
        }
        const QByteArray raw = soapRequests(*m_service).constLast();
        QVERIFY(raw.contains("<ns:" + operation.toLatin1() +
                             " xmlns:ns=\"http://smsservice.nelvodesk.cn/\">" + elements +
                             "</ns:" + operation.toLatin1() + ">"));
    }

    void failuresRaiseAndTheFacadeAnswersEmpty_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("SOAP fault") << "soap-fault";
        QTest::newRow("HTTP 500") << "status500";
        QTest::newRow("too slow") << "slow";
        QTest::newRow("no server") << "";
    }
    void failuresRaiseAndTheFacadeAnswersEmpty()
    {
        QFETCH(QString, fault);
        if (fault.isEmpty())
            m_service->stop();
        else
            m_service->control(
                QStringLiteral("soap"),
                QUrlQuery{{QStringLiteral("fault"), fault}, {QStringLiteral("ms"), QStringLiteral("3000")}});
        SmsWebService service;
        service.client().setTimeoutMs(1000);
        QVERIFY_THROWS_EXCEPTION(nelvo::Error, service.GetNewVersion(QStringLiteral("1.0.0")));
        if (fault == QLatin1String("slow"))
            return; // the facade would wait its full 30 seconds
        TwebInterFace facade;
        QString version = QStringLiteral("stale");
        facade.CheckNewVersion(QStringLiteral("1.0.0"), version);
        QCOMPARE(version, QString());
    }

    void offlineTheQuestionIsNotAsked()
    {
        gParams.OnlineFlag = 0;
        TwebInterFace facade;
        QString version = QStringLiteral("kept");
        facade.CheckNewVersion(QStringLiteral("1.0.0"), version);
        QCOMPARE(version, QStringLiteral("kept"));
        QVERIFY(soapRequests(*m_service).isEmpty());
    }

    void theUpdaterFacadeGoesThroughItsProxy()
    {
        // The loopback service also answers requests sent to it as a proxy (in absolute form).
        FakeServiceProcess proxy({QStringLiteral("--newest-version"), QStringLiteral("9.0")});
        QVERIFY(proxy.start());
        updater::TwebInterFace facade;
        facade.ApplyProxy(proxy.host(), QString::number(proxy.port()), QStringLiteral("joe"),
                          QStringLiteral("pw"));
        QCOMPARE(facade.CheckNewVersion(QStringLiteral("1.0.0")),
                 QStringLiteral("http://127.0.0.1/update/Nelvodesk-setup.exe"));
        const QList<QByteArray> viaProxy = soapRequests(proxy);
        QCOMPARE(viaProxy.size(), 1);
        QVERIFY(viaProxy.constFirst().startsWith(
            "POST http://127.0.0.1:" + QByteArray::number(m_service->port()) +
            "/smsservice/services/SmsWebService HTTP/1.1"));
        QVERIFY(soapRequests(*m_service).isEmpty());
        proxy.stop();
        QVERIFY_THROWS_EXCEPTION(nelvo::Error, facade.CheckNewVersion(QStringLiteral("1.0.0")));
    }
};

QTEST_GUILESS_MAIN(TestSoapService)
#include "tst_soapservice.moc"
