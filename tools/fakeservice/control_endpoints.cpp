#include "control_endpoints.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using Query = QMap<QByteArray, QByteArray>;

QString text(const Query &query, const QByteArray &key)
{
    return QString::fromUtf8(percentDecode(query.value(key)));
}

QJsonObject accountJson(const Account &account)
{
    return {{"regcode", QString::fromLatin1(account.regcode)},
            {"password", QString::fromLatin1(account.password)},
            {"balance", QString::fromLatin1(account.balanceText())},
            {"channelLength", account.channelLength},
            {"incoming", int(account.incoming.size())}};
}

QJsonObject setAccount(Account &account, const Query &query)
{
    if (query.contains("regcode"))
        account.regcode = percentDecode(query.value("regcode"));
    if (query.contains("password"))
        account.password = percentDecode(query.value("password"));
    if (query.contains("balance"))
        account.balanceCents = qRound64(query.value("balance").toDouble() * 100);
    if (query.contains("price"))
        account.priceCents = qRound64(query.value("price").toDouble() * 100);
    if (query.contains("channelLength"))
        account.channelLength = query.value("channelLength").toInt();
    return accountJson(account);
}

QJsonObject setFault(FaultPlan &faults, const Query &query, bool &ok)
{
    Fault fault;
    ok = Fault::parse(query.value("mode"), fault.mode);
    if (!ok)
        return {{"error", QStringLiteral("unknown mode; one of: ") + Fault::names().join(u' ')}};
    fault.ms = query.value("ms").toInt();
    if (query.contains("nth"))
        faults.failNth(fault, query.value("nth").toInt());
    else
        faults.queue(fault, query.contains("times") ? query.value("times").toInt() : 1);
    return {{"ok", true}};
}

QJsonArray base64List(const QList<QByteArray> &list)
{
    QJsonArray array;
    for (const QByteArray &bytes : list)
        array.append(QString::fromLatin1(bytes.toBase64()));
    return array;
}

QByteArray json(int status, const QJsonObject &object)
{
    const QByteArray reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Bad Request";
    return httpReply(status, reason, "application/json",
                     QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

bool isControlPath(const QByteArray &path)
{
    return path.startsWith("/control/");
}

QByteArray controlReply(ServiceState &state, const HttpRequest &request)
{
    const QByteArray name = request.path.mid(9);
    const Query query = parseQuery(request.query);

    if (name == "account")
        return json(200, setAccount(state.account, query));
    if (name == "fault") {
        bool ok = false;
        const QJsonObject answer = setFault(state.faults, query, ok);
        return json(ok ? 200 : 400, answer);
    }
    if (name == "clear-faults") {
        state.faults.clear();
        return json(200, {{"ok", true}});
    }
    if (name == "incoming") {
        state.account.incoming.append(
            {text(query, "from"), text(query, "to"), text(query, "time"), text(query, "text")});
        return json(200, accountJson(state.account));
    }
    if (name == "card") {
        state.account.cards.insert(
            percentDecode(query.value("code")),
            {percentDecode(query.value("pwd")), qRound64(query.value("amount").toDouble() * 100)});
        return json(200, {{"ok", true}});
    }
    if (name == "journal") {
        QJsonArray entries;
        for (const QJsonObject &entry : state.journal.entries())
            entries.append(entry);
        return json(200, {{"journal", entries}});
    }
    if (name == "requests") {
        const QJsonObject answer{{"gateway", base64List(state.gatewayRequests)},
                                 {"tunnel", base64List(state.tunnelRequests)}};
        if (query.contains("clear")) {
            state.gatewayRequests.clear();
            state.tunnelRequests.clear();
        }
        return json(200, answer);
    }
    return json(404, {{"error", QStringLiteral("unknown control endpoint")}});
}
