#pragma once

#include "http_message.h"
#include "service_state.h"

#include <QObject>
#include <QPointer>
#include <QTcpSocket>

// Answers a CONNECT as an HTTP proxy: checks the basic credentials when the run requires them,
// opens the connection to the named host and port, then relays bytes both ways until either side
// closes. Deletes itself at the end.
class ProxyTunnel : public QObject
{
    Q_OBJECT
public:
    static void start(QTcpSocket *client, const HttpRequest &request, const QByteArray &leftover,
                      const ServiceState &state);

private:
    ProxyTunnel(QTcpSocket *client, QByteArray leftover);
    void open(const QByteArray &hostPort, const QByteArray &statusLine);
    void closeBoth();

    QPointer<QTcpSocket> client_;
    QTcpSocket *upstream_;
    QByteArray leftover_;
    bool established_ = false;
};
