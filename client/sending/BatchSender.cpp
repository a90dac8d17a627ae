#include "BatchSender.h"

#include "Clock.h"
#include "MessageComposer.h"
#include "MessageText.h"
#include "NelvoError.h"
#include "Prompts.h"
#include "RecipientListModel.h"
#include "SendListFiles.h"
#include "TgParams.h"
#include "uit_DataBase.h"
#include "webService.h"

#include <QDir>

#include <algorithm>

namespace {

constexpr int kAttempts = 3;
constexpr qsizetype kGatewayNumberBytes = 1300;

bool g_sending = false;

// An empty text is stored as empty text; a null one would become NULL.
QString textValue(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// Holds the program-wide send flag and the list for the length of one send, on every way out.
class SendingGuard
{
public:
    explicit SendingGuard(RecipientListModel &list, void (*setSending)(RecipientListModel &, bool))
        : m_list(list), m_setSending(setSending)
    {
        g_sending = true;
        m_setSending(m_list, true);
    }
    ~SendingGuard()
    {
        m_setSending(m_list, false);
        g_sending = false;
    }
    SendingGuard(const SendingGuard &) = delete;
    SendingGuard &operator=(const SendingGuard &) = delete;

private:
    RecipientListModel &m_list;
    void (*m_setSending)(RecipientListModel &, bool);
};

const QString kInsertRow = QStringLiteral(
    "insert into smssendlist "
    "(loginid,sendlist,sendtext,sendtime,schetime,listcount,committime,sequence,smsfolder,sendstatus)\n"
    "values(:Ploginid,:Psendlist,:Psendtext,:Psendtime,:Pschetime,:plistcount,:pcommittime,"
    ":psequence,:psmsfolder,:psendstatus)");

} // namespace

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
    SendReport report;
    if (g_sending) {
        ShowInfo(QStringLiteral("正在发送短信，请等本次发送结束后再发送！"));
        return report;
    }
    if (list.Count() == 0) {
        ShowInfo(QStringLiteral("请输入手机号码！"));
        return report;
    }
    if (TrimBlanksAndControls(composer.Content()).isEmpty()) {
        ShowInfo(QStringLiteral("请输入短信内容！"));
        return report;
    }
    composer.ReCalc(list);
    const QString noRoom = QStringLiteral("签名已占满一条短信的长度，短信内容无处可放，请缩短签名后再发送！");
    if (composer.SignatureLeavesNoRoom()) {
        ShowWarning(noRoom);
        return report;
    }
    if (!composer.MultiMode() && !composer.FitsSingleMessage()) {
        ShowInfo(QStringLiteral("短信内容超长！"));
        return report;
    }
    if (AskYesNo(QStringLiteral("您确认要发送这一批（共计") + QString::number(list.Count()) +
                 QStringLiteral("个号码）短信吗？")) != mrYes) {
        report.result = SendReport::Result::Cancelled;
        return report;
    }

    const QStringList parts =
        composer.MultiMode() ? composer.SplitContent() : QStringList{composer.ContentWithSign()};
    if (parts.isEmpty()) {
        // The page-marker reserve can leave no room where the signature alone still did.
        ShowWarning(noRoom);
        return report;
    }
    if (composer.MultiMode() && options.preview && !options.preview(parts)) {
        report.result = SendReport::Result::Cancelled;
        return report;
    }
    report.parts = static_cast<int>(parts.size());

    SendingGuard guard(list, [](RecipientListModel &l, bool on) { l.setSending(on); });
    SendProgress progress;
    progress.parts = report.parts;
    auto tell = [&](SendProgress::Stage stage, const QString &label) {
        progress.stage = stage;
        progress.label = label;
        if (options.progress)
            options.progress(progress);
    };
    progress.maximum = list.Count();
    tell(SendProgress::Stage::Started, QStringLiteral("短信发送进度："));
    tell(SendProgress::Stage::Filtering, QStringLiteral("开始过滤重复号码..."));
    list.filter();
    report.recipients = list.Count();
    progress.maximum = qint64(report.recipients) * report.parts;

    // Ends the send with the list emptied, whatever happened: the numbers are in the files by then.
    auto finish = [&](SendReport::Result result) {
        list.replaceAll({});
        tell(SendProgress::Stage::Finished, QString());
        report.result = result;
    };

