#include "BatchSender.h"

#include "Clock.h"
#include "CommonHelpers.h"
#include "MessageComposer.h"
#include "MessageText.h"
#include "NelvoError.h"
#include "Prompts.h"
#include "RecipientListModel.h"
#include "SendListFiles.h"
#include "SendRecords.h"
#include "TgParams.h"
#include "webService.h"

#include <QScopeGuard>

#include <algorithm>

namespace {

constexpr int kAttempts = 3;
constexpr qsizetype kGatewayNumberBytes = 1300;

bool g_sending = false;

const QString kNoRoom = QStringLiteral("签名已占满一条短信的长度，短信内容无处可放，请缩短签名后再发送！");

} // namespace

// One press of the send button, from the checks to the final message.
class BatchSender::Run
{
public:
    Run(BatchSender &sender, MessageComposer &composer, RecipientListModel &list, const SendOptions &options)
        : m_facade(sender.m_facade), m_data(sender.m_data), m_composer(composer), m_list(list),
          m_options(options)
    {
    }

    SendReport execute();

private:
    // The refusals, the recalculation, the single-message check, the confirmation and the parts; empty
    // when the send does not go ahead (report.result says why).
    QStringList prepare();
    // Sends one part to the whole list, consuming it batch by batch.
    void sendPart(const QString &text, const QString &sequence, NumberStore &accepted, NumberStore &failed);
    bool submit(const QString &numbers, const QString &text, const QString &sequence);
    // Files first, then rows, so that a database failure leaves the part's numbers on disk.
    void recordPart(const QString &text, const QString &sequence, const NumberStore &accepted,
                    const NumberStore &failed);
    void tell(SendProgress::Stage stage, const QString &label);
    void finish(SendReport::Result result);

    TwebInterFace &m_facade;
    TdmData &m_data;
    MessageComposer &m_composer;
    RecipientListModel &m_list;
    const SendOptions &m_options;
    SendReport m_report;
    SendProgress m_progress;
    int m_batchSize = 100;
};

QString ScheduleTimeText(const QDate &date, const QString &hour, const QString &minute)
{
    return date.toString(QStringLiteral("yyyyMMdd")) + hour + minute + QStringLiteral("00");
}

int EffectiveBatchSize(int configured, qsizetype longestNumber)
{
    const int wanted = configured < 1 ? 100 : configured;
    const qsizetype fits = std::max<qsizetype>(1, (kGatewayNumberBytes + 1) / (longestNumber + 1));
    return static_cast<int>(std::min<qsizetype>(wanted, fits));
}

bool BatchSender::IsSending()
{
    return g_sending;
}

SendReport BatchSender::Send(MessageComposer &composer, RecipientListModel &list, const SendOptions &options)
{
    if (g_sending) {
        ShowInfo(QStringLiteral("正在发送短信，请等本次发送结束后再发送！"));
        return {};
    }
    return Run(*this, composer, list, options).execute();
}

QStringList BatchSender::Run::prepare()
{
    if (m_list.Count() == 0) {
        ShowInfo(QStringLiteral("请输入手机号码！"));
        return {};
    }
    if (TrimBlanksAndControls(m_composer.Content()).isEmpty()) {
        ShowInfo(QStringLiteral("请输入短信内容！"));
        return {};
    }
    m_composer.ReCalc(m_list);
    if (m_composer.SignatureLeavesNoRoom()) {
        ShowWarning(kNoRoom);
        return {};
    }
    if (!m_composer.MultiMode() && !m_composer.FitsSingleMessage()) {
        ShowInfo(QStringLiteral("短信内容超长！"));
        return {};
    }
    if (AskYesNo(QStringLiteral("您确认要发送这一批（共计") + QString::number(m_list.Count()) +
                 QStringLiteral("个号码）短信吗？")) != mrYes) {
        m_report.result = SendReport::Result::Cancelled;
        return {};
    }
    if (!m_composer.MultiMode())
        return {m_composer.ContentWithSign()};
    const QStringList parts = m_composer.SplitContent();
    if (parts.isEmpty()) {
        // The page-marker reserve can leave no room where the signature alone still did.
        ShowWarning(kNoRoom);
        return {};
    }
    if (m_options.preview && !m_options.preview(parts)) {
        m_report.result = SendReport::Result::Cancelled;
        return {};
    }
    return parts;
}

void BatchSender::Run::tell(SendProgress::Stage stage, const QString &label)
{
    m_progress.stage = stage;
    m_progress.label = label;
    if (m_options.progress)
        m_options.progress(m_progress);
}

void BatchSender::Run::finish(SendReport::Result result)
{
    m_list.replaceAll({});
    tell(SendProgress::Stage::Finished, QString());
    m_report.result = result;
}

