#include "MessageComposer.h"
#include "RecipientListModel.h"
#include "ScriptedPrompts.h"

#include <QtTest>

namespace {

// The carrier table of a run whose account channel is `channel` characters.
MessageComposer composerWithChannel(int channel)
{
    return MessageComposer({70, channel, 70, 56}, channel);
}

QString repeated(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += QChar(u'a' + i % 26);
    return text;
}

} // namespace

class TestLengthRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listLimit_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<int>("limit");
        QTest::newRow("empty list keeps the channel") << 80 << QStringList{} << 80;
        QTest::newRow("Mobile only") << 70 << QStringList{"13412345678", "13912345678"} << 70;
        QTest::newRow("130, 153, 188 are Mobile")
            << 80 << QStringList{"13012345678", "15312345678", "18812345678"} << 80;
        QTest::newRow("189 is Telecom") << 80 << QStringList{"13812345678", "18912345678"} << 70;
        QTest::newRow("133 is Unicom") << 80 << QStringList{"13312345678"} << 70;
        QTest::newRow("fixed line is PHS") << 80 << QStringList{"01012345678", "13312345678"} << 56;
    }
    void listLimit()
    {
        QFETCH(int, channel);
        QFETCH(QStringList, numbers);
        QFETCH(int, limit);
        MessageComposer composer = composerWithChannel(channel);
        RecipientListModel list(composer);
        for (const QString &number : numbers)
            list.AddMobile(number);
        QCOMPARE(composer.ContentLimit(), numbers.isEmpty() ? channel : limit);
        composer.LowerLimit(10); // whatever happened before, the recalculation starts afresh
        composer.ReCalc(list);
        QCOMPARE(composer.ContentLimit(), limit);
    }

    void addingNeverRaisesAndClearingResets()
    {
        MessageComposer composer = composerWithChannel(80);
        RecipientListModel list(composer);
        QCOMPARE(composer.ContentLimit(), 80);
        list.AddMobile(QStringLiteral("13312345678"));
        QCOMPARE(composer.ContentLimit(), 70);
        list.AddMobile(QStringLiteral("01012345678"));
        QCOMPARE(composer.ContentLimit(), 56);
        list.AddMobile(QStringLiteral("13812345678"));
        QCOMPARE(composer.ContentLimit(), 56);
        list.DeleteEntries(QItemSelection(list.IndexOf(0), list.IndexOf(0)));
        QCOMPARE(composer.ContentLimit(), 56);
        list.Clear();
        QCOMPARE(composer.ContentLimit(), 80);
    }

    void singleMessageCheck_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("signature");
        QTest::addColumn<bool>("fits");
        QTest::newRow("70 characters") << repeated(70) << QString() << true;
        QTest::newRow("71 characters") << repeated(71) << QString() << false;
        QTest::newRow("blanks around do not count") << "  " + repeated(70) + "\t " << QString() << true;
        QTest::newRow("signature counts") << repeated(68) << QStringLiteral("签名") << true;
        QTest::newRow("signature pushes over") << repeated(69) << QStringLiteral("签名") << false;
        QTest::newRow("a line break counts two") << repeated(34) + "\n" + repeated(34) << QString() << true;
        QTest::newRow("a line break counts two, over")
            << repeated(35) + "\n" + repeated(34) << QString() << false;
    }
    void singleMessageCheck()
    {
        QFETCH(QString, content);
        QFETCH(QString, signature);
        QFETCH(bool, fits);
        MessageComposer composer = composerWithChannel(70);
        composer.setSignature(signature);
        composer.setUseSign(!signature.isEmpty());
        composer.setContent(content);
        QCOMPARE(composer.FitsSingleMessage(), fits);
    }

    void splitting_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("pages");
        QTest::addColumn<QString>("signature");
        QTest::addColumn<QList<int>>("pieceLengths"); // content characters in each part
        QTest::newRow("150, pages: reserve 5") << 150 << true << QString() << QList<int>{65, 65, 20};
        QTest::newRow("141, no pages") << 141 << false << QString() << QList<int>{70, 70, 1};
        QList<int> sixHundred(9, 65);
        sixHundred.append(15);
        QTest::newRow("600, pages: 9 becomes 10") << 600 << true << QString() << sixHundred;
        QList<int> thousand(14, 70);
        thousand.append(20);
        QTest::newRow("1000, no pages: 15 parts") << 1000 << false << QString() << thousand;
        QTest::newRow("one part, pages: no marker") << 70 << true << QString() << QList<int>{70};
        QTest::newRow("signature in every part")
            << 100 << true << QStringLiteral("签名") << QList<int>{63, 37};
    }
    void splitting()
    {
        QFETCH(int, length);
        QFETCH(bool, pages);
        QFETCH(QString, signature);
        QFETCH(QList<int>, pieceLengths);
        MessageComposer composer = composerWithChannel(70);
        composer.setSignature(signature);
        composer.setUseSign(!signature.isEmpty());
        composer.setMultiMode(true);
        composer.setPageNumbers(pages);
        const QString content = repeated(length);
        composer.setContent(content);

        const QStringList parts = composer.SplitContent();
        QCOMPARE(parts.size(), pieceLengths.size());
        QCOMPARE(composer.SendParts(), parts);
        qsizetype at = 0;
        for (int i = 0; i < parts.size(); ++i) {
            QString expected = content.mid(at, pieceLengths[i]) + signature;
            if (pages && parts.size() > 1)
                expected += QStringLiteral("(%1/%2)").arg(i + 1).arg(parts.size());
            QCOMPARE(parts[i], expected);
            at += pieceLengths[i];
        }
        QCOMPARE(composer.LengthDisplay(),
                 QStringLiteral("当前短信长度：%1个字，将分拆为%2条发送！").arg(length).arg(parts.size()));
    }

    void signatureLeavingNoRoom_data()
    {
        QTest::addColumn<int>("signatureLength");
        QTest::addColumn<bool>("pages");
        QTest::newRow("signature as long as the limit") << 70 << false;
        QTest::newRow("signature longer than the limit") << 75 << false;
        QTest::newRow("room smaller than the marker reserve") << 66 << true;
    }
    void signatureLeavingNoRoom()
    {
        QFETCH(int, signatureLength);
        QFETCH(bool, pages);
        MessageComposer composer = composerWithChannel(70);
        composer.setSignature(repeated(signatureLength));
        composer.setUseSign(true);
        composer.setMultiMode(true);
        composer.setPageNumbers(pages);
        composer.setContent(repeated(10));
        QCOMPARE(composer.CountParts(composer.Content()), MessageComposer::NoRoomForContent);
        QVERIFY(composer.SplitContent().isEmpty());
        QCOMPARE(composer.LengthDisplay(),
                 QStringLiteral("当前短信长度：10个字，签名已占满每条短信的长度，无法拆分发送！"));
    }

    void singleModeDisplayAndTyping()
    {
        MessageComposer composer = composerWithChannel(70);
        composer.setSignature(QStringLiteral("签名"));
        composer.setContent(repeated(68));
        // A signature that is not in use takes no room.
        QCOMPARE(composer.LengthDisplay(),
                 QStringLiteral("当前短信长度：68个字；您还可以输入：2个字。包括签名在内，总长度为:70个字"));
        QVERIFY(composer.AcceptsTypedCharacter(QLatin1Char('x')));
        composer.setUseSign(true);
        QCOMPARE(composer.LengthDisplay(),
                 QStringLiteral("当前短信长度：68个字；您还可以输入：0个字。包括签名在内，总长度为:70个字"));
        QVERIFY(!composer.AcceptsTypedCharacter(QLatin1Char('x')));
        QVERIFY(composer.AcceptsTypedCharacter(QChar(8)));
        composer.setMultiMode(true);
        QVERIFY(composer.AcceptsTypedCharacter(QLatin1Char('x')));
    }

    void choosingSingleModeWithALongText()
    {
        ScriptedPrompts *prompts = ScriptedPrompts::install();
        MessageComposer composer = composerWithChannel(70);
        composer.setContent(repeated(69));
        QCOMPARE(composer.ChooseMode(false), false);
        QVERIFY(prompts->shown().isEmpty());
        // Filling the message exactly is refused here although the send check accepts it.
        composer.setContent(repeated(70));
        QCOMPARE(composer.ChooseMode(false), true);
        QCOMPARE(prompts->texts(),
                 QStringList{
                     QStringLiteral("当前输入的短信内容长度已经超出一条短信，请您修改短信内容后再选择！")});
        QCOMPARE(prompts->last()->caption, QStringLiteral("警示"));
        QVERIFY(composer.FitsSingleMessage());
    }
};

QTEST_GUILESS_MAIN(TestLengthRules)
#include "tst_lengthrules.moc"
