#include "webService.h"

#include "BusyIndicator.h"
#include "IniFile.h"
#include "NelvoError.h"
#include "NelvoHttp.h"
#include "Prompts.h"
#include "SmsWebService.h"
#include "TgParams.h"

#include <cmath>

namespace {

const QString unexpectedReply = QStringLiteral(" 服务器返回非约定信息");

bool toInteger(const QString &text, int *value)
{
    bool ok = false;
    *value = text.trimmed().toInt(&ok);
    return ok;
}

// The texts by which the gateway library reports that it could not complete an exchange.
bool isTransportFailure(const QString &reply)
{
    static const QStringList failures{QStringLiteral("-77"), QStringLiteral("-88"), QStringLiteral("-99"),
                                      QStringLiteral("-11"), QStringLiteral("-999")};
    return failures.contains(reply.trimmed());
}

} // namespace

TwebInterFace::TwebInterFace(StatusPanel statusPanel, const QString &gatewayLibrary)
    : m_gateway(std::make_unique<Tnelvohttp>(gatewayLibrary.isEmpty() ? Tnelvohttp::DefaultLibraryFile()
                                                                      : gatewayLibrary))
{
    CreateService();
    try {
        ApplyConfiguredProxy();
    } catch (const nelvo::Error &) {
        // Without a usable gateway library every later operation reports its failure value; the
        // proxy stays unapplied so that a later attempt can hand it over.
    }
    m_balance = -1.0;
    m_statusPanel = std::move(statusPanel);
    m_lastMessage.clear();
}

TwebInterFace::~TwebInterFace() = default;

void TwebInterFace::CreateService()
{
    m_service = std::make_unique<SmsWebService>();
}

void TwebInterFace::ApplyConfiguredProxy()
{
    if (gParams.UseProxy != 1 || m_proxyApplied)
        return;
    const QString config = ConfigIniPath();
    ApplyProxy(IniReadStr(config, QStringLiteral("Proxy"), QStringLiteral("ProxyIP")),
               IniReadStr(config, QStringLiteral("Proxy"), QStringLiteral("ProxyPort")),
               IniReadStr(config, QStringLiteral("Proxy"), QStringLiteral("ProxyUser")),
               IniReadStr(config, QStringLiteral("Proxy"), QStringLiteral("ProxyPwd")));
}

QString TwebInterFace::OfflineMessage()
{
    return QStringLiteral(
        "你目前服务处于离线状态，无法和服务器进行信息交互。如果您需要和服务器进行信息交互，\r\n"
        "请先点击“系统”菜单，“连接服务器”功能菜单。");
}

bool TwebInterFace::CheckOnline()
{
    if (gParams.OnlineFlag != 0)
        return true;
    m_lastMessage = OfflineMessage();
    ShowInfo(m_lastMessage);
    return false;
}

QString TwebInterFace::FormatBalance(double x)
{
    return QString::number(x, 'g', 15);
}

void TwebInterFace::ShowBalance(double x)
{
    if (!CheckOnline())
        return;
    nelvo::BusyScope wait;
    gParams.Balance = x;
    const QString text = x >= 0 ? QStringLiteral("您的帐户余额为:") + FormatBalance(x)
                                : QStringLiteral("您的帐号为空或者不正确。");
    if (m_statusPanel)
        m_statusPanel(text);
}

int TwebInterFace::ParseCode(const QString &text)
{
    int code = 0;
    return toInteger(text, &code) ? code : -1;
}

void TwebInterFace::ResultText(int code, QString &text)
{
    switch (code) {
    case 0:
        text = QStringLiteral("发送成功");
        break;
    case -1:
        text = QStringLiteral("用户或者密码不正确");
        break;
    case -2:
        text = QStringLiteral("余额不足");
        break;
    case -3:
        text = QStringLiteral("用户状态异常");
        break;
    case -4:
        text = QStringLiteral("内容超长");
        break;
    case -5:
        text = QStringLiteral("号码路由为空");
        break;
    case -6:
        text = QStringLiteral("手机号码过多");
        break;
    case -8:
        text = QStringLiteral("扩展号超长");
        break;
    case -9:
        text = QStringLiteral("新密码长度不够（8位英文）");
        break;
    case -10:
        text = QStringLiteral("方法错 ");
        break;
    case -11:
        text = QStringLiteral("网络异常 ");
        break;
    case -13:
        text = QStringLiteral("定时时间错误或者小于当前系统时间");
        break;
    case -16:
        text = QStringLiteral("充值卡号或密码不正确");
        break;
    case -17:
        text = QStringLiteral(" 手机号码为空");
        break;
    case -18:
        text = QStringLiteral("号码不是数字或者逗号不是英文逗号");
        break;
    case -19:
        text = QStringLiteral("短信内容为空");
        break;
    case -100:
        text = QStringLiteral(" 其他错误");
        break;
    case -999:
        text = unexpectedReply;
        break;
    default:
        break;
    }
}

