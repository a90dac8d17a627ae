#include "uit_SendSMS.h"

#include "BatchSender.h"
#include "BusyIndicator.h"
#include "Clock.h"
#include "CommonHelpers.h"
#include "IniFile.h"
#include "KeyFilters.h"
#include "NelvoError.h"
#include "NumberStore.h"
#include "Prompts.h"
#include "RecipientListModel.h"
#include "TextFileImport.h"
#include "TgParams.h"
#include "USelectFileName.h"
#include "Workbook.h"
#include "uit_ContentPreview.h"
#include "uit_DataBase.h"
#include "uit_SMSSending.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSqlQuery>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The number box takes digits and the editing shortcuts only.
bool numberBoxAccepts(const QKeyEvent *key)
{
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Backspace)
        return true;
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste) ||
        key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Undo))
        return true;
    return text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
}

QString configFile()
{
    return ConfigIniPath();
}

} // namespace

TfrmSendSMS::TfrmSendSMS(TwebInterFace &web, TdmData &data, TLogMgr *log, QWidget *parent)
    : QWidget(parent), m_web(web), m_data(data), m_log(log), m_composer(gParams)
{
    setObjectName(QStringLiteral("frmSendSMS"));
    setWindowTitle(QStringLiteral("短信发送"));
    m_list = new RecipientListModel(m_composer, this);

    auto *left = new QWidget(this);
    left->setObjectName(QStringLiteral("pnlTools"));
    left->setFixedWidth(130);
    buildLeftColumn(left);

    auto *listArea = new QWidget(this);
    auto *listLayout = new QVBoxLayout(listArea);
    listLayout->setContentsMargins(0, 0, 0, 0);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("手机号码个数："), listArea));
    lblMobileCount = new QLabel(listArea);
    lblMobileCount->setObjectName(QStringLiteral("lblMobileCount"));
    countRow->addWidget(lblMobileCount);
    countRow->addStretch();
    listLayout->addLayout(countRow);
    lstMobileList = new QTableView(listArea);
    lstMobileList->setObjectName(QStringLiteral("lstMobileList"));
    lstMobileList->setModel(m_list);
    lstMobileList->horizontalHeader()->hide();
    lstMobileList->verticalHeader()->hide();
    lstMobileList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstMobileList->verticalHeader()->setDefaultSectionSize(18);
    lstMobileList->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    lstMobileList->setShowGrid(false);
    lstMobileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstMobileList->setSelectionBehavior(QAbstractItemView::SelectItems);
    lstMobileList->setMinimumWidth(5 * 100);
    lstMobileList->setMaximumWidth(5 * 120);
    listLayout->addWidget(lstMobileList);

    pnlSMS = new QWidget(this);
    pnlSMS->setObjectName(QStringLiteral("pnlSMS"));
    pnlSMS->setMinimumHeight(420);
    buildRightPanel();

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(left);
    layout->addWidget(listArea);
    layout->addWidget(pnlSMS, 1);

    connect(m_list, &RecipientListModel::countChanged, this, &TfrmSendSMS::RefreshCount);

    lblMobileCount->clear();
    lblLength->clear();
    lblSign->clear();
    datScheDate->setDate(nelvo::now().date());
    pnlScheDule->setEnabled(chkScheTime->isChecked());
    LoadSignature();
    m_composer.ResetLimit();
    RefreshLength();
    m_eashSendCount = IniReadInt(configFile(), QStringLiteral("SMS"), QStringLiteral("EashSendCount"));
}

TfrmSendSMS::~TfrmSendSMS()
{
    try {
        IniWriteFlag(configFile(), QStringLiteral("SMS"), QStringLiteral("LimitSingle"),
                     rbtnSingle->isChecked());
        IniWriteFlag(configFile(), QStringLiteral("SMS"), QStringLiteral("UsePage"), chkUePage->isChecked());
    } catch (const nelvo::Error &) {
        // The program is ending; the modes are simply not remembered.
    }
}

