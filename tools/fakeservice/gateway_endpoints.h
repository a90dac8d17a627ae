#pragma once

#include "http_message.h"
#include "service_state.h"

#include <QByteArray>

// The gateway's pages under /sms/qorvServer/, checking account and inputs as the real gateway does.
bool isGatewayPath(const QByteArray &path);

// Carries the request out and gives the value for the reply's result element.
QByteArray gatewayResult(ServiceState &state, const HttpRequest &request);
