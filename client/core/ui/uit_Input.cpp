#include "uit_Input.h"

#include "KeyFilters.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPointer<TfrmInput> &lastDialog()
{
    static QPointer<TfrmInput> dialog;
    return dialog;
}

} // namespace

TfrmInput::TfrmInput(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInput"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(348, 181);
    setFont(QFont(QStringLiteral("SimSun"), 9));

    lblHint = new QLabel(this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    memInput = new QPlainTextEdit(this);
    memInput->setObjectName(QStringLiteral("memInput"));
    memInput->setFixedSize(289, 49);
    memInput->installEventFilter(this);
    lblLength = new QLabel(this);
    lblLength->setObjectName(QStringLiteral("lblLength"));
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblHint);
    layout->addWidget(memInput);
    layout->addWidget(lblLength);
    layout->addLayout(buttons);

    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(memInput, &QPlainTextEdit::textChanged, this, &TfrmInput::memInputChange);
    memInputChange();
}

bool TfrmInput::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == memInput && event->type() == QEvent::KeyPress && MaxLen > 0) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (memInput->toPlainText().size() >= MaxLen && KeyAddsText(key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmInput::memInputChange()
{
    lblLength->setText(QStringLiteral("已经输入") + QString::number(memInput->toPlainText().size()) +
                       QStringLiteral("字"));
}

TfrmInput *TfrmInput::Current()
{
    return lastDialog();
}

QString TfrmInput::Ask(const QString &caption, const QString &prompt, const QString &initial, int maxLen)
{
    delete lastDialog().data();
    auto *dialog = new TfrmInput(QApplication::activeWindow());
    lastDialog() = dialog;
    dialog->setWindowTitle(caption);
    dialog->lblHint->setText(prompt);
    dialog->memInput->setPlainText(initial);
    dialog->MaxLen = maxLen;
    return dialog->exec() == QDialog::Accepted ? dialog->memInput->toPlainText() : QString();
}