void TfrmSendSMS::buildLeftColumn(QWidget *column)
{
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    edtInput = new QLineEdit(column);
    edtInput->setObjectName(QStringLiteral("edtInput"));
    edtInput->installEventFilter(this);
    layout->addWidget(edtInput);
    btnPhoneAdd = makeButton(column, "btnPhoneAdd", QStringLiteral("添加"));
    layout->addWidget(btnPhoneAdd);
    auto *hint = new QLabel(QStringLiteral("（输入号码，按回车添加）"), column);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    btnTextfileInput = makeButton(column, "btnTextfileInput", QStringLiteral("文本导入"));
    btnExcelImport = makeButton(column, "btnExcelImport", QStringLiteral("Excel导入"));
    btnAddressInput = makeButton(column, "btnAddressInput", QStringLiteral("通讯录导入"));
    btnHistoryInput = makeButton(column, "btnHistoryInput", QStringLiteral("历史记录导入"));
    btnInputParagraph = makeButton(column, "btnInputParagraph", QStringLiteral("号段导入"));
    btnDeleteMobile = makeButton(column, "btnDeleteMobile", QStringLiteral("删除号码"));
    btnClearMobileList = makeButton(column, "btnClearMobileList", QStringLiteral("清空号码"));
    btnFilterNumber = makeButton(column, "btnFilterNumber", QStringLiteral("过滤号码"));
    for (QPushButton *button : {btnTextfileInput, btnExcelImport, btnAddressInput, btnHistoryInput,
                                btnInputParagraph, btnDeleteMobile, btnClearMobileList, btnFilterNumber})
        layout->addWidget(button);
    // The imports whose windows come with later work are present but not usable yet.
    for (QPushButton *later : {btnAddressInput, btnHistoryInput, btnInputParagraph})
        later->setEnabled(false);
    layout->addStretch();
    btnClearContent = makeButton(column, "btnClearContent", QStringLiteral("清空内容"));
    btnSelectPhrase = makeButton(column, "btnSelectPhrase", QStringLiteral("选择短语"));
    btnSelectPhrase->setEnabled(false);
    layout->addWidget(btnClearContent);
    layout->addWidget(btnSelectPhrase);

    connect(btnPhoneAdd, &QPushButton::clicked, this, &TfrmSendSMS::btnPhoneAddClick);
    connect(btnTextfileInput, &QPushButton::clicked, this, &TfrmSendSMS::btnTextfileInputClick);
    connect(btnExcelImport, &QPushButton::clicked, this, &TfrmSendSMS::btnExcelImportClick);
    connect(btnDeleteMobile, &QPushButton::clicked, this, &TfrmSendSMS::btnDeleteMobileClick);
    connect(btnClearMobileList, &QPushButton::clicked, this, &TfrmSendSMS::btnClearMobileListClick);
    connect(btnFilterNumber, &QPushButton::clicked, this, &TfrmSendSMS::btnFilterNumberClick);
}

