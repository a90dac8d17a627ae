#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <utility>

// A named parameter of a statement: {":username", value}.
using SqlParam = std::pair<QString, QVariant>;
using SqlParams = std::initializer_list<SqlParam>;

// The data module: owner of the run's one database connection.
class TdmData
{
public:
    // Opens `databaseFile` (by default the program's data.mdb). A file that is missing, unreadable or not a
    // database leaves the module without a connection: OpenError() says why, and every statement raises.
    explicit TdmData(const QString &databaseFile = DefaultDatabaseFile());
    ~TdmData();
    TdmData(const TdmData &) = delete;
    TdmData &operator=(const TdmData &) = delete;

    static QString DefaultDatabaseFile();

    QSqlDatabase conData() const;
    const QString &DatabaseFile() const { return m_file; }

    // Opens the connection when it is closed; false with OpenError() set when that fails.
    bool Open();
    void Close();
    bool IsOpen() const;
    const QString &OpenError() const { return m_openError; }

    // Prepares, binds and runs a statement, raising nelvo::Error with the database's message on failure.
    QSqlQuery Query(const QString &sql, SqlParams params = {});
    QSqlQuery Query(const QString &sql, const QList<SqlParam> &params);
    // Runs a statement composed at run time, without parameters.
    QSqlQuery ExecuteText(const QString &sql);

private:
    void ensureOpen();

    QString m_file;
    QString m_connectionName;
    QString m_openError;
};

// Date-times are stored as "yyyy-MM-dd hh:mm:ss" text so that comparisons of the text order them.
QString DbDateTime(const QDateTime &when);
QDateTime DateTimeFromDb(const QVariant &value);

// The stored sign-in password of a user; empty text when there is no row or the value is null.
QString StoredPassword(TdmData &data, const QString &userName);
