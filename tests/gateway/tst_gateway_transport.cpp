// The exchange over real loopback sockets: every way a reply can go wrong and the text it becomes,
// the proxy tunnel, the log entries a request leaves, and objects working side by side.
#include "FakeServiceProcess.h"
#include "codepage.h"
#include "gateway_log.h"
#include "http_exchange.h"
#include "nelvohttp.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QtTest>
#include <memory>
#include <thread>

namespace {

QString qs(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}

QString balance(nelvohttp &gateway, const char16_t *regcode = u"demo")
{
    return qs(gateway.balanceCheck(regcode, u"demo123"));
}

QByteArray readLog()
{
    QFile file(QString::fromStdString(nelvogate::gatewayLogPath()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The log's entries, stamp included; an entry runs to the next stamp.
QList<QByteArray> logEntries()
{
    static const QRegularExpression stamp(R"(^\[[ \d]\d-[ \d]\d [ \d]\d:[ \d]\d:[ \d]\d_[ \d]{2}\d\])",
                                          QRegularExpression::MultilineOption);
    const QString log = QString::fromLatin1(readLog());
    QList<qsizetype> starts;
    QRegularExpressionMatchIterator it = stamp.globalMatch(log);
    while (it.hasNext())
        starts << it.next().capturedStart();
    QList<QByteArray> entries;
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const qsizetype end = i + 1 < starts.size() ? starts[i + 1] : log.size();
        entries << log.mid(starts[i], end - starts[i]).toLatin1();
    }
    return entries;
}

quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

} // namespace

class GatewayTransportTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeServiceProcess> service;

    std::unique_ptr<FakeServiceProcess> startProxy(const QStringList &arguments = {})
    {
        auto proxy = std::make_unique<FakeServiceProcess>(QStringList{"--proxy"} + arguments);
        return proxy->start() ? std::move(proxy) : nullptr;
    }

private Q_SLOTS:
    void init()
    {
        service = std::make_unique<FakeServiceProcess>();
        QVERIFY(service->start());
        service->exportGatewayAddress();
    }
    void cleanup() { service.reset(); }

    void faultModes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("result");
        QTest::newRow("none") << "none" << 0 << "1000.00";
        QTest::newRow("delay") << "delay" << 300 << "1000.00";
        QTest::newRow("split into small writes") << "split" << 0 << "1000.00";
        QTest::newRow("length without blank, lower case") << "length-no-blank" << 0 << "1000.00";
        QTest::newRow("close without answer") << "close" << 0 << "-11";
        QTest::newRow("header longer than the buffer") << "huge-header" << 0 << "-11";
        QTest::newRow("close mid-body") << "close-mid-body" << 0 << "Content-Length字段非整数";
        QTest::newRow("length beyond the body") << "wrong-length" << 0 << "Content-Length字段非整数";
        QTest::newRow("no length") << "no-length" << 0 << "没有找到Content-Length字段";
        QTest::newRow("chunked") << "chunked" << 0 << "没有找到Content-Length字段";
        QTest::newRow("status 500") << "status500" << 0 << "-999";
        QTest::newRow("no result element") << "no-result" << 0 << "-999";
    }
    void faultModes()
    {
        QFETCH(QString, mode);
        QFETCH(int, ms);
        QFETCH(QString, result);
        QVERIFY(service->setFault(mode, 1, ms));
        nelvohttp gateway;
        QCOMPARE(balance(gateway), result);
        QCOMPARE(balance(gateway), QString("1000.00")); // the fault was for one request only
    }

    void nthRequestFails()
    {
        QVERIFY(service->failNth(2));
        nelvohttp gateway;
        QCOMPARE(balance(gateway), QString("1000.00"));
        QCOMPARE(balance(gateway), QString("-11"));
        QCOMPARE(balance(gateway), QString("1000.00"));
    }

    // The wait is shortened here; the library waits 30 seconds.
    void silentGatewayTimesOut()
    {
        QVERIFY(service->setFault("delay", 1, 10000));
        std::string buffer;
        const nelvogate::ExchangeResult result =
            nelvogate::httpRequest(nelvogate::Method::Get, {"127.0.0.1", service->port()}, {},
                                   "/sms/qorvServer/getbalance.jsp?", "regcode=demo", buffer, 1);
        QVERIFY(!result.ok);
        QCOMPARE(QByteArray::fromStdString(result.text), QByteArray("-11"));
    }

