#pragma once

#include <string>
#include <string_view>

namespace nelvogate {

enum class Method
{
    Get,
    Post
};

struct Endpoint
{
    std::string host;
    int port = 80;
};

// The exact request the gateway has always received: fixed header lines in a fixed order, the Host
// line always with its port. Through a proxy a GET names the gateway in absolute form; a POST keeps
// the origin form and carries the query as body followed by CR LF, which Content-Length leaves out.
std::string requestText(Method method, const Endpoint &gateway, bool viaProxy, std::string_view path,
                        std::string_view query);

// Asks the proxy for a tunnel to the gateway; credentials go along when a proxy user is set.
std::string connectText(const Endpoint &gateway, std::string_view user, std::string_view password);

std::string base64(std::string_view bytes);

} // namespace nelvogate