double TwebInterFace::QueryBalance(const QString &User, const QString &Pwd)
{
    nelvo::BusyScope wait;
    QString reply;
    try {
        reply = m_gateway->balanceCheck(User, Pwd);
    } catch (const nelvo::Error &) {
        return -999.0;
    }
    // A failed exchange says nothing about the account: the balance shown stays as it was.
    if (isTransportFailure(reply))
        return -999.0;
    bool ok = false;
    const double x = reply.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(x))
        return -999.0;
    m_balance = x;
    ShowBalance(x);
    return x;
}

int TwebInterFace::QueryChannelLength(const QString &User, const QString &Pwd)
{
    nelvo::BusyScope wait;
    try {
        int length = 0;
        return toInteger(m_gateway->getchannellength(User, Pwd), &length) ? length : -999;
    } catch (const nelvo::Error &) {
        return -999;
    }
}

int TwebInterFace::ChargeByCard(const QString &User, const QString &Pwd, const QString &CardNo,
                                const QString &CardPwd)
{
    nelvo::BusyScope wait;
    int code = -999;
    try {
        if (!toInteger(m_gateway->chargeAdd(User, Pwd, CardNo, CardPwd), &code))
            code = -999;
    } catch (const nelvo::Error &) {
        code = -999;
    }
    QString text;
    ResultText(code, text);
    m_lastMessage = text;
    return code;
}

int TwebInterFace::ChangePassword(const QString &User, const QString &OldPwd, const QString &NewPwd)
{
    nelvo::BusyScope wait;
    try {
        int code = 0;
        return toInteger(m_gateway->changePassword(User, OldPwd, NewPwd), &code) ? code : -999;
    } catch (const nelvo::Error &) {
        return -999;
    }
}

int TwebInterFace::SubmitSMS(const QString &, const QString &, const QString &MobileNum,
                             const QString &Content, const QString &SchTime, const QString &)
{
    m_lastOutcome = SubmitOutcome::NotDelivered;
    if (!CheckOnline())
        return -1;
    nelvo::BusyScope wait;
    QString reply;
    try {
        reply = m_gateway->sendSMS(gParams.LoginID, gParams.AccountPwd, MobileNum, Content, QString(),
                                   QStringLiteral("1"), SchTime, QStringLiteral("1"), QString(),
                                   QStringLiteral("0"));
    } catch (const nelvo::Error &) {
        return -1;
    }
    int code = 0;
    if (!toInteger(reply, &code)) {
        // A reply outside the agreement is not a wrong password, and the message may have gone out.
        m_lastOutcome = SubmitOutcome::Unknown;
        m_lastMessage = unexpectedReply;
        return -999;
    }
    if (code == 0) {
        m_lastOutcome = SubmitOutcome::Accepted;
        m_lastMessage = QStringLiteral("成功");
        return 0;
    }
    if (code == -77 || code == -88 || code == -99)
        m_lastOutcome = SubmitOutcome::NotDelivered;
    else if (code == -11 || code == -999)
        m_lastOutcome = SubmitOutcome::Unknown;
    else
        m_lastOutcome = SubmitOutcome::Refused;
    QString text;
    ResultText(code, text);
    m_lastMessage = text;
    return code;
}

void TwebInterFace::ReceiveSMS(const QString &User, const QString &Pwd, QString &Text)
{
    if (!CheckOnline())
        return;
    nelvo::BusyScope wait;
    try {
        Text = m_gateway->recvSMS(User, Pwd);
    } catch (const nelvo::Error &) {
    }
}

void TwebInterFace::ApplyProxy(const QString &ProxyIP, const QString &ProxyPort, const QString &ProxyUser,
                               const QString &ProxyPwd)
{
    if (!CheckOnline())
        return;
    nelvo::BusyScope wait;
    m_gateway->setProxy(ProxyIP, ParseCode(ProxyPort), ProxyUser, ProxyPwd);
    m_proxyApplied = true;
}

void TwebInterFace::CheckNewVersion(const QString &CurrVersion, QString &Version)
{
    if (!CheckOnline())
        return;
    nelvo::BusyScope wait;
    try {
        Version = m_service->GetNewVersion(CurrVersion);
    } catch (const nelvo::Error &) {
        Version.clear();
    }
}

namespace updater {

TwebInterFace::TwebInterFace() : m_service(std::make_unique<SmsWebService>()) {}

TwebInterFace::~TwebInterFace() = default;

QString TwebInterFace::CheckNewVersion(const QString &CurrVersion)
{
    return m_service->GetNewVersion(CurrVersion);
}

void TwebInterFace::ApplyProxy(const QString &ProxyIP, const QString &ProxyPort, const QString &ProxyUser,
                               const QString &ProxyPwd)
{
    bool ok = false;
    const int port = ProxyPort.trimmed().toInt(&ok);
    m_service->client().setProxy(ProxyIP, ok && port > 0 && port < 65536 ? quint16(port) : quint16(0),
                                 ProxyUser, ProxyPwd);
}

} // namespace updater
