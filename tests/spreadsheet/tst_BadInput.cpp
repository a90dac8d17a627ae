#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using nelvo::SpreadsheetError;
using nelvo::Workbook;

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(FIXTURES_DIR "/") + name;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Damaged, hostile or foreign files end in a SpreadsheetError naming the file and the reason; nothing
// crashes, hangs or eats the memory.
class BadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedWithAClearMessage_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");

        const QByteArray xls = contents(fixture(QStringLiteral("xlwt_numbers.xls")));
        const QByteArray xlsx = contents(fixture(QStringLiteral("openpyxl_numbers.xlsx")));
        QVERIFY(!xls.isEmpty() && !xlsx.isEmpty());

        QByteArray scrambledXls = xls;
        for (int i = 600; i < scrambledXls.size(); i += 7)
            scrambledXls[i] = static_cast<char>(scrambledXls[i] ^ 0x5A);
        QByteArray scrambledXlsx = xlsx;
        for (int i = 200; i < scrambledXlsx.size() - 400; i += 5)
            scrambledXlsx[i] = static_cast<char>(scrambledXlsx[i] ^ 0x5A);

        QTest::newRow("xls cut short") << "cut.xls" << xls.left(1500) << "";
        QTest::newRow("xls scrambled") << "scrambled.xls" << scrambledXls << "";
        QTest::newRow("xlsx cut short") << "cut.xlsx" << xlsx.left(xlsx.size() / 2) << "";
        QTest::newRow("xlsx scrambled") << "scrambled.xlsx" << scrambledXlsx << "";
        QTest::newRow("xls with a password")
            << "password.xls" << contents(fixture(QStringLiteral("password.xls"))) << "密码";
        QTest::newRow("xlsx with a password")
            << "encrypted.xlsx" << contents(fixture(QStringLiteral("encrypted.xlsx"))) << "密码";
        QTest::newRow("zip bomb admitting its size")
            << "bomb.xlsx" << contents(fixture(QStringLiteral("bomb_declared.xlsx"))) << "过大";
        QTest::newRow("zip bomb hiding its size")
            << "bomb.xlsx" << contents(fixture(QStringLiteral("bomb_lying.xlsx"))) << "已损坏";
        QTest::newRow("picture named .xls")
            << "picture.xls" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "不是电子表格";
        QTest::newRow("zip that is no workbook")
            << "archive.xlsx" << contents(fixture(QStringLiteral("plain_zip.xlsx"))) << "不是 Excel 工作簿";
        QTest::newRow("binary named .csv") << "binary.csv" << QByteArray("ab\0\0\x01\x02", 6) << "不是文本";
        QTest::newRow("empty .xlsx") << "empty.xlsx" << QByteArray() << "";
        QTest::newRow("sheet row beyond the limit")
            << "far.xlsx" << contents(fixture(QStringLiteral("row_beyond_limit.xlsx"))) << "行号";
    }

    void refusedWithAClearMessage()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);

        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        try {
            Workbook::open(path);
            QFAIL("the file was accepted");
        } catch (const SpreadsheetError &e) {
            QVERIFY2(e.text().contains(path), qPrintable(e.text()));
            QVERIFY2(e.text().contains(reason), qPrintable(e.text()));
        }
    }

    void missingFileNamed()
    {
        QVERIFY_THROWS_EXCEPTION(SpreadsheetError, Workbook::open(QStringLiteral("/nonexistent/号码.xls")));
    }

    // A million rows is within what the spreadsheet application holds; one more row is not.
    void millionRowCsv()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("numbers.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray chunk;
        for (int i = 0; i < 1048576; ++i) {
            chunk += QByteArray::number(13800000000LL + i) + ",x\n";
            if (chunk.size() > (1 << 20)) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
        file.close();

        Workbook workbook = Workbook::open(path);
        QCOMPARE(workbook.sheet(1).lastUsedCell().row, 1048576);
        QCOMPARE(workbook.sheet(1).text(1048576, 1), QStringLiteral("13801048575"));

        QVERIFY(file.open(QIODevice::Append));
        file.write("1,2\n");
        file.close();
        QVERIFY_THROWS_EXCEPTION(SpreadsheetError, Workbook::open(path));
    }
};

QTEST_GUILESS_MAIN(BadInput)
#include "tst_BadInput.moc"
