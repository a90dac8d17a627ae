#include "Clock.h"
#include "FakeServiceProcess.h"
#include "IniFile.h"
#include "LocalCodec.h"
#include "RecipientListModel.h"
#include "ScriptedPrompts.h"
#include "TempProgramFolder.h"
#include "TgParams.h"
#include "uit_ContentPreview.h"
#include "uit_DataBase.h"
#include "uit_SendSMS.h"
#include "webService.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

namespace {
// QTest::keyClicks knows only ASCII; a Chinese character arrives as a key event carrying its text.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
} // namespace

// A program folder, the loopback service, the shared objects the main window would own, and the window.
struct ComposeFixture
{
    TempProgramFolder folder;
    FakeServiceProcess service;
    std::unique_ptr<TwebInterFace> web;
    std::unique_ptr<TdmData> data;
    std::unique_ptr<TfrmSendSMS> window;

    explicit ComposeFixture(const QByteArray &smsSection = "UseSMSSIGN=0\r\nLimitSingle=-1\r\nUsePage=0\r\n")
    {
        QFile config(folder.configFile());
        config.open(QIODevice::WriteOnly | QIODevice::Truncate);
        // Settings files are in the local code page.
        config.write(nelvo::encodeLocal(QString::fromUtf8("[SMS]\r\nEashSendCount=2\r\n" + smsSection)));
        config.close();
        service.start();
        service.exportGatewayAddress();
        gParams = TgParams{};
        gParams.LoginID = QStringLiteral("demo");
        gParams.AccountPwd = QStringLiteral("demo123");
        gParams.ChannelLength = 70;
        gParams.SmsLengths = {70, 70, 70, 56};
        web = std::make_unique<TwebInterFace>(TwebInterFace::StatusPanel(),
                                              QStringLiteral(NELVO_GATEWAY_LIBRARY));
        data = std::make_unique<TdmData>();
    }
    TfrmSendSMS &open()
    {
        window = std::make_unique<TfrmSendSMS>(*web, *data, nullptr);
        window->resize(1200, 700);
        window->show();
        return *window;
    }
};

class TestSendSMS : public QObject
{
    Q_OBJECT
    ScriptedPrompts *m_prompts = nullptr;

private Q_SLOTS:
    void init() { m_prompts = ScriptedPrompts::install(); }
    void cleanup() { nelvo::setClock({}); }

    void typingNumbersAndTextSendsThem()
    {
        ComposeFixture f;
        TfrmSendSMS &w = f.open();
        for (const char *typed : {"13800138000", "1390x0139000", "13300133000", "12345"}) {
            QTest::keyClicks(w.edtInput, QString::fromLatin1(typed));
            QTest::keyClick(w.edtInput, Qt::Key_Return);
            QCOMPARE(w.edtInput->text(), QString());
        }
        QCOMPARE(w.lblMobileCount->text(), QStringLiteral("3"));
        w.memContent->setFocus();
        typeText(w.memContent, QStringLiteral("您好，明天开会"));
        m_prompts->queueYes();
        w.btnSendSMS->click();

        QCOMPARE(m_prompts->texts(), (QStringList{QStringLiteral("您确认要发送这一批（共计3个号码）短信吗？"),
                                                  QStringLiteral("发送成功！")}));
        const QList<QJsonObject> journal = f.service.journal();
        QCOMPARE(journal.size(), 2); // batches of two
        QCOMPARE(journal.at(0).value(QStringLiteral("content")).toString(), QStringLiteral("您好，明天开会"));
        QCOMPARE(w.lblMobileCount->text(), QStringLiteral("0"));
        QCOMPARE(w.List().Count(), 0);
        QSqlQuery rows =
            f.data->Query(QStringLiteral("select sendlist, listcount, smsfolder, sendstatus, smstype "
                                         "from smssendlist"));
        QVERIFY(rows.next());
        QVERIFY(rows.value(0).toString().endsWith(QStringLiteral("succ.txt")));
        QCOMPARE(rows.value(1).toInt(), 3);
        QCOMPARE(rows.value(2).toInt(), 2);
        QCOMPARE(rows.value(3).toInt(), 1);
        QCOMPARE(rows.value(4).toString(), QStringLiteral("发送"));
        QVERIFY(!rows.next());
        QVERIFY(w.btnSendSMS->isEnabled());
    }

