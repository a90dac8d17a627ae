#include "NelvoSend.h"

#include "BatchSender.h"
#include "ConsolePrompts.h"
#include "IniFile.h"
#include "LogMgr.h"
#include "MessageComposer.h"
#include "NelvoError.h"
#include "NelvoHttp.h"
#include "ProgramFolder.h"
#include "RecipientListModel.h"
#include "SendArguments.h"
#include "TextFileImport.h"
#include "TgParams.h"
#include "WorkbookNumbers.h"
#include "uit_DataBase.h"
#include "webService.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

int setupError(const QString &text)
{
    std::fprintf(stderr, "nelvosend: %s\n", qUtf8Printable(text));
    return BadUsage;
}

void say(const QString &text)
{
    std::printf("%s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

// The run-state the main window would have set up: account, carrier lengths, online.
QString loadSettings()
{
    const QString config = QDir::cleanPath(nelvo::resolvePath(ConfigIniPath()));
    if (!QFileInfo::exists(config))
        return QStringLiteral("找不到配置文件 ") + config;
    LoadParamsFromConfig(gParams);
    if (gParams.LoginID.isEmpty())
        return QStringLiteral("配置文件中没有帐号（[Account] LoginID）：") + config;
    // The window asks the gateway at start and stores the answer; a scripted send uses what is stored.
    gParams.ChannelLength = ReadChannelLength();
    gParams.SmsLengths = {70, gParams.ChannelLength, 70, 56};
    gParams.OnlineFlag = 1;
    return {};
}

void reportRejected(const QStringList &rejected)
{
    if (rejected.isEmpty())
        return;
    SaveRejectedTokens(rejected);
    say(QStringLiteral("%1 个错误号码未导入，已保存到 %2")
            .arg(rejected.size())
            .arg(QDir::toNativeSeparators(RejectedTokensFile())));
}

QString fillList(const SendArguments &arguments, RecipientListModel &list, TLogMgr &log)
{
    if (arguments.numbersFile.isEmpty()) {
        NumberStore numbers;
        for (const QString &number : arguments.to)
            numbers.append(number);
        list.AddBulk(std::move(numbers));
        return {};
    }
    if (IsWorkbookFile(arguments.numbersFile)) {
        WorkbookNumbers read;
        try {
            read = ReadWorkbookNumbers(arguments.numbersFile);
        } catch (const nelvo::Error &error) {
            return QStringLiteral("无法读取号码文件 ") + arguments.numbersFile + QStringLiteral("：") +
                   error.text();
        }
        NumberStore numbers;
        for (const QString &number : std::as_const(read.numbers))
            numbers.append(number);
        list.AddBulk(std::move(numbers));
        reportRejected(read.rejected);
        return {};
    }
    const TextImportResult imported = ImportNumberTextFile(list, arguments.numbersFile, &log);
    if (!imported.readError.isEmpty())
        return QStringLiteral("无法读取号码文件 ") + arguments.numbersFile + QStringLiteral("：") +
               imported.readError;
    reportRejected(imported.rejected);
    return {};
}

void printProgress(const SendProgress &progress)
{
    if (progress.stage == SendProgress::Stage::Filtering)
        say(progress.label);
    else if (progress.stage == SendProgress::Stage::Sending)
        say(QStringLiteral("第 %1/%2 条：%3/%4")
                .arg(progress.part)
                .arg(progress.parts)
                .arg(progress.position)
                .arg(progress.maximum));
}

} // namespace

int RunNelvoSend(const QStringList &commandLine)
{
    SendArguments arguments;
    QString error;
    if (!ParseSendArguments(commandLine, arguments, error)) {
        std::fprintf(stderr, "nelvosend: %s\n\n%s", qUtf8Printable(error), qUtf8Printable(SendUsage()));
        return BadUsage;
    }
    nelvo::installPrompts(std::make_unique<ConsolePrompts>());

    error = loadSettings();
    if (!error.isEmpty())
        return setupError(error);
    if (!QFileInfo::exists(Tnelvohttp::DefaultLibraryFile()))
        return setupError(QStringLiteral("找不到网关组件 ") + Tnelvohttp::DefaultLibraryFile());
    TdmData data;
    if (!data.OpenError().isEmpty())
        return setupError(data.OpenError());

    const QString config = ConfigIniPath();
    MessageComposer composer(gParams);
    composer.setContent(arguments.text);
    if (arguments.sign) {
        const QString signature = IniReadStr(config, QStringLiteral("SMS"), QStringLiteral("SMSSIGN"));
        if (signature.isEmpty())
            return setupError(QStringLiteral("没有保存的短信签名（[SMS] SMSSIGN），不能使用 --sign"));
        composer.setSignature(signature);
        composer.setUseSign(true);
    }
    composer.setMultiMode(arguments.split);
    composer.setPageNumbers(arguments.pageNumbers);

    TLogMgr log(10);
    RecipientListModel list(composer);
    try {
        error = fillList(arguments, list, log);
    } catch (const nelvo::Error &failure) {
        error = failure.text();
    }
    if (!error.isEmpty())
        return setupError(error);

    TwebInterFace facade;
    SendOptions options;
    options.scheduleTime = arguments.scheduleTime;
    options.eashSendCount = IniReadInt(config, QStringLiteral("SMS"), QStringLiteral("EashSendCount"));
    // The balance shown after each part belongs to the window's status bar; a scripted send does not
    // pay a request per part for it.
    options.refreshBalance = false;
    options.preview = [](const QStringList &parts) {
        say(QStringLiteral("短信内容被拆分为 %1 条").arg(parts.size()));
        return true;
    };
    options.progress = printProgress;

    const SendReport report = BatchSender(facade, data).Send(composer, list, options);
    if (report.result == SendReport::Result::Refused || report.result == SendReport::Result::Cancelled ||
        (report.result == SendReport::Result::Stopped && report.requests == 0))
        return setupError(QStringLiteral("短信没有发送"));

    say(QStringLiteral("号码 %1 个，%2 条内容，请求 %3 次：成功 %4 个号码次，失败 %5 个号码次（%6 批）")
            .arg(report.recipients)
            .arg(report.parts)
            .arg(report.requests)
            .arg(report.acceptedNumbers)
            .arg(report.failedNumbers)
            .arg(report.failedBatches));
    say(QStringLiteral("号码文件：") + QDir::toNativeSeparators(report.beforeSendFile));
    for (const QString &file : report.numberFiles)
        say(QStringLiteral("号码文件：") + QDir::toNativeSeparators(file));
    const bool allAccepted = report.result == SendReport::Result::Completed && report.failedNumbers == 0;
    return allAccepted ? AllAccepted : SomeFailed;
}
