// Times writing and reading big workbooks and prints the figures with their goals. Each case runs in
// its own process so that its peak memory is its own.
//   bench_spreadsheet            all cases
//   bench_spreadsheet CASE DIR   one case, files in DIR

#include "SpreadsheetError.h"
#include "Workbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int exportRows = 100000;

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// 100,000 rows of nine columns shaped like the message folders: numbers, mobile numbers as text,
// Chinese names and texts, times.
void fillDatabase(const QString &dir)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(dir + QStringLiteral("/bench.db"));
    if (!db.open())
        qFatal("%s", qPrintable(db.lastError().text()));
    QSqlQuery q;
    if (q.exec(QStringLiteral("SELECT count(*) FROM sms")) && q.next() && q.value(0).toInt() == exportRows)
        return;
    q.exec(
        QStringLiteral("CREATE TABLE sms (id INTEGER, smstype TEXT, mobile TEXT, name TEXT, sendtext TEXT, "
                       "committime TEXT, status INTEGER, price REAL, folder INTEGER)"));
    db.transaction();
    q.prepare(QStringLiteral("INSERT INTO sms VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < exportRows; ++i) {
        q.addBindValue(i + 1);
        q.addBindValue(i % 3 ? QStringLiteral("发送") : QStringLiteral("接收"));
        q.addBindValue(QStringLiteral("0%1").arg(13800000000LL + i));
        q.addBindValue(QStringLiteral("客户%1").arg(i % 5000));
        q.addBindValue(QStringLiteral("尊敬的客户，您的订单 %1 已发货，请注意查收。回复TD退订").arg(i));
        q.addBindValue(QStringLiteral("2024-03-%1 10:%2:00")
                           .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                           .arg(i % 60, 2, 10, QLatin1Char('0')));
        q.addBindValue(i % 2);
        q.addBindValue(0.05 * (i % 7));
        q.addBindValue(2 + i % 3);
        if (!q.exec())
            qFatal("%s", qPrintable(q.lastError().text()));
    }
    db.commit();
}

// The whole export: running the query, placing its result, saving; `placeSeconds` up to the saving.
double exportQuery(const QString &dir, const QString &path, double *placeSeconds)
{
    fillDatabase(dir);
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id AS 编号, smstype AS 类型, mobile AS 手机号码, name AS 姓名, "
                                   "sendtext AS 内容, committime AS 时间, status AS 状态, price AS 单价, "
                                   "folder AS 文件夹 FROM sms")))
        qFatal("%s", qPrintable(query.lastError().text()));
    nelvo::Workbook workbook;
    workbook.sheet(1).setColumnFormat(QStringLiteral("C:C"), QStringLiteral("@"));
    workbook.sheet(1).placeQueryResult(query);
    *placeSeconds = timer.nsecsElapsed() / 1e9;
    workbook.saveAs(path);
    return timer.nsecsElapsed() / 1e9;
}

void writeReadSource(const QString &path, int rows)
{
    nelvo::Workbook workbook;
    nelvo::Worksheet &sheet = workbook.sheet(1);
    sheet.setColumnFormat(QStringLiteral("C:C"), QStringLiteral("@"));
    for (int r = 1; r <= rows; ++r) {
        sheet.setNumber(r, 1, r);
        sheet.setText(r, 2, QStringLiteral("客户%1").arg(r % 5000));
        sheet.setText(r, 3, QStringLiteral("0%1").arg(13800000000LL + r));
        sheet.setText(r, 4, QStringLiteral("尊敬的客户，您的订单 %1 已发货").arg(r));
        sheet.setNumber(r, 5, 0.05 * (r % 7));
        sheet.setText(r, 6, QStringLiteral("发送"));
        sheet.setNumber(r, 7, r % 2);
        sheet.setText(r, 8, QStringLiteral("备注"));
        sheet.setNumber(r, 9, 13800000000.0 + r);
    }
    workbook.saveAs(path);
}

double readWorkbook(const QString &path, int expectedRows)
{
    QElapsedTimer timer;
    timer.start();
    nelvo::Workbook workbook = nelvo::Workbook::open(path);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (workbook.sheet(1).lastUsedCell().row != expectedRows)
        qFatal("read %d rows instead of %d", workbook.sheet(1).lastUsedCell().row, expectedRows);
    return seconds;
}

struct Case
{
    const char *name;
    const char *label;
    const char *goal;
};

const Case cases[] = {
    {"write-xls", "write 100,000 rows x 9 columns to .xls ", "goal < 0.5 s"},
    {"write-xlsx", "write 100,000 rows x 9 columns to .xlsx", "goal < 1 s, peak < 50 MB"},
    {"read-xls", "read 65,535 rows x 9 columns from .xls  ", "goal < 0.1 s"},
    {"read-xlsx", "read 100,000 rows x 9 columns from .xlsx", "goal < 1 s"},
};

// Prints "seconds place-seconds peak-MB" for the parent to collect.
int runCase(const QString &name, const QString &dir)
{
    double seconds = 0;
    double place = 0;
    if (name == QLatin1String("write-xls")) {
        seconds = exportQuery(dir, dir + QStringLiteral("/export.xls"), &place);
    } else if (name == QLatin1String("write-xlsx")) {
        seconds = exportQuery(dir, dir + QStringLiteral("/export.xlsx"), &place);
    } else if (name == QLatin1String("read-xls")) {
        const QString path = dir + QStringLiteral("/read.xls");
        writeReadSource(path, 65535);
        seconds = readWorkbook(path, 65535);
    } else if (name == QLatin1String("read-xlsx")) {
        const QString path = dir + QStringLiteral("/read.xlsx");
        writeReadSource(path, exportRows);
        seconds = readWorkbook(path, exportRows);
    } else {
        std::fprintf(stderr, "unknown case %s\n", qPrintable(name));
        return 2;
    }
    std::printf("%.6f %.6f %ld\n", seconds, place, peakMegabytes());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3)
        return runCase(args[1], args[2]);

    QTemporaryDir dir;
    // The database is built once, outside the timed cases.
    {
        fillDatabase(dir.path());
        QSqlDatabase::database().close();
    }
    // Each case runs a few times in fresh processes; the best time counts, as other work on the machine
    // only ever adds to it.
    constexpr int runs = 3;
    for (const Case &c : cases) {
        double best = 1e9;
        double bestPlace = 0;
        long peak = 0;
        for (int run = 0; run < runs; ++run) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(app.applicationFilePath(), {QString::fromLatin1(c.name), dir.path()});
            child.waitForFinished(-1);
            const QList<QByteArray> figures = child.readAllStandardOutput().simplified().split(' ');
            if (child.exitCode() != 0 || figures.size() != 3)
                return 1;
            if (figures[0].toDouble() < best) {
                best = figures[0].toDouble();
                bestPlace = figures[1].toDouble();
            }
            peak = std::max(peak, figures[2].toLong());
        }
        std::printf("%s  %7.3f s  peak %4ld MB   (%s; best of %d)\n", c.label, best, peak, c.goal, runs);
        if (bestPlace > 0)
            std::printf("    of which query and placing %.3f s, saving %.3f s\n", bestPlace,
                        best - bestPlace);
        std::fflush(stdout);
    }
    return 0;
}
