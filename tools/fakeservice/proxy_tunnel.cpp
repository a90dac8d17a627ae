#include "proxy_tunnel.h"

namespace {

bool credentialsAccepted(const HttpRequest &request, const ProxyConfig &proxy)
{
    if (proxy.user.isEmpty())
        return true;
    const QByteArray expected = "Basic " + (proxy.user + ':' + proxy.password).toBase64();
    return request.header("Proxy-Authorization") == expected;
}

void refuse(QTcpSocket *client, const QByteArray &statusLine, const QByteArray &extra = {})
{
    client->write(statusLine + "\r\n" + extra + "Content-Length: 0\r\nConnection: close\r\n\r\n");
    client->disconnectFromHost();
}

} // namespace

void ProxyTunnel::start(QTcpSocket *client, const HttpRequest &request, const QByteArray &leftover,
                        const ServiceState &state)
{
    if (!state.proxy.enabled) {
        refuse(client, "HTTP/1.1 405 Method Not Allowed");
        return;
    }
    if (!credentialsAccepted(request, state.proxy)) {
        refuse(client, "HTTP/1.1 407 Proxy Authentication Required",
               "Proxy-Authenticate: Basic realm=\"fakeservice\"\r\n");
        return;
    }
    auto *tunnel = new ProxyTunnel(client, leftover);
    tunnel->open(request.target, state.proxy.statusLine);
}

ProxyTunnel::ProxyTunnel(QTcpSocket *client, QByteArray leftover)
    : QObject(client), client_(client), upstream_(new QTcpSocket(this)), leftover_(std::move(leftover))
{
}

void ProxyTunnel::open(const QByteArray &hostPort, const QByteArray &statusLine)
{
    const qsizetype colon = hostPort.lastIndexOf(':');
    bool portOk = false;
    const quint16 port = colon < 0 ? 0 : hostPort.mid(colon + 1).toUShort(&portOk);
    if (!portOk) {
        refuse(client_, "HTTP/1.1 400 Bad Request");
        return;
    }

    connect(upstream_, &QTcpSocket::connected, this, [this, statusLine]() {
        established_ = true;
        client_->write(statusLine + "\r\n\r\n");
        if (!leftover_.isEmpty())
            upstream_->write(leftover_);
        leftover_.clear();
    });
    connect(upstream_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (!established_ && client_)
            refuse(client_, "HTTP/1.1 502 Bad Gateway");
    });
    connect(upstream_, &QTcpSocket::readyRead, this, [this]() {
        if (client_)
            client_->write(upstream_->readAll());
    });
    connect(client_, &QTcpSocket::readyRead, this, [this]() {
        const QByteArray bytes = client_->readAll();
        if (upstream_->state() == QAbstractSocket::ConnectedState)
            upstream_->write(bytes);
        else
            leftover_ += bytes;
    });
    connect(upstream_, &QTcpSocket::disconnected, this, &ProxyTunnel::closeBoth);
    connect(client_, &QTcpSocket::disconnected, this, &ProxyTunnel::closeBoth);
    upstream_->connectToHost(QString::fromLatin1(hostPort.left(colon)), port);
}

void ProxyTunnel::closeBoth()
{
    if (upstream_->bytesAvailable() && client_)
        client_->write(upstream_->readAll());
    upstream_->disconnectFromHost();
    if (client_)
        client_->disconnectFromHost();
}
