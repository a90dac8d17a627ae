#include "uit_ContentPreview.h"

#include "MessageComposer.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TfrmContentPreview::TfrmContentPreview(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmContentPreview"));
    setWindowTitle(QStringLiteral("预览内容"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblHint = new QLabel(this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    btnOk = new QPushButton(this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 2);
    for (int i = 0; i < Boxes; ++i) {
        Memo[i] = new QPlainTextEdit(this);
        Memo[i]->setObjectName(QStringLiteral("Memo%1").arg(i + 1));
        Memo[i]->setReadOnly(true);
        Memo[i]->setFixedSize(260, 64);
        layout->addWidget(Memo[i], 1 + i / 2, i % 2);
    }
    layout->addWidget(lblHint, 5, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons, 6, 0, 1, 2);
}

void TfrmContentPreview::Prepare(const QStringList &parts, bool sending)
{
    for (QPlainTextEdit *box : Memo)
        box->clear();
    lblHint->clear();
    btnOk->setText(sending ? QStringLiteral("继续发送") : QStringLiteral("确定"));
    btnCancel->setText(QStringLiteral("取消发送"));
    btnCancel->setVisible(sending);
    for (int i = 0; i < parts.size() && i < Boxes; ++i)
        Memo[i]->setPlainText(parts.at(i));
    if (parts.size() > Boxes)
        lblHint->setText(kPreviewHiddenPartsHint);
    Label1->setText(PreviewSummaryText(static_cast<int>(parts.size())));
}
