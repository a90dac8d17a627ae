#include "gateway_client.h"

#include "md5.h"
#include "message_limits.h"
#include "result_element.h"
#include "url_codec.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <thread>

namespace nelvogate {
namespace {

constexpr int kPauseMs = 200;
constexpr int kChannelLengthPauseMs = 1000;
constexpr std::size_t kExtnumLimit = 13;
constexpr std::size_t kSmsPhoneLimit = 1300;
constexpr std::size_t kMmsPhoneLimit = 13000;
constexpr std::size_t kNewPasswordLength = 8;

std::string accountQuery(std::string_view regcode, std::string_view password)
{
    std::string query = "regcode=";
    query.append(regcode).append("&pwd=").append(md5Hex(password));
    return query;
}

bool phoneHasOnlyDigitsAndCommas(std::string_view phone)
{
    for (char c : phone)
        if (c != ',' && (c < '0' || c > '9'))
            return false;
    return true;
}

std::string concat(std::string_view a, std::string_view b)
{
    std::string both(a);
    both.append(b);
    return both;
}

// The checks and query shared by both kinds of message; `lengthCheck` is the kind's own step 3.
template <typename LengthCheck>
std::string messageCheck(std::string_view regcode, std::string_view phone, std::string_view content,
                         std::string_view extnum, std::size_t phoneLimit, LengthCheck lengthCheck)
{
    if (extnum.size() > kExtnumLimit)
        return "-8";
    if (regcode.empty())
        return "-1";
    if (const std::string code = lengthCheck(); !code.empty())
        return code;
    if (content.empty())
        return "-19";
    if (phone.empty())
        return "-17";
    if (!phoneHasOnlyDigitsAndCommas(phone))
        return "-18";
    if (phone.size() > phoneLimit)
        return "-6";
    return {};
}

std::string messageQuery(std::string_view regcode, std::string_view password, std::string_view phone,
                         std::string_view content, std::string_view extnum, std::string_view level,
                         std::string_view schtime, std::string_view reportflag, std::string_view wapUrl,
                         long long type)
{
    std::string query = accountQuery(regcode, password);
    query.append("&phone=").append(phone);
    query.append("&CONTENT=").append(urlEncode(content));
    query.append("&extnum=").append(extnum);
    query.append("&level=").append(level);
    query.append("&schtime=").append(schtime);
    query.append("&reportflag=").append(reportflag);
    query.append("&url=").append(urlEncode(wapUrl));
    query.append("&smstype=").append(std::to_string(type));
    return query;
}

} // namespace

Endpoint gatewayFromEnvironment()
{
    Endpoint gateway{kGatewayHost, kGatewayPort};
    if (const char *host = std::getenv("NELVOGATE_HOST"); host && *host)
        gateway.host = host;
    if (const char *port = std::getenv("NELVOGATE_PORT"); port && *port) {
        char *end = nullptr;
        const long value = std::strtol(port, &end, 10);
        if (*end == '\0' && value > 0 && value <= 65535)
            gateway.port = static_cast<int>(value);
    }
    return gateway;
}

long long typeNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    constexpr long long cap = std::numeric_limits<int>::max() + 1LL; // beyond int is "another number" anyway
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(cap, value * 10 + (text[i] - '0'));
    return negative ? -value : value;
}

GatewayClient::GatewayClient() : gateway_(gatewayFromEnvironment()) {}

void GatewayClient::setProxy(std::string host, int port, std::string user, std::string password)
{
    std::lock_guard<std::mutex> guard(requestLock_);
    proxy_ = ProxySettings{true, std::move(host), port, std::move(user), std::move(password)};
}

