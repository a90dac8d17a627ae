#pragma once

#include <QString>
#include <QStringList>

// What a nelvosend command line asks for.
struct SendArguments
{
    QString text;
    QStringList to;      // --to, already cut at ","
    QString numbersFile; // --numbers
    bool split = false;
    bool pageNumbers = false;
    bool sign = false;
    QString scheduleTime; // --at + "00", or empty
};

QString SendUsage();

// Reads the arguments (program name first); on a mistake returns false with `error` saying which.
bool ParseSendArguments(const QStringList &arguments, SendArguments &parsed, QString &error);
