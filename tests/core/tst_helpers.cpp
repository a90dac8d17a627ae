#include "CommonHelpers.h"

#include <QtTest>

class TestHelpers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isMobileNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("138, 11 digits") << "13800138000" << true;
        QTest::newRow("blanks around") << "  13800138000 " << true;
        QTest::newRow("150") << "15012345678" << true;
        QTest::newRow("189") << "18912345678" << true;
        QTest::newRow("10 digits") << "1380013800" << false;
        QTest::newRow("12 digits") << "138001380001" << false;
        QTest::newRow("147") << "14712345678" << false;
        QTest::newRow("170") << "17012345678" << false;
        QTest::newRow("letter at the end") << "1380013800a" << false;
        QTest::newRow("blank inside") << "138 0013800" << false;
        QTest::newRow("fixed line, 11") << "01012345678" << true;
        QTest::newRow("fixed line, 12") << "075512345678" << true;
        QTest::newRow("fixed line, 13") << "0755123456789" << false;
        QTest::newRow("fixed line, 10") << "0101234567" << false;
        QTest::newRow("signed") << "+1380013800" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("full-width digits") << "１３８００１３８０００" << false;
    }
    void isMobileNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(IsMobileNumber(text), valid);
    }

    void carrierClass_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("carrier");
        QTest::newRow("130") << "13012345678" << 1;
        QTest::newRow("131") << "13112345678" << 0;
        QTest::newRow("133") << "13312345678" << 0;
        QTest::newRow("134") << "13412345678" << 1;
        QTest::newRow("139") << "13912345678" << 1;
        QTest::newRow("150") << "15012345678" << 1;
        QTest::newRow("188") << "18812345678" << 1;
        QTest::newRow("189") << "18912345678" << 2;
        QTest::newRow("fixed line") << "01012345678" << 3;
        QTest::newRow("not digits") << "abc" << 1;
        QTest::newRow("short") << "1" << 1;
        QTest::newRow("empty") << "" << 1;
    }
    void carrierClass()
    {
        QFETCH(QString, number);
        QFETCH(int, carrier);
        QCOMPARE(CarrierClass(number), carrier);
    }

    void splitHeadWalksAList()
    {
        QString rest = QStringLiteral("a,,b");
        QString head;
        SplitHead(QLatin1Char(','), rest, head);
        QCOMPARE(head, QStringLiteral("a"));
        QCOMPARE(rest, QStringLiteral(",b"));
        SplitHead(QLatin1Char(','), rest, head);
        QCOMPARE(head, QString());
        QCOMPARE(rest, QStringLiteral("b"));
        SplitHead(QLatin1Char(','), rest, head);
        QCOMPARE(head, QStringLiteral("b"));
        QCOMPARE(rest, QString());
    }

    void indexOfTextIsCaseSensitive()
    {
        const QStringList list{QStringLiteral("节日"), QStringLiteral("Hello"), QStringLiteral("hello")};
        QCOMPARE(IndexOfText(list, QStringLiteral("hello")), 2);
        QCOMPARE(IndexOfText(list, QStringLiteral("HELLO")), -1);
    }

    void newIdsComeFromTheCounter()
    {
        int counter = 10;
        QCOMPARE(TakeNextId(counter), 10);
        QCOMPARE(TakeNextId(counter), 11);
        QCOMPARE(counter, 12);
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
