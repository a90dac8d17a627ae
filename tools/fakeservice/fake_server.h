#pragma once

#include "service_state.h"

#include <QTcpServer>

// Listens on 127.0.0.1 and serves one request per connection: gateway pages, control endpoints,
// and CONNECT when the run acts as a proxy.
class FakeServer : public QObject
{
    Q_OBJECT
public:
    explicit FakeServer(ServiceState &state, QObject *parent = nullptr);
    bool listen(quint16 port);
    quint16 port() const { return server_.serverPort(); }

private:
    void accept();

    ServiceState &state_;
    QTcpServer server_;
};
