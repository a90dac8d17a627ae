#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Shows how a long text is cut into parts: the first eight in their boxes, a hint for the rest.
class TfrmContentPreview : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmContentPreview(QWidget *parent = nullptr);

    // Fills the boxes for `parts`; `sending` turns the buttons into "continue"/"cancel sending".
    void Prepare(const QStringList &parts, bool sending);

    static constexpr int Boxes = 8;
    QLabel *Label1;
    QPlainTextEdit *Memo[Boxes];
    QLabel *lblHint;
    QPushButton *btnOk;
    QPushButton *btnCancel;
};
