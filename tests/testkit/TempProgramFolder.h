#pragma once

#include <QString>
#include <QTemporaryDir>

// A throw-away installation: <root>/bin (the program folder, with version.dat), <root>/ini/config.ini,
// <root>/database/data.mdb (a copy of the shipped database), <root>/sendlist and <root>/update.
// ProgramFolder() points at its bin folder while it lives.
class TempProgramFolder
{
public:
    enum Part
    {
        Config = 1,
        Database = 2,
        VersionFile = 4,
        Everything = 7
    };

    explicit TempProgramFolder(int parts = Everything);
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder &) = delete;
    TempProgramFolder &operator=(const TempProgramFolder &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString bin() const { return root() + QStringLiteral("/bin/"); }
    QString configFile() const { return root() + QStringLiteral("/ini/config.ini"); }
    QString databaseFile() const { return root() + QStringLiteral("/database/data.mdb"); }
    QString sendlist() const { return root() + QStringLiteral("/sendlist/"); }

    // Where the build keeps the shipped settings, database and product identity.
    static QString shippedDatabase();
    static QString shippedConfig();
    static QString shippedVersionFile();

private:
    QTemporaryDir m_dir;
};
