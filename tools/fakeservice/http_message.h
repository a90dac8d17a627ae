#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

// One HTTP request as it came off the wire.
struct HttpRequest
{
    QByteArray raw; // every byte received for this request, header and body
    QByteArray method;
    QByteArray target; // as written in the request line
    QByteArray path;   // origin path without the query; an absolute-form target is reduced to it
    QByteArray query;  // of a GET from the target; of a POST the body, which carries the query
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const;
};

enum class ParseStatus
{
    Incomplete,
    Complete,
    Malformed
};

// Parses the first request in `buffer`; on Complete, `consumed` is the number of bytes it used.
ParseStatus parseRequest(const QByteArray &buffer, HttpRequest &request, qsizetype &consumed);

// Query pairs with their values still encoded; a key given twice keeps its first value.
QMap<QByteArray, QByteArray> parseQuery(const QByteArray &query);

// "%XX" and "+" undone into the bytes they stand for.
QByteArray percentDecode(const QByteArray &encoded);

// The gateway's own URL encoding: letters, digits and "." stay, a blank is "+", all else "%XX".
QByteArray gatewayUrlEncode(const QByteArray &bytes);

// The gateway's texts are GBK on the wire.
QString fromGbk(const QByteArray &bytes);
QByteArray toGbk(const QString &text);

// A complete reply with a correct Content-Length.
QByteArray httpReply(int status, const QByteArray &reason, const QByteArray &contentType,
                     const QByteArray &body);
