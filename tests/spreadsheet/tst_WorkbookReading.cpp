#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QTest>

using nelvo::Workbook;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(FIXTURES_DIR "/") + QString::fromUtf8(name);
}

} // namespace

// Files made by other programs (xlwt, openpyxl, hand-laid zip parts, plain text in three encodings)
// read as a person sees them in the spreadsheet application.
class WorkbookReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cellsReadAsShown_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");

        for (const char *file : {"xlwt_numbers.xls", "openpyxl_numbers.xlsx"}) {
            const auto add = [file](const char *what, int sheet, int row, int column,
                                    const QString &expected) {
                QTest::addRow("%s: %s", file, what) << fixture(file) << sheet << row << column << expected;
            };
            add("title", 1, 1, 1, QStringLiteral("手机号码"));
            add("mobile number stored as a number", 1, 2, 1, QStringLiteral("13800138000"));
            add("Chinese text", 1, 2, 2, QStringLiteral("张三"));
            add("text keeps leading zeros", 1, 2, 3, QStringLiteral("0138001"));
            add("short text with zeros", 1, 3, 3, QStringLiteral("007"));
            add("date", 1, 2, 4, QStringLiteral("2023-05-06"));
            add("date and time", 1, 3, 4, QStringLiteral("2021-12-31 23:59:58"));
            add("fraction", 1, 2, 5, QStringLiteral("12.5"));
            add("negative whole number", 1, 3, 5, QStringLiteral("-3"));
            add("true", 1, 2, 6, QStringLiteral("TRUE"));
            add("false", 1, 3, 6, QStringLiteral("FALSE"));
            add("binary fraction noise hidden", 3, 2, 1, QStringLiteral("0.3"));
            add("decimals kept", 3, 3, 1, QStringLiteral("1234567.891"));
            add("far cell", 3, 5, 4, QStringLiteral("最后"));
            add("empty cell", 3, 4, 4, QString());
            add("outside the sheet", 1, 500, 50, QString());
        }

        const auto hand = [](const char *what, int row, int column, const QString &expected) {
            QTest::addRow("handmade.xlsx: %s", what)
                << fixture("handmade.xlsx") << 1 << row << column << expected;
        };
        hand("inline string", 1, 1, QStringLiteral("行内"));
        hand("shared string keeps blanks and zeros", 1, 2, QStringLiteral(" 00123 "));
        hand("rich text runs joined, phonetic guide left out", 1, 3, QStringLiteral("东京都"));
        hand("formula text result", 3, 2, QStringLiteral("行内x"));
        hand("boolean", 3, 3, QStringLiteral("TRUE"));
        hand("error value", 3, 4, QStringLiteral("#N/A"));
        hand("custom Chinese date format in the 1904 system", 4, 1, QStringLiteral("2023-05-05"));
        hand("built-in time format", 4, 2, QStringLiteral("12:00:00"));
        hand("text-formatted shared string", 4, 3, QStringLiteral(" 00123 "));
        hand("huge number", 4, 5, QStringLiteral("1.5E+20"));

        const auto prefixed = [](const char *what, int column, const QString &expected) {
            QTest::addRow("prefixed.xlsx: %s", what)
                << fixture("prefixed.xlsx") << 1 << 1 << column << expected;
        };
        prefixed("entities and character references", 1, QStringLiteral("a<b>&\"'中文"));
        prefixed("CDATA kept as written", 2, QStringLiteral("<不是标签> & 也不是实体"));
        prefixed("number with blanks around it", 3, QStringLiteral("42"));

        for (const char *file : {"utf8_bom.csv", "utf8.csv", "gbk.csv"}) {
            const auto add = [file](const char *what, int row, int column, const QString &expected) {
                QTest::addRow("%s: %s", file, what) << fixture(file) << 1 << row << column << expected;
            };
            add("title", 1, 1, QStringLiteral("手机号码"));
            add("number stays as written", 2, 1, QStringLiteral("13800138000"));
            add("quoted field with quotes, comma and line break", 2, 2,
                QStringLiteral("你好，\"朋友\"\r\n第二行"));
            add("leading zeros", 2, 3, QStringLiteral("007"));
            add("empty field", 3, 1, QString());
            add("after an empty field", 3, 2, QStringLiteral("空号码"));
        }
    }

    void cellsReadAsShown()
    {
        QFETCH(QString, file);
        QFETCH(int, sheet);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, expected);

        Workbook workbook = Workbook::open(file);
        QCOMPARE(workbook.sheet(sheet).text(row, column), expected);
    }

    void sheetsAndLastUsedCells_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("lastCells"); // row, column per sheet

        const QStringList three{QStringLiteral("号码"), QStringLiteral("空表"), QStringLiteral("第三页")};
        QTest::newRow("xls") << fixture("xlwt_numbers.xls") << three << QList<int>{3, 6, 1, 1, 5, 4};
        QTest::newRow("xlsx") << fixture("openpyxl_numbers.xlsx") << three << QList<int>{3, 6, 1, 1, 5, 4};
        QTest::newRow("handmade xlsx")
            << fixture("handmade.xlsx") << QStringList{QStringLiteral("手写")} << QList<int>{4, 5};
        QTest::newRow("csv takes the file's name")
            << fixture("gbk.csv") << QStringList{QStringLiteral("gbk")} << QList<int>{3, 3};
    }

    void sheetsAndLastUsedCells()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, lastCells);

        Workbook workbook = Workbook::open(file);
        QCOMPARE(workbook.sheetNames(), names);
        QCOMPARE(workbook.activeSheetIndex(), 1);
        for (int s = 1; s <= workbook.sheetCount(); ++s) {
            workbook.activate(s);
            const nelvo::CellRef last = workbook.activeSheet().lastUsedCell();
            QCOMPARE(QList<int>({last.row, last.column}), lastCells.mid(2 * (s - 1), 2));
        }
    }

    void basedOnLeavesTheSourceAlone()
    {
        Workbook workbook = Workbook::basedOn(fixture("xlwt_numbers.xls"));
        QVERIFY(workbook.fileName().isEmpty());
        workbook.sheet(1).setText(2, 1, QStringLiteral("changed"));
        workbook.close();
        QCOMPARE(Workbook::open(fixture("xlwt_numbers.xls")).sheet(1).text(2, 1),
                 QStringLiteral("13800138000"));
        QCOMPARE(workbook.sheetNames(), QStringList{QStringLiteral("sheet1")});
    }
};

QTEST_GUILESS_MAIN(WorkbookReading)
#include "tst_WorkbookReading.moc"
