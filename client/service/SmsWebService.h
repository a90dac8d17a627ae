#pragma once

#include "SoapClient.h"

#include <QString>
#include <QStringList>

// A sequence of strings on the wire, index 0 first.
using ArrayOfString = QStringList;

// The operator's SOAP service, port "SmsWebService" of service "SmsWebServiceService". Every operation of
// the port type is here with its parameters as the service names them, so a feature can call any of them;
// each raises nelvo::Error when the call fails.
class SmsWebService
{
public:
    static constexpr const char *ServiceName = "SmsWebServiceService";
    static constexpr const char *PortName = "SmsWebService";
    static constexpr const char *Namespace = "http://smsservice.nelvodesk.cn/";

    // The service description on the service host: the fixed host and port, or NELVO_SERVICE_HOST and
    // NELVO_SERVICE_PORT when set.
    static QUrl DescriptionUrl();

    explicit SmsWebService(const QUrl &description = DescriptionUrl());

    SoapClient &client() { return m_client; }

    QString SendSMS(const QString &User, const QString &Pwd, const QString &MobileNum, const QString &Content,
                    const QString &SchTime, const QString &Sequence);
    ArrayOfString RecvSMS(const QString &User, const QString &Pwd);
    int ChangePwd(const QString &User, const QString &OldPwd, const QString &NewPwd);
    QString AccountCharge(const QString &User, const QString &Pwd, const QString &CardNum,
                          const QString &CardPwd);
    QString Login(const QString &User, const QString &Pwd, const QString &CardAddress);
    QString AccountBalance(const QString &User, const QString &Pwd);
    QString CreateSubAccount(const QString &User, const QString &Pwd, const QString &AccountName,
                             const QString &AccountPwd, const QString &AccountType,
                             const QString &AccountBalance, const QString &Address, const QString &Phone);
    QString DeleteSubAccount(const QString &User, const QString &Pwd, const QString &AccountName);
    QString PauseSubAccount(const QString &User, const QString &Pwd, const QString &AccountName);
    QString ChargeSubAccount(const QString &User, const QString &Pwd, const QString &AccountName,
                             const QString &ChargeCount);
    int ChangeSubAccountPwd(const QString &user, const QString &pwd, const QString &AccountName,
                            const QString &newPwd);
    ArrayOfString SubAccount(const QString &user, const QString &pwd);
    int SubAccountSendList(const QString &user, const QString &pwd, const QString &accountname,
                           const QString &starttime, const QString &endtime);
    QString GetNewVersion(const QString &CurrVersion);
    QString GetNotice(const QString &usr, const QString &pwd);
    ArrayOfString GetMobileGroups(const QString &usr, const QString &pwd);
    ArrayOfString GetMobiles(const QString &usr, const QString &pwd, const QString &groupId, int count);
    QString RestartSubAccount(const QString &User, const QString &Pwd, const QString &AccountName);

private:
    QString callString(const QString &operation, const QList<SoapClient::Param> &params);
    int callInt(const QString &operation, const QList<SoapClient::Param> &params);
    ArrayOfString callArray(const QString &operation, const QList<SoapClient::Param> &params);

    SoapClient m_client;
};
