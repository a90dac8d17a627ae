// A million eleven-digit numbers through the recipient list: added in bulk, filtered and saved as a
// beforesend file, against `LC_ALL=C sort -u` on the same numbers. Prints the figures; asserts nothing.
#include "MessageComposer.h"
#include "ProgramFolder.h"
#include "RecipientListModel.h"
#include "SendListFiles.h"
#include "TextFileImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kNumbers = 1000000;

long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Random numbers of the three mobile prefixes, about one in twenty repeated, in no order.
QString makeNumbers()
{
    QRandomGenerator random(20240501);
    const char *prefixes[] = {"13", "15", "18"};
    QString text;
    text.reserve(qsizetype(kNumbers) * 13);
    QList<QString> recent;
    for (int i = 0; i < kNumbers; ++i) {
        QString number;
        if (!recent.isEmpty() && random.bounded(20) == 0) {
            number = recent[random.bounded(int(recent.size()))];
        } else {
            number = QString::fromLatin1(prefixes[random.bounded(3)]) +
                     QStringLiteral("%1").arg(random.bounded(1000000000), 9, 10, QLatin1Char('0'));
            if (recent.size() < 1000)
                recent.append(number);
        }
        text += number;
        text += QStringLiteral("\r\n");
    }
    return text;
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("bin"));
    nelvo::setProgramFolder(dir.path() + QStringLiteral("/bin/"));

    const QString input = makeNumbers();
    const QString inputFile = dir.filePath(QStringLiteral("numbers.txt"));
    {
        QFile file(inputFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(input.toLatin1()) < 0)
            return 1;
    }
    const long rssBefore = peakResidentKb();

    // Bulk path: the numbers arrive as text (what an import or the segment generator holds).
    MessageComposer composer({70, 70, 70, 56}, 70);
    RecipientListModel list(composer);
    QElapsedTimer timer;
    timer.start();
    NumberStore numbers;
    for (qsizetype at = 0; at < input.size(); at += 13)
        numbers.append(QStringView(input).mid(at, 11));
    list.AddBulk(std::move(numbers));
    const double added = seconds(timer);
    const qsizetype removed = list.FilterDuplicates();
    const double filtered = seconds(timer);
    const QString saved = WriteSendListFile(list.Numbers(), QStringLiteral("beforesend"));
    const double total = seconds(timer);
    const qsizetype listBytes = list.Numbers().memoryBytes();
    const long rssAfter = peakResidentKb();

    // The text-file import of the same file, for comparison with the in-memory bulk path.
    MessageComposer importComposer({70, 70, 70, 56}, 70);
    RecipientListModel imported(importComposer);
    timer.restart();
    ImportNumberTextFile(imported, inputFile, nullptr);
    imported.FilterDuplicates();
    WriteSendListFile(imported.Numbers(), QStringLiteral("beforesend"));
    const double importTotal = seconds(timer);

    timer.restart();
    QProcess sort;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    sort.setProcessEnvironment(env);
    sort.start(QStringLiteral("sort"), {QStringLiteral("-u"), inputFile, QStringLiteral("-o"),
                                        dir.filePath(QStringLiteral("sorted.txt"))});
    sort.waitForFinished(-1);
    const double sortTotal = seconds(timer);

    std::printf("numbers in: %d, unique kept: %lld, duplicates filtered: %lld\n", kNumbers,
                static_cast<long long>(list.Count()), static_cast<long long>(removed));
    std::printf("bulk add          %7.3f s\n", added);
    std::printf("+ filter          %7.3f s\n", filtered - added);
    std::printf("+ save beforesend %7.3f s  (%s)\n", total - filtered,
                qPrintable(QFileInfo(saved).fileName()));
    std::printf("list total        %7.3f s  (goal < 0.300 s)\n", total);
    std::printf("text import total %7.3f s  (import + filter + save, same file)\n", importTotal);
    std::printf("LC_ALL=C sort -u  %7.3f s  (exit %d)\n", sortTotal, sort.exitCode());
    std::printf("list / sort -u    %7.2f x  (goal <= 3 x)\n", total / sortTotal);
    std::printf("list memory       %7.1f MB (goal < 64 MB)\n", double(listBytes) / (1 << 20));
    std::printf("process peak RSS  %7.1f MB before the list, %.1f MB after (the generated input is ~40 MB)\n",
                double(rssBefore) / 1024, double(rssAfter) / 1024);
    return 0;
}