    void unreachableGateway()
    {
        qputenv("NELVOGATE_PORT", QByteArray::number(closedPort()));
        nelvohttp refused;
        QCOMPARE(balance(refused), QString("-88"));
        service->exportGatewayAddress();
    }

    void proxyTunnel_data()
    {
        QTest::addColumn<QStringList>("proxyArguments");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QByteArray>("authorization");
        QTest::newRow("open proxy") << QStringList{} << ""
                                    << ""
                                    << "1000.00" << QByteArray();
        QTest::newRow("credentials") << QStringList{"--proxy-auth", "joe:s3cret"} << "joe"
                                     << "s3cret"
                                     << "1000.00"
                                     << QByteArray("Proxy-Authorization: Basic am9lOnMzY3JldA==\r\n");
        QTest::newRow("wrong credentials")
            << QStringList{"--proxy-auth", "joe:s3cret"} << "joe"
            << "bad"
            << "-77" << QByteArray("Proxy-Authorization: Basic am9lOmJhZA==\r\n");
        QTest::newRow("credentials required") << QStringList{"--proxy-auth", "joe:s3cret"} << ""
                                              << ""
                                              << "-77" << QByteArray();
        QTest::newRow("HTTP/1.0 answer")
            << QStringList{"--proxy-status-line", "HTTP/1.0 200 Connection established"} << ""
            << ""
            << "1000.00" << QByteArray();
        QTest::newRow("other reason phrase") << QStringList{"--proxy-status-line", "HTTP/1.1 200 OK"} << ""
                                             << ""
                                             << "1000.00" << QByteArray();
        QTest::newRow("not 200") << QStringList{"--proxy-status-line", "HTTP/1.1 2000 Nearly"} << ""
                                 << ""
                                 << "-77" << QByteArray();
    }
    void proxyTunnel()
    {
        QFETCH(QStringList, proxyArguments);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, result);
        QFETCH(QByteArray, authorization);
        const auto proxy = startProxy(proxyArguments);
        QVERIFY(proxy);

        nelvohttp gateway;
        gateway.setProxy(u"127.0.0.1", proxy->port(), user.toStdU16String(), password.toStdU16String());
        QCOMPARE(balance(gateway), result);

