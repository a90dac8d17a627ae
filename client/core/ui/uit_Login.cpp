#include "uit_Login.h"

#include "NelvoError.h"
#include "Prompts.h"
#include "TgParams.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TfrmLogin::TfrmLogin(PasswordLookup storedPassword, QWidget *parent)
    : QDialog(parent), m_storedPassword(std::move(storedPassword))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("用户登录"));
    setFixedSize(300, 165);

    Label1 = new QLabel(QStringLiteral("帐户名称："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    edtLoginID = new QLineEdit(this);
    edtLoginID->setObjectName(QStringLiteral("edtLoginID"));
    Label2 = new QLabel(QStringLiteral("口    令："), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    edtPwd = new QLineEdit(this);
    edtPwd->setObjectName(QStringLiteral("edtPwd"));
    edtPwd->setEchoMode(QLineEdit::Password);
    edtPwd->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(edtLoginID, 0, 1, 1, 2);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(edtPwd, 1, 1, 1, 2);
    layout->addWidget(btnOk, 2, 1);
    layout->addWidget(btnCancel, 2, 2);

    connect(btnOk, &QPushButton::clicked, this, &TfrmLogin::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmLogin::btnCancelClick);
}

void TfrmLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    edtPwd->setFocus();
}

void TfrmLogin::btnOkClick()
{
    gParams.OnlineFlag = 1;
    gParams.clientuser = edtLoginID->text();
    QString stored;
    try {
        stored = m_storedPassword(edtLoginID->text());
    } catch (const nelvo::Error &error) {
        nelvo::prompts().message(QApplication::applicationDisplayName(), error.text(),
                                 nelvo::Prompts::Icon::Error);
        return;
    }
    if (stored != edtPwd->text()) {
        nelvo::prompts().message(QApplication::applicationDisplayName(),
                                 QStringLiteral("用户名或密码不正确，请重新输入..."),
                                 nelvo::Prompts::Icon::None);
        return;
    }
    SignedIn = true;
    gParams.RecvEnabled = 1;
    accept();
}

void TfrmLogin::btnCancelClick()
{
    SignedIn = false;
    reject();
}
