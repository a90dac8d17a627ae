#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The one-field input dialog with a character counter and a typing limit.
class TfrmInput : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmInput(QWidget *parent = nullptr);

    // Shows a fresh dialog modally (the previous one is freed first) and returns the text on OK, an
    // empty text on Cancel or the close box.
    static QString Ask(const QString &caption, const QString &prompt, const QString &initial, int maxLen);
    // The dialog of the last Ask, kept until the next one.
    static TfrmInput *Current();

    // Most characters typing may reach; 0 means no limit.
    int MaxLen = 0;

    QLabel *lblHint;
    QPlainTextEdit *memInput;
    QLabel *lblLength;
    QPushButton *btnOk;
    QPushButton *btnCancel;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void memInputChange();
};
