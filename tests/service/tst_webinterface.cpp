#include "BusyIndicator.h"
#include "FakeServiceProcess.h"
#include "IniFile.h"
#include "NelvoError.h"
#include "ScriptedPrompts.h"
#include "TempProgramFolder.h"
#include "TgParams.h"
#include "webService.h"

#include <QtTest>

using Outcome = TwebInterFace::SubmitOutcome;
Q_DECLARE_METATYPE(TwebInterFace::SubmitOutcome)

namespace {
const QString gatewayLibrary = QStringLiteral(NELVO_GATEWAY_LIBRARY);
}

class TestWebInterFace : public QObject
{
    Q_OBJECT

    ScriptedPrompts *m_prompts = nullptr;
    QString m_panel;
    int m_panelWrites = 0;

    std::unique_ptr<TwebInterFace> makeFacade(const QString &library = gatewayLibrary)
    {
        return std::make_unique<TwebInterFace>(
            [this](const QString &text) {
                m_panel = text;
                ++m_panelWrites;
            },
            library);
    }

private Q_SLOTS:
    void init()
    {
        m_prompts = ScriptedPrompts::install();
        m_panel.clear();
        m_panelWrites = 0;
        gParams = TgParams{};
        gParams.LoginID = QStringLiteral("demo");
        gParams.AccountPwd = QStringLiteral("demo123");
        gParams.OnlineFlag = 1;
    }

