#include "TempProgramFolder.h"

#include "ProgramFolder.h"

#include <QDir>
#include <QFile>

QString TempProgramFolder::shippedDatabase()
{
    return QStringLiteral(NELVO_SHIPPED_DIR "/data.mdb");
}

QString TempProgramFolder::shippedConfig()
{
    return QStringLiteral(NELVO_RESOURCES_DIR "/config.ini");
}

QString TempProgramFolder::shippedVersionFile()
{
    return QStringLiteral(NELVO_RESOURCES_DIR "/version.dat");
}

TempProgramFolder::TempProgramFolder(int parts)
{
    const QDir root(m_dir.path());
    for (const char *folder : {"bin", "ini", "database", "sendlist", "update"})
        root.mkpath(QString::fromLatin1(folder));
    if (parts & Config)
        QFile::copy(shippedConfig(), configFile());
    if (parts & Database)
        QFile::copy(shippedDatabase(), databaseFile());
    if (parts & VersionFile)
        QFile::copy(shippedVersionFile(), bin() + QStringLiteral("version.dat"));
    // Copies of read-only sources must stay writable, as an installed program folder is.
    for (const QString &file : {configFile(), databaseFile(), bin() + QStringLiteral("version.dat")})
        QFile::setPermissions(file,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    nelvo::setProgramFolder(bin());
}

TempProgramFolder::~TempProgramFolder()
{
    nelvo::setProgramFolder(QString());
}
