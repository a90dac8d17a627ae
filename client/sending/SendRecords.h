#pragma once

#include <QString>

class NumberStore;
class TdmData;

// One row of smssendlist for the accepted (folder 2) or the failed (folder 3) numbers of one part of a
// send, where the message folders and the send history find it.
struct SendRecord
{
    QString loginId;
    const NumberStore *numbers = nullptr;
    QString numberFile; // the succ or fail file; unused when there is one number, which is stored itself
    QString text;
    QString scheduleTime;
    QString sequence;
    bool accepted = true;
};

// Writes the row; raises nelvo::Error with the database's message when it cannot.
void WriteSendRecord(TdmData &data, const SendRecord &record);
