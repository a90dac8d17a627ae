#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrlQuery>

// Runs tools/fakeservice on a free loopback port for the length of a test. The service writes its
// journal into a temporary folder that goes away with this object.
class FakeServiceProcess
{
public:
    // `arguments` are extra options of fakeservice (faults, proxy mode, account values).
    explicit FakeServiceProcess(QStringList arguments = {});
    ~FakeServiceProcess();
    FakeServiceProcess(const FakeServiceProcess &) = delete;
    FakeServiceProcess &operator=(const FakeServiceProcess &) = delete;

    // Starts the service and waits for its "listening" line; false if it did not come up.
    bool start();
    void stop();

    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return port_; }
    // Points gateway objects created from now on in this process at the service.
    void exportGatewayAddress() const;

    // GET /control/<endpoint>?<query>; the JSON answer, empty on failure.
    QJsonObject control(const QString &endpoint, const QUrlQuery &query = {}) const;
    // The next `times` gateway requests get `mode` (see tools/fakeservice/README.md).
    bool setFault(const QString &mode, int times = 1, int ms = 0) const;
    // Only the Nth gateway request from now gets `mode`.
    bool failNth(int nth, const QString &mode = QStringLiteral("close")) const;
    bool addIncoming(const QString &from, const QString &text, const QString &time = {}) const;
    QJsonObject account() const { return control(QStringLiteral("account")); }

    // Accepted messages in order, as written to the journal file.
    QList<QJsonObject> journal() const;
    // Raw bytes of every gateway request (and every CONNECT) received so far.
    QList<QByteArray> gatewayRequests() const;
    QList<QByteArray> tunnelRequests() const;

private:
    QList<QByteArray> capturedRequests(const QString &kind) const;

    QStringList arguments_;
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
};
