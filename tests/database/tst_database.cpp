#include "NelvoError.h"
#include "TempProgramFolder.h"
#include "uit_DataBase.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

class TestDatabase : public QObject
{
    Q_OBJECT

    static QVariant single(TdmData &data, const QString &sql, SqlParams params = {})
    {
        QSqlQuery q = data.Query(sql, params);
        return q.next() ? q.value(0) : QVariant();
    }

private Q_SLOTS:
    void theShippedDatabaseHoldsItsRows()
    {
        TempProgramFolder folder;
        TdmData data;
        QVERIFY2(data.IsOpen(), qPrintable(data.OpenError()));
        QCOMPARE(single(data, QStringLiteral("select count(*) from [user]")).toInt(), 1);
        QSqlQuery folders = data.Query(QStringLiteral(
            "select smsfolderid, smsfoldername, smsfoldertype from smsfolder order by smsfolderid"));
        QStringList rows;
        while (folders.next())
            rows << QStringLiteral("%1 %2 %3")
                        .arg(folders.value(0).toInt())
                        .arg(folders.value(1).toString())
                        .arg(folders.value(2).toInt());
        QCOMPARE(rows, (QStringList{QStringLiteral("1 收件箱 0"), QStringLiteral("2 发件箱 0"),
                                    QStringLiteral("3 发送失败 0")}));
        for (const char *table :
             {"customer", "customergroup", "phrase", "phrasetype", "smssendlist", "chargeHis"})
            QCOMPARE(single(data, QStringLiteral("select count(*) from ") + QLatin1String(table)).toInt(), 0);
    }

    void insertsTakeTheColumnDefaults()
    {
        TempProgramFolder folder;
        TdmData data;
        data.Query(
            QStringLiteral("insert into smssendlist (loginid, sendlist, sendtext, sendtime, smsfolder, "
                           "sendstatus) values (:id, :list, :text, :time, 2, 1)"),
            {{QStringLiteral(":id"), QStringLiteral("demo")},
             {QStringLiteral(":list"), QStringLiteral("13800138000")},
             {QStringLiteral(":text"), QStringLiteral("你好")},
             {QStringLiteral(":time"), DbDateTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)))}});
        QSqlQuery row = data.Query(QStringLiteral("select 编号, smstype, read, sendtime from smssendlist"));
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toInt(), 1);
        QCOMPARE(row.value(1).toString(), QStringLiteral("发送"));
        QCOMPARE(row.value(2).toInt(), 0);
        QCOMPARE(row.value(3).toString(), QStringLiteral("2026-01-02 03:04:05"));
        QCOMPARE(DateTimeFromDb(row.value(3)), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
        // Stored text compares in time order, so ranges of sendtime work on the text.
        QCOMPARE(single(data, QStringLiteral("select count(*) from smssendlist where sendtime>=:p"),
                        {{QStringLiteral(":p"), DbDateTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 0)))}})
                     .toInt(),
                 1);
    }

    void datesGiveMonthAndDay()
    {
        TempProgramFolder folder;
        TdmData data;
        data.Query(QStringLiteral(
                       "insert into customer (name, mobile, birthday) values ('张三', '13800138000', :b)"),
                   {{QStringLiteral(":b"), DbDateTime(QDateTime(QDate(1990, 7, 31), QTime(0, 0)))}});
        data.Query(QStringLiteral(
            "insert into customer (name, mobile, birthday) values ('李四', '13900139000', null)"));
        QCOMPARE(
            single(data,
                   QStringLiteral("select name from customer where month(birthday)=:m and day(birthday)=:d"),
                   {{QStringLiteral(":m"), 7}, {QStringLiteral(":d"), 31}})
                .toString(),
            QStringLiteral("张三"));
        QCOMPARE(single(data, QStringLiteral("select count(*) from customer where month(birthday) is null"))
                     .toInt(),
                 1);
    }

    void textComparesWithoutCaseAndGroupsMatchWhole()
    {
        TempProgramFolder folder;
        TdmData data;
        data.Query(QStringLiteral(
            "insert into customer (name, mobile, customergroupID) values ('Wang', '1', '(1)(12)')"));
        data.Query(QStringLiteral(
            "insert into customer (name, mobile, customergroupID) values ('Li', '2', '(12)')"));
        QCOMPARE(single(data, QStringLiteral("select count(*) from customer where name = 'WANG'")).toInt(),
                 1);
        QCOMPARE(single(data, QStringLiteral("select count(*) from customer where name like 'w%'")).toInt(),
                 1);
        QCOMPARE(single(data, QStringLiteral("select count(*) from customer where customergroupid like :g"),
                        {{QStringLiteral(":g"), QStringLiteral("%(1)%")}})
                     .toInt(),
                 1);
        QCOMPARE(
            single(data, QStringLiteral("select count(*) from customer where customergroupid like '%(12)%'"))
                .toInt(),
            2);
    }

    void aTakenFolderIdIsRefused()
    {
        TempProgramFolder folder;
        TdmData data;
        QVERIFY_THROWS_EXCEPTION(nelvo::Error,
                                 data.Query(QStringLiteral("insert into smsfolder values (3, '重复', 1)")));
    }

    void closeAndReopen()
    {
        TempProgramFolder folder;
        TdmData data;
        data.Close();
        QVERIFY(!data.IsOpen());
        // A statement opens the connection again on demand.
        QCOMPARE(single(data, QStringLiteral("select count(*) from smsfolder")).toInt(), 3);
        QVERIFY(data.IsOpen());
    }

    void anUnusableFileGivesAClearErrorEveryTime()
    {
        TempProgramFolder folder(TempProgramFolder::Config);
        TdmData data;
        QVERIFY(!data.IsOpen());
        QVERIFY(data.OpenError().contains(folder.databaseFile()));
        QVERIFY(!QFile::exists(folder.databaseFile())); // not created behind the user's back
        try {
            data.Query(QStringLiteral("select 1"));
            QFAIL("a statement without a database must raise");
        } catch (const nelvo::Error &error) {
            QCOMPARE(error.text(), data.OpenError());
        }
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
