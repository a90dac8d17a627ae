#include "soap_endpoints.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QVersionNumber>
#include <QXmlStreamReader>

namespace {

const QByteArray servicePath = "/smsservice/services/SmsWebService";
const QString serviceNs = QStringLiteral("http://smsservice.nelvodesk.cn/");

QByteArray description(const HttpRequest &request)
{
    const QByteArray host =
        request.header("Host").isEmpty() ? QByteArray("127.0.0.1") : request.header("Host");
    QByteArray wsdl = R"(<?xml version="1.0" encoding="UTF-8"?>
<wsdl:definitions targetNamespace="NS" xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/"
    xmlns:wsdlsoap="http://schemas.xmlsoap.org/wsdl/soap/" xmlns:xsd="http://www.w3.org/2001/XMLSchema"
    xmlns:impl="NS">
 <wsdl:types>
  <schema targetNamespace="NS" xmlns="http://www.w3.org/2001/XMLSchema">
   <complexType name="ArrayOfString"><sequence>
    <element name="string" type="xsd:string" minOccurs="0" maxOccurs="unbounded"/>
   </sequence></complexType>
   <element name="GetNewVersion"><complexType><sequence>
    <element name="CurrVersion" type="xsd:string"/></sequence></complexType></element>
   <element name="GetNewVersionResponse"><complexType><sequence>
    <element name="GetNewVersionReturn" type="xsd:string"/></sequence></complexType></element>
  </schema>
 </wsdl:types>
 <wsdl:message name="GetNewVersionRequest"><wsdl:part name="parameters" element="impl:GetNewVersion"/></wsdl:message>
 <wsdl:message name="GetNewVersionResponse"><wsdl:part name="parameters" element="impl:GetNewVersionResponse"/></wsdl:message>
 <wsdl:portType name="SmsWebService">
  <wsdl:operation name="GetNewVersion">
   <wsdl:input message="impl:GetNewVersionRequest"/><wsdl:output message="impl:GetNewVersionResponse"/>
  </wsdl:operation>
 </wsdl:portType>
 <wsdl:binding name="SmsWebServiceSoapBinding" type="impl:SmsWebService">
  <wsdlsoap:binding style="document" transport="http://schemas.xmlsoap.org/soap/http"/>
  <wsdl:operation name="GetNewVersion"><wsdlsoap:operation soapAction=""/>
   <wsdl:input><wsdlsoap:body use="literal"/></wsdl:input><wsdl:output><wsdlsoap:body use="literal"/></wsdl:output>
  </wsdl:operation>
 </wsdl:binding>
 <wsdl:service name="SmsWebServiceService">
  <wsdl:port name="SmsWebService" binding="impl:SmsWebServiceSoapBinding">
   <wsdlsoap:address location="http://HOST/smsservice/services/SmsWebService"/>
  </wsdl:port>
 </wsdl:service>
</wsdl:definitions>
)";
    wsdl.replace("NS", serviceNs.toUtf8());
    wsdl.replace("HOST", host);
    return wsdl;
}

QByteArray envelope(const QByteArray &body)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/"><soapenv:Body>)" +
           body + "</soapenv:Body></soapenv:Envelope>";
}

QByteArray fault(const QString &text)
{
    return envelope("<soapenv:Fault><faultcode>soapenv:Server</faultcode><faultstring>" +
                    text.toHtmlEscaped().toUtf8() + "</faultstring></soapenv:Fault>");
}