SendReport BatchSender::Run::execute()
{
    const QStringList parts = prepare();
    if (parts.isEmpty())
        return m_report;
    m_report.parts = static_cast<int>(parts.size());

    // The program-wide flag and the list's lock hold on every way out of the send.
    g_sending = true;
    m_list.setSending(true);
    const auto release = qScopeGuard([this] {
        m_list.setSending(false);
        g_sending = false;
    });

    m_progress.parts = m_report.parts;
    m_progress.maximum = m_list.Count();
    tell(SendProgress::Stage::Started, QStringLiteral("短信发送进度："));
    tell(SendProgress::Stage::Filtering, QStringLiteral("开始过滤重复号码..."));
    m_list.filter();
    m_report.recipients = m_list.Count();
    m_progress.maximum = qint64(m_report.recipients) * m_report.parts;

    try {
        m_report.beforeSendFile = WriteSendListFile(m_list.Numbers(), QStringLiteral("beforesend"));
    } catch (const nelvo::Error &error) {
        // Nothing has gone out: the list stays as filtered, for another try.
        tell(SendProgress::Stage::Finished, QString());
        ShowWarning(QStringLiteral("号码列表无法保存，短信没有发送。") + error.text());
        m_report.result = SendReport::Result::Stopped;
        return m_report;
    }
    const NumberStore recipients = m_list.Numbers();
    m_batchSize = EffectiveBatchSize(m_options.eashSendCount, recipients.longestLocalLength());

    for (int k = 0; k < m_report.parts; ++k) {
        const QString sequence = nelvo::now().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
        m_progress.part = k + 1;
        NumberStore accepted;
        NumberStore failed;
        sendPart(parts[k], sequence, accepted, failed);
        try {
            recordPart(parts[k], sequence, accepted, failed);
        } catch (const nelvo::Error &error) {
            finish(SendReport::Result::Stopped);
            QString kept;
            if (accepted.size() == 1)
                kept += QStringLiteral("\r\n已发送的号码：") + accepted.at(0);
            if (failed.size() == 1)
                kept += QStringLiteral("\r\n发送失败的号码：") + failed.at(0);
            ShowWarning(QStringLiteral("发送记录无法保存，发送已停止：") + error.text() + kept);
            return m_report;
        }
        m_list.replaceAll(recipients);
    }

    finish(SendReport::Result::Completed);
    if (m_report.failedBatches > 0)
        ShowWarning(QStringLiteral("到短信管理中检查发送失败的短信！"));
    else
        ShowInfo(QStringLiteral("发送成功！"));
    return m_report;
}

void BatchSender::Run::sendPart(const QString &text, const QString &sequence, NumberStore &accepted,
                                NumberStore &failed)
{
    while (m_list.Count() > 0) {
        NumberStore batch = m_list.takeFront(m_batchSize);
        m_progress.position += batch.size();
        tell(SendProgress::Stage::Sending, QStringLiteral("开始发送短信，当前进度:"));
        if (submit(batch.joined(0, batch.size(), QLatin1Char(',')), text, sequence)) {
            accepted.concat(std::move(batch));
        } else {
            ++m_report.failedBatches;
            failed.concat(std::move(batch));
        }
    }
    m_report.acceptedNumbers += accepted.size();
    m_report.failedNumbers += failed.size();
}

bool BatchSender::Run::submit(const QString &numbers, const QString &text, const QString &sequence)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        ++m_report.requests;
        if (m_facade.SubmitSMS(gParams.LoginID, gParams.AccountPwd, numbers, text, m_options.scheduleTime,
                               sequence) == 0)
            return true;
        // A request that may have reached the gateway is never repeated: nobody gets it twice.
        if (m_facade.LastSubmitMayHaveArrived())
            return false;
    }
    return false;
}

void BatchSender::Run::recordPart(const QString &text, const QString &sequence, const NumberStore &accepted,
                                  const NumberStore &failed)
{
    SendRecord record{gParams.LoginID, nullptr, QString(), text, m_options.scheduleTime, sequence, true};
    const QString succFile =
        accepted.size() > 1 ? WriteSendListFile(accepted, QStringLiteral("succ")) : QString();
    const QString failFile =
        failed.size() > 1 ? WriteSendListFile(failed, QStringLiteral("fail")) : QString();
    for (const QString &file : {succFile, failFile})
        if (!file.isEmpty())
            m_report.numberFiles.append(file);

    if (!accepted.isEmpty()) {
        m_list.replaceAll(accepted);
        record.numbers = &accepted;
        record.numberFile = succFile;
        WriteSendRecord(m_data, record);
    }
    if (m_options.refreshBalance)
        m_facade.QueryBalance(gParams.LoginID, gParams.AccountPwd);
    if (!failed.isEmpty()) {
        m_list.replaceAll(failed);
        record.numbers = &failed;
        record.numberFile = failFile;
        record.accepted = false;
        WriteSendRecord(m_data, record);
    }
}
