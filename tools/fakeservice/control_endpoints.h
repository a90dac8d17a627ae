#pragma once

#include "http_message.h"
#include "service_state.h"

#include <QByteArray>

// The test-only endpoints under /control/ (see README.md); they never count as gateway requests.
bool isControlPath(const QByteArray &path);

// A complete HTTP reply with a JSON body.
QByteArray controlReply(ServiceState &state, const HttpRequest &request);
