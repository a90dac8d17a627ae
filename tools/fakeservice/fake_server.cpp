#include "fake_server.h"

#include "control_endpoints.h"
#include "gateway_endpoints.h"
#include "http_message.h"
#include "proxy_tunnel.h"
#include "reply_writer.h"
#include "soap_endpoints.h"

#include <QTcpSocket>

namespace {

// Reads one request from a fresh connection and hands it to the matching endpoint family.
class Connection : public QObject
{
public:
    Connection(QTcpSocket *socket, ServiceState &state) : QObject(socket), socket_(socket), state_(state)
    {
        connect(socket, &QTcpSocket::readyRead, this, &Connection::read);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    void read()
    {
        buffer_ += socket_->readAll();
        HttpRequest request;
        qsizetype consumed = 0;
        switch (parseRequest(buffer_, request, consumed)) {
        case ParseStatus::Incomplete:
            return;
        case ParseStatus::Malformed:
            disconnect(socket_, nullptr, this, nullptr);
            socket_->write(httpReply(400, "Bad Request", "text/plain", "malformed request"));
            socket_->disconnectFromHost();
            return;
        case ParseStatus::Complete:
            break;
        }
        // One request per connection, as the gateway's clients use it.
        disconnect(socket_, &QTcpSocket::readyRead, this, &Connection::read);
        dispatch(request, buffer_.mid(consumed));
    }

    void dispatch(const HttpRequest &request, const QByteArray &leftover)
    {
        if (request.method == "CONNECT") {
            state_.tunnelRequests.append(request.raw);
            ProxyTunnel::start(socket_, request, leftover, state_);
            return;
        }
        if (isSoapControlPath(request.path)) {
            socket_->write(soapControlReply(state_.soap, request));
            socket_->disconnectFromHost();
            return;
        }
        if (isSoapPath(request.path)) {
            answerSoap(socket_, state_.soap, request);
            return;
        }
        if (isControlPath(request.path)) {
            socket_->write(controlReply(state_, request));
            socket_->disconnectFromHost();
            return;
        }
        if (isGatewayPath(request.path)) {
            state_.gatewayRequests.append(request.raw);
            const Fault fault = state_.faults.next();
            const QByteArray result =
                fault.requestIsCarriedOut() ? gatewayResult(state_, request) : QByteArray();
            writeGatewayReply(socket_, result, fault);
            return;
        }
        socket_->write(httpReply(404, "Not Found", "text/html", "<html><body>Not Found</body></html>"));
        socket_->disconnectFromHost();
    }

    QTcpSocket *socket_;
    ServiceState &state_;
    QByteArray buffer_;
};

} // namespace

FakeServer::FakeServer(ServiceState &state, QObject *parent) : QObject(parent), state_(state)
{
    connect(&server_, &QTcpServer::newConnection, this, &FakeServer::accept);
}

bool FakeServer::listen(quint16 port)
{
    return server_.listen(QHostAddress::LocalHost, port);
}

void FakeServer::accept()
{
    while (QTcpSocket *socket = server_.nextPendingConnection())
        new Connection(socket, state_);
}
