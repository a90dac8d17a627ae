#include "reply_writer.h"

#include "http_message.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

constexpr int kSplitPiece = 5;
constexpr qsizetype kHugeHeaderBytes = 45000;

// The port in the Server field tells the replies of several instances apart in a shared log.
QByteArray serverField(const QTcpSocket *socket)
{
    return "Server: fakeservice/" + QByteArray::number(socket->localPort()) + "\r\n";
}

QByteArray lengthField(qsizetype length)
{
    return "Content-Length: " + QByteArray::number(length) + "\r\n";
}

void finish(QTcpSocket *socket, const QByteArray &bytes)
{
    socket->write(bytes);
    socket->disconnectFromHost();
}

// Pieces go out on separate turns of the event loop, each flushed, so the client sees many reads.
void writeInPieces(QTcpSocket *socket, const QByteArray &bytes)
{
    auto offset = std::make_shared<qsizetype>(0);
    auto step = std::make_shared<std::function<void()>>();
    QPointer<QTcpSocket> guarded(socket);
    *step = [guarded, bytes, offset, weakStep = std::weak_ptr<std::function<void()>>(step)]() {
        if (!guarded)
            return;
        guarded->write(bytes.mid(*offset, kSplitPiece));
        guarded->flush();
        *offset += kSplitPiece;
        if (*offset >= bytes.size()) {
            guarded->disconnectFromHost();
            return;
        }
        if (auto next = weakStep.lock())
            QTimer::singleShot(1, guarded, [next]() { (*next)(); });
    };
    // The chain owns itself through the pending timer's copy of `step`.
    QTimer::singleShot(0, socket, [step]() { (*step)(); });
}

} // namespace

void writeGatewayReply(QTcpSocket *socket, const QByteArray &resultValue, const Fault &fault)
{
    const QByteArray server = serverField(socket);
    auto headerWith = [&server](const QByteArray &statusLine, const QByteArray &fields) {
        return statusLine + "\r\n" + server + "Content-Type: text/html; charset=GBK\r\n" + fields +
               "Connection: close\r\n\r\n";
    };
    const QByteArray body = "<result>" + resultValue + "</result>";
    const QByteArray normal = headerWith("HTTP/1.1 200 OK", lengthField(body.size())) + body;

    switch (fault.mode) {
    case Fault::None:
        finish(socket, normal);
        return;
    case Fault::Delay: {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(fault.ms, socket, [guarded, normal]() {
            if (guarded)
                finish(guarded, normal);
        });
        return;
    }
    case Fault::Close:
        socket->disconnectFromHost();
        return;
    case Fault::CloseMidBody:
        finish(socket, headerWith("HTTP/1.1 200 OK", lengthField(body.size())) + body.left(body.size() / 2));
        return;
    case Fault::NoLength:
        finish(socket, headerWith("HTTP/1.1 200 OK", {}) + body);
        return;
    case Fault::WrongLength:
        finish(socket, headerWith("HTTP/1.1 200 OK", lengthField(body.size() + 10)) + body);
        return;
    case Fault::Chunked:
        finish(socket, headerWith("HTTP/1.1 200 OK", "Transfer-Encoding: chunked\r\n") +
                           QByteArray::number(body.size(), 16) + "\r\n" + body + "\r\n0\r\n\r\n");
        return;
    case Fault::Status500:
        finish(socket, httpReply(500, "Internal Server Error", "text/html",
                                 "<html><body>Internal Server Error</body></html>"));
        return;
    case Fault::NoResult:
        finish(socket, httpReply(200, "OK", "text/html", "<html><body>ok</body></html>"));
        return;
    case Fault::Split:
        writeInPieces(socket, normal);
        return;
    case Fault::HugeHeader: {
        QByteArray filler;
        while (filler.size() < kHugeHeaderBytes)
            filler += "X-Filler: " + QByteArray(90, 'x') + "\r\n";
        finish(socket, headerWith("HTTP/1.1 200 OK", filler + lengthField(body.size())) + body);
        return;
    }
    case Fault::LengthNoBlank:
        finish(socket,
               headerWith("HTTP/1.1 200 OK", "content-length:" + QByteArray::number(body.size()) + "\r\n") +
                   body);
        return;
    }
}
