#include "TextFileImport.h"

#include "CommonHelpers.h"
#include "LocalCodec.h"
#include "LogMgr.h"
#include "NelvoError.h"
#include "NumberStore.h"
#include "Prompts.h"
#include "RecipientListModel.h"

#include <QDir>
#include <QFile>

namespace {

constexpr qint64 kChunkBytes = 4 << 20;

// The tokens of one line as SplitHead walks them: the text before each ",", and what follows the last
// one unless it is empty. Walked on a view so that a file written as one long line stays linear.
template <typename Handle> void forEachToken(QStringView line, Handle handle)
{
    while (!line.isEmpty()) {
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        if (comma < 0) {
            handle(line.trimmed());
            return;
        }
        handle(line.left(comma).trimmed());
        line = line.mid(comma + 1);
    }
}

// Lines end at CR LF, LF or CR; a break at the very end does not open another line.
template <typename Handle> void forEachLine(QStringView text, Handle handle)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        handle(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        handle(text.mid(start));
}

} // namespace

TextImportResult ImportNumberTextFile(RecipientListModel &list, const QString &path, TLogMgr *log)
{
    TextImportResult result;
    NumberStore numbers;
    auto takeLine = [&](QStringView line) {
        forEachToken(line, [&](QStringView token) {
            // Checked in place: only rejected tokens are worth a copy.
            if (IsMobileNumber(QString::fromRawData(token.data(), token.size())))
                numbers.append(token);
            else
                result.rejected.append(token.toString());
        });
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.readError = file.errorString();
    } else {
        // Read in pieces cut after a line feed (never part of a GBK character), so that a read error
        // part-way keeps the lines before it.
        QByteArray pending;
        while (true) {
            const QByteArray chunk = file.read(kChunkBytes);
            if (chunk.isEmpty()) {
                if (file.error() != QFileDevice::NoError)
                    result.readError = file.errorString();
                else if (!pending.isEmpty())
                    forEachLine(nelvo::decodeLocal(pending), takeLine);
                break;
            }
            pending += chunk;
            const qsizetype lastBreak = pending.lastIndexOf('\n');
            if (lastBreak < 0)
                continue;
            forEachLine(nelvo::decodeLocal(pending.left(lastBreak + 1)), takeLine);
            pending.remove(0, lastBreak + 1);
        }
    }
    if (!result.readError.isEmpty() && log)
        log->Write(8, QStringLiteral("InputTextFile"), QStringLiteral("Error--") + result.readError);

    result.added = numbers.size();
    list.AddBulk(std::move(numbers));
    return result;
}

QString RejectedTokensFile()
{
    return QDir::currentPath() + QStringLiteral("/InputError.txt");
}

void SaveRejectedTokens(const QStringList &rejected)
{
    const QString path = RejectedTokensFile();
    QByteArray bytes;
    for (const QString &token : rejected)
        bytes += nelvo::encodeLocal(token) + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw nelvo::Error(QStringLiteral("错误号码无法保存到") + QDir::toNativeSeparators(path) +
                           QStringLiteral("：") + file.errorString());
}

void ReportRejectedTokens(const QStringList &rejected)
{
    if (rejected.isEmpty())
        return;
    try {
        SaveRejectedTokens(rejected);
    } catch (const nelvo::Error &error) {
        ShowWarning(error.text());
        return;
    }
    const QString path = RejectedTokensFile();
    const QString text =
        QStringLiteral("文件中手机号码已经成功导入，但部分错误号码无法导出\r\n这些号码被保存到") +
        QDir::toNativeSeparators(path) + QStringLiteral("。\r\n") +
        QStringLiteral("[确定]将打开错误号码文件，[取消]则不会打开。");
    if (nelvo::prompts().okCancel(QStringLiteral("提示"), text, nelvo::Prompts::Icon::Warning))
        nelvo::prompts().openInTextEditor(path);
}

void ImportTextFileCommand(RecipientListModel &list, TLogMgr *log)
{
    const QString path = nelvo::prompts().openFileName(QStringLiteral("请选择(文本每行一个手机号码)!"), {});
    if (path.isEmpty())
        return;
    ReportRejectedTokens(ImportNumberTextFile(list, path, log).rejected);
}
