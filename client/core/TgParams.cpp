#include "TgParams.h"

#include "IniFile.h"
#include "ProgramFolder.h"

TgParams gParams;

QString ConfigIniPath()
{
    return ProgramFolder() + QStringLiteral("../ini/config.ini");
}

QString VersionDatPath()
{
    return ProgramFolder() + QStringLiteral("version.dat");
}

void LoadParamsFromConfig(TgParams &params)
{
    const QString config = ConfigIniPath();
    params.cgroupsequence = IniReadInt(config, QStringLiteral("sequence"), QStringLiteral("cgroupsequence"));
    params.ptypesequence = IniReadInt(config, QStringLiteral("sequence"), QStringLiteral("ptypesequence"));
    params.psmsfoldersequence =
        IniReadInt(config, QStringLiteral("sequence"), QStringLiteral("psmsfoldersequence"));
    params.LoginID = IniReadStr(config, QStringLiteral("Account"), QStringLiteral("LoginID"));
    params.AccountPwd = IniReadStr(config, QStringLiteral("Account"), QStringLiteral("AccountPwd"));
    params.clientuser = IniReadStr(config, QStringLiteral("Account"), QStringLiteral("clientuser"));
    params.Version = IniReadStr(config, QStringLiteral("Application"), QStringLiteral("Version"));
    params.AutoRecSMS = IniReadInt(config, QStringLiteral("Application"), QStringLiteral("AutoRecSMS"));
    params.UseProxy = IniReadInt(config, QStringLiteral("Proxy"), QStringLiteral("UseProxy"));
}

void SaveParamsToConfig(const TgParams &params)
{
    const QString config = ConfigIniPath();
    IniWriteInt(config, QStringLiteral("Application"), QStringLiteral("AutoRecSMS"), params.AutoRecSMS);
    IniWriteInt(config, QStringLiteral("sequence"), QStringLiteral("cgroupsequence"), params.cgroupsequence);
    IniWriteInt(config, QStringLiteral("sequence"), QStringLiteral("ptypesequence"), params.ptypesequence);
    IniWriteInt(config, QStringLiteral("sequence"), QStringLiteral("psmsfoldersequence"),
                params.psmsfoldersequence);
}

int ReadChannelLength()
{
    const int length =
        IniReadInt(ConfigIniPath(), QStringLiteral("Account"), QStringLiteral("ChannelLength"));
    return length <= 0 ? 70 : length;
}