        const QByteArray target = "127.0.0.1:" + QByteArray::number(service->port());
        QCOMPARE(proxy->tunnelRequests(), QList<QByteArray>{"CONNECT " + target + " HTTP/1.1\r\nHost: " +
                                                            target + "\r\n" + authorization + "\r\n"});
        if (result != "-77") {
            QCOMPARE(service->gatewayRequests(),
                     QList<QByteArray>{
                         "GET http://" + target +
                         "/sms/qorvServer/getbalance.jsp?regcode=demo&pwd="
                         "62cc2d8b4bf2d8728120d052163a77df HTTP/1.1\r\n"
                         "Accept: */*\r\nHost: " +
                         target +
                         "\r\nConnection: Keep-Alive\r\n"
                         "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt; DTS Agent;)\r\n"
                         "Proxy-Connection: Keep-Alive\r\n"
                         "Cache-Control: no-cache\r\n\r\n"});
        }
    }

    void postThroughProxyKeepsOriginForm()
    {
        const auto proxy = startProxy();
        QVERIFY(proxy);
        nelvohttp gateway;
        gateway.setProxy(u"127.0.0.1", proxy->port(), u"", u"");
        QCOMPARE(qs(gateway.sendMMS(u"demo", u"demo123", u"13800000000", u"hi", u"", u"1", u"", u"1", u"",
                                    u"0", u"m")),
                 QString("0"));
        QVERIFY(
            service->gatewayRequests().value(0).startsWith("POST /sms/qorvServer/sendMMS.jsp? HTTP/1.1\r\n"));
    }

    void emptyProxyFails()
    {
        nelvohttp gateway;
        gateway.setProxy(u"", 0, u"", u"");
        QCOMPARE(balance(gateway), QString("-77"));
    }

    void objectsKeepTheirOwnProxy()
    {
        const auto first = startProxy();
        const auto second = startProxy();
        QVERIFY(first && second);
        nelvohttp a, b, direct;
        a.setProxy(u"127.0.0.1", first->port(), u"", u"");
        b.setProxy(u"127.0.0.1", second->port(), u"", u"");
        QCOMPARE(balance(a), QString("1000.00"));
        QCOMPARE(balance(b), QString("1000.00"));
        QCOMPARE(balance(b), QString("1000.00"));
        QCOMPARE(balance(direct), QString("1000.00"));
        QCOMPARE(first->tunnelRequests().size(), 1);
        QCOMPARE(second->tunnelRequests().size(), 2);
        QCOMPARE(service->gatewayRequests().size(), 4);
    }

    void logEntriesOfARequest()
    {
        // The log outlives test runs and ports come round again: this request carries its own mark.
        const QByteArray regcode = "log" + QByteArray::number(QRandomGenerator::global()->generate64());
        QVERIFY(!service->control("account", QUrlQuery{{"regcode", QString::fromLatin1(regcode)}}).isEmpty());
        QVERIFY(service->setFault("split", 1));
        nelvohttp gateway;
        QCOMPARE(qs(gateway.balanceCheck(QString::fromLatin1(regcode).toStdU16String(), u"demo123")),
                 QString("1000.00"));

        const QList<QByteArray> entries = logEntries();
        qsizetype request = -1;
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (entries[i].contains("?regcode=" + regcode + "&"))
                request = i;
        QVERIFY(request >= 0);
        QVERIFY2(QRegularExpression(R"(^\[[ \d]\d-[ \d]\d [ \d]\d:[ \d]\d:[ \d]\d_[ \d]{2}\d\]utl----: GET )")
                     .match(QString::fromLatin1(entries[request]))
                     .hasMatch(),
                 entries[request].constData());
        QVERIFY(entries[request].endsWith("Cache-Control: no-cache\r\n\r\n!\n"));

        // Then one entry per read of the reply's header, each with everything received so far; the
        // entry of the last read reaches the blank line.
        const QByteArray server = "Server: fakeservice/" + QByteArray::number(service->port()) + "\r\n";
        QList<QByteArray> reads;
        for (qsizetype i = request + 1; i < entries.size(); ++i)
            if (entries[i].contains("]timeout: HTTP/1.1 200 OK\r\n" + server))
                reads << entries[i];
        QVERIFY(!reads.isEmpty());
        QVERIFY(reads.last().contains("\r\n\r\n"));
        QVERIFY(reads.last().endsWith("!\n"));
    }

    void proxyLogLines()
    {
        const auto proxy = startProxy();
        QVERIFY(proxy);
        const QByteArray before = readLog();
        nelvohttp gateway;
        gateway.setProxy(u"127.0.0.1", proxy->port(), u"", u"");
        QCOMPARE(balance(gateway), QString("1000.00"));
        const QByteArray added = readLog().mid(before.size());
        const qsizetype start = added.indexOf(
            "]*************proxy start*********************************************************\n");
        const qsizetype success =
            added.indexOf("]==================================proxy sucess==============================\n");
        const qsizetype request = added.indexOf("]utl----: GET http://");
        QVERIFY(start >= 0 && success > start && request > success);
    }

    void objectsInParallelThreads()
    {
        constexpr int threads = 4;
        constexpr int requestsEach = 3;
        QList<QString> results[threads];
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t)
            workers.emplace_back([&results, t]() {
                nelvohttp gateway;
                for (int i = 0; i < requestsEach; ++i)
                    results[t] << qs(gateway.sendSMS(u"demo", u"demo123", u"13800000000", u"parallel", u"",
                                                     u"1", u"", u"1", u"", u"0"));
            });
        for (auto &worker : workers)
            worker.join();
        for (const auto &list : results)
            QCOMPARE(list, QList<QString>(requestsEach, "0"));
        QCOMPARE(service->journal().size(), threads * requestsEach);
    }
};

QTEST_GUILESS_MAIN(GatewayTransportTest)
#include "tst_gateway_transport.moc"
