#include "IndependentReader.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QFile>
#include <QJsonArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using nelvo::Workbook;

namespace {

QStringList rowOf(const QJsonObject &sheet, int row)
{
    QStringList cells;
    for (const QJsonValue &v : sheet.value(QStringLiteral("rows")).toArray().at(row - 1).toArray())
        cells << v.toString();
    while (!cells.isEmpty() && cells.last().isEmpty())
        cells.removeLast();
    return cells;
}

QStringList rowOf(const nelvo::Worksheet &sheet, int row)
{
    QStringList cells;
    for (int c = 1; c <= sheet.lastUsedCell().column; ++c)
        cells << sheet.text(row, c);
    while (!cells.isEmpty() && cells.last().isEmpty())
        cells.removeLast();
    return cells;
}

} // namespace

// Files we write open in other programs' readers with the same cells, sheet names and the text format
// of column C; and in ours.
class WorkbookWriting : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    void requirePython()
    {
        if (independentPython().isEmpty())
            QSKIP("python3 is not installed");
    }

    // The shape of an address book export: a text column C holding numbers with leading zeros.
    void fillContacts(int count)
    {
        QSqlQuery q;
        QVERIFY(q.exec(QStringLiteral("DELETE FROM contacts")));
        QSqlDatabase::database().transaction();
        QVERIFY(q.prepare(QStringLiteral("INSERT INTO contacts VALUES (?, ?, ?, ?, ?)")));
        for (int i = 0; i < count; ++i) {
            q.addBindValue(QStringLiteral("联系人%1").arg(i + 1));
            q.addBindValue(20 + i % 50);
            q.addBindValue(i % 2 ? QStringLiteral("0%1").arg(13800138000LL + i)
                                 : QString::number(13800138000LL + i));
            q.addBindValue(i % 3 ? QVariant(i * 1.25) : QVariant());
            q.addBindValue(QStringLiteral("备注, \"%1\"").arg(i));
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        QSqlDatabase::database().commit();
    }

    Workbook exportContacts(const QString &where = QString())
    {
        QSqlQuery query;
        if (!query.exec(
                QStringLiteral("SELECT name AS 姓名, age AS 年龄, mobile AS 手机号码, amount AS 金额, "
                               "note AS 备注 FROM contacts ") +
                where))
            qFatal("%s", qPrintable(query.lastError().text()));
        Workbook workbook;
        workbook.sheet(1).setColumnFormat(QStringLiteral("C:C"), QStringLiteral("@"));
        workbook.sheet(1).placeQueryResult(query, QStringLiteral("A1"));
        return workbook;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(m_dir.filePath(QStringLiteral("data.db")));
        QVERIFY(db.open());
        QSqlQuery q;
        QVERIFY(
            q.exec(QStringLiteral("CREATE TABLE contacts (name TEXT, age INTEGER, mobile TEXT, amount REAL, "
                                  "note TEXT)")));
    }

    void queryResultReadBack_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xls") << QStringLiteral("xls");
        QTest::newRow("xlsx") << QStringLiteral("xlsx");
        QTest::newRow("csv") << QStringLiteral("csv");
    }

    void queryResultReadBack()
    {
        QFETCH(QString, suffix);
        fillContacts(3);
        const QString path = m_dir.filePath(QStringLiteral("contacts.") + suffix);
        exportContacts().saveAs(path);

        const QList<QStringList> expected{
            {"姓名", "年龄", "手机号码", "金额", "备注"},
            {"联系人1", "20", "13800138000", "", "备注, \"0\""},
            {"联系人2", "21", "013800138001", "1.25", "备注, \"1\""},
            {"联系人3", "22", "13800138002", "2.5", "备注, \"2\""},
        };
        Workbook mine = Workbook::open(path);
        for (int r = 1; r <= expected.size(); ++r)
            QCOMPARE(rowOf(mine.sheet(1), r), expected[r - 1]);
        QCOMPARE(mine.sheet(1).lastUsedCell().row, 4);
        if (suffix == QLatin1String("csv"))
            return;

        requirePython();
        const QJsonObject theirs = readWithIndependentReader(path);
        const QJsonArray sheets = theirs.value(QStringLiteral("sheets")).toArray();
        QCOMPARE(sheets.size(), 1);
        const QJsonObject sheet = sheets.at(0).toObject();
        QCOMPARE(sheet.value(QStringLiteral("name")).toString(), QStringLiteral("sheet1"));
        for (int r = 1; r <= expected.size(); ++r)
            QCOMPARE(rowOf(sheet, r), expected[r - 1]);
        QCOMPARE(sheet.value(QStringLiteral("columnCFormat")).toString(), QStringLiteral("@"));
        QCOMPARE(sheet.value(QStringLiteral("columnCCellFormats")).toArray(),
                 QJsonArray{QStringLiteral("@")});
        // Fitted: the note column is wider than the age column.
        const QJsonObject widths = sheet.value(QStringLiteral("widths")).toObject();
        const QString age = suffix == QLatin1String("xls") ? QStringLiteral("1") : QStringLiteral("B");
        const QString note = suffix == QLatin1String("xls") ? QStringLiteral("4") : QStringLiteral("E");
        QVERIFY(widths.value(note).toDouble() > widths.value(age).toDouble());
    }

    void templateHoldsTitlesOnly()
    {
        requirePython();
        fillContacts(3);
        const QString path = m_dir.filePath(QStringLiteral("template.xls"));
        exportContacts(QStringLiteral("where 1=2")).saveAs(path);
        const QJsonObject sheet =
            readWithIndependentReader(path).value(QStringLiteral("sheets")).toArray().at(0).toObject();
        QCOMPARE(sheet.value(QStringLiteral("rows")).toArray().size(), 1);
        QCOMPARE(rowOf(sheet, 1), (QStringList{"姓名", "年龄", "手机号码", "金额", "备注"}));
    }

    // One .xls sheet holds 65,536 rows: the title and 65,535 records; the rest goes on in sheet2, ...
    void longResultContinuesOnFurtherSheets()
    {
        requirePython();
        const int records = 65535 * 2 + 10;
        fillContacts(records);
        const QString path = m_dir.filePath(QStringLiteral("long.xls"));
        Workbook workbook = exportContacts();
        workbook.saveAs(path);

        const QJsonArray sheets = readWithIndependentReader(path).value(QStringLiteral("sheets")).toArray();
        QCOMPARE(sheets.size(), 3);
        const QStringList titles{"姓名", "年龄", "手机号码", "金额", "备注"};
        const int rows[] = {65536, 65536, 11};
        for (int s = 0; s < 3; ++s) {
            const QJsonObject sheet = sheets.at(s).toObject();
            QCOMPARE(sheet.value(QStringLiteral("name")).toString(), QStringLiteral("sheet%1").arg(s + 1));
            QCOMPARE(sheet.value(QStringLiteral("rows")).toArray().size(), rows[s]);
            QCOMPARE(rowOf(sheet, 1), titles);
            QCOMPARE(sheet.value(QStringLiteral("columnCFormat")).toString(), QStringLiteral("@"));
            // The first record of each sheet follows on from the last record of the one before.
            QCOMPARE(rowOf(sheet, 2).first(), QStringLiteral("联系人%1").arg(s * 65535 + 1));
        }

        Workbook mine = Workbook::open(path);
        QCOMPARE(mine.sheetNames(), (QStringList{"sheet1", "sheet2", "sheet3"}));
        QCOMPARE(mine.sheet(3).text(11, 1), QStringLiteral("联系人%1").arg(records));
        QCOMPARE(mine.sheet(2).text(65536, 3), QStringLiteral("0%1").arg(13800138000LL + 2 * 65535 - 1));
    }

    // Long and many strings cross the 8 KB record size of the shared string table.
    void cellsWrittenOneByOne_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xls") << QStringLiteral("xls");
        QTest::newRow("xlsx") << QStringLiteral("xlsx");
    }

    void cellsWrittenOneByOne()
    {
        QFETCH(QString, suffix);
        requirePython();
        Workbook workbook;
        workbook.addSheet(QStringLiteral("第二页"));
        nelvo::Worksheet &sheet = workbook.sheet(2);
        const QString longChinese = QString(20000, QChar(0x77ED)) + QStringLiteral("尾");
        const QString longLatin = QString(30000, QLatin1Char('x')) + QStringLiteral("é");
        sheet.setText(1, 1, longChinese);
        sheet.setText(1, 2, longLatin);
        for (int r = 2; r <= 3000; ++r)
            sheet.setText(r, 1, QStringLiteral("行%1 ").arg(r) + QString(r % 17, QChar(0x4E2D)));
        sheet.setValue(2, 3, QDate(2023, 5, 6));
        sheet.setValue(3, 3, QDateTime(QDate(2021, 12, 31), QTime(23, 59, 58)));
        sheet.setValue(4, 3, true);
        sheet.setValue(5, 3, 13800138000LL);
        sheet.setValue(6, 3, 123456789012345678LL);
        sheet.setValue(7, 3, -0.000123);
        const QString path = m_dir.filePath(QStringLiteral("cells.") + suffix);
        workbook.saveAs(path);

        const QJsonArray sheets = readWithIndependentReader(path).value(QStringLiteral("sheets")).toArray();
        QCOMPARE(sheets.size(), 2);
        const QJsonObject theirs = sheets.at(1).toObject();
        QCOMPARE(theirs.value(QStringLiteral("name")).toString(), QStringLiteral("第二页"));
        QCOMPARE(rowOf(theirs, 1), (QStringList{longChinese, longLatin}));
        for (int r = 2; r <= 3000; ++r)
            QCOMPARE(rowOf(theirs, r).first(),
                     QStringLiteral("行%1 ").arg(r) + QString(r % 17, QChar(0x4E2D)));
        const QStringList column3{"2023-05-06",  "2021-12-31 23:59:58", "TRUE",
                                  "13800138000", "123456789012345678",  "-0.000123"};
        Workbook mine = Workbook::open(path);
        for (int r = 2; r <= 7; ++r) {
            QCOMPARE(rowOf(theirs, r).value(2), column3[r - 2]);
            QCOMPARE(mine.sheet(2).text(r, 3), column3[r - 2]);
        }
        QCOMPARE(mine.sheet(2).text(1, 1), longChinese);
    }

    void failedSaveKeepsTheOldFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("keep.xls"));
        Workbook first;
        first.sheet(1).setText(1, 1, QStringLiteral("old"));
        first.saveAs(path);
        Workbook wide;
        wide.sheet(1).setText(1, 300, QStringLiteral("beyond column IV"));
        try {
            wide.saveAs(path);
            QFAIL("a sheet of 300 columns went into .xls");
        } catch (const nelvo::SpreadsheetError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("keep.xls")), qPrintable(e.text()));
        }
        QCOMPARE(Workbook::open(path).sheet(1).text(1, 1), QStringLiteral("old"));
        QVERIFY_THROWS_EXCEPTION(nelvo::SpreadsheetError,
                                 first.saveAs(m_dir.filePath(QStringLiteral("missing/folder.xlsx"))));
    }
};

QTEST_GUILESS_MAIN(WorkbookWriting)
#include "tst_WorkbookWriting.moc"
