#include "uit_mainform.h"

#include "Clock.h"
#include "IniFile.h"
#include "LinkLabel.h"
#include "LogMgr.h"
#include "NavigationBar.h"
#include "NelvoError.h"
#include "ProgramFolder.h"
#include "Prompts.h"
#include "SkinEngine.h"
#include "TgParams.h"
#include "uit_About.h"
#include "uit_DataBase.h"
#include "uit_SendSMS.h"
#include "uit_SendSMSAll.h"
#include "webService.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QSplitter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {
const char *const skinCaptions[TfrmMainForm::SkinCount] = {"天空蓝", "天空灰", "金属灰", "太空蓝",
                                                           "金属灰", "青草绿", "金属棕", "复古灰"};
} // namespace

TfrmMainForm::TfrmMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainForm"));
    resize(1040, 695);
    setFont(QFont(QStringLiteral("SimSun"), 9));

    buildActions();
    buildMenus();
    buildToolBar();

    auto *splitter = new QSplitter(this);
    auto *left = new QWidget(splitter);
    left->setObjectName(QStringLiteral("pnlLeft"));
    left->setFixedWidth(189);
    buildNavigation(left);
    pnlMain = new QWidget(splitter);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    m_stack = new QStackedLayout(pnlMain);
    m_stack->setContentsMargins(0, 0, 0, 0);
    splitter->addWidget(left);
    splitter->addWidget(pnlMain);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);
    buildStatusBar();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmMainForm::Timer1Timer);
    Timer1->start();
    timRec = new QTimer(this);
    timRec->setObjectName(QStringLiteral("timRec"));

    // The order matters: the skin, the log, the run state, then the objects that read it.
    loadSkin(IniReadInt(ConfigIniPath(), QStringLiteral("SKINFACE"), QStringLiteral("iFaceIndex")));
    m_log = std::make_unique<TLogMgr>(10);
    LoadParamsFromConfig(gParams);
    QLabel *balancePanel = staPanels[3];
    m_web =
        std::make_unique<TwebInterFace>([balancePanel](const QString &text) { balancePanel->setText(text); });
    m_data = std::make_unique<TdmData>();
    if (!m_data->OpenError().isEmpty())
        nelvo::prompts().message(QApplication::applicationDisplayName(), m_data->OpenError(),
                                 nelvo::Prompts::Icon::Error);

    // The gateway answers this question after a pause of its own; asking it now lets the answer arrive
    // while the splash is on screen instead of after it. Nothing else uses the facade until it is stored.
    TwebInterFace *web = m_web.get();
    m_channelLength = std::async(std::launch::async, [web, id = gParams.LoginID, pwd = gParams.AccountPwd] {
        return web->QueryChannelLength(id, pwd);
    });
}

void TfrmMainForm::StoreChannelLength()
{
    if (!m_channelLength.valid())
        return;
    const int channelLength = m_channelLength.get();
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
        StoreChannelLength();
    } catch (const nelvo::Error &) {
        // Ending anyway; the stored length is refreshed at the next start.
    }
    // Work windows store their settings as they go, before the counters and before the shared objects
    // they use are freed.
    delete m_sendSMSAll;
    m_sendSMSAll = nullptr;
    try {
        SaveParamsToConfig(gParams);
    } catch (const nelvo::Error &error) {
        nelvo::prompts().message(QApplication::applicationDisplayName(), error.text(),
                                 nelvo::Prompts::Icon::Error);
    }
    m_log.reset();
    m_web.reset();
    m_data.reset();
}

