#pragma once

#include <QMainWindow>

#include <future>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QStackedLayout;
class QTimer;
class QToolBar;
class QWidget;
class NavigationBar;
class TLogMgr;
class TdmData;
class TwebInterFace;
class TfrmSendSMSAll;

// The frame of the client. Its creation fills the run state and makes the objects all windows share (the
// log, the service facade, the data module); its destruction writes back what the run changed.
class TfrmMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMainForm(QWidget *parent = nullptr);
    ~TfrmMainForm() override;

    TLogMgr *LogMgr() const { return m_log.get(); }
    TwebInterFace *webInterFace() const { return m_web.get(); }
    TdmData *dmData() const { return m_data.get(); }
    // The compose container, once the send command has shown it.
    TfrmSendSMSAll *frmSendSMSAll() const { return m_sendSMSAll; }

    // Waits for the channel length asked at creation, stores it in config.ini and fills the carrier
    // lengths. The start calls it after the splash, before the sign-in; later calls return at once.
    void StoreChannelLength();

    // The show handling after a successful sign-in.
    void FormShow();
    // Shows a work window borderless in pnlMain, on top of the others; it stays owned by the main window.
    void ShowEmbedded(QWidget *window);

    void actSendSMSExecute();
    void actBalanceExecute();
    void actUpdateExecute();
    void SignatureClick();
    void SkinClick(int index);
    void AboutClick();

    static constexpr int SkinCount = 8;

    QToolBar *ToolBar1;
    NavigationBar *nbNavigation;
    QWidget *pnlMain;
    QLabel *staPanels[4];
    QTimer *Timer1;
    QTimer *timRec;
    QActionGroup *grpSkins;
    QAction *mnuSkins[SkinCount];
    QAction *mnuSignature;
    QAction *mnuAbout;

    QAction *actSendSMS;
    QAction *actRecSMS;
    QAction *actHistory;
    QAction *actAddress;
    QAction *actPhrase;
    QAction *actAccountManage;
    QAction *actPassword;
    QAction *actBalance;
    QAction *actUpdate;
    QAction *actQuit;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildNavigation(QWidget *left);
    void buildStatusBar();
    void Timer1Timer();
    void loadSkin(int index);

    QStackedLayout *m_stack;
    TfrmSendSMSAll *m_sendSMSAll = nullptr;
    std::unique_ptr<TLogMgr> m_log;
    std::unique_ptr<TwebInterFace> m_web;
    std::unique_ptr<TdmData> m_data;
    std::future<int> m_channelLength;
};
