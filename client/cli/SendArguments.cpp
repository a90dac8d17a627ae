#include "SendArguments.h"

#include "CommonHelpers.h"

#include <QCommandLineParser>
#include <QDateTime>

QString SendUsage()
{
    return QStringLiteral(
        "用法: nelvosend --text 内容 (--to 号码[,号码...] | --numbers 文件) [--split] "
        "[--page-numbers] [--sign]\n"
        "                [--at YYYYMMDDhhmm]\n"
        "  --text TEXT        短信内容\n"
        "  --to N[,N...]      接收号码，以逗号分隔\n"
        "  --numbers FILE     号码文本文件（每行一个号码，或以逗号分隔），同“文本导入”；\n"
        "                     或 .xls/.xlsx/.csv 表格：第一个表单的第一列，首行不是号码时视为标题\n"
        "  --split            内容超过一条短信时自动拆分发送（否则限制为一条短信）\n"
        "  --page-numbers     拆分后每条自动添加页码（需要 --split）\n"
        "  --sign             在内容后加上已保存的短信签名\n"
        "  --at YYYYMMDDhhmm  定时发送时间\n"
        "退出码: 0 全部号码发送成功；1 部分号码发送失败；2 用法或设置错误\n");
}

bool ParseSendArguments(const QStringList &arguments, SendArguments &parsed, QString &error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption text(QStringLiteral("text"), QString(), QStringLiteral("TEXT"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("N"));
    const QCommandLineOption numbers(QStringLiteral("numbers"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption split(QStringLiteral("split"));
    const QCommandLineOption pages(QStringLiteral("page-numbers"));
    const QCommandLineOption sign(QStringLiteral("sign"));
    const QCommandLineOption at(QStringLiteral("at"), QString(), QStringLiteral("YYYYMMDDhhmm"));
    parser.addOptions({text, to, numbers, split, pages, sign, at});

    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("多余的参数：") + parser.positionalArguments().join(QLatin1Char(' '));
        return false;
    }
    for (const QCommandLineOption *once : {&text, &to, &numbers, &at})
        if (parser.values(*once).size() > 1) {
            error = QStringLiteral("--") + once->names().first() + QStringLiteral(" 只能给一次");
            return false;
        }
    if (!parser.isSet(text)) {
        error = QStringLiteral("缺少 --text");
        return false;
    }
    if (parser.isSet(to) == parser.isSet(numbers)) {
        error = QStringLiteral("请给出 --to 或 --numbers 之一");
        return false;
    }
    if (parser.isSet(pages) && !parser.isSet(split)) {
        error = QStringLiteral("--page-numbers 需要 --split");
        return false;
    }

    parsed = SendArguments{};
    parsed.text = parser.value(text);
    parsed.numbersFile = parser.value(numbers);
    parsed.split = parser.isSet(split);
    parsed.pageNumbers = parser.isSet(pages);
    parsed.sign = parser.isSet(sign);
    if (parser.isSet(to)) {
        // The same check as typing a number into the window, but a wrong one is an error here, not lost.
        for (const QString &token : parser.value(to).split(QLatin1Char(','))) {
            const QString number = token.trimmed();
            if (!IsMobileNumber(number)) {
                error = QStringLiteral("不是手机号码：“") + token + QStringLiteral("”");
                return false;
            }
            parsed.to.append(number);
        }
    }
    if (parser.isSet(at)) {
        const QString value = parser.value(at);
        const QDateTime when = QDateTime::fromString(value, QStringLiteral("yyyyMMddHHmm"));
        if (value.size() != 12 || !when.isValid()) {
            error = QStringLiteral("--at 应为 YYYYMMDDhhmm：") + value;
            return false;
        }
        parsed.scheduleTime = value + QStringLiteral("00");
    }
    return true;
}
