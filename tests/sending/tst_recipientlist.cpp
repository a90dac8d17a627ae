#include "LocalCodec.h"
#include "LogMgr.h"
#include "MessageComposer.h"
#include "RecipientListModel.h"
#include "ScriptedPrompts.h"
#include "TempProgramFolder.h"
#include "TextFileImport.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

QStringList entries(const RecipientListModel &list)
{
    QStringList out;
    for (qsizetype i = 0; i < list.Count(); ++i)
        out.append(list.Number(i));
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRecipientList : public QObject
{
    Q_OBJECT

    MessageComposer composer{{70, 80, 70, 56}, 80};

private Q_SLOTS:
    void sortedWithDuplicatesUntilFiltered()
    {
        RecipientListModel list(composer);
        QSignalSpy counts(&list, &RecipientListModel::countChanged);
        list.AddMobile(QStringLiteral("13900000002"));
        list.AddMobile(QStringLiteral("13900000001"));
        list.AddMobile(QStringLiteral("13900000002"));
        QCOMPARE(entries(list), (QStringList{"13900000001", "13900000002", "13900000002"}));
        QCOMPARE(list.FilterDuplicates(), 1);
        QCOMPARE(entries(list), (QStringList{"13900000001", "13900000002"}));
        QCOMPARE(counts.constLast().constFirst().value<qsizetype>(), 2);
    }

    // Unchecked text (from the address book) sorts with the numbers in plain text order, short before
    // long, and the bulk path ends where adding one by one ends, limit included.
    void bulkEqualsOneByOne()
    {
        QStringList pool{"",
                         "0",
                         "1",
                         "10",
                         "13",
                         "13312345678",
                         "13800138000",
                         "13800138000",
                         "138001380001",
                         "01012345678",
                         "18912345678",
                         "abc",
                         "13a",
                         "张三",
                         "12345678901234567",
                         "1234567890123456",
                         " 13800138000",
                         "9"};
        QRandomGenerator random(7);
        for (int i = 0; i < 500; ++i)
            pool.append(QString::number(13000000000LL + random.bounded(2000)));
        QStringList shuffled = pool;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));

        MessageComposer oneByOneLimits({70, 80, 70, 56}, 80);
        RecipientListModel oneByOne(oneByOneLimits);
        for (const QString &number : shuffled)
            oneByOne.AddMobile(number);

        MessageComposer bulkLimits({70, 80, 70, 56}, 80);
        RecipientListModel bulk(bulkLimits);
        NumberStore first, second;
        for (int i = 0; i < shuffled.size(); ++i)
            (i % 2 ? first : second).append(shuffled[i]);
        bulk.AddBulk(std::move(first));
        bulk.AddBulk(std::move(second));

        QStringList expected = pool;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(entries(oneByOne), expected);
        QCOMPARE(entries(bulk), expected);
        QCOMPARE(bulkLimits.ContentLimit(), 56);
        QCOMPARE(oneByOneLimits.ContentLimit(), 56);

        bulk.FilterDuplicates();
        expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
        QCOMPARE(entries(bulk), expected);
        QBuffer saved;
        saved.open(QIODevice::WriteOnly);
        QVERIFY(bulk.Numbers().writeLocalLines(saved));
        QCOMPARE(nelvo::decodeLocal(saved.data()),
                 expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }

    void historyNumbersKeepTheLimit()
    {
        MessageComposer limits({70, 80, 70, 56}, 80);
        RecipientListModel list(limits);
        NumberStore numbers;
        numbers.append(u"01012345678");
        list.AddBulk(std::move(numbers), RecipientListModel::Limit::Keep);
        QCOMPARE(limits.ContentLimit(), 80);
        QCOMPARE(list.Count(), 1);
    }

    void viewCellsAndDeletion()
    {
        RecipientListModel list(composer);
        for (int i = 0; i < 12; ++i)
            list.AddMobile(QString::number(13800000000LL + i));
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.columnCount(), 5);
        QCOMPARE(list.data(list.index(1, 2)).toString(), QStringLiteral("13800000007"));
        QCOMPARE(list.EntryOf(list.index(2, 1)), 11);
        QCOMPARE(list.flags(list.index(2, 2)), Qt::NoItemFlags);
        QVERIFY(!list.data(list.index(2, 2)).isValid());

        QItemSelection selection(list.index(0, 1), list.index(1, 1)); // entries 1 and 6
        selection.select(list.index(2, 0), list.index(2, 4));         // 10, 11 and two empty cells
        QVERIFY(list.DeleteEntries(selection));
        QCOMPARE(entries(list), (QStringList{"13800000000", "13800000002", "13800000003", "13800000004",
                                             "13800000005", "13800000007", "13800000008", "13800000009"}));
    }

    void textImport_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("rejected");
        QTest::newRow("commas without blanks")
            << QByteArray("13800138000,abc,13900139000\r\n") << QStringList{"13800138000", "13900139000"}
            << QStringList{"abc"};
        QTest::newRow("commas with blanks")
            << QByteArray("13800138000, abc, 13900139000\r\n") << QStringList{"13800138000", "13900139000"}
            << QStringList{"abc"};
        QTest::newRow("trailing comma adds nothing")
            << QByteArray("13800138000,\n13900139000") << QStringList{"13800138000", "13900139000"}
            << QStringList{};
        QTest::newRow("leading comma rejects an empty token")
            << QByteArray(",13800138000\r\n") << QStringList{"13800138000"} << QStringList{""};
        QTest::newRow("CR line breaks, blank lines skipped")
            << QByteArray("13800138000\r\r 075512345678 \r") << QStringList{"075512345678", "13800138000"}
            << QStringList{};
        QTest::newRow("local code page") << nelvo::encodeLocal(QStringLiteral("张三,13800138000\r\n"))
                                         << QStringList{"13800138000"} << QStringList{QStringLiteral("张三")};
    }
    void textImport()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, added);
        QFETCH(QStringList, rejected);
        QTemporaryDir dir;
        writeFile(dir.filePath("numbers.txt"), file);
        RecipientListModel list(composer);
        const TextImportResult result = ImportNumberTextFile(list, dir.filePath("numbers.txt"), nullptr);
        QCOMPARE(entries(list), added);
        QCOMPARE(result.added, added.size());
        QCOMPARE(result.rejected, rejected);
        QVERIFY(result.readError.isEmpty());
    }

    void textImportCommandSavesRejectedTokens()
    {
        TempProgramFolder folder;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.root());
        ScriptedPrompts *prompts = ScriptedPrompts::install();
        writeFile(folder.root() + "/numbers.txt",
                  nelvo::encodeLocal(QStringLiteral("13800138000,错,\r\n,x\r\n")));
        prompts->queueText(folder.root() + "/numbers.txt");
        prompts->queueYes();

        RecipientListModel list(composer);
        ImportTextFileCommand(list, nullptr);
        QDir::setCurrent(previous);

        QCOMPARE(entries(list), QStringList{"13800138000"});
        QCOMPARE(readFile(folder.root() + "/InputError.txt"),
                 nelvo::encodeLocal(QStringLiteral("错\r\n\r\nx\r\n")));
        QCOMPARE(prompts->shown().size(), 3);
        QCOMPARE(prompts->shown()[0].caption, QStringLiteral("请选择(文本每行一个手机号码)!"));
        QCOMPARE(prompts->shown()[1].caption, QStringLiteral("提示"));
        QCOMPARE(prompts->shown()[1].kind, QStringLiteral("okCancel"));
        QCOMPARE(prompts->shown()[1].icon, nelvo::Prompts::Icon::Warning);
        QVERIFY(prompts->shown()[1].text.startsWith(
            QStringLiteral("文件中手机号码已经成功导入，但部分错误号码无法导出\r\n这些号码被保存到")));
        QCOMPARE(prompts->shown()[2].kind, QStringLiteral("editor"));
        QCOMPARE(prompts->shown()[2].text, folder.root() + "/InputError.txt");
    }

    void unreadableFileIsLogged()
    {
        TempProgramFolder folder;
        TLogMgr log(10);
        RecipientListModel list(composer);
        const TextImportResult result = ImportNumberTextFile(list, folder.root() + "/missing.txt", &log);
        QVERIFY(!result.readError.isEmpty());
        const QStringList logs = QDir(folder.bin() + "Log").entryList(QDir::Files);
        QCOMPARE(logs.size(), 1);
        const QString line = QString::fromLocal8Bit(readFile(folder.bin() + "Log/" + logs.first()));
        QVERIFY2(line.contains(QStringLiteral("[8] InputTextFile:Error--")), qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(TestRecipientList)
#include "tst_recipientlist.moc"
