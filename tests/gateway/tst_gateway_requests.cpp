// Each operation against the loopback service: the bytes on the wire, the input checks that keep a
// request from being sent, and the results the service's answers turn into.
#include "FakeServiceProcess.h"
#include "nelvohttp.h"

#include <QtTest>
#include <memory>

namespace {

std::u16string u16(const QString &text)
{
    return text.toStdU16String();
}
QString qs(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}

// Calls an operation by name with its arguments in interface order.
QString call(nelvohttp &gateway, const QString &operation, const QStringList &a)
{
    auto arg = [&a](int i) { return u16(a.value(i)); };
    if (operation == u"sendSMS")
        return qs(
            gateway.sendSMS(arg(0), arg(1), arg(2), arg(3), arg(4), arg(5), arg(6), arg(7), arg(8), arg(9)));
    if (operation == u"sendMMS")
        return qs(gateway.sendMMS(arg(0), arg(1), arg(2), arg(3), arg(4), arg(5), arg(6), arg(7), arg(8),
                                  arg(9), arg(10)));
    if (operation == u"recvSMS")
        return qs(gateway.recvSMS(arg(0), arg(1)));
    if (operation == u"recvReport")
        return qs(gateway.recvReport(arg(0), arg(1)));
    if (operation == u"balanceCheck")
        return qs(gateway.balanceCheck(arg(0), arg(1)));
    if (operation == u"chargeAdd")
        return qs(gateway.chargeAdd(arg(0), arg(1), arg(2), arg(3)));
    if (operation == u"changePassword")
        return qs(gateway.changePassword(arg(0), arg(1), arg(2)));
    if (operation == u"getchannellength")
        return qs(gateway.getchannellength(arg(0), arg(1)));
    qFatal("unknown operation");
}

// A valid sendSMS argument list with one field replaced.
QStringList sms(int index = -1, const QString &value = {})
{
    QStringList args{"demo", "demo123", "13800000000", "hello", "", "1", "", "1", "", "0"};
    if (index >= 0)
        args[index] = value;
    return args;
}

QStringList mms(int index = -1, const QString &value = {})
{
    QStringList args = sms();
    args << "mms001";
    if (index >= 0)
        args[index] = value;
    return args;
}

QString numbers(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QString::number(13800000000LL + i);
    return list.join(u',');
}

const QByteArray kDigest = "62cc2d8b4bf2d8728120d052163a77df"; // md5 of "demo123"
const QByteArray kHeaderTail = "Accept: */*\r\n";

} // namespace

class GatewayRequestsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeServiceProcess> service;
    QByteArray hostLine() const { return "Host: 127.0.0.1:" + QByteArray::number(service->port()) + "\r\n"; }