void TfrmMainForm::buildActions()
{
    auto make = [this](const char *name, const QString &caption, QStyle::StandardPixmap icon) {
        auto *action = new QAction(style()->standardIcon(icon), caption, this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    actSendSMS = make("actSendSMS", QStringLiteral("发送短信"), QStyle::SP_FileDialogNewFolder);
    actRecSMS = make("actRecSMS", QStringLiteral("接收短信"), QStyle::SP_ArrowDown);
    actHistory = make("actHistory", QStringLiteral("历史记录"), QStyle::SP_FileDialogDetailedView);
    actAddress = make("actAddress", QStringLiteral("通讯录"), QStyle::SP_DirHomeIcon);
    actPhrase = make("actPhrase", QStringLiteral("短语管理"), QStyle::SP_FileDialogContentsView);
    actAccountManage = make("actAccountManage", QStringLiteral("帐户管理"), QStyle::SP_DriveNetIcon);
    actPassword = make("actPassword", QStringLiteral("修改密码"), QStyle::SP_DialogResetButton);
    actBalance = make("actBalance", QStringLiteral("余额查询"), QStyle::SP_FileDialogInfoView);
    actUpdate = make("actUpdate", QStringLiteral("在线升级"), QStyle::SP_BrowserReload);
    actQuit = make("actQuit", QStringLiteral("退出"), QStyle::SP_DialogCloseButton);
    // Commands whose windows come with later work stay visible but disabled.
    for (QAction *later : {actRecSMS, actHistory, actAddress, actPhrase, actAccountManage, actPassword})
        later->setEnabled(false);
    connect(actSendSMS, &QAction::triggered, this, &TfrmMainForm::actSendSMSExecute);
    connect(actBalance, &QAction::triggered, this, &TfrmMainForm::actBalanceExecute);
    connect(actUpdate, &QAction::triggered, this, &TfrmMainForm::actUpdateExecute);
    connect(actQuit, &QAction::triggered, this, &QWidget::close);
}

void TfrmMainForm::buildMenus()
{
    auto item = [](QMenu *menu, const QString &caption, QAction *command) {
        QAction *entry = menu->addAction(caption);
        if (command) {
            entry->setEnabled(command->isEnabled());
            entry->setVisible(command->isVisible());
            connect(entry, &QAction::triggered, command, &QAction::trigger);
            connect(command, &QAction::enabledChanged, entry, &QAction::setEnabled);
            connect(command, &QAction::visibleChanged, entry,
                    [entry, command] { entry->setVisible(command->isVisible()); });
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
    mnuSignature = messages->addAction(QStringLiteral("短信签名"));
    mnuSignature->setObjectName(QStringLiteral("mnuSignature"));
    connect(mnuSignature, &QAction::triggered, this, &TfrmMainForm::SignatureClick);
    QMenu *address = menuBar()->addMenu(QStringLiteral("通讯录"));
    item(address, QStringLiteral("通讯录管理"), actAddress);
    QMenu *account = menuBar()->addMenu(QStringLiteral("帐户"));
    item(account, QStringLiteral("帐户管理"), actAccountManage);
    item(account, QStringLiteral("余额查询"), actBalance);
    QMenu *database = menuBar()->addMenu(QStringLiteral("数据库"));
    item(database, QStringLiteral("备份"), nullptr);
    item(database, QStringLiteral("恢复"), nullptr);
    item(database, QStringLiteral("压缩/修复"), nullptr);
    QMenu *view = menuBar()->addMenu(QStringLiteral("视图"));
    grpSkins = new QActionGroup(this);
    grpSkins->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < SkinCount; ++i) {
        mnuSkins[i] = view->addAction(QString::fromUtf8(skinCaptions[i]));
        mnuSkins[i]->setObjectName(QStringLiteral("mnuSkin%1").arg(i));
        mnuSkins[i]->setCheckable(true);
        grpSkins->addAction(mnuSkins[i]);
        connect(mnuSkins[i], &QAction::triggered, this, [this, i] { SkinClick(i); });
    }
    QMenu *about = menuBar()->addMenu(QStringLiteral("关于"));
    item(about, QStringLiteral("在线升级"), actUpdate);
    mnuAbout = about->addAction(QStringLiteral("关于..."));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, &TfrmMainForm::AboutClick);
}

void TfrmMainForm::buildToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFixedHeight(78);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(32, 32));
    auto add = [this](const char *name, QAction *command, const QString &caption = QString()) {
        auto *button = new QToolButton(ToolBar1);
        button->setObjectName(QString::fromLatin1(name));
        button->setDefaultAction(command);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFixedSize(58, 73);
        if (!caption.isEmpty()) {
            // A caption of its own, kept when the command changes.
            button->setText(caption);
            connect(command, &QAction::changed, button, [button, caption] { button->setText(caption); });
        }
        ToolBar1->addWidget(button)->setVisible(true);
        return button;
    };
    add("btnNewSMS", actSendSMS, QStringLiteral("写短信"));
    QToolButton *rec = add("btnRecSMS", actRecSMS);
    connect(actRecSMS, &QAction::visibleChanged, rec,
            [rec, this] { rec->setVisible(actRecSMS->isVisible()); });
    ToolBar1->addSeparator();
    add("btnHistory", actHistory, QStringLiteral("短信日志"));
    add("btnAddress", actAddress);
    add("btnPhrase", actPhrase);
    add("btnChargeUp", actBalance);
    ToolBar1->addSeparator();
    add("btnAccount", actAccountManage);
    add("btnUpdate", actUpdate);
    ToolBar1->addSeparator();
    add("btnQuit", actQuit);
    auto *link = new LinkLabel(TAboutBox::SupportAddress, ToolBar1);
    link->setObjectName(QStringLiteral("lblToolBarLink"));
    ToolBar1->addWidget(link);
}

