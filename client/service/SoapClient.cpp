#include "SoapClient.h"

#include "NelvoError.h"

#include <QDomDocument>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QXmlStreamWriter>

namespace {

const QString soapEnvelopeNs = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
const QString wsdlNs = QStringLiteral("http://schemas.xmlsoap.org/wsdl/");

QDomElement firstChildElement(const QDomNode &parent)
{
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement())
            return n.toElement();
    }
    return {};
}

QList<QDomElement> childElements(const QDomNode &parent)
{
    QList<QDomElement> result;
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.isElement())
            result.append(n.toElement());
    }
    return result;
}

QList<QDomElement> descendants(QDomDocument &doc, const QString &ns, const QString &localName)
{
    QList<QDomElement> result;
    const QDomNodeList nodes = doc.elementsByTagNameNS(ns, localName);
    for (int i = 0; i < nodes.size(); ++i)
        result.append(nodes.at(i).toElement());
    return result;
}

} // namespace

SoapClient::SoapClient(QUrl description, QString serviceName, QString portName, QString fallbackNamespace)
    : m_description(std::move(description)), m_serviceName(std::move(serviceName)),
      m_portName(std::move(portName)), m_namespace(std::move(fallbackNamespace))
{
    // Without a description the endpoint is the service path on the same host and port.
    m_endpoint = m_description;
    m_endpoint.setQuery(QString());
}

void SoapClient::setProxy(const QString &host, quint16 port, const QString &user, const QString &password)
{
    m_proxy = QNetworkProxy(QNetworkProxy::HttpProxy, host, port, user, password);
}

QByteArray SoapClient::post(const QUrl &url, const QByteArray *body, int *status)
{
    QNetworkAccessManager manager;
    if (m_proxy)
        manager.setProxy(*m_proxy);
    else
        manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    QNetworkReply *reply = nullptr;
    if (body) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/xml; charset=UTF-8"));
        request.setRawHeader("SOAPAction", "\"\"");
        reply = manager.post(request, *body);
    } else {
        reply = manager.get(request);
    }
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(m_timeoutMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    const QByteArray content = reply->isOpen() ? reply->readAll() : QByteArray();
    *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    reply->deleteLater();
    // A SOAP fault comes with status 500 and must be read, not reported as a transport error.
    if (error != QNetworkReply::NoError && !(*status == 500 && !content.isEmpty()))
        throw nelvo::Error(QStringLiteral("无法访问服务 %1：%2").arg(url.toString(), errorText));
    return content;
}

void SoapClient::loadDescription()
{
    int status = 0;
    const QByteArray wsdl = post(m_description, nullptr, &status);
    QDomDocument doc;
    if (!doc.setContent(wsdl, true))
        throw nelvo::Error(QStringLiteral("服务描述无法读取：%1").arg(m_description.toString()));
    const QString target = doc.documentElement().attribute(QStringLiteral("targetNamespace"));
    if (!target.isEmpty())
        m_namespace = target;
    for (const QDomElement &service : descendants(doc, wsdlNs, QStringLiteral("service"))) {
        if (service.attribute(QStringLiteral("name")) != m_serviceName)
            continue;
        for (const QDomElement &port : childElements(service)) {
            if (port.localName() != QLatin1String("port") ||
                port.attribute(QStringLiteral("name")) != m_portName)
                continue;
            for (const QDomElement &address : childElements(port)) {
                const QUrl location(address.attribute(QStringLiteral("location")));
                if (address.localName() == QLatin1String("address") && location.isValid() &&
                    !location.isEmpty())
                    m_endpoint = m_description.resolved(location);
            }
        }
    }
    m_described = true;
}

QByteArray SoapClient::envelope(const QString &operation, const QList<Param> &params) const
{
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.writeStartDocument();
    xml.writeNamespace(soapEnvelopeNs, QStringLiteral("soap"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema"), QStringLiteral("xsd"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("xsi"));
    xml.writeStartElement(soapEnvelopeNs, QStringLiteral("Envelope"));
    xml.writeStartElement(soapEnvelopeNs, QStringLiteral("Body"));
    // The operation element declares the service's namespace itself, as document-style services expect.
    xml.writeStartElement(QStringLiteral("ns:") + operation);
    xml.writeAttribute(QStringLiteral("xmlns:ns"), m_namespace);
    // Parameters are unqualified elements, named exactly as the service names them.
    for (const Param &param : params)
        xml.writeTextElement(param.first, param.second.toString());
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return document;
}

SoapClient::Result SoapClient::call(const QString &operation, const QList<Param> &params)
{
    if (!m_described)
        loadDescription();
    const QByteArray body = envelope(operation, params);
    int status = 0;
    const QByteArray answer = post(m_endpoint, &body, &status);

    QDomDocument doc;
    if (!doc.setContent(answer, true))
        throw nelvo::Error(QStringLiteral("服务返回的内容无法读取（%1）").arg(operation));
    const QList<QDomElement> bodies = descendants(doc, soapEnvelopeNs, QStringLiteral("Body"));
    if (bodies.isEmpty())
        throw nelvo::Error(QStringLiteral("服务返回的内容无法读取（%1）").arg(operation));
    const QDomElement response = firstChildElement(bodies.constFirst());
    if (response.localName() == QLatin1String("Fault")) {
        const QString fault = response.firstChildElement(QStringLiteral("faultstring")).text();
        throw nelvo::Error(QStringLiteral("服务返回错误（%1）：%2").arg(operation, fault));
    }
    if (status != 200 || response.localName() != operation + QLatin1String("Response"))
        throw nelvo::Error(QStringLiteral("服务返回的内容无法读取（%1）").arg(operation));

    Result result;
    const QDomElement value = firstChildElement(response);
    if (value.isNull())
        return result;
    result.present = value.attributeNS(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                                       QStringLiteral("nil")) != QLatin1String("true");
    result.text = value.text();
    for (const QDomElement &item : childElements(value))
        result.items.append(item.text());
    return result;
}
