#pragma once

#include "fault_plan.h"

#include <QByteArray>

class QTcpSocket;

// Writes the gateway's answer "<result>value</result>" to the socket, spoiled as `fault` says, and
// closes the connection afterwards as the gateway does.
void writeGatewayReply(QTcpSocket *socket, const QByteArray &resultValue, const Fault &fault);
