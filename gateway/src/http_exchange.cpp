#include "http_exchange.h"

#include "gateway_log.h"
#include "result_texts.h"

namespace nelvogate {
namespace {

class ConnectionSource : public ReplySource
{
public:
    explicit ConnectionSource(GatewayConnection &connection) : connection_(connection) {}

    long readSome(char *buffer, std::size_t capacity) override
    {
        return connection_.recvSome(buffer, capacity);
    }
    long readExact(char *buffer, std::size_t count) override { return connection_.recvExact(buffer, count); }
    void headerRead(std::string_view soFar) override
    {
        std::string line = "timeout: ";
        line.append(soFar).append("!");
        writeLog(line);
    }

private:
    GatewayConnection &connection_;
};

} // namespace

ExchangeResult httpRequest(Method method, const Endpoint &gateway, const ProxySettings &proxy,
                           std::string_view path, std::string_view query, std::string &buffer,
                           int waitSeconds)
{
    const std::string request = requestText(method, gateway, proxy.enabled, path, query);

    GatewayConnection connection(waitSeconds);
    if (proxy.enabled) {
        if (!connection.connectTunnel(proxy, gateway))
            return {false, ResultTexts::tunnelFailed()};
    } else if (!connection.connectDirect(gateway)) {
        return {false, ResultTexts::connectFailed()};
    }

    if (connection.sendAll(request.data(), request.size()) != static_cast<long>(request.size()))
        return {false, ResultTexts::sendFailed()};
    writeLog("utl----: " + request + "!");

    ConnectionSource source(connection);
    return readReply(source, buffer);
}

} // namespace nelvogate
