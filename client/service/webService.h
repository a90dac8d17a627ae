#pragma once

#include <QString>

#include <functional>
#include <memory>

class SmsWebService;
class Tnelvohttp;

// The one door to the operator's servers. Every operation converts the reply into a number or text,
// keeps the last message for the caller and never raises (except ApplyProxy): failures become the
// operation's fixed failure value.
class TwebInterFace
{
public:
    // Where the balance text goes (the main window's status panel).
    using StatusPanel = std::function<void(const QString &)>;

    // What became of the last SubmitSMS, so that a batch is never sent twice when it may have arrived.
    enum class SubmitOutcome
    {
        Accepted,     // the gateway answered 0
        Refused,      // the gateway answered with a refusal code
        NotDelivered, // the request never reached the gateway ("-77", "-88", "-99", no library)
        Unknown,      // it may have reached the gateway: time-out ("-11") or an unreadable reply
    };

    explicit TwebInterFace(StatusPanel statusPanel = {}, const QString &gatewayLibrary = QString());
    ~TwebInterFace();
    TwebInterFace(const TwebInterFace &) = delete;
    TwebInterFace &operator=(const TwebInterFace &) = delete;

    double QueryBalance(const QString &User, const QString &Pwd);
    int QueryChannelLength(const QString &User, const QString &Pwd);
    int ChargeByCard(const QString &User, const QString &Pwd, const QString &CardNo, const QString &CardPwd);
    int ChangePassword(const QString &User, const QString &OldPwd, const QString &NewPwd);
    // Sends with the account of the run (gParams); User, Pwd and Sequence are not used.
    int SubmitSMS(const QString &User, const QString &Pwd, const QString &MobileNum, const QString &Content,
                  const QString &SchTime, const QString &Sequence);
    SubmitOutcome LastSubmitOutcome() const { return m_lastOutcome; }
    // True when the last failed SubmitSMS may have reached the gateway, so it must not be sent again.
    bool LastSubmitMayHaveArrived() const { return m_lastOutcome == SubmitOutcome::Unknown; }
    // Text receives the gateway's reply; it is left alone when the service cannot be reached.
    void ReceiveSMS(const QString &User, const QString &Pwd, QString &Text);
    // Hands a proxy to the gateway object; raises nelvo::Error when the gateway library is unusable.
    void ApplyProxy(const QString &ProxyIP, const QString &ProxyPort, const QString &ProxyUser,
                    const QString &ProxyPwd);
    // Version receives the address of a newer package, or empty text when there is none or the
    // question failed.
    void CheckNewVersion(const QString &CurrVersion, QString &Version);

    void CreateService();
    void ApplyConfiguredProxy();
    bool CheckOnline();
    void ShowBalance(double x);
    QString LastMessage() const { return m_lastMessage; }
    bool ProxyApplied() const { return m_proxyApplied; }
    double Balance() const { return m_balance; }

    static int ParseCode(const QString &text);
    static void ResultText(int code, QString &text);
    static QString OfflineMessage();
    // The balance as the status bar and the balance command show it: 12.5, 100.
    static QString FormatBalance(double x);

private:
    bool m_proxyApplied = false;
    std::unique_ptr<SmsWebService> m_service;
    std::unique_ptr<Tnelvohttp> m_gateway;
    QString m_lastMessage;
    double m_balance = -1.0;
    StatusPanel m_statusPanel;
    SubmitOutcome m_lastOutcome = SubmitOutcome::NotDelivered;
};

namespace updater {

// The updater's reduced facade: the version question only, with the errors reaching the caller.
class TwebInterFace
{
public:
    TwebInterFace();
    ~TwebInterFace();
    QString CheckNewVersion(const QString &CurrVersion);
    void ApplyProxy(const QString &ProxyIP, const QString &ProxyPort, const QString &ProxyUser,
                    const QString &ProxyPwd);

private:
    std::unique_ptr<SmsWebService> m_service;
};

} // namespace updater
