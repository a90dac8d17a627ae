// How a reply is read off the connection, with the peer's writes scripted read by read.
#include "codepage.h"
#include "reply_reader.h"

#include <QtTest>

using namespace nelvogate;

namespace {

// Hands out one scripted piece per read, as a peer's separate writes would arrive.
class ScriptedPeer : public ReplySource
{
public:
    explicit ScriptedPeer(QList<QByteArray> pieces) : pieces_(std::move(pieces)) {}

    long readSome(char *buffer, std::size_t capacity) override
    {
        if (pieces_.isEmpty() || capacity == 0)
            return 0;
        QByteArray &piece = pieces_.first();
        const qsizetype n = qMin(piece.size(), qsizetype(capacity));
        memcpy(buffer, piece.constData(), std::size_t(n));
        piece.remove(0, n);
        if (piece.isEmpty())
            pieces_.removeFirst();
        return long(n);
    }
    long readExact(char *buffer, std::size_t count) override
    {
        ++exactReads;
        std::size_t done = 0;
        while (done < count) {
            const long n = readSome(buffer + done, count - done);
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
        return done == 0 ? -1 : long(done);
    }
    void headerRead(std::string_view) override { ++headerReads; }

    int headerReads = 0;
    int exactReads = 0;

private:
    QList<QByteArray> pieces_;
};

QByteArray gbkText(const char16_t *text)
{
    const std::string bytes = toCodePage(text);
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

const QByteArray kReply = "HTTP/1.1 200 OK\r\nContent-Length: 18\r\n\r\n<result>0</result>";

} // namespace

class ReplyReadingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replies_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("headerReads");

        QTest::newRow("one read") << QList<QByteArray>{kReply} << true << kReply << 1;
        QTest::newRow("header in three reads, body in two")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\nCon", "tent-Length: 18\r\n", "\r\n<resu", "lt>0</res",
                                 "ult>"}
            << true << kReply << 3;
        QTest::newRow("blank line split across reads")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Length: 18\r\n\r", "\n<result>0</result>"}
            << true << kReply << 2;
        QTest::newRow("body beyond the length is cut")
            << QList<QByteArray>{kReply + "trailing"} << true << kReply << 1;
        QTest::newRow("length without blank")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\ncontent-length:18\r\n\r\n<result>0</result>"} << true
            << QByteArray("HTTP/1.1 200 OK\r\ncontent-length:18\r\n\r\n<result>0</result>") << 1;
        QTest::newRow("status is not examined")
            << QList<QByteArray>{"HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nno"} << true
            << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nno") << 1;

        QTest::newRow("nothing before close") << QList<QByteArray>{} << false << QByteArray("-11") << 1;
        QTest::newRow("closed inside the header")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Le"} << false << QByteArray("-11") << 2;
        QTest::newRow("chunked")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n"} << false
            << gbkText(u"没有找到Content-Length字段") << 1;
        QTest::newRow("length only in the body")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\n\r\nContent-Length: 3\r\n"} << false
            << gbkText(u"没有找到Content-Length字段") << 1;
        QTest::newRow("empty length") << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Length:\r\n\r\nabc"}
                                      << false << gbkText(u"Content-Length字段无效") << 1;
        QTest::newRow("length not a number")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Length: x1\r\n\r\nabc"} << false
            << gbkText(u"Content-Length字段非整数") << 1;
        QTest::newRow("closed inside the body") << QList<QByteArray>{kReply.left(kReply.size() - 4)} << false
                                                << gbkText(u"Content-Length字段非整数") << 1;
        QTest::newRow("body larger than the buffer")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Length: 40000\r\n\r\n<result>0</result>"}
            << false << gbkText(u"Content-Length字段无效") << 1;
        QTest::newRow("length beyond any number")
            << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n"}
            << false << gbkText(u"Content-Length字段无效") << 1;
    }
    void replies()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, ok);
        QFETCH(QByteArray, text);
        QFETCH(int, headerReads);

        ScriptedPeer peer(pieces);
        std::string buffer;
        const ExchangeResult result = readReply(peer, buffer);
        QCOMPARE(result.ok, ok);
        QCOMPARE(QByteArray::fromStdString(result.text), text);
        QCOMPARE(peer.headerReads, headerReads);
    }

    void replyInOneReadNeedsNoBodyRead()
    {
        ScriptedPeer peer({kReply});
        std::string buffer;
        QVERIFY(readReply(peer, buffer).ok);
        QCOMPARE(peer.exactReads, 0);
    }

    // The whole buffer may go to the header; one byte more is a network error, not a cut reply.
    void headerFillingTheBuffer()
    {
        const QByteArray start = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nX: ";
        const QByteArray fits =
            start + QByteArray(qsizetype(kReplyCapacity) - start.size() - 4, 'x') + "\r\n\r\n";
        ScriptedPeer fitting({fits});
        std::string buffer;
        const ExchangeResult fitted = readReply(fitting, buffer);
        QVERIFY(fitted.ok);
        QCOMPARE(fitted.text.size(), kReplyCapacity);

        ScriptedPeer overlong({start + QByteArray(qsizetype(kReplyCapacity), 'x') + "\r\n\r\n"});
        const ExchangeResult failed = readReply(overlong, buffer);
        QVERIFY(!failed.ok);
        QCOMPARE(QByteArray::fromStdString(failed.text), QByteArray("-11"));
    }
};

QTEST_GUILESS_MAIN(ReplyReadingTest)
#include "tst_reply_reading.moc"
