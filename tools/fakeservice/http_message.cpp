#include "http_message.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray HttpRequest::header(const QByteArray &name) const
{
    for (const auto &field : headers)
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    return {};
}

ParseStatus parseRequest(const QByteArray &buffer, HttpRequest &request, qsizetype &consumed)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return ParseStatus::Incomplete;

    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    // The gateway's clients put some values into the query unencoded, blanks included: the target
    // is everything between the method and the protocol version.
    const QByteArray requestLine = lines.first().trimmed();
    const qsizetype firstBlank = requestLine.indexOf(' ');
    const qsizetype lastBlank = requestLine.lastIndexOf(' ');
    if (firstBlank <= 0 || lastBlank <= firstBlank || !requestLine.mid(lastBlank + 1).startsWith("HTTP/"))
        return ParseStatus::Malformed;

    HttpRequest parsed;
    parsed.method = requestLine.left(firstBlank);
    parsed.target = requestLine.mid(firstBlank + 1, lastBlank - firstBlank - 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return ParseStatus::Malformed;
        parsed.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }

    qsizetype bodyLength = 0;
    if (const QByteArray length = parsed.header("Content-Length"); !length.isEmpty()) {
        bool ok = false;
        bodyLength = length.toLongLong(&ok);
        if (!ok || bodyLength < 0)
            return ParseStatus::Malformed;
    }
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < bodyLength)
        return ParseStatus::Incomplete;
    parsed.body = buffer.mid(bodyStart, bodyLength);

    // The gateway's POST ends its body with a CR LF that Content-Length does not count.
    consumed = bodyStart + bodyLength;
    if (buffer.mid(consumed, 2) == "\r\n")
        consumed += 2;
    parsed.raw = buffer.left(consumed);

    QByteArray target = parsed.target;
    if (target.startsWith("http://")) {
        const qsizetype slash = target.indexOf('/', 7);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    const qsizetype question = target.indexOf('?');
    parsed.path = question < 0 ? target : target.left(question);
    parsed.query =
        parsed.method == "POST" ? parsed.body : (question < 0 ? QByteArray() : target.mid(question + 1));
    request = parsed;
    return ParseStatus::Complete;
}

QMap<QByteArray, QByteArray> parseQuery(const QByteArray &query)
{
    QMap<QByteArray, QByteArray> pairs;
    for (const QByteArray &pair : query.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = equals < 0 ? pair : pair.left(equals);
        if (!pairs.contains(key))
            pairs.insert(key, equals < 0 ? QByteArray() : pair.mid(equals + 1));
    }
    return pairs;
}

QByteArray percentDecode(const QByteArray &encoded)
{
    QByteArray plus = encoded;
    plus.replace('+', ' ');
    return QByteArray::fromPercentEncoding(plus);
}

QByteArray gatewayUrlEncode(const QByteArray &bytes)
{
    QByteArray encoded;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            byte == '.')
            encoded.append(c);
        else if (byte == ' ')
            encoded.append('+');
        else
            encoded.append('%').append(QByteArray::number(byte, 16).rightJustified(2, '0').toUpper());
    }
    return encoded;
}

// Opening a converter costs more than a request's conversions; the service runs on one thread.
QString fromGbk(const QByteArray &bytes)
{
    static QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArray toGbk(const QString &text)
{
    static QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QByteArray httpReply(int status, const QByteArray &reason, const QByteArray &contentType,
                     const QByteArray &body)
{
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    reply += "Server: fakeservice\r\n";
    reply += "Content-Type: " + contentType + "\r\n";
    reply += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    reply += "Connection: close\r\n\r\n";
    reply += body;
    return reply;
}