void TfrmMainForm::buildNavigation(QWidget *left)
{
    nbNavigation = new NavigationBar(left);
    nbNavigation->setObjectName(QStringLiteral("nbNavigation"));
    const int messages = nbNavigation->addGroup(QStringLiteral("短信管理"));
    nbNavigation->addButton(messages, QStringLiteral("写短信"), actSendSMS);
    nbNavigation->addButton(messages, QStringLiteral("接收短信"), actRecSMS);
    nbNavigation->addButton(messages, QStringLiteral("短信日志"), actHistory);
    const int system = nbNavigation->addGroup(QStringLiteral("系统管理"));
    nbNavigation->addButton(system, QStringLiteral("通讯录"), actAddress);
    nbNavigation->addButton(system, QStringLiteral("短语管理"), actPhrase);
    nbNavigation->addButton(system, QStringLiteral("余额查询"), actBalance);
    auto *layout = new QVBoxLayout(left);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(nbNavigation);
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

void TfrmMainForm::ShowEmbedded(QWidget *window)
{
    if (m_stack->indexOf(window) < 0) {
        window->setParent(pnlMain, Qt::Widget);
        m_stack->addWidget(window);
    }
    m_stack->setCurrentWidget(window);
    window->show();
}

void TfrmMainForm::Timer1Timer()
{
    staPanels[0]->setText(QStringLiteral("当前时间：") +
                          nelvo::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void TfrmMainForm::FormShow()
{
    StoreChannelLength();
    const QString softname =
        IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("softname"));
    QApplication::setApplicationDisplayName(softname);
    setWindowTitle(softname);
    if (actSendSMS->isEnabled())
        actSendSMS->trigger();
    showMaximized();
    staPanels[2]->setText(
        IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("CopyRight")));
    staPanels[1]->setText(QStringLiteral("帐号：") + gParams.LoginID);
    actRecSMS->setVisible(gParams.RecvEnabled != 0);
    if (gParams.AutoRecSMS == 1) {
        timRec->start();
        timRec->setInterval(gParams.AutoRecInterval * 1000);
    }
}

void TfrmMainForm::actSendSMSExecute()
{
    if (!m_sendSMSAll)
        m_sendSMSAll = new TfrmSendSMSAll(*m_web, *m_data, m_log.get(), pnlMain);
    ShowEmbedded(m_sendSMSAll);
    m_sendSMSAll->pgSMSType->setCurrentIndex(0);
}

void TfrmMainForm::actBalanceExecute()
{
    const double result = m_web->QueryBalance(gParams.LoginID, gParams.AccountPwd);
    if (result == -999)
        ShowInfo(QStringLiteral("查询失败!"));
    else if (gParams.Balance > 0)
        ShowInfo(QStringLiteral("您的帐户余额为:") + TwebInterFace::FormatBalance(gParams.Balance));
    else
        ShowInfo(QStringLiteral("检查您的帐户是否填写或注册."));
}

void TfrmMainForm::actUpdateExecute()
{
    QString newer;
    m_web->CheckNewVersion(gParams.Version, newer);
    if (newer.isEmpty()) {
        ShowInfo(QStringLiteral("已经是最新版本软件！"));
        return;
    }
    // The updater takes over from here; when it is missing nothing happens and the client goes on.
    QProcess::startDetached(ProgramFolder() + QStringLiteral("Nelvopatch"), {}, ProgramFolder());
}

void TfrmMainForm::SignatureClick()
{
    const QString current = IniReadStr(ConfigIniPath(), QStringLiteral("SMS"), QStringLiteral("SMSSIGN"));
    bool ok = false;
    QString result = nelvo::prompts().inputLine(QStringLiteral("修改短信签名"),
                                                QStringLiteral("请输入新短信签名"), current, &ok);
    if (!ok)
        result = current;
    IniWriteStr(ConfigIniPath(), QStringLiteral("SMS"), QStringLiteral("SMSSIGN"), result);
    if (m_sendSMSAll)
        m_sendSMSAll->frmSendSMS->SetSignature(result);
}

void TfrmMainForm::loadSkin(int index)
{
    for (int i = 0; i < SkinCount; ++i)
        mnuSkins[i]->setChecked(i == index);
    const QString file = nelvo::resolvePath(ProgramFolder() + QStringLiteral("skin%1.skn").arg(index));
    if (QFileInfo::exists(file))
        SkinEngine::LoadAndActivate(file);
    else
        SkinEngine::SwitchOff();
}

void TfrmMainForm::SkinClick(int index)
{
    loadSkin(index);
    IniWriteInt(ConfigIniPath(), QStringLiteral("SKINFACE"), QStringLiteral("iFaceIndex"), index);
}

void TfrmMainForm::AboutClick()
{
    TAboutBox box(this);
    box.exec();
}

void TfrmMainForm::closeEvent(QCloseEvent *event)
{
    Timer1->stop();
    event->accept();
}
