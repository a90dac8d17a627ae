#include "IniFile.h"
#include "ScriptedPrompts.h"
#include "SingleInstance.h"
#include "StartUp.h"
#include "TempProgramFolder.h"
#include "TgParams.h"
#include "uit_DataBase.h"
#include "uit_Login.h"
#include "uit_ScreenPop.h"
#include "uit_mainform.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs `step` on the modal dialog of type T as soon as the start has opened it.
template <typename T> void onModal(std::function<void(T *)> step)
{
    QTimer::singleShot(0, [step] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget()))
            step(dialog);
        else
            onModal<T>(step);
    });
}

// Closes the main window once the start has shown it.
void closeMainWindowWhenShown(QString *title)
{
    QTimer::singleShot(0, [title] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *main = qobject_cast<TfrmMainForm *>(w); main && main->isVisible()) {
                *title = main->windowTitle();
                main->close();
                return;
            }
        }
        closeMainWindowWhenShown(title);
    });
}

QString softname()
{
    return IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("softname"));
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT
    ScriptedPrompts *m_prompts = nullptr;

private Q_SLOTS:
    void init() { m_prompts = ScriptedPrompts::install(); }

    void aSecondInstanceIsToldAndEnds()
    {
        TempProgramFolder folder;
        QVERIFY(!softname().isEmpty());
        SingleInstanceLock first(softname());
        QVERIFY(!first.alreadyRunning());
        QCOMPARE(RunNelvodesk(false), 0);
        QCOMPARE(m_prompts->shown().size(), 1);
        QCOMPARE(m_prompts->last()->caption, QStringLiteral("提示"));
        QCOMPARE(m_prompts->last()->text, softname() + QStringLiteral("已经运行！"));
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void aCrashedInstanceDoesNotBlockTheNext()
    {
        const QString name = QStringLiteral("崩溃测试-%1").arg(QCoreApplication::applicationPid());
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        const pid_t child = fork();
        if (child == 0) {
            SingleInstanceLock held(name);
            const char byte = held.alreadyRunning() ? 'n' : 'y';
            (void)!write(ready[1], &byte, 1);
            for (;;)
                pause();
        }
        char byte = 0;
        QCOMPARE(read(ready[0], &byte, 1), ssize_t(1));
        QCOMPARE(byte, 'y');
        QVERIFY(SingleInstanceLock(name).alreadyRunning());
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        QVERIFY(!SingleInstanceLock(name).alreadyRunning());
        close(ready[0]);
        close(ready[1]);
    }

    void aCancelledSignInStillWritesTheCounters()
    {
        TempProgramFolder folder;
        QFile config(folder.configFile());
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        config.write(
            "[Account]\r\nclientuser=admin\r\nChannelLength=66\r\n[Application]\r\nAutoRecSMS = 1\r\n"
            "[sequence]\r\ncgroupsequence = 17\r\nptypesequence=0x10\r\npsmsfoldersequence=12\r\n");
        config.close();
        onModal<TfrmLogin>([](TfrmLogin *login) {
            QCOMPARE(login->edtLoginID->text(), QStringLiteral("admin"));
            login->btnCancel->click();
        });
        QCOMPARE(RunNelvodesk(false), 0);
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                !QApplication::topLevelWidgets().constFirst()->isVisible());
        const QString path = folder.configFile();
        QCOMPARE(IniReadStr(path, QStringLiteral("Application"), QStringLiteral("AutoRecSMS")),
                 QStringLiteral("1"));
        QCOMPARE(IniReadStr(path, QStringLiteral("sequence"), QStringLiteral("cgroupsequence")),
                 QStringLiteral("17"));
        QCOMPARE(IniReadStr(path, QStringLiteral("sequence"), QStringLiteral("ptypesequence")),
                 QStringLiteral("0"));
        QCOMPARE(IniReadStr(path, QStringLiteral("sequence"), QStringLiteral("psmsfoldersequence")),
                 QStringLiteral("12"));
        // Written at every start, before the sign-in, from what the service reports (nothing here).
        QCOMPARE(IniReadStr(path, QStringLiteral("Account"), QStringLiteral("ChannelLength")),
                 QStringLiteral("70"));
    }

    void signingInShowsTheMainWindow()
    {
        TempProgramFolder folder;
        onModal<TfrmLogin>([](TfrmLogin *login) {
            QTest::keyClicks(login->edtPwd, QStringLiteral("admin"));
            QTest::keyClick(login->edtPwd, Qt::Key_Return);
        });
        QString title;
        closeMainWindowWhenShown(&title);
        QCOMPARE(RunNelvodesk(false), 0);
        QCOMPARE(title, softname());
        QVERIFY(m_prompts->shown().isEmpty());
    }

    void aWrongPasswordThenTheCloseBoxEnds()
    {
        TempProgramFolder folder;
        onModal<TfrmLogin>([this](TfrmLogin *login) {
            login->edtPwd->setText(QStringLiteral("wrong"));
            login->btnOk->click();
            QVERIFY(login->isVisible());
            QCOMPARE(m_prompts->texts(), QStringList{QStringLiteral("用户名或密码不正确，请重新输入...")});
            login->close();
        });
        QCOMPARE(RunNelvodesk(false), 0);
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<TfrmMainForm *>(w) || !w->isVisible());
    }

    void anUnusableDatabaseIsReportedAndSignInFails_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a database") << QByteArray("Standard Jet DB\0\0\0 this is an old file", 38);
        QTest::newRow("damaged") << QByteArray("SQLite format 3\0garbage garbage garbage", 39);
    }
    void anUnusableDatabaseIsReportedAndSignInFails()
    {
        QFETCH(QByteArray, content);
        TempProgramFolder folder(TempProgramFolder::Config | TempProgramFolder::VersionFile);
        if (!content.isEmpty()) {
            QFile db(folder.databaseFile());
            QVERIFY(db.open(QIODevice::WriteOnly));
            db.write(content);
        }
        onModal<TfrmLogin>([this](TfrmLogin *login) {
            QCOMPARE(m_prompts->shown().size(), 1); // the error of opening the database
            QVERIFY(m_prompts->last()->text.contains(QStringLiteral("data.mdb")));
            login->edtPwd->setText(QStringLiteral("admin"));
            login->btnOk->click();
            QVERIFY(login->isVisible());
            QCOMPARE(m_prompts->shown().size(), 2);
            QVERIFY(m_prompts->last()->text.contains(QStringLiteral("data.mdb")));
            login->btnCancel->click();
        });
        QCOMPARE(RunNelvodesk(false), 0);
    }

    void signInCompares_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("signedIn");
        QTest::newRow("demo user") << "admin"
                                   << "admin" << true;
        QTest::newRow("user name in other case") << "ADMIN"
                                                 << "admin" << true;
        QTest::newRow("password in other case") << "admin"
                                                << "Admin" << false;
        QTest::newRow("no row, empty password") << "nobody"
                                                << "" << true;
        QTest::newRow("no row, a password") << "nobody"
                                            << "x" << false;
        QTest::newRow("empty password for a user") << "admin"
                                                   << "" << false;
    }
    void signInCompares()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, signedIn);
        TempProgramFolder folder;
        TdmData data;
        gParams = TgParams{};
        gParams.RecvEnabled = 0;
        TfrmLogin login([&data](const QString &name) { return StoredPassword(data, name); });
        login.show();
        login.edtLoginID->setText(user);
        login.edtPwd->setText(password);
        login.btnOk->click();
        QCOMPARE(login.SignedIn, signedIn);
        QCOMPARE(login.isVisible(), !signedIn);
        QCOMPARE(gParams.clientuser, user);
        QCOMPARE(gParams.RecvEnabled, signedIn ? 1 : 0);
        QCOMPARE(m_prompts->shown().size(), signedIn ? 0 : 1);
    }

    void theSplashClosesOnAClickAndHasAPictureWithoutItsFile()
    {
        TempProgramFolder folder; // no screenpop.jpg in it
        TfrmScreenPop splash;
        QCOMPARE(splash.size(), QSize(567, 340));
        QCOMPARE(splash.Timer1->interval(), 3000);
        QCOMPARE(m_prompts->shown().size(), 1);
        QVERIFY(!splash.imgPicture->pixmap().isNull());
        QTimer::singleShot(0, [&splash] { QTest::mouseClick(splash.imgPicture, Qt::LeftButton); });
        QCOMPARE(splash.exec(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
