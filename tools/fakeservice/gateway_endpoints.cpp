#include "gateway_endpoints.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

constexpr char kPrefix[] = "/sms/qorvServer/";

using Query = QMap<QByteArray, QByteArray>;

bool phoneIsValid(const QByteArray &phone)
{
    for (char c : phone)
        if (c != ',' && (c < '0' || c > '9'))
            return false;
    return true;
}

// Each GBK character counts once: 600 plain bytes, or 300 characters once any is not ASCII.
bool tooLong(const QByteArray &gbk)
{
    qsizetype high = 0;
    for (char c : gbk)
        high += static_cast<unsigned char>(c) >= 0x80;
    return high == 0 ? gbk.size() > 600 : gbk.size() - high + high / 2 > 300;
}

// Accepted forms: empty (now), "yyyyMMddhhmmss" and "yyyy-MM-dd hh:mm:ss".
bool scheduleIsValid(const QByteArray &schtime)
{
    if (schtime.isEmpty())
        return true;
    const QString text = QString::fromLatin1(schtime);
    return QDateTime::fromString(text, QStringLiteral("yyyyMMddHHmmss")).isValid() ||
           QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid();
}

QByteArray sendMessage(ServiceState &state, const QByteArray &op, const Query &query)
{
    const QByteArray phone = query.value("phone");
    const QByteArray extnum = query.value("extnum");
    const QString content = fromGbk(percentDecode(query.value("CONTENT")));
    const QString url = fromGbk(percentDecode(query.value("url")));
    const int type = query.value("smstype").toInt();
    const qsizetype phoneLimit = op == "sendMMS" ? 13000 : 1300;

    if (extnum.size() > 13)
        return "-8";
    if (type < 0 || type > 2)
        return "-10";
    if (content.isEmpty())
        return "-19";
    if (tooLong(toGbk(type == 0 ? content : content + url)))
        return "-4";
    if (phone.isEmpty())
        return "-17";
    if (!phoneIsValid(phone))
        return "-18";
    if (phone.size() > phoneLimit)
        return "-6";
    if (!scheduleIsValid(query.value("schtime")))
        return "-13";

    QJsonArray numbers;
    for (const QByteArray &number : phone.split(','))
        if (!number.isEmpty())
            numbers.append(QString::fromLatin1(number));
    if (numbers.isEmpty())
        return "-17";
    const qint64 cost = state.account.priceCents * numbers.size();
    if (cost > state.account.balanceCents)
        return "-2";
    state.account.balanceCents -= cost;

    QJsonObject entry{{"op", QString::fromLatin1(op)},
                      {"regcode", QString::fromLatin1(query.value("regcode"))},
                      {"phone", QString::fromLatin1(phone)},
                      {"numbers", numbers},
                      {"content", content},
                      {"extnum", QString::fromLatin1(extnum)},
                      {"level", QString::fromLatin1(query.value("level"))},
                      {"schtime", QString::fromLatin1(query.value("schtime"))},
                      {"reportflag", QString::fromLatin1(query.value("reportflag"))},
                      {"url", url},
                      {"smstype", type},
                      {"accepted", QDateTime::currentDateTime().toString(Qt::ISODateWithMs)}};
    if (op == "sendMMS")
        entry.insert("mmsid", fromGbk(percentDecode(query.value("mmsid"))));
    state.journal.append(entry);
    return "0";
}

// Records "id|from|to|channel|time|text" joined by "#####", URL-encoded as the gateway sends them.
QByteArray takeIncoming(Account &account)
{
    QStringList records;
    for (const IncomingMessage &message : std::as_const(account.incoming))
        records << QStringList{QString::number(account.nextIncomingId++),
                               message.from,
                               message.to,
                               QStringLiteral("1"),
                               message.time,
                               message.text}
                       .join(u'|');
    account.incoming.clear();
    return gatewayUrlEncode(toGbk(records.join(QStringLiteral("#####"))));
}

QByteArray chargeAdd(Account &account, const Query &query)
{
    const auto card = account.cards.find(query.value("cardCode"));
    if (card == account.cards.end() || card->used || card->password != query.value("cardpwd"))
        return "-16";
    card->used = true;
    account.balanceCents += card->amountCents;
    return "0";
}

QByteArray changePassword(Account &account, const Query &query)
{
    const QByteArray newPassword = query.value("newpwd");
    if (newPassword.size() != 8)
        return "-9";
    account.password = newPassword;
    return "0";
}

} // namespace

bool isGatewayPath(const QByteArray &path)
{
    return path.startsWith(kPrefix);
}

QByteArray gatewayResult(ServiceState &state, const HttpRequest &request)
{
    const QByteArray page = request.path.mid(int(sizeof kPrefix) - 1);
    const Query query = parseQuery(request.query);
    Account &account = state.account;
    if (!account.passwordDigestMatches(query.value("regcode"), query.value("pwd")))
        return "-1";

    if (page == "sendSMS.jsp")
        return sendMessage(state, "sendSMS", query);
    if (page == "sendMMS.jsp")
        return request.method == "POST" ? sendMessage(state, "sendMMS", query) : QByteArray("-10");
    if (page == "recvSMS.jsp")
        return takeIncoming(account);
    if (page == "getreport.jsp")
        return {};
    if (page == "getbalance.jsp")
        return account.balanceText();
    if (page == "chargeadd.jsp")
        return chargeAdd(account, query);
    if (page == "modifypwd.jsp")
        return changePassword(account, query);
    if (page == "getchannellength.jsp")
        return QByteArray::number(account.channelLength);
    return "-10";
}