    try {
        report.beforeSendFile = WriteSendListFile(list.Numbers(), QStringLiteral("beforesend"));
    } catch (const nelvo::Error &error) {
        // Nothing has gone out: the list stays as filtered, for another try.
        tell(SendProgress::Stage::Finished, QString());
        ShowWarning(QStringLiteral("号码列表无法保存，短信没有发送。") + error.text());
        report.result = SendReport::Result::Stopped;
        return report;
    }

    const NumberStore recipients = list.Numbers();
    const int batchSize = EffectiveBatchSize(options.eashSendCount, recipients.longestLocalLength());
    const QString loginId = gParams.LoginID;
    const QString password = gParams.AccountPwd;

    for (int k = 0; k < report.parts; ++k) {
        const QString &text = parts[k];
        const QString sequence = nelvo::now().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
        progress.part = k + 1;
        NumberStore accepted;
        NumberStore failed;
        while (list.Count() > 0) {
            NumberStore batch = list.takeFront(batchSize);
            progress.position += batch.size();
            tell(SendProgress::Stage::Sending, QStringLiteral("开始发送短信，当前进度:"));
            const QString numbers = batch.joined(0, batch.size(), QLatin1Char(','));
            bool ok = false;
            for (int attempt = 0; attempt < kAttempts && !ok; ++attempt) {
                ++report.requests;
                ok =
                    m_facade.SubmitSMS(loginId, password, numbers, text, options.scheduleTime, sequence) == 0;
                // A request that may have reached the gateway is never repeated: nobody gets it twice.
                if (!ok && m_facade.LastSubmitMayHaveArrived())
                    break;
            }
            if (ok) {
                accepted.concat(std::move(batch));
            } else {
                ++report.failedBatches;
                failed.concat(std::move(batch));
            }
        }
        report.acceptedNumbers += accepted.size();
        report.failedNumbers += failed.size();

        try {
            // Both files exist before any row, so a database failure leaves the part's numbers on disk.
            const QString succFile =
                accepted.size() > 1 ? WriteSendListFile(accepted, QStringLiteral("succ")) : QString();
            if (!succFile.isEmpty())
                report.numberFiles.append(succFile);
            const QString failFile =
                failed.size() > 1 ? WriteSendListFile(failed, QStringLiteral("fail")) : QString();
            if (!failFile.isEmpty())
                report.numberFiles.append(failFile);

            auto writeRow = [&](const NumberStore &numbers, const QString &file, bool success) {
                const QString when = DbDateTime(nelvo::now());
                m_data.Query(
                    kInsertRow,
                    {{QStringLiteral(":Ploginid"), textValue(loginId)},
                     {QStringLiteral(":Psendlist"), textValue(numbers.size() == 1 ? numbers.at(0) : file)},
                     {QStringLiteral(":Psendtext"), textValue(text)},
                     {QStringLiteral(":Psendtime"), when},
                     {QStringLiteral(":Pschetime"), textValue(options.scheduleTime)},
                     {QStringLiteral(":plistcount"), double(numbers.size())},
                     {QStringLiteral(":pcommittime"),
                      success ? QVariant(when) : QVariant(QMetaType(QMetaType::QString))},
                     {QStringLiteral(":psequence"), textValue(success ? sequence : QString())},
                     {QStringLiteral(":psmsfolder"), success ? 2 : 3},
                     {QStringLiteral(":psendstatus"), success ? 1 : 0}});
            };
            if (!accepted.isEmpty()) {
                list.replaceAll(accepted);
                writeRow(accepted, succFile, true);
            }
            if (options.refreshBalance)
                m_facade.QueryBalance(loginId, password);
            if (!failed.isEmpty()) {
                list.replaceAll(failed);
                writeRow(failed, failFile, false);
            }
        } catch (const nelvo::Error &error) {
            finish(SendReport::Result::Stopped);
            QString kept;
            if (accepted.size() == 1)
                kept += QStringLiteral("\r\n已发送的号码：") + accepted.at(0);
            if (failed.size() == 1)
                kept += QStringLiteral("\r\n发送失败的号码：") + failed.at(0);
            ShowWarning(QStringLiteral("发送记录无法保存，发送已停止：") + error.text() + kept);
            return report;
        }
        list.replaceAll(recipients);
    }

    finish(SendReport::Result::Completed);
    if (report.failedBatches > 0)
        ShowWarning(QStringLiteral("到短信管理中检查发送失败的短信！"));
    else
        ShowInfo(QStringLiteral("发送成功！"));
    return report;
}
