#include "SmsWebService.h"

#include "NelvoError.h"

namespace {
const char *const defaultHost = "ws.nelvodesk.cn";
constexpr int defaultPort = 9080;

using P = SoapClient::Param;
P p(const char *name, const QVariant &value)
{
    return {QString::fromLatin1(name), value};
}
} // namespace

QUrl SmsWebService::DescriptionUrl()
{
    const QString host = qEnvironmentVariableIsEmpty("NELVO_SERVICE_HOST")
                             ? QString::fromLatin1(defaultHost)
                             : qEnvironmentVariable("NELVO_SERVICE_HOST");
    bool ok = false;
    int port = qEnvironmentVariableIntValue("NELVO_SERVICE_PORT", &ok);
    if (!ok || port <= 0 || port > 65535)
        port = defaultPort;
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPort(port);
    url.setPath(QStringLiteral("/smsservice/services/SmsWebService"));
    url.setQuery(QStringLiteral("wsdl"));
    return url;
}

SmsWebService::SmsWebService(const QUrl &description)
    : m_client(description, QString::fromLatin1(ServiceName), QString::fromLatin1(PortName),
               QString::fromLatin1(Namespace))
{
}

QString SmsWebService::callString(const QString &operation, const QList<P> &params)
{
    return m_client.call(operation, params).text;
}

int SmsWebService::callInt(const QString &operation, const QList<P> &params)
{
    const QString text = m_client.call(operation, params).text.trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw nelvo::Error(QStringLiteral("服务返回的内容无法读取（%1）").arg(operation));
    return value;
}

ArrayOfString SmsWebService::callArray(const QString &operation, const QList<P> &params)
{
    return m_client.call(operation, params).items;
}

QString SmsWebService::SendSMS(const QString &User, const QString &Pwd, const QString &MobileNum,
                               const QString &Content, const QString &SchTime, const QString &Sequence)
{
    return callString(QStringLiteral("SendSMS"),
                      {p("User", User), p("Pwd", Pwd), p("MobileNum", MobileNum), p("Content", Content),
                       p("SchTime", SchTime), p("Sequence", Sequence)});
}

ArrayOfString SmsWebService::RecvSMS(const QString &User, const QString &Pwd)
{
    return callArray(QStringLiteral("RecvSMS"), {p("User", User), p("Pwd", Pwd)});
}

int SmsWebService::ChangePwd(const QString &User, const QString &OldPwd, const QString &NewPwd)
{
    return callInt(QStringLiteral("ChangePwd"), {p("User", User), p("OldPwd", OldPwd), p("NewPwd", NewPwd)});
}

QString SmsWebService::AccountCharge(const QString &User, const QString &Pwd, const QString &CardNum,
                                     const QString &CardPwd)
{
    return callString(QStringLiteral("AccountCharge"),
                      {p("User", User), p("Pwd", Pwd), p("CardNum", CardNum), p("CardPwd", CardPwd)});
}

QString SmsWebService::Login(const QString &User, const QString &Pwd, const QString &CardAddress)
{
    return callString(QStringLiteral("Login"),
                      {p("User", User), p("Pwd", Pwd), p("CardAddress", CardAddress)});
}

QString SmsWebService::AccountBalance(const QString &User, const QString &Pwd)
{
    return callString(QStringLiteral("AccountBalance"), {p("User", User), p("Pwd", Pwd)});
}

QString SmsWebService::CreateSubAccount(const QString &User, const QString &Pwd, const QString &AccountName,
                                        const QString &AccountPwd, const QString &AccountType,
                                        const QString &AccountBalance, const QString &Address,
                                        const QString &Phone)
{
    return callString(QStringLiteral("CreateSubAccount"),
                      {p("User", User), p("Pwd", Pwd), p("AccountName", AccountName),
                       p("AccountPwd", AccountPwd), p("AccountType", AccountType),
                       p("AccountBalance", AccountBalance), p("Address", Address), p("Phone", Phone)});
}

QString SmsWebService::DeleteSubAccount(const QString &User, const QString &Pwd, const QString &AccountName)
{
    return callString(QStringLiteral("DeleteSubAccount"),
                      {p("User", User), p("Pwd", Pwd), p("AccountName", AccountName)});
}

QString SmsWebService::PauseSubAccount(const QString &User, const QString &Pwd, const QString &AccountName)
{
    return callString(QStringLiteral("PauseSubAccount"),
                      {p("User", User), p("Pwd", Pwd), p("AccountName", AccountName)});
}

QString SmsWebService::ChargeSubAccount(const QString &User, const QString &Pwd, const QString &AccountName,
                                        const QString &ChargeCount)
{
    return callString(
        QStringLiteral("ChargeSubAccount"),
        {p("User", User), p("Pwd", Pwd), p("AccountName", AccountName), p("ChargeCount", ChargeCount)});
}

int SmsWebService::ChangeSubAccountPwd(const QString &user, const QString &pwd, const QString &AccountName,
                                       const QString &newPwd)
{
    return callInt(QStringLiteral("ChangeSubAccountPwd"),
                   {p("user", user), p("pwd", pwd), p("AccountName", AccountName), p("newPwd", newPwd)});
}

ArrayOfString SmsWebService::SubAccount(const QString &user, const QString &pwd)
{
    return callArray(QStringLiteral("SubAccount"), {p("user", user), p("pwd", pwd)});
}

int SmsWebService::SubAccountSendList(const QString &user, const QString &pwd, const QString &accountname,
                                      const QString &starttime, const QString &endtime)
{
    return callInt(QStringLiteral("SubAccountSendList"),
                   {p("user", user), p("pwd", pwd), p("accountname", accountname), p("starttime", starttime),
                    p("endtime", endtime)});
}

QString SmsWebService::GetNewVersion(const QString &CurrVersion)
{
    return callString(QStringLiteral("GetNewVersion"), {p("CurrVersion", CurrVersion)});
}

QString SmsWebService::GetNotice(const QString &usr, const QString &pwd)
{
    return callString(QStringLiteral("GetNotice"), {p("usr", usr), p("pwd", pwd)});
}

ArrayOfString SmsWebService::GetMobileGroups(const QString &usr, const QString &pwd)
{
    return callArray(QStringLiteral("GetMobileGroups"), {p("usr", usr), p("pwd", pwd)});
}

ArrayOfString SmsWebService::GetMobiles(const QString &usr, const QString &pwd, const QString &groupId,
                                        int count)
{
    return callArray(QStringLiteral("GetMobiles"),
                     {p("usr", usr), p("pwd", pwd), p("groupId", groupId), p("count", count)});
}

QString SmsWebService::RestartSubAccount(const QString &User, const QString &Pwd, const QString &AccountName)
{
    return callString(QStringLiteral("RestartSubAccount"),
                      {p("User", User), p("Pwd", Pwd), p("AccountName", AccountName)});
}
