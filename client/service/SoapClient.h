#pragma once

#include <QNetworkProxy>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <optional>
#include <utility>

// A SOAP 1.1 client for one port of a service: it reads the endpoint and namespace from the service
// description on the first call, then posts each call as a UTF-8 document with an empty SOAPAction and
// waits for the answer (30 s at most). Any failure raises nelvo::Error.
class SoapClient
{
public:
    using Param = std::pair<QString, QVariant>;

    SoapClient(QUrl description, QString serviceName, QString portName, QString fallbackNamespace);

    void setProxy(const QString &host, quint16 port, const QString &user, const QString &password);
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // Calls `operation` and returns the texts of its result element's children when the result is an
    // array, or the result element's own text as a one-item list.
    struct Result
    {
        QString text;
        QStringList items;
        bool present = false;
    };
    Result call(const QString &operation, const QList<Param> &params);

    // The request document of a call, as it goes on the wire.
    QByteArray envelope(const QString &operation, const QList<Param> &params) const;

    const QUrl &endpoint() const { return m_endpoint; }

private:
    void loadDescription();
    QByteArray post(const QUrl &url, const QByteArray *body, int *status);

    QUrl m_description;
    QString m_serviceName;
    QString m_portName;
    QString m_namespace;
    QUrl m_endpoint;
    bool m_described = false;
    std::optional<QNetworkProxy> m_proxy;
    int m_timeoutMs = 30000;
};
