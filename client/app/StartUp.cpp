#include "StartUp.h"

#include "IniFile.h"
#include "ProgramFolder.h"
#include "Prompts.h"
#include "SingleInstance.h"
#include "TgParams.h"
#include "uit_DataBase.h"
#include "uit_Login.h"
#include "uit_ScreenPop.h"
#include "uit_mainform.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>

int RunNelvodesk(bool showSplash)
{
    const QString softname =
        IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("softname"));
    QApplication::setApplicationDisplayName(QString());

    SingleInstanceLock instance(softname);
    if (instance.alreadyRunning()) {
        nelvo::prompts().message(QStringLiteral("提示"), softname + QStringLiteral("已经运行！"),
                                 nelvo::Prompts::Icon::Information);
        return 0;
    }

    // A missing or broken icon costs only the icon.
    const QString iconFile = nelvo::resolvePath(ProgramFolder() + QStringLiteral("sms.ico"));
    if (QFileInfo::exists(iconFile))
        QApplication::setWindowIcon(QIcon(iconFile));

    gParams = TgParams{};
    auto *mainForm = new TfrmMainForm;

    if (showSplash) {
        TfrmScreenPop splash;
        splash.exec();
    }

    mainForm->StoreChannelLength();

    bool signedIn = false;
    {
        TdmData *data = mainForm->dmData();
        TfrmLogin login([data](const QString &user) { return StoredPassword(*data, user); });
        login.edtLoginID->setText(gParams.clientuser);
        login.exec();
        signedIn = login.SignedIn;
    }

    int exitCode = 0;
    if (signedIn) {
        mainForm->FormShow();
        exitCode = QApplication::exec();
    }
    delete mainForm;
    return exitCode;
}
