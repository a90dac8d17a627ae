#include "uit_DataBase.h"

#include "NelvoError.h"
#include "ProgramFolder.h"
#include "SqliteFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

#include <atomic>

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("conData%1").arg(counter++);
}

// Refuses what SQLite would otherwise take silently: it creates a missing file and opens anything.
QString checkDatabaseFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("数据库文件不存在：%1").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取数据库文件：%1（%2）").arg(path, file.errorString());
    if (file.read(16) != QByteArray("SQLite format 3\0", 16))
        return QStringLiteral("数据库文件已损坏或不是本程序的数据库：%1").arg(path);
    return {};
}

} // namespace

TdmData::TdmData(const QString &databaseFile) : m_file(databaseFile), m_connectionName(nextConnectionName())
{
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    Open();
}

TdmData::~TdmData()
{
    Close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QString TdmData::DefaultDatabaseFile()
{
    // Cleaned so that messages name the file as a person would look for it.
    return QDir::cleanPath(nelvo::resolvePath(ProgramFolder() + QStringLiteral("..\\database\\data.mdb")));
}

QSqlDatabase TdmData::conData() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool TdmData::IsOpen() const
{
    return conData().isOpen();
}

bool TdmData::Open()
{
    if (IsOpen())
        return true;
    m_openError = checkDatabaseFile(m_file);
    if (!m_openError.isEmpty())
        return false;
    QSqlDatabase db = conData();
    db.setDatabaseName(m_file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        m_openError = QStringLiteral("无法打开数据库文件：%1（%2）").arg(m_file, db.lastError().text());
        return false;
    }
    // A file with a valid header can still be damaged; reading the catalogue finds that now, not later.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !registerDateFunctions(db)) {
        m_openError = QStringLiteral("数据库文件已损坏或不是本程序的数据库：%1（%2）")
                          .arg(m_file, probe.lastError().text());
        db.close();
        return false;
    }
    return true;
}

void TdmData::Close()
{
    QSqlDatabase db = conData();
    if (db.isOpen())
        db.close();
}

void TdmData::ensureOpen()
{
    if (!Open())
        throw nelvo::Error(m_openError);
}

QSqlQuery TdmData::Query(const QString &sql, SqlParams params)
{
    return Query(sql, QList<SqlParam>(params));
}

QSqlQuery TdmData::Query(const QString &sql, const QList<SqlParam> &params)
{
    ensureOpen();
    QSqlQuery query(conData());
    if (!query.prepare(sql))
        throw nelvo::Error(query.lastError().text());
    for (const SqlParam &param : params)
        query.bindValue(param.first, param.second);
    if (!query.exec())
        throw nelvo::Error(query.lastError().text());
    return query;
}

QSqlQuery TdmData::ExecuteText(const QString &sql)
{
    ensureOpen();
    QSqlQuery query(conData());
    if (!query.exec(sql))
        throw nelvo::Error(query.lastError().text());
    return query;
}

QString DbDateTime(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QDateTime DateTimeFromDb(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    const QString text = value.toString();
    QDateTime when = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!when.isValid())
        when = QDateTime::fromString(text, Qt::ISODate);
    return when;
}

QString StoredPassword(TdmData &data, const QString &userName)
{
    QSqlQuery query =
        data.Query(QStringLiteral("select defaultpwd  from  [user] \nwhere  defaultname =:username"),
                   {{QStringLiteral(":username"), userName}});
    if (!query.next())
        return {};
    return query.value(0).toString();
}
