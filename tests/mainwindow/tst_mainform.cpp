#include "FakeServiceProcess.h"
#include "IniFile.h"
#include "ScriptedPrompts.h"
#include "TempProgramFolder.h"
#include "TgParams.h"
#include "uit_About.h"
#include "uit_mainform.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// A program folder with the gateway library and the skins beside the programs, and the gateway
// played by fakeservice.
struct MainWindowFixture
{
    TempProgramFolder folder;
    FakeServiceProcess service;

    MainWindowFixture()
    {
        QFile::copy(QStringLiteral(NELVO_GATEWAY_LIBRARY), folder.bin() + QStringLiteral("libnelvogate.so"));
        for (int i = 0; i < TfrmMainForm::SkinCount; ++i)
            QFile::copy(QStringLiteral(NELVO_SKINS_DIR "/skin%1.skn").arg(i),
                        folder.bin() + QStringLiteral("skin%1.skn").arg(i));
        service.start();
        service.exportGatewayAddress();
        gParams = TgParams{};
    }
    QString config() const { return folder.configFile(); }
};

class TestMainForm : public QObject
{
    Q_OBJECT
    ScriptedPrompts *m_prompts = nullptr;

private Q_SLOTS:
    void init() { m_prompts = ScriptedPrompts::install(); }

    void creationReadsTheSettingsAndStoresTheChannelLength()
    {
        MainWindowFixture f;
        f.service.control(QStringLiteral("account"),
                          QUrlQuery{{QStringLiteral("channelLength"), QStringLiteral("64")}});
        IniWriteInt(f.config(), QStringLiteral("sequence"), QStringLiteral("cgroupsequence"), 21);
        IniWriteInt(f.config(), QStringLiteral("Proxy"), QStringLiteral("UseProxy"), 0);
        {
            TfrmMainForm form;
            form.StoreChannelLength();
            QCOMPARE(IniReadStr(f.config(), QStringLiteral("Account"), QStringLiteral("ChannelLength")),
                     QStringLiteral("64"));
            QCOMPARE(gParams.ChannelLength, 64);
            QCOMPARE(gParams.SmsLengths, (std::array<int32_t, 4>{70, 64, 70, 56}));
            QCOMPARE(gParams.LoginID, QStringLiteral("demo"));
            QCOMPARE(gParams.cgroupsequence, 21);
            QVERIFY(!form.isVisible());
            // What the run changes goes back at the end.
            gParams.cgroupsequence = 22;
            gParams.ptypesequence = 30;
            gParams.psmsfoldersequence = 40;
            gParams.AutoRecSMS = 1;
        }
        QCOMPARE(IniReadInt(f.config(), QStringLiteral("sequence"), QStringLiteral("cgroupsequence")), 22);
        QCOMPARE(IniReadInt(f.config(), QStringLiteral("sequence"), QStringLiteral("ptypesequence")), 30);
        QCOMPARE(IniReadInt(f.config(), QStringLiteral("sequence"), QStringLiteral("psmsfoldersequence")),
                 40);
        QCOMPARE(IniReadInt(f.config(), QStringLiteral("Application"), QStringLiteral("AutoRecSMS")), 1);
    }

    void aFailedChannelQueryStores70()
    {
        MainWindowFixture f;
        QVERIFY(f.service.setFault(QStringLiteral("no-result")));
        TfrmMainForm form;
        form.StoreChannelLength();
        QCOMPARE(IniReadStr(f.config(), QStringLiteral("Account"), QStringLiteral("ChannelLength")),
                 QStringLiteral("70"));
        QCOMPARE(gParams.SmsLengths[1], 70);
    }