void TfrmSendSMS::buildRightPanel()
{
    auto place = [this](QWidget *w, int x, int y, int width, int height = 24) {
        w->setParent(pnlSMS);
        w->setGeometry(x, y, width, height);
        m_designLefts.append({w, x});
    };
    chkScheTime = new QCheckBox(QStringLiteral("定时发送时间："));
    chkScheTime->setObjectName(QStringLiteral("chkScheTime"));
    place(chkScheTime, 10, 8, 125);
    pnlScheDule = new QWidget;
    pnlScheDule->setObjectName(QStringLiteral("pnlScheDule"));
    place(pnlScheDule, 140, 6, 330, 28);
    auto *schedule = new QHBoxLayout(pnlScheDule);
    schedule->setContentsMargins(0, 0, 0, 0);
    datScheDate = new QDateEdit(pnlScheDule);
    datScheDate->setObjectName(QStringLiteral("datScheDate"));
    datScheDate->setCalendarPopup(true);
    datScheDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    cbbHour = new QComboBox(pnlScheDule);
    cbbHour->setObjectName(QStringLiteral("cbbHour"));
    for (int h = 0; h < 24; ++h)
        cbbHour->addItem(QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')));
    cbbMin = new QComboBox(pnlScheDule);
    cbbMin->setObjectName(QStringLiteral("cbbMin"));
    for (int m = 0; m < 60; m += 5)
        cbbMin->addItem(QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')));
    schedule->addWidget(datScheDate);
    schedule->addWidget(cbbHour);
    schedule->addWidget(new QLabel(QStringLiteral("时"), pnlScheDule));
    schedule->addWidget(cbbMin);
    schedule->addWidget(new QLabel(QStringLiteral("分"), pnlScheDule));

    rbtnSingle = new QRadioButton(QStringLiteral("限制内容长度为一条短信"));
    rbtnSingle->setObjectName(QStringLiteral("rbtnSingle"));
    rbtnSingle->setChecked(true);
    place(rbtnSingle, 10, 40, 250);
    rbtnMuilt = new QRadioButton(QStringLiteral("不限制内容长度，发送时自动拆分"));
    rbtnMuilt->setObjectName(QStringLiteral("rbtnMuilt"));
    place(rbtnMuilt, 270, 40, 300);
    chkUePage = new QCheckBox(QStringLiteral("多条自动添加页码"));
    chkUePage->setObjectName(QStringLiteral("chkUePage"));
    place(chkUePage, 10, 70, 170);
    btnPreviewContent = makeButton(nullptr, "btnPreviewContent", QStringLiteral("预览内容"));
    place(btnPreviewContent, 190, 68, 90, 26);

    memContent = new QPlainTextEdit;
    memContent->setObjectName(QStringLiteral("memContent"));
    memContent->installEventFilter(this);
    place(memContent, 10, 102, 640, 200);

    btnInputSign = makeButton(nullptr, "btnInputSign", QStringLiteral("短信签名(修改签名)："));
    btnInputSign->setFlat(true);
    btnInputSign->setToolTip(QStringLiteral("点击修改短信签名"));
    place(btnInputSign, 10, 310, 150);
    lblSign = new QLabel;
    lblSign->setObjectName(QStringLiteral("lblSign"));
    place(lblSign, 165, 310, 300);
    chkSign = new QCheckBox(QStringLiteral("使用签名"));
    chkSign->setObjectName(QStringLiteral("chkSign"));
    place(chkSign, 480, 310, 100);
    lblLength = new QLabel;
    lblLength->setObjectName(QStringLiteral("lblLength"));
    place(lblLength, 10, 342, 640);
    btnSendSMS = makeButton(nullptr, "btnSendSMS", QStringLiteral("发送短信"));
    place(btnSendSMS, 540, 374, 110, 32);
    pnlSMS->installEventFilter(this);

    connect(chkScheTime, &QCheckBox::clicked, this,
            [this] { pnlScheDule->setEnabled(chkScheTime->isChecked()); });
    connect(rbtnSingle, &QRadioButton::clicked, this, &TfrmSendSMS::rbtnModeClick);
    connect(rbtnMuilt, &QRadioButton::clicked, this, &TfrmSendSMS::rbtnModeClick);
    connect(chkUePage, &QCheckBox::clicked, this, [this] {
        m_composer.setPageNumbers(chkUePage->isChecked());
        RefreshLength();
    });
    connect(btnPreviewContent, &QPushButton::clicked, this, &TfrmSendSMS::btnPreviewContentClick);
    connect(memContent, &QPlainTextEdit::textChanged, this, [this] {
        m_composer.setContent(memContent->toPlainText());
        RefreshLength();
    });
    connect(btnClearContent, &QPushButton::clicked, memContent, &QPlainTextEdit::clear);
    connect(btnSendSMS, &QPushButton::clicked, this, &TfrmSendSMS::btnSendSMSClick);
    connect(btnInputSign, &QPushButton::clicked, this, &TfrmSendSMS::btnInputSignClick);
    connect(chkSign, &QCheckBox::clicked, this, &TfrmSendSMS::chkSignClick);
}

void TfrmSendSMS::centreRightPanel()
{
    const int shift = (pnlSMS->width() - DesignWidth) / 2;
    for (const auto &[widget, designLeft] : std::as_const(m_designLefts))
        widget->move(designLeft + shift, widget->y());
}

bool TfrmSendSMS::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pnlSMS && event->type() == QEvent::Resize) {
        centreRightPanel();
    } else if (watched == edtInput && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            btnPhoneAddClick();
            return true;
        }
        return !numberBoxAccepts(key);
    } else if (watched == memContent && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (KeyAddsText(key)) {
            const QChar typed = key->text().isEmpty() ? QChar(QLatin1Char(' ')) : key->text().at(0);
            if (!m_composer.AcceptsTypedCharacter(typed))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmSendSMS::LoadSignature()
{
    const QString signature = IniReadStr(configFile(), QStringLiteral("SMS"), QStringLiteral("SMSSIGN"));
    lblSign->setText(signature);
    const std::optional<bool> use =
        IniReadFlag(configFile(), QStringLiteral("SMS"), QStringLiteral("UseSMSSIGN"));
    chkSign->setChecked(use.value_or(false));
    m_composer.setSignature(signature);
    m_composer.setUseSign(chkSign->isChecked());
}

void TfrmSendSMS::SetSignature(const QString &text)
{
    lblSign->setText(text);
    m_composer.setSignature(text);
    RefreshLength();
}

void TfrmSendSMS::RefreshLength()
{
    lblLength->setText(m_composer.LengthDisplay());
}

void TfrmSendSMS::RefreshCount()
{
    lblMobileCount->setText(QString::number(m_list->Count()));
}

void TfrmSendSMS::AddMobile(const QString &number)
{
    if (m_list->AddMobile(number))
        RefreshLength();
}

void TfrmSendSMS::btnPhoneAddClick()
{
    const QString number = edtInput->text().trimmed();
    if (IsMobileNumber(number))
        AddMobile(number);
    edtInput->clear();
}

void TfrmSendSMS::btnTextfileInputClick()
{
    ImportTextFileCommand(*m_list, m_log);
    RefreshCount();
    RefreshLength();
}

void TfrmSendSMS::btnExcelImportClick()
{
    const QString path = nelvo::prompts().openFileName(
        QStringLiteral("请选择(文本每行一个手机号码)!"),
        {QStringLiteral("Excel 文件 (*.xls *.xlsx *.csv)"), QStringLiteral("所有文件 (*)")});
    if (path.isEmpty())
        return;
    TfrmSelectFileName wizard(this);
    wizard.OpenWorkbook(path);
    if (wizard.exec() != QDialog::Accepted || !wizard.Workbook()) {
        wizard.CloseWorkbook();
        return;
    }
    {
        nelvo::BusyScope busy;
        const nelvo::Worksheet &sheet = wizard.Workbook()->activeSheet();
        const int column = wizard.ChosenColumn();
        const int last = wizard.LastUsedRow();
        NumberStore numbers;
        for (int row = wizard.TitleRow() ? 2 : 1; row <= last; ++row) {
            // A cell may carry blanks around the number; the list holds the number alone.
            const QString number = sheet.text(row, column).trimmed();
            if (IsMobileNumber(number))
                numbers.append(number);
        }
        m_list->AddBulk(std::move(numbers));
        wizard.CloseWorkbook();
    }
    RefreshCount();
    RefreshLength();
}

void TfrmSendSMS::btnDeleteMobileClick()
{
    m_list->DeleteEntries(lstMobileList->selectionModel()->selection());
    RefreshCount();
}

void TfrmSendSMS::btnClearMobileListClick()
{
    m_list->Clear();
    RefreshCount();
    RefreshLength();
}

void TfrmSendSMS::btnFilterNumberClick()
{
    m_list->FilterDuplicates();
    RefreshCount();
}

void TfrmSendSMS::rbtnModeClick()
{
    const bool multi = m_composer.ChooseMode(rbtnMuilt->isChecked());
    rbtnMuilt->setChecked(multi);
    rbtnSingle->setChecked(!multi);
    chkUePage->setEnabled(multi);
    btnPreviewContent->setEnabled(multi);
    m_composer.setPageNumbers(chkUePage->isChecked());
    RefreshLength();
}

void TfrmSendSMS::RestoreMode()
{
    // Settings missing or unreadable mean the safe mode: one message, no page numbers.
    const bool single =
        IniReadFlag(configFile(), QStringLiteral("SMS"), QStringLiteral("LimitSingle")).value_or(true);
    rbtnSingle->setChecked(single);
    rbtnMuilt->setChecked(!single);
    if (!single)
        chkUePage->setChecked(
            IniReadFlag(configFile(), QStringLiteral("SMS"), QStringLiteral("UsePage")).value_or(false));
    rbtnModeClick();
}

void TfrmSendSMS::BirthdayReminder()
{
    const QDate today = nelvo::now().date();
    QStringList numbers;
    try {
        QSqlQuery query =
            m_data.ExecuteText(QStringLiteral("select mobile from customer where  month(birthday) = ") +
                               QString::number(today.month()) + QStringLiteral(" and day(birthday) = ") +
                               QString::number(today.day()));
        while (query.next())
            numbers.append(query.value(0).toString());
    } catch (const nelvo::Error &) {
        // Without a database there is nobody to remind of; the database error is reported elsewhere.
        return;
    }
    if (numbers.isEmpty())
        return;
    if (AskYesNo(QStringLiteral("今天您的联系人中有") + QString::number(numbers.size()) +
                 QStringLiteral("个人过生日，您是否要给他们发送生日祝福？")) != mrYes)
        return;
    for (const QString &number : std::as_const(numbers))
        AddMobile(number);
    ShowInfo(QStringLiteral(
        "系统已经将今天过生日的联系人手机号自动添加到发送列表中了，您可以编写内容后，直接发送！"));
}

void TfrmSendSMS::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    BirthdayReminder();
    RestoreMode();
    // Most sends start with the numbers.
    edtInput->setFocus();
}

void TfrmSendSMS::btnInputSignClick()
{
    bool ok = false;
    const QString current = lblSign->text();
    QString result = nelvo::prompts().inputLine(QStringLiteral("修改短信签名"),
                                                QStringLiteral("请输入新签名"), current, &ok);
    if (!ok)
        result = current;
    lblSign->setText(result);
    IniWriteStr(configFile(), QStringLiteral("SMS"), QStringLiteral("SMSSIGN"), result);
    m_composer.setSignature(result);
    RefreshLength();
}

void TfrmSendSMS::chkSignClick()
{
    m_composer.setUseSign(chkSign->isChecked());
    IniWriteFlag(configFile(), QStringLiteral("SMS"), QStringLiteral("UseSMSSIGN"), chkSign->isChecked());
    RefreshLength();
}

bool TfrmSendSMS::ShowPreview(const QStringList &parts, bool sending)
{
    if (!frmContentPreview)
        frmContentPreview = new TfrmContentPreview(this);
    frmContentPreview->Prepare(parts, sending);
    return frmContentPreview->exec() == QDialog::Accepted;
}

void TfrmSendSMS::btnPreviewContentClick()
{
    if (m_composer.SignatureLeavesNoRoom()) {
        ShowWarning(m_composer.LengthDisplay());
        return;
    }
    ShowPreview(m_composer.SplitContent(), false);
}

void TfrmSendSMS::setSendingState(bool sending)
{
    for (QWidget *w : std::initializer_list<QWidget *>{btnSendSMS, btnPhoneAdd, edtInput, btnTextfileInput,
                                                       btnDeleteMobile, btnClearMobileList, btnFilterNumber})
        w->setEnabled(!sending);
}

void TfrmSendSMS::btnSendSMSClick()
{
    if (BatchSender::IsSending())
        return;
    SendOptions options;
    if (chkScheTime->isChecked())
        options.scheduleTime =
            ScheduleTimeText(datScheDate->date(), cbbHour->currentText(), cbbMin->currentText());
    options.eashSendCount = m_eashSendCount;
    options.preview = [this](const QStringList &parts) { return ShowPreview(parts, true); };
    options.progress = [this](const SendProgress &progress) {
        if (progress.stage == SendProgress::Stage::Finished) {
            delete frmSMSSending;
            frmSMSSending = nullptr;
            return;
        }
        if (!frmSMSSending) {
            frmSMSSending = new TfrmSMSSending(this);
            frmSMSSending->show();
        }
        frmSMSSending->ShowProgress(progress);
        // The window repaints and stays usable between batches.
        QCoreApplication::processEvents();
    };
    setSendingState(true);
    BatchSender sender(m_web, m_data);
    sender.Send(m_composer, *m_list, options);
    delete frmSMSSending;
    frmSMSSending = nullptr;
    setSendingState(false);
    RefreshCount();
    RefreshLength();
}
