#pragma once

#include "MessageComposer.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class RecipientListModel;
class TLogMgr;
class TdmData;
class TfrmContentPreview;
class TfrmSMSSending;
class TwebInterFace;

// The compose window: the recipient list, the text, the signature, the length mode, the sending time,
// and the send button. The rules live in MessageComposer, RecipientListModel and BatchSender; this window
// reads its controls, calls them and shows what they say.
class TfrmSendSMS : public QWidget
{
    Q_OBJECT
public:
    TfrmSendSMS(TwebInterFace &web, TdmData &data, TLogMgr *log, QWidget *parent = nullptr);
    ~TfrmSendSMS() override;

    // Hands a number to the recipient list, lowering the one-message limit to its carrier's.
    void AddMobile(const QString &number);
    // Shows a new signature and recomputes its length; the caller has stored it.
    void SetSignature(const QString &text);

    MessageComposer &Composer() { return m_composer; }
    RecipientListModel &List() { return *m_list; }

    // Design width of the right-hand panel; its controls stay centred around it.
    static constexpr int DesignWidth = 661;

    QLineEdit *edtInput;
    QPushButton *btnPhoneAdd;
    QPushButton *btnTextfileInput;
    QPushButton *btnExcelImport;
    QPushButton *btnAddressInput;
    QPushButton *btnHistoryInput;
    QPushButton *btnInputParagraph;
    QPushButton *btnDeleteMobile;
    QPushButton *btnClearMobileList;
    QPushButton *btnFilterNumber;
    QPushButton *btnClearContent;
    QPushButton *btnSelectPhrase;
    QLabel *lblMobileCount;
    QTableView *lstMobileList;
    QWidget *pnlSMS;
    QCheckBox *chkScheTime;
    QWidget *pnlScheDule;
    QDateEdit *datScheDate;
    QComboBox *cbbHour;
    QComboBox *cbbMin;
    QRadioButton *rbtnSingle;
    QRadioButton *rbtnMuilt;
    QCheckBox *chkUePage;
    QPushButton *btnPreviewContent;
    QPlainTextEdit *memContent;
    QPushButton *btnSendSMS;
    QPushButton *btnInputSign;
    QLabel *lblSign;
    QCheckBox *chkSign;
    QLabel *lblLength;
    TfrmContentPreview *frmContentPreview = nullptr;
    TfrmSMSSending *frmSMSSending = nullptr;

    void btnPhoneAddClick();
    void btnTextfileInputClick();
    void btnExcelImportClick();
    void btnDeleteMobileClick();
    void btnClearMobileListClick();
    void btnFilterNumberClick();
    void btnSendSMSClick();
    void btnPreviewContentClick();
    void btnInputSignClick();
    void chkSignClick();
    void rbtnModeClick();
    void RefreshLength();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLeftColumn(QWidget *column);
    void buildRightPanel();
    void LoadSignature();
    void RestoreMode();
    void BirthdayReminder();
    void RefreshCount();
    void setSendingState(bool sending);
    void centreRightPanel();
    bool ShowPreview(const QStringList &parts, bool sending);

    TwebInterFace &m_web;
    TdmData &m_data;
    TLogMgr *m_log;
    MessageComposer m_composer;
    RecipientListModel *m_list;
    int m_eashSendCount = 100;
    QList<QPair<QWidget *, int>> m_designLefts;
};