// The operation element and its parameters, by local name.
bool readCall(const QByteArray &body, QString &operation, QMap<QString, QString> &params)
{
    QXmlStreamReader xml(body);
    int depth = 0;
    int operationDepth = -1;
    QString current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (operationDepth < 0 && xml.namespaceUri() == serviceNs) {
                operation = xml.name().toString();
                operationDepth = depth;
            } else if (operationDepth > 0 && depth == operationDepth + 1) {
                current = xml.name().toString();
                params.insert(current, xml.readElementText());
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return !xml.hasError() && !operation.isEmpty();
}

QByteArray callReply(SoapConfig &soap, const HttpRequest &request, int &status)
{
    status = 200;
    QString operation;
    QMap<QString, QString> params;
    if (!readCall(request.body, operation, params)) {
        status = 500;
        return fault(QStringLiteral("unreadable request"));
    }
    if (operation != QLatin1String("GetNewVersion")) {
        status = 500;
        return fault(QStringLiteral("operation not offered here: ") + operation);
    }
    const QVersionNumber asked = QVersionNumber::fromString(params.value(QStringLiteral("CurrVersion")));
    const QVersionNumber newest = QVersionNumber::fromString(soap.newestVersion);
    const QString answer = asked < newest ? soap.packageUrl : QString();
    return envelope("<ns:GetNewVersionResponse xmlns:ns=\"" + serviceNs.toUtf8() +
                    "\"><GetNewVersionReturn>" + answer.toHtmlEscaped().toUtf8() +
                    "</GetNewVersionReturn></ns:GetNewVersionResponse>");
}

} // namespace

bool isSoapPath(const QByteArray &path)
{
    return path == servicePath;
}

bool isSoapControlPath(const QByteArray &path)
{
    return path == "/control/soap" || path == "/control/soap-requests";
}

void answerSoap(QTcpSocket *socket, SoapConfig &soap, const HttpRequest &request)
{
    QByteArray reply;
    if (request.method == "GET") {
        reply = httpReply(200, "OK", "text/xml; charset=utf-8", description(request));
    } else {
        soap.requests.append(request.raw);
        SoapConfig::Fault spoil = SoapConfig::Fault::None;
        if (soap.faultTimes != 0) {
            spoil = soap.fault;
            if (soap.faultTimes > 0)
                --soap.faultTimes;
        }
        int status = 200;
        QByteArray body = callReply(soap, request, status);
        if (spoil == SoapConfig::Fault::SoapFault) {
            status = 500;
            body = fault(QStringLiteral("the service is not available"));
        }
        if (spoil == SoapConfig::Fault::Status500)
            reply = httpReply(500, "Internal Server Error", "text/html", "<html><body>error</body></html>");
        else
            reply = httpReply(status, status == 200 ? "OK" : "Internal Server Error",
                              "text/xml; charset=utf-8", body);
        if (spoil == SoapConfig::Fault::Slow) {
            QTimer::singleShot(soap.slowMs, socket, [socket, reply] {
                socket->write(reply);
                socket->disconnectFromHost();
            });
            return;
        }
    }
    socket->write(reply);
    socket->disconnectFromHost();
}

QByteArray soapControlReply(SoapConfig &soap, const HttpRequest &request)
{
    const QMap<QByteArray, QByteArray> query = parseQuery(request.query);
    QJsonObject answer{{"ok", true}};
    if (request.path == "/control/soap-requests") {
        QJsonArray list;
        for (const QByteArray &raw : std::as_const(soap.requests))
            list.append(QString::fromLatin1(raw.toBase64()));
        answer = QJsonObject{{"requests", list}};
    } else {
        if (query.contains("newest"))
            soap.newestVersion = QString::fromUtf8(percentDecode(query.value("newest")));
        if (query.contains("package"))
            soap.packageUrl = QString::fromUtf8(percentDecode(query.value("package")));
        if (query.contains("fault")) {
            const QByteArray mode = query.value("fault");
            soap.fault = mode == "soap-fault"  ? SoapConfig::Fault::SoapFault
                         : mode == "status500" ? SoapConfig::Fault::Status500
                         : mode == "slow"      ? SoapConfig::Fault::Slow
                                               : SoapConfig::Fault::None;
            soap.faultTimes = query.contains("times") ? query.value("times").toInt() : -1;
            soap.slowMs = query.value("ms").toInt();
        }
    }
    return httpReply(200, "OK", "application/json", QJsonDocument(answer).toJson(QJsonDocument::Compact));
}
