#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class MessageComposer;
class RecipientListModel;
class TdmData;
class TwebInterFace;

// Where a send stands, for the progress window ("正在发送短信") or a console.
struct SendProgress
{
    enum class Stage
    {
        Started,
        Filtering,
        Sending,
        Finished
    };
    Stage stage = Stage::Started;
    QString label; // the status text of the progress window
    qint64 position = 0;
    qint64 maximum = 0;
    int part = 0; // 1-based while sending
    int parts = 0;
};

struct SendOptions
{
    // "" or 14 digits yyyyMMddhhmmss (ScheduleTimeText).
    QString scheduleTime;
    // Numbers per request as configured (EashSendCount of section SMS); corrected by EffectiveBatchSize.
    int eashSendCount = 100;
    // Ask the balance after every part so that the status bar follows the send.
    bool refreshBalance = true;
    // Multi mode: shows the parts before sending; false cancels. Unset means go on.
    std::function<bool(const QStringList &parts)> preview;
    // Called at each stage and once per request before it goes out: the window repaints and keeps
    // responding there, a console prints.
    std::function<void(const SendProgress &)> progress;
};

struct SendReport
{
    enum class Result
    {
        Refused,   // a check said no before anything was asked
        Cancelled, // the confirmation or the preview said no
        Stopped,   // a file or the database failed; the warning has said which
        Completed,
    };
    Result result = Result::Refused;
    qsizetype recipients = 0; // after the duplicate filter
    int parts = 0;
    int requests = 0;              // every attempt counts
    int failedBatches = 0;         // the failure counter of the final message
    qsizetype acceptedNumbers = 0; // summed over the parts
    qsizetype failedNumbers = 0;
    QString beforeSendFile;
    QStringList numberFiles; // succ and fail files, in the order written
};

// Batch sending: the whole of what the send button does, over the window's composer and list, talking
// to the service only through the facade and to the user only through the prompts. The list is consumed
// request by request and rebuilt for every part; it is empty when the send ends, also when a file or the
// database fails part-way (what went out is in the files and rows by then). Only when the beforesend
// file cannot be written does the list stay, filtered, since nothing was sent.
class BatchSender
{
public:
    BatchSender(TwebInterFace &facade, TdmData &data) : m_facade(facade), m_data(data) {}

    SendReport Send(MessageComposer &composer, RecipientListModel &list, const SendOptions &options);

    // One send at a time in the whole program: the loop lets the window run between requests, and a
    // second send started from there must not interleave with the first.
    static bool IsSending();

private:
    class Run;

    TwebInterFace &m_facade;
    TdmData &m_data;
};

// The scheduled time of the compose window: the date's "yyyyMMdd", the hour item, the minute item, "00".
QString ScheduleTimeText(const QDate &date, const QString &hour, const QString &minute);

// Numbers per request: the configured value, 100 when missing or below 1, and never more than keep the
// joined numbers (the longest `longestNumber` bytes each, "," between) within the gateway's 1300 bytes.
int EffectiveBatchSize(int configured, qsizetype longestNumber);
