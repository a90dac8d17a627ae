#pragma once

#include "http_message.h"

#include <QByteArray>
#include <QList>
#include <QTcpSocket>

// The operator's SOAP service SmsWebService: its description and the version question.
struct SoapConfig
{
    QString newestVersion = QStringLiteral("1.0.0");
    QString packageUrl = QStringLiteral("http://127.0.0.1/update/Nelvodesk-setup.exe");
    enum class Fault
    {
        None,
        SoapFault,
        Status500,
        Slow
    } fault = Fault::None;
    int faultTimes = 0; // how many calls the fault spoils; -1 for all
    int slowMs = 0;
    QList<QByteArray> requests; // raw bytes of every call, in order
};

bool isSoapPath(const QByteArray &path);
bool isSoapControlPath(const QByteArray &path);

// Answers a description request or a call on `socket`, delayed when the slow fault is on.
void answerSoap(QTcpSocket *socket, SoapConfig &soap, const HttpRequest &request);
// /control/soap?newest=V&package=URL&fault=soap-fault|status500|slow|none&times=N&ms=M, and
// /control/soap-requests for the raw calls (base64, in order).
QByteArray soapControlReply(SoapConfig &soap, const HttpRequest &request);
