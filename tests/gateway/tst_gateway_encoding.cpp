// The gateway's text rules that need no peer: digest, URL codec, length limits, the result element,
// the type number, the Content-Length field, the log stamp and the code-page conversions.
#include "codepage.h"
#include "gateway_client.h"
#include "gateway_log.h"
#include "md5.h"
#include "message_limits.h"
#include "reply_reader.h"
#include "result_element.h"
#include "url_codec.h"

#include <QtTest>

using namespace nelvogate;

namespace {

QByteArray bytes(const std::string &s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}
std::string gbk(const char16_t *text)
{
    return toCodePage(text);
}
std::string repeat(const std::string &unit, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += unit;
    return text;
}

} // namespace

class GatewayEncodingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void md5Vectors_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("a") << QByteArray("a") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
        QTest::newRow("message digest")
            << QByteArray("message digest") << QByteArray("f96b697d7cb7938d525a2f31aaf161d0");
        QTest::newRow("alphabet") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                                  << QByteArray("c3fcd3d76192e4007dfb496cca67e13b");
        QTest::newRow("alphanumeric")
            << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
            << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
        QTest::newRow("eighty digits")
            << QByteArray("12345678901234567890123456789012345678901234567890123456789012345678901234567890")
            << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
    }
    void md5Vectors()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, digest);
        QCOMPARE(bytes(md5Hex(std::string_view(input.constData(), std::size_t(input.size())))), digest);
    }

    void urlEncoding_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("blank and minus") << QByteArray("a b-c.d") << QByteArray("a+b%2Dc.d");
        QTest::newRow("unreserved of others") << QByteArray("_*~") << QByteArray("%5F%2A%7E");
        QTest::newRow("gbk") << bytes(gbk(u"你好")) << QByteArray("%C4%E3%BA%C3");
        QTest::newRow("query characters") << QByteArray("&=?%+") << QByteArray("%26%3D%3F%25%2B");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void urlEncoding()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, encoded);
        QCOMPARE(bytes(urlEncode(plain.toStdString())), encoded);
    }

    void urlDecoding_data()
    {
        QTest::addColumn<QByteArray>("encoded");
        QTest::addColumn<QByteArray>("plain");
        QTest::newRow("escape and plus") << QByteArray("a%20b+c") << QByteArray("a b c");
        QTest::newRow("gbk") << QByteArray("%C4%e3") << bytes(gbk(u"你"));
        QTest::newRow("lone percent at end") << QByteArray("ab%") << QByteArray("ab%");
        QTest::newRow("one character after percent") << QByteArray("ab%4") << QByteArray("ab%4");
        QTest::newRow("first not hex") << QByteArray("%zz1")
                                       << QByteArray("\0"
                                                     "1",
                                                     2);
        QTest::newRow("second not hex") << QByteArray("%4z") << QByteArray("\x04");
        QTest::newRow("error text unchanged") << QByteArray("-11") << QByteArray("-11");
    }
    void urlDecoding()
    {
        QFETCH(QByteArray, encoded);
        QFETCH(QByteArray, plain);
        QCOMPARE(bytes(urlDecode(encoded.toStdString())), plain);
    }

    void lengthLimits_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("mms");
        QTest::addColumn<bool>("tooLong");
        const std::string han = gbk(u"汉");
        QTest::newRow("600 ascii") << bytes(repeat("a", 600)) << false << false;
        QTest::newRow("601 ascii") << bytes(repeat("a", 601)) << false << true;
        QTest::newRow("300 gbk") << bytes(repeat(han, 300)) << false << false;
        QTest::newRow("300 gbk and one ascii") << bytes(repeat(han, 300) + "a") << false << true;
        QTest::newRow("1 gbk and 299 ascii") << bytes(han + repeat("a", 299)) << false << false;
        QTest::newRow("mms 200000 ascii") << bytes(repeat("a", 200000)) << true << false;
        QTest::newRow("mms 200001 ascii") << bytes(repeat("a", 200001)) << true << true;
        QTest::newRow("mms 100000 gbk") << bytes(repeat(han, 100000)) << true << false;
        QTest::newRow("mms 100000 gbk and one") << bytes(repeat(han, 100000) + "a") << true << true;
    }
    void lengthLimits()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, mms);
        QFETCH(bool, tooLong);
        const std::string_view view(text.constData(), std::size_t(text.size()));
        QCOMPARE(mms ? mmsTooLong(view) : smsTooLong(view), tooLong);
    }

    void resultElement_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("code") << QByteArray("HTTP/1.1 200 OK\r\n\r\n<result>-2</result>") << QByteArray("-2");
        QTest::newRow("first of two")
            << QByteArray("<result>7</result><result>8</result>") << QByteArray("7");
        QTest::newRow("zero only when answered") << QByteArray("<result>0</result>") << QByteArray("0");
        QTest::newRow("empty element") << QByteArray("<result></result>") << QByteArray("");
        QTest::newRow("no element") << QByteArray("HTTP/1.1 404 Not Found\r\n\r\n<html/>")
                                    << QByteArray("-999");
        QTest::newRow("no closing marker") << QByteArray("<result>5") << QByteArray("-999");
        QTest::newRow("closing before opening") << QByteArray("</result><result>5") << QByteArray("-999");
        QTest::newRow("empty reply") << QByteArray() << QByteArray("-999");
    }
    void resultElement()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, result);
        QCOMPARE(bytes(resultOf(reply.toStdString())), result);
    }

    void typeNumbers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qlonglong>("number");
        QTest::newRow("leading zero") << QByteArray("02") << 2LL;
        QTest::newRow("letters") << QByteArray("abc") << 0LL;
        QTest::newRow("empty") << QByteArray() << 0LL;
        QTest::newRow("blanks and sign") << QByteArray(" \t-1") << -1LL;
        QTest::newRow("plus") << QByteArray("+1") << 1LL;
        QTest::newRow("trailing letters") << QByteArray("1x") << 1LL;
        QTest::newRow("beyond int") << QByteArray("99999999999999999999") << 2147483648LL;
    }
    void typeNumbers()
    {
        QFETCH(QByteArray, text);
        QFETCH(qlonglong, number);
        QCOMPARE(typeNumber(text.toStdString()), number);
    }

    void contentLengthField_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("value");
        QTest::newRow("usual") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 18")
                               << int(ContentLength::Ok) << 18;
        QTest::newRow("no blank") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length:123")
                                  << int(ContentLength::Ok) << 123;
        QTest::newRow("other case and tab")
            << QByteArray("HTTP/1.1 200 OK\r\ncontent-LENGTH:\t 7 \r\nX: y") << int(ContentLength::Ok) << 7;
        QTest::newRow("missing") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked")
                                 << int(ContentLength::Missing) << 0;
        QTest::newRow("other field ending in the name")
            << QByteArray("HTTP/1.1 200 OK\r\nX-Content-Length: 5") << int(ContentLength::Missing) << 0;
        QTest::newRow("name in status line")
            << QByteArray("Content-Length: 5\r\nX: y") << int(ContentLength::Missing) << 0;
        QTest::newRow("empty value") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: \r\nX: y")
                                     << int(ContentLength::Empty) << 0;
        QTest::newRow("not a number")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 12a") << int(ContentLength::NotInteger) << 0;
        QTest::newRow("negative") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -5")
                                  << int(ContentLength::NotInteger) << 0;
    }
    void contentLengthField()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, status);
        QFETCH(int, value);
        const ContentLength field = findContentLength(header.toStdString());
        QCOMPARE(int(field.status), status);
        if (field.status == ContentLength::Ok)
            QCOMPARE(field.value, std::size_t(value));
    }

    void logStampIsBlankPadded()
    {
        std::tm time{};
        time.tm_mon = 5;
        time.tm_mday = 1;
        time.tm_hour = 8;
        time.tm_min = 5;
        time.tm_sec = 9;
        QCOMPARE(bytes(logStamp(time, 42)), QByteArray("[ 6- 1  8: 5: 9_ 42]"));
        time.tm_mon = 11;
        time.tm_mday = 31;
        time.tm_hour = 23;
        time.tm_min = 59;
        time.tm_sec = 58;
        QCOMPARE(bytes(logStamp(time, 999)), QByteArray("[12-31 23:59:58_999]"));
    }

    void codePageConversions()
    {
        const std::u16string text = u"短信 SMS €—𠀀";
        QCOMPARE(fromCodePage(toCodePage(text)), text);
        QCOMPARE(bytes(toCodePage(u"短信")), QByteArray("\xb6\xcc\xd0\xc5"));
        // A lone surrogate cannot be sent; an invalid GBK byte pair cannot be shown.
        QCOMPARE(bytes(toCodePage(std::u16string(u"a") + char16_t(0xD800) + u"b")), QByteArray("a?b"));
        QCOMPARE(fromCodePage("a\x81"), std::u16string(u"a\uFFFD"));

        QCOMPARE(utf8ToUtf16(utf16ToUtf8(text)), text);
        QCOMPARE(utf8ToUtf16("a\xC3(b\xF0\x9F"), std::u16string(u"a\uFFFD(b\uFFFD\uFFFD"));
        QCOMPARE(utf8ToUtf16("\xC0\xAF"), std::u16string(u"\uFFFD\uFFFD")); // overlong "/"
    }
};

QTEST_GUILESS_MAIN(GatewayEncodingTest)
#include "tst_gateway_encoding.moc"
