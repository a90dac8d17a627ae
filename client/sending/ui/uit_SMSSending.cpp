#include "uit_SMSSending.h"

#include "BatchSender.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <climits>

TfrmSMSSending::TfrmSMSSending(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSMSSending"));
    setWindowTitle(QStringLiteral("正在发送短信"));
    setFixedSize(360, 90);
    Label1 = new QLabel(QStringLiteral("短信发送进度："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    proSending = new QProgressBar(this);
    proSending->setObjectName(QStringLiteral("proSending"));
    proSending->setRange(0, 0);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(proSending);
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmSMSSending::ShowProgress(const SendProgress &progress)
{
    Label1->setText(progress.label);
    // The bar counts numbers; a list of millions with several parts can pass what an int holds.
    const double scale = progress.maximum > INT_MAX ? double(INT_MAX) / double(progress.maximum) : 1.0;
    proSending->setMaximum(int(progress.maximum * scale));
    proSending->setValue(int(progress.position * scale));
}