    void resultTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QList<QPair<int, const char16_t *>> table{{0, u"发送成功"},
                                                        {-1, u"用户或者密码不正确"},
                                                        {-2, u"余额不足"},
                                                        {-3, u"用户状态异常"},
                                                        {-4, u"内容超长"},
                                                        {-5, u"号码路由为空"},
                                                        {-6, u"手机号码过多"},
                                                        {-8, u"扩展号超长"},
                                                        {-9, u"新密码长度不够（8位英文）"},
                                                        {-10, u"方法错 "},
                                                        {-11, u"网络异常 "},
                                                        {-13, u"定时时间错误或者小于当前系统时间"},
                                                        {-16, u"充值卡号或密码不正确"},
                                                        {-17, u" 手机号码为空"},
                                                        {-18, u"号码不是数字或者逗号不是英文逗号"},
                                                        {-19, u"短信内容为空"},
                                                        {-100, u" 其他错误"},
                                                        {-999, u" 服务器返回非约定信息"},
                                                        {-7, u"unchanged"},
                                                        {1, u"unchanged"},
                                                        {-12, u"unchanged"}};
        for (const auto &[code, text] : table)
            QTest::addRow("%d", code) << code << QString::fromUtf16(text);
    }
    void resultTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QString result = QStringLiteral("unchanged");
        TwebInterFace::ResultText(code, result);
        QCOMPARE(result, text);
    }

    void parseCode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("negative") << "-2" << -2;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("decimal") << "1.5" << -1;
        QTest::newRow("content-length text") << "没有找到Content-Length字段" << -1;
    }
    void parseCode()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(TwebInterFace::ParseCode(text), code);
    }

    void submitSms_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("balance");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("accepted") << ""
                                  << "" << 0 << "成功" << Outcome::Accepted;
        QTest::newRow("refused: balance") << ""
                                          << "0" << -2 << "余额不足" << Outcome::Refused;
        QTest::newRow("connection closed") << "close"
                                           << "" << -11 << "网络异常 " << Outcome::Unknown;
        QTest::newRow("no result element") << "no-result"
                                           << "" << -999 << " 服务器返回非约定信息" << Outcome::Unknown;
        QTest::newRow("reply not a number") << "no-length"
                                            << "" << -999 << " 服务器返回非约定信息" << Outcome::Unknown;
    }
    void submitSms()
    {
        QFETCH(QString, fault);
        QFETCH(QString, balance);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(Outcome, outcome);
        FakeServiceProcess service;
        QVERIFY(service.start());
        service.exportGatewayAddress();
        if (!fault.isEmpty())
            QVERIFY(service.setFault(fault));
        if (!balance.isEmpty())
            service.control(QStringLiteral("account"), QUrlQuery{{QStringLiteral("balance"), balance}});
        auto facade = makeFacade();
        // The account of the run is used, whatever the caller passes.
        QCOMPARE(facade->SubmitSMS(QStringLiteral("other"), QStringLiteral("wrong"),
                                   QStringLiteral("13800138000,13900139000"), QStringLiteral("你好，世界"),
                                   QString(), QStringLiteral("seq")),
                 code);
        QCOMPARE(facade->LastMessage(), message);
        QCOMPARE(facade->LastSubmitOutcome(), outcome);
        const QList<QJsonObject> journal = service.journal();
        if (outcome == Outcome::Refused)
            QVERIFY(journal.isEmpty());
        if (code == 0) {
            QCOMPARE(journal.size(), 1);
            const QJsonObject sent = journal.constFirst();
            QCOMPARE(sent.value(QStringLiteral("content")).toString(), QStringLiteral("你好，世界"));
            // The fixed values of every send from the client.
            QCOMPARE(sent.value(QStringLiteral("regcode")).toString(), QStringLiteral("demo"));
            QCOMPARE(sent.value(QStringLiteral("extnum")).toString(), QString());
            QCOMPARE(sent.value(QStringLiteral("level")).toString(), QStringLiteral("1"));
            QCOMPARE(sent.value(QStringLiteral("reportflag")).toString(), QStringLiteral("1"));
            QCOMPARE(sent.value(QStringLiteral("url")).toString(), QString());
            QCOMPARE(sent.value(QStringLiteral("smstype")).toInt(-1), 0);
        }
    }

    void submitWithoutAGatewayNeverRaises()
    {
        // The port of a service that has just stopped: nobody listens there.
        quint16 deadPort = 0;
        {
            FakeServiceProcess service;
            QVERIFY(service.start());
            deadPort = service.port();
        }
        qputenv("NELVOGATE_HOST", "127.0.0.1");
        qputenv("NELVOGATE_PORT", QByteArray::number(deadPort));
        auto facade = makeFacade();
        const int code =
            facade->SubmitSMS({}, {}, QStringLiteral("13800138000"), QStringLiteral("x"), {}, {});
        QVERIFY(code < 0);
        QCOMPARE(facade->LastSubmitOutcome(), Outcome::NotDelivered);
        QCOMPARE(facade->QueryBalance(gParams.LoginID, gParams.AccountPwd), -999.0);
        QCOMPARE(m_panelWrites, 0);
    }

    void offlineRefusesSubmitButNotBalance()
    {
        FakeServiceProcess service;
        QVERIFY(service.start());
        service.exportGatewayAddress();
        service.control(QStringLiteral("account"),
                        QUrlQuery{{QStringLiteral("balance"), QStringLiteral("12.5")}});
        auto facade = makeFacade();
        gParams.OnlineFlag = 0;
        QCOMPARE(facade->SubmitSMS({}, {}, QStringLiteral("13800138000"), QStringLiteral("x"), {}, {}), -1);
        QCOMPARE(facade->LastMessage(), TwebInterFace::OfflineMessage());
        QCOMPARE(m_prompts->texts(), QStringList{TwebInterFace::OfflineMessage()});
        QVERIFY(service.journal().isEmpty());
        gParams.OnlineFlag = 1;
        QCOMPARE(facade->QueryBalance(gParams.LoginID, gParams.AccountPwd), 12.5);
        QCOMPARE(m_panel, QStringLiteral("您的帐户余额为:12.5"));
        QCOMPARE(gParams.Balance, 12.5);
    }

    void balanceQueries_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("password");
        QTest::addColumn<double>("result");
        QTest::addColumn<QString>("panel");
        QTest::newRow("a balance") << ""
                                   << "demo123" << 12.5 << "您的帐户余额为:12.5";
        QTest::newRow("wrong password") << ""
                                        << "nope" << -1.0 << "您的帐号为空或者不正确。";
        QTest::newRow("content-length text") << "no-length"
                                             << "demo123" << -999.0 << "before";
        QTest::newRow("network failure") << "close"
                                         << "demo123" << -999.0 << "before";
    }
    void balanceQueries()
    {
        QFETCH(QString, fault);
        QFETCH(QString, password);
        QFETCH(double, result);
        QFETCH(QString, panel);
        FakeServiceProcess service;
        QVERIFY(service.start());
        service.exportGatewayAddress();
        service.control(QStringLiteral("account"),
                        QUrlQuery{{QStringLiteral("balance"), QStringLiteral("12.5")}});
        if (!fault.isEmpty())
            QVERIFY(service.setFault(fault));
        auto facade = makeFacade();
        m_panel = QStringLiteral("before");
        gParams.Balance = 7;
        QCOMPARE(facade->QueryBalance(QStringLiteral("demo"), password), result);
        QCOMPARE(m_panel, panel);
        QCOMPARE(gParams.Balance, result == -999.0 ? 7.0 : result);
    }

    void chargeByCardKeepsItsMessage()
    {
        FakeServiceProcess service;
        QVERIFY(service.start());
        service.exportGatewayAddress();
        service.control(QStringLiteral("card"), QUrlQuery{{QStringLiteral("code"), QStringLiteral("C1")},
                                                          {QStringLiteral("pwd"), QStringLiteral("P1")},
                                                          {QStringLiteral("amount"), QStringLiteral("50")}});
        auto facade = makeFacade();
        QCOMPARE(facade->ChargeByCard(QStringLiteral("demo"), QStringLiteral("demo123"), QStringLiteral("C1"),
                                      QStringLiteral("P1")),
                 0);
        QCOMPARE(facade->LastMessage(), QStringLiteral("发送成功"));
        QVERIFY(service.setFault(QStringLiteral("no-length")));
        QCOMPARE(facade->ChargeByCard(QStringLiteral("demo"), QStringLiteral("demo123"), QStringLiteral("C1"),
                                      QStringLiteral("P1")),
                 -999);
        QCOMPARE(facade->LastMessage(), QStringLiteral(" 服务器返回非约定信息"));
    }

    void aMissingGatewayLibraryGivesFailureValues()
    {
        TempProgramFolder folder;
        gParams.UseProxy = 1; // the stored proxy cannot be applied either, and creation still succeeds
        auto facade = makeFacade(folder.bin() + QStringLiteral("libnelvogate.so"));
        QVERIFY(!facade->ProxyApplied());
        QCOMPARE(facade->QueryBalance(QStringLiteral("demo"), QStringLiteral("demo123")), -999.0);
        QCOMPARE(facade->QueryChannelLength(QStringLiteral("demo"), QStringLiteral("demo123")), -999);
        QCOMPARE(facade->ChangePassword(QStringLiteral("demo"), QStringLiteral("a"), QStringLiteral("b")),
                 -999);
        QCOMPARE(facade->SubmitSMS({}, {}, QStringLiteral("13800138000"), QStringLiteral("x"), {}, {}), -1);
        QCOMPARE(facade->LastMessage(), QString());
        QString text = QStringLiteral("untouched");
        facade->ReceiveSMS(QStringLiteral("demo"), QStringLiteral("demo123"), text);
        QCOMPARE(text, QStringLiteral("untouched"));
        QVERIFY_THROWS_EXCEPTION(
            nelvo::Error, facade->ApplyProxy(QStringLiteral("127.0.0.1"), QStringLiteral("8080"), {}, {}));
    }

    void theBusyIndicatorEndsAlsoAfterAFailure()
    {
        int depth = 0;
        int waits = 0;
        nelvo::setBusyIndicator([&depth, &waits](bool busy) {
            depth += busy ? 1 : -1;
            waits += busy ? 1 : 0;
        });
        TempProgramFolder folder;
        auto facade = makeFacade(folder.bin() + QStringLiteral("libnelvogate.so"));
        facade->QueryBalance(QStringLiteral("demo"), QStringLiteral("demo123"));
        facade->SubmitSMS({}, {}, QStringLiteral("13800138000"), QStringLiteral("x"), {}, {});
        QVERIFY_THROWS_EXCEPTION(nelvo::Error,
                                 facade->ApplyProxy(QStringLiteral("h"), QStringLiteral("1"), {}, {}));
        nelvo::setBusyIndicator({});
        QCOMPARE(waits, 3);
        QCOMPARE(depth, 0);
    }

    void theStoredProxyIsAppliedOnceAndCanBeReplaced()
    {
        TempProgramFolder folder;
        FakeServiceProcess gateway;
        QVERIFY(gateway.start());
        gateway.exportGatewayAddress();
        FakeServiceProcess proxy({QStringLiteral("--proxy")});
        QVERIFY(proxy.start());
        IniWriteStr(ConfigIniPath(), QStringLiteral("Proxy"), QStringLiteral("ProxyIP"), proxy.host());
        IniWriteStr(ConfigIniPath(), QStringLiteral("Proxy"), QStringLiteral("ProxyPort"),
                    QString::number(proxy.port()));
        gParams.UseProxy = 1;
        auto facade = makeFacade();
        QVERIFY(facade->ProxyApplied());
        QCOMPARE(facade->QueryChannelLength(QStringLiteral("demo"), QStringLiteral("demo123")), 70);
        QCOMPARE(proxy.tunnelRequests().size(), 1);
        // Applying the stored one again does nothing; a proxy from the settings dialog replaces it.
        facade->ApplyConfiguredProxy();
        FakeServiceProcess other({QStringLiteral("--proxy")});
        QVERIFY(other.start());
        facade->ApplyProxy(other.host(), QString::number(other.port()), {}, {});
        QCOMPARE(facade->QueryChannelLength(QStringLiteral("demo"), QStringLiteral("demo123")), 70);
        QCOMPARE(proxy.tunnelRequests().size(), 1);
        QCOMPARE(other.tunnelRequests().size(), 1);
    }

    void balanceFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("fraction") << 12.5 << "12.5";
        QTest::newRow("whole") << 100.0 << "100";
        QTest::newRow("cents") << 0.07 << "0.07";
        QTest::newRow("large") << 123456789.25 << "123456789.25";
    }
    void balanceFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(TwebInterFace::FormatBalance(value), text);
    }
};

QTEST_GUILESS_MAIN(TestWebInterFace)
#include "tst_webinterface.moc"
