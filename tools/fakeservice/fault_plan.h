#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// How the service spoils its answer to one gateway request.
struct Fault
{
    enum Mode
    {
        None,
        Delay,         // answer normally after `ms` milliseconds
        Close,         // close without answering
        CloseMidBody,  // send the header and half the body, then close
        NoLength,      // no Content-Length field
        WrongLength,   // Content-Length ten bytes more than the body, then close
        Chunked,       // chunked transfer coding instead of Content-Length
        Status500,     // HTTP 500 with an error page
        NoResult,      // HTTP 200 whose body holds no result element
        Split,         // the normal answer written a few bytes at a time
        HugeHeader,    // a header longer than any client buffer
        LengthNoBlank, // "content-length:" in lower case, no blank after the colon
    };
    Mode mode = None;
    int ms = 0;

    // Whether the request is carried out: a reply the client cannot read means it was not.
    bool requestIsCarriedOut() const
    {
        return mode == None || mode == Delay || mode == Split || mode == LengthNoBlank;
    }

    static bool parse(const QByteArray &name, Mode &mode);
    static QStringList names();
};

// Faults chosen for the whole run, queued for the next requests, or for the Nth request from now.
class FaultPlan
{
public:
    void setDefault(Fault fault) { default_ = fault; }
    void queue(Fault fault, int times);
    void failNth(Fault fault, int nth);
    void clear();

    // The fault for the next gateway request.
    Fault next();

private:
    Fault default_;
    QList<Fault> queued_;
    struct Pending
    {
        Fault fault;
        int remaining;
    };
    QList<Pending> nth_;
};
