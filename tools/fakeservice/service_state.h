#pragma once

#include "account.h"
#include "fault_plan.h"
#include "journal.h"
#include "soap_endpoints.h"

#include <QByteArray>
#include <QList>

// Proxy behaviour of the service: it answers CONNECT only when enabled.
struct ProxyConfig
{
    bool enabled = false;
    QByteArray user; // basic credentials required when set
    QByteArray password;
    QByteArray statusLine = "HTTP/1.1 200 Connection established";
};

// Everything the endpoints share for the life of the process.
struct ServiceState
{
    Account account;
    FaultPlan faults;
    Journal journal;
    ProxyConfig proxy;
    SoapConfig soap;
    QList<QByteArray> gatewayRequests; // raw bytes of every gateway request, in order
    QList<QByteArray> tunnelRequests;  // raw bytes of every CONNECT request, in order
};