private Q_SLOTS:
    void init()
    {
        service = std::make_unique<FakeServiceProcess>();
        QVERIFY(service->start());
        service->exportGatewayAddress();
    }
    void cleanup() { service.reset(); }

    void getRequestOnTheWire()
    {
        nelvohttp gateway;
        QCOMPARE(call(gateway, "sendSMS",
                      {"demo", "demo123", "13800000000,13900000000", "你好 world-1", "12", "1",
                       "20300101120000", "1", "http://x.cn/a b", "02"}),
                 QString("0"));
        const QList<QByteArray> requests = service->gatewayRequests();
        QCOMPARE(requests.size(), 1);
        const QByteArray expected =
            "GET /sms/qorvServer/sendSMS.jsp?regcode=demo&pwd=" + kDigest +
            "&phone=13800000000,13900000000&CONTENT=%C4%E3%BA%C3+world%2D1&extnum=12&level=1"
            "&schtime=20300101120000&reportflag=1&url=http%3A%2F%2Fx.cn%2Fa+b&smstype=2 HTTP/1.1\r\n" +
            kHeaderTail + hostLine() +
            "Connection: Keep-Alive\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt; DTS Agent;)\r\n"
            "Proxy-Connection: Keep-Alive\r\n"
            "Cache-Control: no-cache\r\n\r\n";
        QCOMPARE(requests.first(), expected);

        const QList<QJsonObject> journal = service->journal();
        QCOMPARE(journal.size(), 1);
        QCOMPARE(journal.first().value("content").toString(), QString("你好 world-1"));
        QCOMPARE(journal.first().value("url").toString(), QString("http://x.cn/a b"));
        QCOMPARE(journal.first().value("numbers").toArray().size(), 2);
    }

    void postRequestOnTheWire()
    {
        nelvohttp gateway;
        QCOMPARE(call(gateway, "sendMMS", mms(10, "图 1")), QString("0"));
        const QByteArray query = "regcode=demo&pwd=" + kDigest +
                                 "&phone=13800000000&CONTENT=hello&extnum=&level=1&schtime=&reportflag=1&url="
                                 "&smstype=0&mmsid=%CD%BC+1";
        const QByteArray expected =
            "POST /sms/qorvServer/sendMMS.jsp? HTTP/1.1\r\n" + kHeaderTail + hostLine() +
            "Content-Length: " + QByteArray::number(query.size()) +
            "\r\n"
            "Connection: Keep-Alive\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt; DTS Agent;)\r\n"
            "Proxy-Connection: Keep-Alive\r\n"
            "Cache-Control: no-cache\r\n\r\n" +
            query + "\r\n";
        QCOMPARE(service->gatewayRequests().value(0), expected);
        QCOMPARE(service->journal().value(0).value("mmsid").toString(), QString("图 1"));
    }

    void requestLines_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("requestLine");
        const QByteArray account = "regcode=demo&pwd=" + kDigest;
        QTest::newRow("recvSMS") << "recvSMS" << QStringList{"demo", "demo123"}
                                 << "GET /sms/qorvServer/recvSMS.jsp?" + account + " HTTP/1.1";
        QTest::newRow("recvReport") << "recvReport" << QStringList{"demo", "demo123"}
                                    << "GET /sms/qorvServer/getreport.jsp?" + account + " HTTP/1.1";
        QTest::newRow("balanceCheck") << "balanceCheck" << QStringList{"demo", "demo123"}
                                      << "GET /sms/qorvServer/getbalance.jsp?" + account + " HTTP/1.1";
        QTest::newRow("chargeAdd") << "chargeAdd" << QStringList{"demo", "demo123", "C 1", "p%w"}
                                   << "GET /sms/qorvServer/chargeadd.jsp?" + account +
                                          "&cardCode=C 1&cardpwd=p%w HTTP/1.1";
        QTest::newRow("changePassword")
            << "changePassword" << QStringList{"demo", "demo123", "abc&1234"}
            << "GET /sms/qorvServer/modifypwd.jsp?" + account + "&newpwd=abc&1234 HTTP/1.1";
        QTest::newRow("getchannellength")
            << "getchannellength" << QStringList{"demo", "demo123"}
            << "GET /sms/qorvServer/getchannellength.jsp?" + account + " HTTP/1.1";
    }
    void requestLines()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, requestLine);
        nelvohttp gateway;
        call(gateway, operation, arguments);
        const QByteArray request = service->gatewayRequests().value(0);
        QCOMPARE(request.left(request.indexOf("\r\n")), requestLine);
    }

    void checksBeforeSending_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("code");

        QStringList first = sms(4, "12345678901234");
        first[0] = "";
        QTest::newRow("extnum decides before regcode") << "sendSMS" << first << "-8";
        QTest::newRow("no regcode") << "sendSMS" << sms(0, "") << "-1";
        QStringList typeThree = sms(9, "3");
        typeThree[3] = "";
        QTest::newRow("unknown type before empty content") << "sendSMS" << typeThree << "-10";
        QTest::newRow("601 ascii") << "sendSMS" << sms(3, QString(601, 'a')) << "-4";
        QTest::newRow("301 chinese") << "sendSMS" << sms(3, QString(301, u'汉')) << "-4";
        QStringList withUrl = sms(3, QString(590, 'a'));
        withUrl[8] = QString(11, 'u');
        withUrl[9] = "1";
        QTest::newRow("content and url together") << "sendSMS" << withUrl << "-4";
        withUrl[9] = "2";
        QTest::newRow("content and url together, type 2") << "sendSMS" << withUrl << "-4";
        QStringList mmsWithUrl = mms(3, QString(590, 'a'));
        mmsWithUrl[8] = QString(11, 'u');
        mmsWithUrl[9] = "2";
        QTest::newRow("mms content and url together") << "sendMMS" << mmsWithUrl << "-4";
        QTest::newRow("empty content") << "sendSMS" << sms(3, "") << "-19";
        QTest::newRow("empty phone") << "sendSMS" << sms(2, "") << "-17";
        QTest::newRow("full-width comma") << "sendSMS" << sms(2, "13800000000，13900000000") << "-18";
        QTest::newRow("blank in phone") << "sendSMS" << sms(2, "13800000000, 13900000000") << "-18";
        QTest::newRow("letter in phone") << "sendSMS" << sms(2, "1380000000a") << "-18";
        QTest::newRow("109 numbers") << "sendSMS" << sms(2, numbers(109)) << "-6";
        QTest::newRow("mms unknown type") << "sendMMS" << mms(9, "3") << "-10";
        QStringList longId = mms(10, QString(200001, 'm'));
        longId[9] = "1";
        QTest::newRow("mms id too long") << "sendMMS" << longId << "-4";
        QTest::newRow("mms 1084 numbers") << "sendMMS" << mms(2, numbers(1084)) << "-6";
        QTest::newRow("recv without regcode") << "recvSMS" << QStringList{"", "x"} << "-1";
        QTest::newRow("balance without regcode") << "balanceCheck" << QStringList{"", "x"} << "-1";
        QTest::newRow("no card code") << "chargeAdd" << QStringList{"demo", "x", "", "1"} << "-16";
        QTest::newRow("no card password") << "chargeAdd" << QStringList{"demo", "x", "1", ""} << "-16";
        QTest::newRow("new password of 7")
            << "changePassword" << QStringList{"demo", "x", "1234567"} << "-11";
        QTest::newRow("new password of 9")
            << "changePassword" << QStringList{"demo", "x", "123456789"} << "-11";
    }
    void checksBeforeSending()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, arguments);
        QFETCH(QString, code);
        nelvohttp gateway;
        QCOMPARE(call(gateway, operation, arguments), code);
        QVERIFY(service->gatewayRequests().isEmpty());
    }

    void limitsThatStillSend_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("600 ascii") << "sendSMS" << sms(3, QString(600, 'a'));
        QTest::newRow("300 chinese") << "sendSMS" << sms(3, QString(300, u'汉'));
        QTest::newRow("1 chinese and 299 ascii") << "sendSMS" << sms(3, QString(u'汉') + QString(299, 'a'));
        QTest::newRow("108 numbers") << "sendSMS" << sms(2, numbers(108));
        QTest::newRow("13 byte extnum") << "sendSMS" << sms(4, "1234567890123");
        QTest::newRow("type written back as number") << "sendSMS" << sms(9, "abc");
    }
    void limitsThatStillSend()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, arguments);
        nelvohttp gateway;
        QCOMPARE(call(gateway, operation, arguments), QString("0"));
        QCOMPARE(service->journal().size(), 1);
    }

    void accountRoundTrip()
    {
        nelvohttp gateway;
        QCOMPARE(call(gateway, "balanceCheck", {"demo", "demo123"}), QString("1000.00"));
        QCOMPARE(call(gateway, "sendSMS", sms(2, numbers(3))), QString("0"));
        QCOMPARE(call(gateway, "balanceCheck", {"demo", "demo123"}), QString("999.70"));
        QCOMPARE(call(gateway, "balanceCheck", {"demo", "wrong"}), QString("-1"));
        QCOMPARE(call(gateway, "chargeAdd", {"demo", "demo123", "CARD0001", "12345678"}), QString("0"));
        QCOMPARE(call(gateway, "chargeAdd", {"demo", "demo123", "CARD0001", "12345678"}), QString("-16"));
        QCOMPARE(call(gateway, "balanceCheck", {"demo", "demo123"}), QString("1099.70"));
        QCOMPARE(call(gateway, "getchannellength", {"demo", "demo123"}), QString("70"));
        QCOMPARE(call(gateway, "changePassword", {"demo", "demo123", "newpass8"}), QString("0"));
        QCOMPARE(call(gateway, "balanceCheck", {"demo", "demo123"}), QString("-1"));
        QCOMPARE(call(gateway, "balanceCheck", {"demo", "newpass8"}), QString("1099.70"));
    }

    void incomingMessagesAreDecoded()
    {
        QVERIFY(service->addIncoming("13800000001", "你好|回复 100%", "2024-05-06 07:08:09"));
        QVERIFY(service->addIncoming("13800000002", "second"));
        nelvohttp gateway;
        QCOMPARE(call(gateway, "recvSMS", {"demo", "demo123"}),
                 QString("1|13800000001||1|2024-05-06 07:08:09|你好|回复 100%#####2|13800000002||1||second"));
        QCOMPARE(call(gateway, "recvSMS", {"demo", "demo123"}), QString());
    }

    void versionAndProxyTexts()
    {
        nelvohttp gateway;
        QCOMPARE(gateway.getversion(),
                 std::u16string(u"ver 2.0.0  support VC,delphi,VB,C#,power buileder ,asp, asp.net"));
        QCOMPARE(gateway.setProxy(u"", 0, u"", u""), std::u16string(u"使用代理..."));
        QCOMPARE(gateway.OnStartPage(nullptr), nelvohttp::InvalidPointer);
        int context = 0;
        QCOMPARE(gateway.OnStartPage(&context), 0);
        QCOMPARE(gateway.OnEndPage(), 0);
    }
};

QTEST_GUILESS_MAIN(GatewayRequestsTest)
#include "tst_gateway_requests.moc"