std::string GatewayClient::exchange(Method method, std::string_view path, const std::string &query,
                                    int pauseMs)
{
    if (pauseMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    std::lock_guard<std::mutex> guard(requestLock_);
    ExchangeResult result = httpRequest(method, gateway_, proxy_, path, query, buffer_);
    return result.ok ? resultOf(result.text) : result.text;
}

std::string GatewayClient::sendSMS(std::string_view regcode, std::string_view password,
                                   std::string_view phone, std::string_view content, std::string_view extnum,
                                   std::string_view level, std::string_view schtime,
                                   std::string_view reportflag, std::string_view wapUrl,
                                   std::string_view smstype)
{
    const long long type = typeNumber(smstype);
    const std::string code =
        messageCheck(regcode, phone, content, extnum, kSmsPhoneLimit, [&]() -> std::string {
            if (type == 0)
                return smsTooLong(content) ? "-4" : "";
            if (type == 1 || type == 2)
                return smsTooLong(concat(content, wapUrl)) ? "-4" : "";
            return "-10";
        });
    if (!code.empty())
        return code;
    return exchange(
        Method::Get, "/sms/qorvServer/sendSMS.jsp?",
        messageQuery(regcode, password, phone, content, extnum, level, schtime, reportflag, wapUrl, type),
        kPauseMs);
}

std::string GatewayClient::sendMMS(std::string_view regcode, std::string_view password,
                                   std::string_view phone, std::string_view content, std::string_view extnum,
                                   std::string_view level, std::string_view schtime,
                                   std::string_view reportflag, std::string_view wapUrl,
                                   std::string_view smstype, std::string_view mmsid)
{
    const long long type = typeNumber(smstype);
    const std::string code =
        messageCheck(regcode, phone, content, extnum, kMmsPhoneLimit, [&]() -> std::string {
            if (type == 0)
                return smsTooLong(content) ? "-4" : "";
            if (type == 1)
                return mmsTooLong(mmsid) ? "-4" : "";
            if (type == 2)
                return smsTooLong(concat(content, wapUrl)) ? "-4" : "";
            return "-10";
        });
    if (!code.empty())
        return code;
    std::string query =
        messageQuery(regcode, password, phone, content, extnum, level, schtime, reportflag, wapUrl, type);
    query.append("&mmsid=").append(urlEncode(mmsid));
    return exchange(Method::Post, "/sms/qorvServer/sendMMS.jsp?", query, 0);
}

std::string GatewayClient::recvSMS(std::string_view regcode, std::string_view password)
{
    if (regcode.empty())
        return "-1";
    return urlDecode(
        exchange(Method::Get, "/sms/qorvServer/recvSMS.jsp?", accountQuery(regcode, password), kPauseMs));
}

std::string GatewayClient::recvReport(std::string_view regcode, std::string_view password)
{
    if (regcode.empty())
        return "-1";
    return exchange(Method::Get, "/sms/qorvServer/getreport.jsp?", accountQuery(regcode, password), kPauseMs);
}

std::string GatewayClient::balanceCheck(std::string_view regcode, std::string_view password)
{
    if (regcode.empty())
        return "-1";
    return exchange(Method::Get, "/sms/qorvServer/getbalance.jsp?", accountQuery(regcode, password),
                    kPauseMs);
}

std::string GatewayClient::chargeAdd(std::string_view regcode, std::string_view password,
                                     std::string_view cardCode, std::string_view cardPwd)
{
    if (regcode.empty())
        return "-1";
    if (cardCode.empty() || cardPwd.empty())
        return "-16";
    std::string query = accountQuery(regcode, password);
    query.append("&cardCode=").append(cardCode).append("&cardpwd=").append(cardPwd);
    return exchange(Method::Get, "/sms/qorvServer/chargeadd.jsp?", query, kPauseMs);
}

std::string GatewayClient::changePassword(std::string_view regcode, std::string_view oldPassword,
                                          std::string_view newPassword)
{
    if (regcode.empty())
        return "-1";
    if (newPassword.size() != kNewPasswordLength)
        return "-11";
    std::string query = accountQuery(regcode, oldPassword);
    query.append("&newpwd=").append(newPassword);
    return exchange(Method::Get, "/sms/qorvServer/modifypwd.jsp?", query, kPauseMs);
}

std::string GatewayClient::getchannellength(std::string_view regcode, std::string_view password)
{
    if (regcode.empty())
        return "-1";
    return exchange(Method::Get, "/sms/qorvServer/getchannellength.jsp?", accountQuery(regcode, password),
                    kChannelLengthPauseMs);
}

} // namespace nelvogate
