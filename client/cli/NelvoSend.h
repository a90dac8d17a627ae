#pragma once

#include <QStringList>

// Exit codes of nelvosend.
enum SendExit
{
    AllAccepted = 0,
    SomeFailed = 1,
    BadUsage = 2
};

// One send from the command line over the window's engine, settings, database and send-list files.
int RunNelvoSend(const QStringList &arguments);
