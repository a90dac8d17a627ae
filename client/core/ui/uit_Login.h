#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The local sign-in dialog. The stored password of a user comes from `storedPassword` (empty text when
// the user has no row); it may raise, and the error is then shown and the dialog stays open.
class TfrmLogin : public QDialog
{
    Q_OBJECT
public:
    using PasswordLookup = std::function<QString(const QString &userName)>;

    explicit TfrmLogin(PasswordLookup storedPassword, QWidget *parent = nullptr);

    bool SignedIn = false;

    QLabel *Label1;
    QLineEdit *edtLoginID;
    QLabel *Label2;
    QLineEdit *edtPwd;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    void btnOkClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    PasswordLookup m_storedPassword;
};
