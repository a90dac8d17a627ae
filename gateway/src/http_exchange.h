#pragma once

#include "gateway_connection.h"
#include "reply_reader.h"
#include "request_text.h"

#include <string>
#include <string_view>

namespace nelvogate {

constexpr int kReplyWaitSeconds = 30;

// One request and its reply over a fresh connection, directly or through the proxy's tunnel. On
// success the text is the whole reply; otherwise the error text that stands in for it.
// `buffer` is scratch space the caller keeps between exchanges.
ExchangeResult httpRequest(Method method, const Endpoint &gateway, const ProxySettings &proxy,
                           std::string_view path, std::string_view query, std::string &buffer,
                           int waitSeconds = kReplyWaitSeconds);

} // namespace nelvogate
