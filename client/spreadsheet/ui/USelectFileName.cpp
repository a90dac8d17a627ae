#include "USelectFileName.h"

#include "BusyIndicator.h"
#include "Prompts.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace {
const QString nextCaption = QStringLiteral("下一步(&N)");
const QString finishCaption = QStringLiteral("完成(&F)");
constexpr int previewLastRow = 6;
} // namespace

TfrmSelectFileName::TfrmSelectFileName(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelectFileName"));
    setWindowTitle(QStringLiteral("导入文件"));
    resize(560, 420);

    Label2 = new QLabel(QStringLiteral("Excel 的文件格式"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont heading = Label2->font();
    heading.setBold(true);
    Label2->setFont(heading);
    Label1 = new QLabel(QStringLiteral("选择要导入的表单："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ChkListBox_1 = new QListWidget(this);
    ChkListBox_1->setObjectName(QStringLiteral("ChkListBox_1"));
    ChkListBox_1->setSelectionMode(QAbstractItemView::SingleSelection);
    ChkListBox_1->setMaximumHeight(90);
    chk_titleset = new QCheckBox(QStringLiteral("设定第一行为标题行"), this);
    chk_titleset->setObjectName(QStringLiteral("chk_titleset"));
    lv_1 = new QTreeWidget(this);
    lv_1->setObjectName(QStringLiteral("lv_1"));
    lv_1->setRootIsDecorated(false);
    lv_1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv_1->setSelectionMode(QAbstractItemView::NoSelection);
    lv_1->setColumnCount(0);
    lbl_1 = new QLabel(QStringLiteral("手机（小灵通）号码："), this);
    lbl_1->setObjectName(QStringLiteral("lbl_1"));
    cbb_1 = new QComboBox(this);
    cbb_1->setObjectName(QStringLiteral("cbb_1"));
    Button2 = new QPushButton(QStringLiteral("上一步(&B)"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3 = new QPushButton(nextCaption, this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setDefault(true);
    Button4 = new QPushButton(QStringLiteral("取消(&C)"), this);
    Button4->setObjectName(QStringLiteral("Button4"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(Label2, 0, 0, 1, 4);
    layout->addWidget(Label1, 1, 0, 1, 4);
    layout->addWidget(ChkListBox_1, 2, 0, 1, 4);
    layout->addWidget(chk_titleset, 3, 0, 1, 4);
    layout->addWidget(lbl_1, 4, 0);
    layout->addWidget(cbb_1, 4, 1, 1, 3);
    layout->addWidget(lv_1, 5, 0, 1, 4);
    layout->addWidget(Button2, 6, 1);
    layout->addWidget(Button3, 6, 2);
    layout->addWidget(Button4, 6, 3);

    connect(Button2, &QPushButton::clicked, this, &TfrmSelectFileName::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmSelectFileName::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmSelectFileName::Button4Click);
    connect(ChkListBox_1, &QListWidget::itemClicked, this, &TfrmSelectFileName::sheetClicked);
    connect(chk_titleset, &QCheckBox::clicked, this, &TfrmSelectFileName::titleSetClicked);
    ShowStep();
}

TfrmSelectFileName::~TfrmSelectFileName() = default;

bool TfrmSelectFileName::OpenWorkbook(const QString &path)
{
    try {
        m_book = std::make_unique<nelvo::Workbook>(nelvo::Workbook::open(path));
    } catch (const nelvo::Error &error) {
        m_book.reset();
        // The fixed notice first, then what went wrong, so the user knows what to fix.
        nelvo::prompts().message(QStringLiteral("错误"), QStringLiteral("打开文件失败！\r\n") + error.text(),
                                 nelvo::Prompts::Icon::Error);
        return false;
    }
    ChkListBox_1->clear();
    ChkListBox_1->addItems(m_book->sheetNames());
    BuildPreview(1);
    ChkListBox_1->setCurrentRow(0);
    return true;
}

void TfrmSelectFileName::CloseWorkbook()
{
    m_book.reset();
}

int TfrmSelectFileName::selectedSheet() const
{
    return ChkListBox_1->currentRow() < 0 ? 1 : ChkListBox_1->currentRow() + 1;
}

nelvo::Worksheet *TfrmSelectFileName::activeSheet() const
{
    return m_book ? &m_book->activeSheet() : nullptr;
}

void TfrmSelectFileName::BuildPreview(int sheet)
{
    lv_1->clear();
    lv_1->setColumnCount(0);
    if (!m_book || sheet < 1 || sheet > m_book->sheetCount())
        return;
    nelvo::BusyScope busy;
    m_book->activate(sheet);
    const nelvo::Worksheet &ws = m_book->activeSheet();
    const nelvo::CellRef last = ws.lastUsedCell();
    QStringList captions;
    for (int c = 1; c <= last.column; ++c)
        captions << (TitleRow() ? ws.text(1, c) : QStringLiteral("A%1").arg(c));
    lv_1->setColumnCount(last.column);
    lv_1->setHeaderLabels(captions);
    for (int c = 0; c < last.column; ++c)
        lv_1->setColumnWidth(c, 100);
    for (int r = TitleRow() ? 2 : 1; r <= previewLastRow && r <= last.row; ++r) {
        QStringList cells;
        for (int c = 1; c <= last.column; ++c)
            cells << ws.text(r, c);
        new QTreeWidgetItem(lv_1, cells);
    }
}

void TfrmSelectFileName::FillColumnChoice()
{
    cbb_1->clear();
    const nelvo::Worksheet *ws = activeSheet();
    if (!ws)
        return;
    const int columns = ws->lastUsedCell().column;
    for (int c = 1; c <= columns; ++c)
        cbb_1->addItem(TitleRow() ? ws->text(1, c) : QStringLiteral("A%1").arg(c));
    cbb_1->setCurrentIndex(0);
}

void TfrmSelectFileName::sheetClicked()
{
    BuildPreview(selectedSheet());
}

void TfrmSelectFileName::titleSetClicked()
{
    if (chk_titleset->isChecked()) {
        BuildPreview(selectedSheet());
        FillColumnChoice();
    } else {
        FillColumnChoice();
        BuildPreview(selectedSheet());
    }
}

void TfrmSelectFileName::ShowStep()
{
    const bool first = Step == 0;
    Label1->setVisible(first);
    ChkListBox_1->setVisible(first);
    chk_titleset->setVisible(first);
    lbl_1->setVisible(!first);
    cbb_1->setVisible(!first);
    Button2->setEnabled(!first);
    Button3->setText(first ? nextCaption : finishCaption);
}

void TfrmSelectFileName::Button3Click()
{
    // Without a workbook there is nothing to choose from; only cancel leads out.
    if (!m_book)
        return;
    if (Button3->text() == finishCaption) {
        Step = 0;
        accept();
        return;
    }
    ++Step;
    if (Step == 1) {
        m_book->activate(selectedSheet());
        FillColumnChoice();
        ShowStep();
    }
}

void TfrmSelectFileName::Button2Click()
{
    if (Step != 1)
        return;
    Step = 0;
    ShowStep();
}

void TfrmSelectFileName::Button4Click()
{
    CloseWorkbook();
    reject();
}

int TfrmSelectFileName::ChosenColumn() const
{
    return cbb_1->currentIndex() + 1;
}

bool TfrmSelectFileName::TitleRow() const
{
    return chk_titleset->isChecked();
}

int TfrmSelectFileName::LastUsedRow() const
{
    const nelvo::Worksheet *ws = activeSheet();
    return ws ? ws->lastUsedCell().row : 0;
}
