#pragma once

#include <string>

namespace nelvogate {

// Texts that stand in for a reply. They travel to callers unchanged, and other programs compare
// against them, so every byte counts. They are returned in the code page like any reply text.
struct ResultTexts
{
    static std::string tunnelFailed() { return "-77"; }
    static std::string connectFailed() { return "-88"; }
    static std::string sendFailed() { return "-99"; }
    // No header before a time-out, the peer closed, or a header that would not fit the buffer.
    static std::string networkError() { return "-11"; }
    // The reply held no result element: never to be mistaken for the gateway's "0".
    static std::string noResult() { return "-999"; }
    static std::string noContentLength();
    static std::string contentLengthInvalid();
    static std::string contentLengthNotInteger();
};

} // namespace nelvogate
