#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// The splash picture shown before the sign-in: closes after three seconds or on a click.
class TfrmScreenPop : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmScreenPop(QWidget *parent = nullptr);

    QLabel *imgPicture;
    QTimer *Timer1;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
