#pragma once

#include "request_text.h"

#include <cstddef>
#include <string>

namespace nelvogate {

struct ProxySettings
{
    bool enabled = false;
    std::string host;
    int port = 0;
    std::string user;
    std::string password;
};

// One TCP connection to the gateway or through a proxy tunnel, opened per request and closed when
// the object goes. Every wait for the peer is bounded by `waitSeconds`.
class GatewayConnection
{
public:
    explicit GatewayConnection(int waitSeconds) : waitMs_(waitSeconds * 1000) {}
    ~GatewayConnection() { close(); }
    GatewayConnection(const GatewayConnection &) = delete;
    GatewayConnection &operator=(const GatewayConnection &) = delete;

    bool connectDirect(const Endpoint &gateway);
    bool connectTunnel(const ProxySettings &proxy, const Endpoint &gateway);

    // The number of bytes written: `length` when all went out.
    long sendAll(const char *bytes, std::size_t length);
    // One read after waiting for data; -1 on time-out, failure or without a socket; 0 when closed.
    long recvSome(char *buffer, std::size_t capacity);
    // Reads until `count` bytes arrived or the peer stops; the count read, -1 when nothing came.
    long recvExact(char *buffer, std::size_t count);
    void close();

private:
    bool open(const std::string &host, int port);
    bool waitReadable(int timeoutMs);
    long recvWithin(char *buffer, std::size_t capacity, int timeoutMs);

    int fd_ = -1;
    int waitMs_;
};

} // namespace nelvogate
