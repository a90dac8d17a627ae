#pragma once

#include "gateway_connection.h"
#include "http_exchange.h"

#include <mutex>
#include <string>
#include <string_view>

namespace nelvogate {

// The fixed gateway of the service; NELVOGATE_HOST and NELVOGATE_PORT, read when a client is
// created, point it elsewhere (tests, staging).
constexpr char kGatewayHost[] = "sms.nelvogate.com";
constexpr int kGatewayPort = 80;
Endpoint gatewayFromEnvironment();

// "smstype" read like C's strtol: leading blanks and a sign, then digits; no number reads as 0.
long long typeNumber(std::string_view text);

// The eight gateway operations on code-page text: input checks in their fixed order (the first
// failing check's code is the result and nothing is sent), the query, the pause the gateway expects
// between requests, the exchange and the result element of the reply.
class GatewayClient
{
public:
    GatewayClient();

    void setProxy(std::string host, int port, std::string user, std::string password);

    std::string sendSMS(std::string_view regcode, std::string_view password, std::string_view phone,
                        std::string_view content, std::string_view extnum, std::string_view level,
                        std::string_view schtime, std::string_view reportflag, std::string_view wapUrl,
                        std::string_view smstype);
    std::string sendMMS(std::string_view regcode, std::string_view password, std::string_view phone,
                        std::string_view content, std::string_view extnum, std::string_view level,
                        std::string_view schtime, std::string_view reportflag, std::string_view wapUrl,
                        std::string_view smstype, std::string_view mmsid);
    std::string recvSMS(std::string_view regcode, std::string_view password);
    std::string recvReport(std::string_view regcode, std::string_view password);
    std::string balanceCheck(std::string_view regcode, std::string_view password);
    std::string chargeAdd(std::string_view regcode, std::string_view password, std::string_view cardCode,
                          std::string_view cardPwd);
    std::string changePassword(std::string_view regcode, std::string_view oldPassword,
                               std::string_view newPassword);
    std::string getchannellength(std::string_view regcode, std::string_view password);

private:
    std::string exchange(Method method, std::string_view path, const std::string &query, int pauseMs);

    const Endpoint gateway_;
    std::mutex requestLock_; // one request at a time per object; guards the proxy and the buffer
    ProxySettings proxy_;
    std::string buffer_;
};

} // namespace nelvogate
