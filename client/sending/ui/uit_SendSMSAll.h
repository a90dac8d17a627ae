#pragma once

#include <QWidget>

class QTabWidget;
class TLogMgr;
class TdmData;
class TfrmSendSMS;
class TwebInterFace;

// The container of the sending windows: ordinary messages on page 0, spreadsheet messages on page 1,
// a hidden page 2.
class TfrmSendSMSAll : public QWidget
{
    Q_OBJECT
public:
    TfrmSendSMSAll(TwebInterFace &web, TdmData &data, TLogMgr *log, QWidget *parent = nullptr);

    QTabWidget *pgSMSType;
    TfrmSendSMS *frmSendSMS;
    QWidget *frmExcelSMS;
    QWidget *tabLongSMS;
};
