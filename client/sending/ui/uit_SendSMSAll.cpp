#include "uit_SendSMSAll.h"

#include "uit_SendSMS.h"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmSendSMSAll::TfrmSendSMSAll(TwebInterFace &web, TdmData &data, TLogMgr *log, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSendSMSAll"));
    pgSMSType = new QTabWidget(this);
    pgSMSType->setObjectName(QStringLiteral("pgSMSType"));
    pgSMSType->setTabPosition(QTabWidget::South);
    frmSendSMS = new TfrmSendSMS(web, data, log, pgSMSType);
    pgSMSType->addTab(frmSendSMS, QStringLiteral("发普通短信"));
    // The spreadsheet messages page has no window of its own yet.
    frmExcelSMS = new QWidget(pgSMSType);
    frmExcelSMS->setObjectName(QStringLiteral("frmExcelSMS"));
    pgSMSType->addTab(frmExcelSMS, QStringLiteral("发Excel短信"));
    tabLongSMS = new QWidget(pgSMSType);
    tabLongSMS->setObjectName(QStringLiteral("tabLongSMS"));
    pgSMSType->addTab(tabLongSMS, QStringLiteral("发送长短信"));
    pgSMSType->setTabVisible(2, false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pgSMSType);
}
