#include "IniFile.h"
#include "LocalCodec.h"
#include "NelvoError.h"
#include "TempProgramFolder.h"
#include "TgParams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

    void writeBytes(const QByteArray &bytes)
    {
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readBytes() const
    {
        QFile f(m_file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        m_file = m_dir.path() + QStringLiteral("/config.ini");
        QFile::remove(m_file);
    }

    void readsWithoutRegardToCase_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("as written") << "sms"
                                    << "CurrentFolder";
        QTest::newRow("section upper") << "SMS"
                                       << "CurrentFolder";
        QTest::newRow("key lower") << "Sms"
                                   << "currentfolder";
    }
    void readsWithoutRegardToCase()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        writeBytes("[sms]\r\nCurrentFolder=3\r\n");
        QCOMPARE(IniReadInt(m_file, section, key), 3);
    }

    void writeReplacesInPlaceAndKeepsOtherLines()
    {
        const QByteArray before = "; kept comment\r\n[sms]\r\nCurrentFolder=3\r\nodd line without equals\r\n"
                                  "\r\n[Proxy]\r\nProxyPWD=secret\r\n";
        writeBytes(before);
        IniWriteInt(m_file, QStringLiteral("SMS"), QStringLiteral("CurrentFolder"), 5);
        QByteArray expected = before;
        expected.replace("CurrentFolder=3", "CurrentFolder=5");
        QCOMPARE(readBytes(), expected);
        QCOMPARE(readBytes().count("[sms]") + readBytes().count("[SMS]"), 1);
        // The two programs spell this key differently; it is one entry.
        QCOMPARE(IniReadStr(m_file, QStringLiteral("Proxy"), QStringLiteral("ProxyPwd")),
                 QStringLiteral("secret"));
        IniWriteStr(m_file, QStringLiteral("proxy"), QStringLiteral("ProxyPwd"), QStringLiteral("changed"));
        QCOMPARE(IniReadStr(m_file, QStringLiteral("PROXY"), QStringLiteral("ProxyPWD")),
                 QStringLiteral("changed"));
        QCOMPARE(readBytes().count("Proxy"), 2); // the header and the one key line
    }

    void newKeysAndSectionsAreAdded()
    {
        QCOMPARE(IniReadStr(m_file, QStringLiteral("Account"), QStringLiteral("LoginID")), QString());
        IniWriteStr(m_file, QStringLiteral("Account"), QStringLiteral("LoginID"), QStringLiteral("demo"));
        IniWriteStr(m_file, QStringLiteral("Account"), QStringLiteral("clientuser"), QStringLiteral("admin"));
        IniWriteInt(m_file, QStringLiteral("sequence"), QStringLiteral("cgroupsequence"), -7);
        QCOMPARE(readBytes(), QByteArray("[Account]\r\nLoginID=demo\r\nclientuser=admin\r\n\r\n"
                                         "[sequence]\r\ncgroupsequence=-7\r\n"));
        QCOMPARE(IniReadInt(m_file, QStringLiteral("sequence"), QStringLiteral("cgroupsequence")), -7);
    }

    void unreadableValuesReadAsDefault_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << QByteArray("[a]\nk=42\n") << 42;
        QTest::newRow("blanks") << QByteArray("[a]\n  k =  42 \n") << 42;
        QTest::newRow("not a number") << QByteArray("[a]\nk=abc\n") << -1;
        QTest::newRow("empty") << QByteArray("[a]\nk=\n") << -1;
        QTest::newRow("other section") << QByteArray("[b]\nk=4\n") << -1;
        QTest::newRow("no equals") << QByteArray("[a]\nk\n") << -1;
        QTest::newRow("stray bytes") << QByteArray("[a]\nk\xff\xfe=5\nk=6\n") << 6;
        QTest::newRow("stray bytes in value") << QByteArray("[a]\nk=\x81\n") << -1;
    }
    void unreadableValuesReadAsDefault()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, expected);
        writeBytes(content);
        QCOMPARE(IniReadInt(m_file, QStringLiteral("a"), QStringLiteral("k"), -1), expected);
    }

    void flags_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected"); // -1: not a valid flag
        QTest::newRow("true as written") << QByteArray("-1") << 1;
        QTest::newRow("false as written") << QByteArray("0") << 0;
        QTest::newRow("any other number") << QByteArray("2") << 1;
        QTest::newRow("word") << QByteArray("TRUE") << 1;
        QTest::newRow("word false") << QByteArray("False") << 0;
        QTest::newRow("empty") << QByteArray("") << -1;
        QTest::newRow("other text") << QByteArray("yes") << -1;
    }
    void flags()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        writeBytes("[SMS]\r\nLimitSingle=" + value + "\r\n");
        const std::optional<bool> flag =
            IniReadFlag(m_file, QStringLiteral("sms"), QStringLiteral("limitsingle"));
        QCOMPARE(flag ? int(*flag) : -1, expected);
        IniWriteFlag(m_file, QStringLiteral("SMS"), QStringLiteral("LimitSingle"), true);
        QCOMPARE(readBytes(), QByteArray("[SMS]\r\nLimitSingle=-1\r\n"));
    }

    void textIsStoredAsGbk()
    {
        const QString signature = QStringLiteral("【诺沃科技】欢迎您");
        IniWriteStr(m_file, QStringLiteral("SMS"), QStringLiteral("SMSSIGN"), signature);
        QVERIFY(readBytes().contains(signature.toUtf8()) == false);
        QVERIFY(readBytes().contains(nelvo::encodeLocal(signature)));
        QCOMPARE(nelvo::encodeLocal(QStringLiteral("欢迎")), QByteArray("\xbb\xb6\xd3\xad"));
        QCOMPARE(IniReadStr(m_file, QStringLiteral("sms"), QStringLiteral("smssign")), signature);
    }

    void bothPathSpellingsNameOneFile()
    {
        TempProgramFolder folder;
        IniWriteStr(folder.bin() + QStringLiteral("..\\ini\\Config.ini"), QStringLiteral("Application"),
                    QStringLiteral("UpdateFile"), QStringLiteral("setup.exe"));
        QCOMPARE(IniReadStr(folder.bin() + QStringLiteral("../ini/config.ini"), QStringLiteral("application"),
                            QStringLiteral("updatefile")),
                 QStringLiteral("setup.exe"));
        QCOMPARE(QDir(folder.root() + QStringLiteral("/ini")).entryList(QDir::Files),
                 QStringList{QStringLiteral("config.ini")});
    }

    void refusedWriteRaisesAndChangesNothing()
    {
        const QString path = m_dir.path() + QStringLiteral("/missing-folder/config.ini");
        try {
            IniWriteStr(path, QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("v"));
            QFAIL("a write into a missing folder must raise");
        } catch (const nelvo::Error &error) {
            QCOMPARE(error.text(), QStringLiteral("Unable to write to ") + path);
        }
        QVERIFY(!QFile::exists(path));
    }

    void writeReplacesTheFileWhole()
    {
        // A reader that opened the old file keeps seeing all of it: the new content arrives by rename,
        // never by truncating and rewriting the file a crash could interrupt.
        writeBytes("[a]\r\nk=old\r\n");
        QFile old(m_file);
        QVERIFY(old.open(QIODevice::ReadOnly));
        IniWriteStr(m_file, QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("new"));
        QCOMPARE(old.readAll(), QByteArray("[a]\r\nk=old\r\n"));
        QCOMPARE(readBytes(), QByteArray("[a]\r\nk=new\r\n"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("config.ini")});
    }

    void channelLengthFallsBackTo70_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("expected");
        QTest::newRow("stored") << QByteArray("ChannelLength=64") << 64;
        QTest::newRow("zero") << QByteArray("ChannelLength=0") << 70;
        QTest::newRow("negative") << QByteArray("ChannelLength=-5") << 70;
        QTest::newRow("text") << QByteArray("ChannelLength=abc") << 70;
        QTest::newRow("missing") << QByteArray("LoginID=demo") << 70;
    }
    void channelLengthFallsBackTo70()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, expected);
        TempProgramFolder folder;
        m_file = folder.configFile();
        writeBytes("[Account]\r\n" + line + "\r\n");
        QCOMPARE(ReadChannelLength(), expected);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
