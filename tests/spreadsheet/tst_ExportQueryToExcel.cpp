#include "ExportQueryToExcel.h"
#include "IndependentReader.h"
#include "ScriptedPrompts.h"
#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QFile>
#include <QJsonArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString templateSql =
    QStringLiteral("SELECT sendlist as 手机号码,sendtext as 短信内容  FROM smssendList   where 1=2");
const QString contactsSql =
    QStringLiteral("SELECT name as 姓名, sex as 性别, mobile as 手机号码 FROM customer");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The shared export: the dialog, the overwrite question, the query left on the result, the file.
class ExportQuery : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedPrompts *m_prompts = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QSqlQuery q;
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE smssendList (sendlist TEXT, sendtext TEXT)")));
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE customer (name TEXT, sex TEXT, mobile TEXT)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO customer VALUES ('张三', '男', '013912345678'), "
                                      "('李四', '女', '13800138000')")));
    }

    void init() { m_prompts = ScriptedPrompts::install(); }

    void writesTheChosenFormat_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("xls") << QStringLiteral("contacts.xls");
        QTest::newRow("xlsx") << QStringLiteral("contacts.xlsx");
        QTest::newRow("csv") << QStringLiteral("contacts.csv");
    }

    void writesTheChosenFormat()
    {
        QFETCH(QString, fileName);
        const QString path = m_dir.filePath(fileName);
        m_prompts->queueText(path);
        QSqlQuery query;
        QVERIFY(ExportQueryToExcel(contactsSql, QStringLiteral("导出通讯录"), query));

        QCOMPARE(m_prompts->shown().size(), 1);
        const ScriptedPrompts::Shown &dialog = m_prompts->shown().first();
        QCOMPARE(dialog.kind, QStringLiteral("saveFile"));
        QCOMPARE(dialog.caption, QStringLiteral("导出通讯录"));
        QVERIFY(dialog.text.startsWith(QStringLiteral("Excel files (*.xls);;")));
        QVERIFY(dialog.text.contains(QStringLiteral("(*.xlsx)")) &&
                dialog.text.contains(QStringLiteral("(*.csv)")));
        QVERIFY(query.isActive());
        QCOMPARE(query.lastQuery(), contactsSql);

        nelvo::Workbook written = nelvo::Workbook::open(path);
        const nelvo::Worksheet &sheet = written.sheet(1);
        QCOMPARE(sheet.text(1, 3), QStringLiteral("手机号码"));
        QCOMPARE(sheet.text(2, 3), QStringLiteral("013912345678"));
        QCOMPARE(sheet.text(3, 1), QStringLiteral("李四"));
        const QByteArray head = contents(path).left(4);
        if (fileName.endsWith(QLatin1String(".csv")))
            return;
        QCOMPARE(head, fileName.endsWith(QLatin1String(".xlsx")) ? QByteArray("PK\x03\x04")
                                                                 : QByteArray("\xD0\xCF\x11\xE0"));
        if (independentPython().isEmpty())
            QSKIP("python3 is not installed");
        const QJsonObject theirs =
            readWithIndependentReader(path).value(QStringLiteral("sheets")).toArray().at(0).toObject();
        QCOMPARE(theirs.value(QStringLiteral("name")).toString(), QStringLiteral("sheet1"));
        QCOMPARE(theirs.value(QStringLiteral("columnCFormat")).toString(), QStringLiteral("@"));
    }

    void templateHasTheTitleRowOnly()
    {
        const QString path = m_dir.filePath(QStringLiteral("template.xls"));
        m_prompts->queueText(path);
        QSqlQuery query;
        QVERIFY(ExportQueryToExcel(templateSql, QString(), query));
        nelvo::Workbook written = nelvo::Workbook::open(path);
        QCOMPARE(written.sheet(1).lastUsedCell().row, 1);
        QCOMPARE(written.sheet(1).text(1, 1), QStringLiteral("手机号码"));
        QCOMPARE(written.sheet(1).text(1, 2), QStringLiteral("短信内容"));
    }

    void cancelRunsNothing()
    {
        m_prompts->queueCancel();
        QSqlQuery query;
        QVERIFY(query.exec(QStringLiteral("SELECT 1")));
        QVERIFY(!ExportQueryToExcel(contactsSql, QString(), query));
        QCOMPARE(query.lastQuery(), QStringLiteral("SELECT 1"));
        QCOMPARE(m_prompts->shown().size(), 1);
    }

    void existingFileOnlyReplacedAfterYes_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no keeps the old file") << false;
        QTest::newRow("yes replaces it") << true;
    }

    void existingFileOnlyReplacedAfterYes()
    {
        QFETCH(bool, yes);
        const QString path = m_dir.filePath(QStringLiteral("existing.xls"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old contents");
        }
        m_prompts->queueText(path);
        yes ? m_prompts->queueYes() : m_prompts->queueNo();
        QSqlQuery query;
        QCOMPARE(ExportQueryToExcel(contactsSql, QString(), query), yes);

        QCOMPARE(m_prompts->shown().size(), 2);
        QCOMPARE(m_prompts->shown().at(1).kind, QStringLiteral("question"));
        QCOMPARE(m_prompts->shown().at(1).text, path + QStringLiteral("文件已经存在，您要覆盖这个文件吗？"));
        QCOMPARE(contents(path) == "old contents", !yes);
        QCOMPARE(query.isActive(), yes);
    }

    // A failing statement reaches the caller, and the file agreed to be overwritten is gone.
    void errorsReachTheCaller()
    {
        const QString path = m_dir.filePath(QStringLiteral("broken.xls"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
        }
        m_prompts->queueText(path);
        m_prompts->queueYes();
        QSqlQuery query;
        QVERIFY_THROWS_EXCEPTION(
            nelvo::SpreadsheetError,
            ExportQueryToExcel(QStringLiteral("SELECT nothing FROM nowhere"), QString(), query));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(ExportQuery)
#include "tst_ExportQueryToExcel.moc"