    void showingSetsTitleAndStatus()
    {
        MainWindowFixture f;
        IniWriteInt(f.config(), QStringLiteral("Application"), QStringLiteral("AutoRecSMS"), 1);
        TfrmMainForm form;
        form.FormShow();
        const QString softname =
            IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("softname"));
        QCOMPARE(form.windowTitle(), softname);
        QCOMPARE(form.staPanels[1]->text(), QStringLiteral("帐号：demo"));
        QVERIFY(form.staPanels[2]->text().contains(QStringLiteral("版权所有")));
        QVERIFY(form.actRecSMS->isVisible());
        // Automatic receiving with an interval never set in the settings dialog starts at 0 ms.
        QVERIFY(form.timRec->isActive());
        QCOMPARE(form.timRec->interval(), 0);
        form.timRec->stop();
    }

    void balanceCommand_data()
    {
        QTest::addColumn<QString>("balance");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a balance") << "12.5"
                                   << ""
                                   << "您的帐户余额为:12.5";
        QTest::newRow("exactly zero") << "0"
                                      << ""
                                      << "检查您的帐户是否填写或注册.";
        QTest::newRow("service failing") << "12.5"
                                         << "close"
                                         << "查询失败!";
    }
    void balanceCommand()
    {
        QFETCH(QString, balance);
        QFETCH(QString, fault);
        QFETCH(QString, shown);
        MainWindowFixture f;
        f.service.control(QStringLiteral("account"), QUrlQuery{{QStringLiteral("balance"), balance}});
        TfrmMainForm form;
        if (!fault.isEmpty())
            QVERIFY(f.service.setFault(fault));
        form.actBalance->trigger();
        QCOMPARE(m_prompts->last()->text, shown);
        QCOMPARE(m_prompts->last()->caption, QStringLiteral("信息"));
        if (fault.isEmpty())
            QVERIFY(form.staPanels[3]->text().startsWith(QStringLiteral("您的帐")));
        else
            QCOMPARE(form.staPanels[3]->text(), QString());
    }

    void skinsFollowTheViewMenu()
    {
        MainWindowFixture f;
        IniWriteInt(f.config(), QStringLiteral("SKINFACE"), QStringLiteral("iFaceIndex"), 4);
        TfrmMainForm form;
        QVERIFY(form.mnuSkins[4]->isChecked());
        QCOMPARE(form.mnuSkins[4]->text(), form.mnuSkins[2]->text());
        QVERIFY(qApp->styleSheet().startsWith(QStringLiteral("/* Nelvodesk skin 4")));
        form.mnuSkins[5]->trigger();
        QVERIFY(form.mnuSkins[5]->isChecked());
        QVERIFY(!form.mnuSkins[4]->isChecked());
        QVERIFY(qApp->styleSheet().startsWith(QStringLiteral("/* Nelvodesk skin 5")));
        QCOMPARE(IniReadInt(f.config(), QStringLiteral("SKINFACE"), QStringLiteral("iFaceIndex")), 5);
        // A skin whose file is gone switches skins off, and the choice is still remembered.
        QFile::remove(f.folder.bin() + QStringLiteral("skin6.skn"));
        form.mnuSkins[6]->trigger();
        QCOMPARE(qApp->styleSheet(), QString());
        QCOMPARE(IniReadInt(f.config(), QStringLiteral("SKINFACE"), QStringLiteral("iFaceIndex")), 6);
    }

    void anIndexOutsideTheMenuTicksNothing()
    {
        MainWindowFixture f;
        IniWriteInt(f.config(), QStringLiteral("SKINFACE"), QStringLiteral("iFaceIndex"), 9);
        TfrmMainForm form;
        for (QAction *skin : form.mnuSkins)
            QVERIFY(!skin->isChecked());
        QCOMPARE(qApp->styleSheet(), QString());
    }

    void signatureCommand_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("stored");
        QTest::newRow("ok") << false << "【新签名】";
        QTest::newRow("cancel keeps the old one") << true << "【旧签名】";
    }
    void signatureCommand()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, stored);
        MainWindowFixture f;
        IniWriteStr(f.config(), QStringLiteral("SMS"), QStringLiteral("SMSSIGN"),
                    QStringLiteral("【旧签名】"));
        TfrmMainForm form;
        if (cancel)
            m_prompts->queueCancel();
        else
            m_prompts->queueText(QStringLiteral("【新签名】"));
        form.mnuSignature->trigger();
        QCOMPARE(m_prompts->last()->caption, QStringLiteral("修改短信签名"));
        QCOMPARE(m_prompts->last()->text, QStringLiteral("请输入新短信签名"));
        QCOMPARE(IniReadStr(f.config(), QStringLiteral("SMS"), QStringLiteral("SMSSIGN")), stored);
    }

    void updateCommand_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("updaterPresent");
        QTest::addColumn<QString>("shown");
        QTest::newRow("latest") << "2.0.0" << true << "已经是最新版本软件！";
        QTest::newRow("newer, updater present") << "1.0.0" << true << "";
        QTest::newRow("newer, updater missing") << "1.0.0" << false << "";
    }
    void updateCommand()
    {
        QFETCH(QString, version);
        QFETCH(bool, updaterPresent);
        QFETCH(QString, shown);
        MainWindowFixture f;
        IniWriteStr(f.config(), QStringLiteral("Application"), QStringLiteral("Version"), version);
        f.service.control(QStringLiteral("soap"),
                          QUrlQuery{{QStringLiteral("newest"), QStringLiteral("2.0.0")}});
        qputenv("NELVO_SERVICE_HOST", "127.0.0.1");
        qputenv("NELVO_SERVICE_PORT", QByteArray::number(f.service.port()));
        const QString marker = f.folder.root() + QStringLiteral("/updater-started");
        if (updaterPresent) {
            QFile updater(f.folder.bin() + QStringLiteral("Nelvopatch"));
            QVERIFY(updater.open(QIODevice::WriteOnly));
            updater.write("#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
            updater.close();
            updater.setPermissions(updater.permissions() | QFile::ExeOwner);
        }
        TfrmMainForm form;
        form.actUpdate->trigger();
        QCOMPARE(m_prompts->texts(), shown.isEmpty() ? QStringList() : QStringList{shown});
        if (updaterPresent && shown.isEmpty())
            QTRY_VERIFY(QFile::exists(marker));
        else
            QVERIFY(!QFile::exists(marker));
    }

    void aboutBox()
    {
        MainWindowFixture f;
        gParams.Version = QStringLiteral("1.0.0");
        QFile::copy(QStringLiteral(NELVO_RESOURCES_DIR "/pictures/about.jpg"),
                    f.folder.bin() + QStringLiteral("about.jpg"));
        TAboutBox box;
        QVERIFY(m_prompts->shown().isEmpty());
        QVERIFY(!box.ProgramIcon.isNull());
        QTimer::singleShot(0, &box, [&box] { box.OKButton->click(); });
        box.exec();
        QCOMPARE(box.windowTitle(), QStringLiteral("Kestra -- 关于"));
        QCOMPARE(box.Version->text(), QStringLiteral("V1.0.0"));
        QVERIFY(box.Copyright->text().contains(QStringLiteral("版权所有")));
        QVERIFY(!box.Phone->isVisible());
        QFile::remove(f.folder.bin() + QStringLiteral("about.jpg"));
        TAboutBox without;
        QCOMPARE(m_prompts->shown().size(), 1);
        QVERIFY(without.ProgramIcon.isNull());
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
