#include "request_text.h"

namespace nelvogate {
namespace {

constexpr std::string_view kUserAgent =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt; DTS Agent;)\r\n";

std::string hostPort(const Endpoint &endpoint)
{
    return endpoint.host + ":" + std::to_string(endpoint.port);
}

} // namespace

std::string requestText(Method method, const Endpoint &gateway, bool viaProxy, std::string_view path,
                        std::string_view query)
{
    std::string text;
    text.reserve(400 + path.size() + query.size());
    if (method == Method::Get) {
        text += "GET ";
        if (viaProxy)
            text.append("http://").append(hostPort(gateway));
        text.append(path).append(query).append(" HTTP/1.1\r\n");
        text += "Accept: */*\r\n";
        text.append("Host: ").append(hostPort(gateway)).append("\r\n");
        text += "Connection: Keep-Alive\r\n";
        text += kUserAgent;
        text += "Proxy-Connection: Keep-Alive\r\n";
        text += "Cache-Control: no-cache\r\n\r\n";
        return text;
    }
    text.append("POST ").append(path).append(" HTTP/1.1\r\n");
    text += "Accept: */*\r\n";
    text.append("Host: ").append(hostPort(gateway)).append("\r\n");
    text.append("Content-Length: ").append(std::to_string(query.size())).append("\r\n");
    text += "Connection: Keep-Alive\r\n";
    text += kUserAgent;
    text += "Proxy-Connection: Keep-Alive\r\n";
    text += "Cache-Control: no-cache\r\n\r\n";
    text.append(query).append("\r\n");
    return text;
}

std::string connectText(const Endpoint &gateway, std::string_view user, std::string_view password)
{
    std::string text = "CONNECT " + hostPort(gateway) + " HTTP/1.1\r\n";
    text += "Host: " + hostPort(gateway) + "\r\n";
    if (!user.empty()) {
        std::string credentials(user);
        credentials.append(":").append(password);
        text += "Proxy-Authorization: Basic " + base64(credentials) + "\r\n";
    }
    text += "\r\n";
    return text;
}

std::string base64(std::string_view bytes)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        encoded += alphabet[v >> 18];
        encoded += alphabet[(v >> 12) & 63];
        encoded += alphabet[(v >> 6) & 63];
        encoded += alphabet[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        const bool two = i + 1 < bytes.size();
        if (two)
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        encoded += alphabet[v >> 18];
        encoded += alphabet[(v >> 12) & 63];
        encoded += two ? alphabet[(v >> 6) & 63] : '=';
        encoded += '=';
    }
    return encoded;
}

} // namespace nelvogate
