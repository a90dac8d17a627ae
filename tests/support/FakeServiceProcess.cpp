#include "FakeServiceProcess.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>

namespace {
constexpr int kStartWaitMs = 15000;
constexpr int kControlWaitMs = 10000;
} // namespace

FakeServiceProcess::FakeServiceProcess(QStringList arguments) : arguments_(std::move(arguments)) {}

FakeServiceProcess::~FakeServiceProcess()
{
    stop();
}

bool FakeServiceProcess::start()
{
    QStringList arguments{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--journal"),
                          dir_.filePath(QStringLiteral("journal.jsonl"))};
    arguments += arguments_;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral(NELVO_FAKESERVICE_PATH), arguments);
    if (!process_.waitForStarted(kStartWaitMs))
        return false;
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(kStartWaitMs))
            return false;
    }
    const QByteArray line = process_.readLine().trimmed();
    if (!line.startsWith("listening "))
        return false;
    port_ = static_cast<quint16>(line.mid(10).toUInt());
    return port_ != 0;
}

void FakeServiceProcess::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(kStartWaitMs)) {
        process_.kill();
        process_.waitForFinished(kStartWaitMs);
    }
}

void FakeServiceProcess::exportGatewayAddress() const
{
    qputenv("NELVOGATE_HOST", host().toLatin1());
    qputenv("NELVOGATE_PORT", QByteArray::number(port_));
}

QJsonObject FakeServiceProcess::control(const QString &endpoint, const QUrlQuery &query) const
{
    QTcpSocket socket;
    socket.connectToHost(host(), port_);
    if (!socket.waitForConnected(kControlWaitMs))
        return {};
    QByteArray target = "/control/" + endpoint.toLatin1();
    if (!query.isEmpty())
        target += '?' + query.toString(QUrl::FullyEncoded).toLatin1();
    socket.write("GET " + target + " HTTP/1.1\r\nHost: " + host().toLatin1() +
                 "\r\nConnection: close\r\n\r\n");
    QByteArray reply;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(kControlWaitMs))
        reply += socket.readAll();
    reply += socket.readAll();
    const qsizetype bodyStart = reply.indexOf("\r\n\r\n");
    if (bodyStart < 0)
        return {};
    return QJsonDocument::fromJson(reply.mid(bodyStart + 4)).object();
}

bool FakeServiceProcess::setFault(const QString &mode, int times, int ms) const
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("mode"), mode);
    query.addQueryItem(QStringLiteral("times"), QString::number(times));
    query.addQueryItem(QStringLiteral("ms"), QString::number(ms));
    return control(QStringLiteral("fault"), query).value(QStringLiteral("ok")).toBool();
}

bool FakeServiceProcess::failNth(int nth, const QString &mode) const
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("mode"), mode);
    query.addQueryItem(QStringLiteral("nth"), QString::number(nth));
    return control(QStringLiteral("fault"), query).value(QStringLiteral("ok")).toBool();
}

bool FakeServiceProcess::addIncoming(const QString &from, const QString &text, const QString &time) const
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("from"), from);
    query.addQueryItem(QStringLiteral("text"), text);
    query.addQueryItem(QStringLiteral("time"), time);
    return control(QStringLiteral("incoming"), query).contains(QStringLiteral("incoming"));
}

QList<QJsonObject> FakeServiceProcess::journal() const
{
    QList<QJsonObject> entries;
    QFile file(dir_.filePath(QStringLiteral("journal.jsonl")));
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!line.isEmpty())
            entries.append(QJsonDocument::fromJson(line).object());
    }
    return entries;
}

QList<QByteArray> FakeServiceProcess::capturedRequests(const QString &kind) const
{
    QList<QByteArray> requests;
    const QJsonArray list = control(QStringLiteral("requests")).value(kind).toArray();
    for (const QJsonValue &value : list)
        requests.append(QByteArray::fromBase64(value.toString().toLatin1()));
    return requests;
}

QList<QByteArray> FakeServiceProcess::gatewayRequests() const
{
    return capturedRequests(QStringLiteral("gateway"));
}

QList<QByteArray> FakeServiceProcess::tunnelRequests() const
{
    return capturedRequests(QStringLiteral("tunnel"));
}
