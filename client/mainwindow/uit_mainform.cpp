#include "uit_mainform.h"

#include "Clock.h"
#include "IniFile.h"
#include "LogMgr.h"
#include "NelvoError.h"
#include "Prompts.h"
#include "TgParams.h"
#include "uit_DataBase.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

TfrmMainForm::TfrmMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainForm"));
    resize(1040, 695);
    setFont(QFont(QStringLiteral("SimSun"), 9));

    pnlMain = new QWidget(this);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    setCentralWidget(pnlMain);
    buildActions();
    buildMenus();
    buildStatusBar();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmMainForm::Timer1Timer);
    Timer1->start();

    m_log = std::make_unique<TLogMgr>(10);
    LoadParamsFromConfig(gParams);
    m_data = std::make_unique<TdmData>();
    if (!m_data->OpenError().isEmpty())
        nelvo::prompts().message(QApplication::applicationDisplayName(), m_data->OpenError(),
                                 nelvo::Prompts::Icon::Error);

    const int channelLength = queryChannelLength();
    IniWriteStr(ConfigIniPath(), QStringLiteral("Account"), QStringLiteral("ChannelLength"),
                channelLength <= 0 ? QStringLiteral("70") : QString::number(channelLength));
    gParams.ChannelLength = ReadChannelLength();
    gParams.SmsLengths = {70, gParams.ChannelLength, 70, 56};
    gParams.RecvEnabled = 1;
    gParams.OnlineFlag = 1;
}

TfrmMainForm::~TfrmMainForm()
{
    try {
        SaveParamsToConfig(gParams);
    } catch (const nelvo::Error &error) {
        nelvo::prompts().message(QApplication::applicationDisplayName(), error.text(), nelvo::Prompts::Icon::Error);
    }
    m_log.reset();
    m_data.reset();
}

int TfrmMainForm::queryChannelLength()
{
    // Without an answer from the service the stored length falls back to 70.
    return -999;
}

void TfrmMainForm::buildActions()
{
    auto make = [this](const char *name, const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    actSendSMS = make("actSendSMS", QStringLiteral("发送短信"));
    actRecSMS = make("actRecSMS", QStringLiteral("接收短信"));
    actHistory = make("actHistory", QStringLiteral("历史记录"));
    actAddress = make("actAddress", QStringLiteral("通讯录"));
    actPhrase = make("actPhrase", QStringLiteral("短语管理"));
    actAccountManage = make("actAccountManage", QStringLiteral("帐户管理"));
    actPassword = make("actPassword", QStringLiteral("修改密码"));
    actBalance = make("actBalance", QStringLiteral("余额查询"));
    actUpdate = make("actUpdate", QStringLiteral("在线升级"));
    actQuit = make("actQuit", QStringLiteral("退出"));
    // Commands whose windows are not part of this build yet stay visible but disabled.
    for (QAction *later : {actSendSMS, actRecSMS, actHistory, actAddress, actPhrase, actAccountManage, actPassword,
                           actBalance, actUpdate})
        later->setEnabled(false);
    connect(actQuit, &QAction::triggered, this, &QWidget::close);
}

void TfrmMainForm::buildMenus()
{
    auto item = [](QMenu *menu, const QString &caption, QAction *command) {
        QAction *entry = menu->addAction(caption);
        if (command) {
            entry->setEnabled(command->isEnabled());
            connect(entry, &QAction::triggered, command, &QAction::trigger);
            connect(command, &QAction::enabledChanged, entry, &QAction::setEnabled);
        } else {
            entry->setEnabled(false);
        }
        return entry;
    };
    QMenu *system = menuBar()->addMenu(QStringLiteral("系统"));
    item(system, QStringLiteral("系统设置"), nullptr);
    item(system, QStringLiteral("口令修改"), actPassword);
    item(system, QStringLiteral("退出"), actQuit);
    QMenu *messages = menuBar()->addMenu(QStringLiteral("短信管理"));
    item(messages, QStringLiteral("发短信"), actSendSMS);
    item(messages, QStringLiteral("接收短信"), actRecSMS);
    item(messages, QStringLiteral("短信日志"), actHistory);
    item(messages, QStringLiteral("短信签名"), nullptr);
    QMenu *address = menuBar()->addMenu(QStringLiteral("通讯录"));
    item(address, QStringLiteral("通讯录管理"), actAddress);
    QMenu *account = menuBar()->addMenu(QStringLiteral("帐户"));
    item(account, QStringLiteral("帐户管理"), actAccountManage);
    item(account, QStringLiteral("余额查询"), actBalance);
    QMenu *database = menuBar()->addMenu(QStringLiteral("数据库"));
    item(database, QStringLiteral("备份"), nullptr);
    item(database, QStringLiteral("恢复"), nullptr);
    item(database, QStringLiteral("压缩/修复"), nullptr);
    menuBar()->addMenu(QStringLiteral("视图"));
    QMenu *about = menuBar()->addMenu(QStringLiteral("关于"));
    item(about, QStringLiteral("在线升级"), actUpdate);
    item(about, QStringLiteral("关于..."), nullptr);
}

void TfrmMainForm::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("staMain"));
    const int widths[4] = {250, 200, 300, 50};
    for (int i = 0; i < 4; ++i) {
        staPanels[i] = new QLabel(this);
        staPanels[i]->setObjectName(QStringLiteral("staPanel%1").arg(i));
        staPanels[i]->setMinimumWidth(widths[i]);
        statusBar()->addWidget(staPanels[i], i == 3 ? 1 : 0);
    }
}

void TfrmMainForm::Timer1Timer()
{
    staPanels[0]->setText(QStringLiteral("当前时间：") + nelvo::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void TfrmMainForm::FormShow()
{
    const QString softname = IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("softname"));
    QApplication::setApplicationDisplayName(softname);
    setWindowTitle(softname);
    staPanels[2]->setText(IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("CopyRight")));
    staPanels[1]->setText(QStringLiteral("帐号：") + gParams.LoginID);
    actRecSMS->setVisible(gParams.RecvEnabled != 0);
    showMaximized();
}

void TfrmMainForm::closeEvent(QCloseEvent *event)
{
    Timer1->stop();
    event->accept();
}
