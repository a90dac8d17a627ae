#pragma once

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QWidget;
class TLogMgr;
class TdmData;

// The frame of the client. Its creation fills the run state and makes the objects all windows share; its
// destruction writes back what the run changed.
class TfrmMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMainForm(QWidget *parent = nullptr);
    ~TfrmMainForm() override;

    TLogMgr *LogMgr() const { return m_log.get(); }
    TdmData *dmData() const { return m_data.get(); }

    // The show handling after a successful sign-in.
    void FormShow();

    QWidget *pnlMain;
    QLabel *staPanels[4];
    QTimer *Timer1;

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
    void buildStatusBar();
    void Timer1Timer();
    int queryChannelLength();

    std::unique_ptr<TLogMgr> m_log;
    std::unique_ptr<TdmData> m_data;
};