    void singleModeLimitsTyping()
    {
        ComposeFixture f(QByteArrayLiteral("SMSSIGN=签名\r\nUseSMSSIGN=-1\r\nLimitSingle=-1\r\n"));
        TfrmSendSMS &w = f.open();
        QVERIFY(w.chkSign->isChecked());
        QCOMPARE(w.lblSign->text(), QStringLiteral("签名"));
        QVERIFY(!w.chkUePage->isEnabled());
        QVERIFY(!w.btnPreviewContent->isEnabled());
        w.memContent->setFocus();
        QTest::keyClicks(w.memContent, QString(70, QLatin1Char('a')));
        QCOMPARE(w.memContent->toPlainText().size(), 68);
        QCOMPARE(w.lblLength->text(),
                 QStringLiteral("当前短信长度：68个字；您还可以输入：0个字。包括签名在内，总长度为:70个字"));
        QTest::keyClick(w.memContent, Qt::Key_Backspace);
        QCOMPARE(w.memContent->toPlainText().size(), 67);
        // Without the signature there is room again.
        w.chkSign->click();
        QCOMPARE(IniReadStr(f.folder.configFile(), QStringLiteral("SMS"), QStringLiteral("UseSMSSIGN")),
                 QStringLiteral("0"));
        QTest::keyClicks(w.memContent, QStringLiteral("bcd"));
        QCOMPARE(w.memContent->toPlainText().size(), 70);
    }

    void switchingModes()
    {
        ComposeFixture f;
        TfrmSendSMS &w = f.open();
        w.rbtnMuilt->click();
        QVERIFY(w.chkUePage->isEnabled());
        w.chkUePage->click();
        w.memContent->setPlainText(QString(150, QLatin1Char('x')));
        QCOMPARE(w.lblLength->text(), QStringLiteral("当前短信长度：150个字，将分拆为3条发送！"));
        // Back to one message is refused while the text does not fit.
        w.rbtnSingle->click();
        QCOMPARE(m_prompts->last()->text,
                 QStringLiteral("当前输入的短信内容长度已经超出一条短信，请您修改短信内容后再选择！"));
        QCOMPARE(m_prompts->last()->caption, QStringLiteral("警示"));
        QVERIFY(w.rbtnMuilt->isChecked());
        w.memContent->setPlainText(QStringLiteral("short"));
        w.rbtnSingle->click();
        QVERIFY(w.rbtnSingle->isChecked());
        QVERIFY(!w.chkUePage->isEnabled());
        w.rbtnMuilt->click();
        f.window.reset();
        QCOMPARE(IniReadStr(f.folder.configFile(), QStringLiteral("SMS"), QStringLiteral("LimitSingle")),
                 QStringLiteral("0"));
        QCOMPARE(IniReadStr(f.folder.configFile(), QStringLiteral("SMS"), QStringLiteral("UsePage")),
                 QStringLiteral("-1"));
    }

