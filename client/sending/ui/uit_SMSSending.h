#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
struct SendProgress;

// The small window that follows a send: on top of the others, not modal.
class TfrmSMSSending : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmSMSSending(QWidget *parent = nullptr);
    void ShowProgress(const SendProgress &progress);

    QLabel *Label1;
    QProgressBar *proSending;
};
