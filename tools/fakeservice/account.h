#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

struct RechargeCard
{
    QByteArray password;
    qint64 amountCents = 0;
    bool used = false;
};

struct IncomingMessage
{
    QString from;
    QString to;
    QString time; // "yyyy-MM-dd hh:mm:ss" or empty
    QString text;
};

// The one account the service knows, with what tests may change through the control endpoint.
struct Account
{
    QByteArray regcode = "demo";
    QByteArray password = "demo123";
    qint64 balanceCents = 100000; // 1000.00
    qint64 priceCents = 10;       // per number of an accepted message
    int channelLength = 70;
    QMap<QByteArray, RechargeCard> cards{{"CARD0001", {"12345678", 10000, false}},
                                         {"CARD0002", {"87654321", 5000, false}}};
    QList<IncomingMessage> incoming;
    int nextIncomingId = 1;

    bool passwordDigestMatches(const QByteArray &regcodeGiven, const QByteArray &digest) const;
    QByteArray balanceText() const;
};