    void modesAreRestoredFromTheSettings_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("multi");
        QTest::addColumn<bool>("pages");
        QTest::newRow("single") << QByteArray("LimitSingle=-1\r\nUsePage=-1\r\n") << false << false;
        QTest::newRow("multi with pages") << QByteArray("LimitSingle=0\r\nUsePage=-1\r\n") << true << true;
        QTest::newRow("multi without pages") << QByteArray("LimitSingle=0\r\nUsePage=0\r\n") << true << false;
        QTest::newRow("missing") << QByteArray() << false << false;
        QTest::newRow("unreadable") << QByteArray("LimitSingle=\r\nUsePage=yes\r\n") << false << false;
        QTest::newRow("multi, unreadable pages")
            << QByteArray("LimitSingle=False\r\nUsePage=\r\n") << true << false;
    }
    void modesAreRestoredFromTheSettings()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, multi);
        QFETCH(bool, pages);
        ComposeFixture f(settings);
        TfrmSendSMS &w = f.open();
        QCOMPARE(w.rbtnMuilt->isChecked(), multi);
        QCOMPARE(w.rbtnSingle->isChecked(), !multi);
        QCOMPARE(w.chkUePage->isChecked(), pages);
        QCOMPARE(w.chkUePage->isEnabled(), multi);
        QCOMPARE(w.lblLength->text().contains(QStringLiteral("分拆")), multi);
    }

    void birthdaysAreOfferedAtEveryShow()
    {
        ComposeFixture f;
        nelvo::setClock([] { return QDateTime(QDate(2026, 7, 31), QTime(9, 0)); });
        for (const char *mobile : {"13800138000", "01012345678"})
            f.data->Query(
                QStringLiteral("insert into customer (name, mobile, birthday) values ('x', :m, :b)"),
                {{QStringLiteral(":m"), QString::fromLatin1(mobile)},
                 {QStringLiteral(":b"), DbDateTime(QDateTime(QDate(1990, 7, 31), QTime()))}});
        m_prompts->queueYes();
        TfrmSendSMS &w = f.open();
        QCOMPARE(m_prompts->shown().at(0).text,
                 QStringLiteral("今天您的联系人中有2个人过生日，您是否要给他们发送生日祝福？"));
        QCOMPARE(w.lblMobileCount->text(), QStringLiteral("2"));
        QCOMPARE(w.Composer().ContentLimit(), 56); // a fixed-line number lowers the limit
        QVERIFY(m_prompts->last()->text.startsWith(QStringLiteral("系统已经将今天过生日的联系人手机号")));
        // Asked again at the next showing; No adds nothing.
        w.hide();
        m_prompts->clear();
        w.show();
        QCOMPARE(m_prompts->shown().size(), 1);
        QCOMPARE(w.lblMobileCount->text(), QStringLiteral("2"));
    }

    void signatureButtonStoresTheSignature()
    {
        ComposeFixture f;
        TfrmSendSMS &w = f.open();
        m_prompts->queueText(QStringLiteral("【诺沃】"));
        w.btnInputSign->click();
        QCOMPARE(m_prompts->last()->caption, QStringLiteral("修改短信签名"));
        QCOMPARE(m_prompts->last()->text, QStringLiteral("请输入新签名"));
        QCOMPARE(w.lblSign->text(), QStringLiteral("【诺沃】"));
        QCOMPARE(IniReadStr(f.folder.configFile(), QStringLiteral("SMS"), QStringLiteral("SMSSIGN")),
                 QStringLiteral("【诺沃】"));
        // The signature is not in use: the length display does not count it.
        QVERIFY(w.lblLength->text().contains(QStringLiteral("您还可以输入：70个字")));
    }

    void thePreviewShowsEightPartsAndAHint()
    {
        ComposeFixture f(QByteArrayLiteral("LimitSingle=0\r\nUsePage=0\r\n"));
        TfrmSendSMS &w = f.open();
        w.memContent->setPlainText(QString(1000, QLatin1Char('x')));
        // What the preview showed, read while it is open and checked after it closed.
        struct Seen
        {
            bool visible = false, cancelVisible = false;
            QString ok, cancel, summary, eighth, hint;
        } seen;
        auto readAndClose = [&w, &seen](bool cancel) {
            QTimer::singleShot(0, &w, [&w, &seen, cancel] {
                TfrmContentPreview *preview = w.frmContentPreview;
                seen = {preview->isVisible(),    preview->btnCancel->isVisible(),
                        preview->btnOk->text(),  preview->btnCancel->text(),
                        preview->Label1->text(), preview->Memo[7]->toPlainText(),
                        preview->lblHint->text()};
                (cancel ? preview->btnCancel : preview->btnOk)->click();
            });
        };
        readAndClose(false);
        w.btnPreviewContent->click();
        QVERIFY(seen.visible);
        QCOMPARE(seen.ok, QStringLiteral("确定"));
        QVERIFY(!seen.cancelVisible);
        QCOMPARE(seen.summary, QStringLiteral("短信内容被拆分为：15条，是否继续发送。"));
        QCOMPARE(seen.eighth, QString(70, QLatin1Char('x')));
        QCOMPARE(seen.hint, QStringLiteral("第九条以后的内容不再展示，请谅解！"));

        // When sending, the same window asks whether to go on; cancelling sends nothing.
        w.AddMobile(QStringLiteral("13800138000"));
        m_prompts->queueYes();
        readAndClose(true);
        w.btnSendSMS->click();
        QCOMPARE(seen.ok, QStringLiteral("继续发送"));
        QCOMPARE(seen.cancel, QStringLiteral("取消发送"));
        QVERIFY(seen.cancelVisible);
        QVERIFY(f.service.journal().isEmpty());
        QCOMPARE(w.List().Count(), 1);
    }

    void theRightPanelStaysCentred()
    {
        ComposeFixture f;
        TfrmSendSMS &w = f.open();
        w.pnlSMS->resize(TfrmSendSMS::DesignWidth, 420);
        const int designLeft = w.memContent->x();
        w.pnlSMS->resize(TfrmSendSMS::DesignWidth + 200, 420);
        QCOMPARE(w.memContent->x(), designLeft + 100);
        w.pnlSMS->resize(TfrmSendSMS::DesignWidth - 101, 420);
        QCOMPARE(w.memContent->x(), designLeft - 50);
    }
};

QTEST_MAIN(TestSendSMS)
#include "tst_sendsms.moc"
