// Wall time of nelvosend sending one message to 10,000 numbers through the loopback service, against
// the floor set by the gateway library's 200 ms pause before each of the 100 requests.
#include "FakeServiceProcess.h"
#include "TempProgramFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int kNumbers = 10000;
    constexpr int kBatch = 100;
    constexpr double kFloor = (kNumbers / kBatch) * 0.2;

    TempProgramFolder folder;
    if (!QFile::copy(QStringLiteral(NELVOSEND_PATH), folder.bin() + QStringLiteral("nelvosend")) ||
        !QFile::copy(QStringLiteral(NELVO_GATEWAY_LIBRARY), folder.bin() + QStringLiteral("libnelvogate.so")))
        return 1;
    QFile numbers(folder.root() + QStringLiteral("/numbers.txt"));
    if (!numbers.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < kNumbers; ++i)
        numbers.write(QByteArray::number(13800000000LL + i * 7) + "\r\n");
    numbers.close();

    FakeServiceProcess service({QStringLiteral("--balance"), QStringLiteral("100000")});
    if (!service.start())
        return 1;

    QProcess send;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NELVOGATE_HOST"), service.host());
    env.insert(QStringLiteral("NELVOGATE_PORT"), QString::number(service.port()));
    send.setProcessEnvironment(env);
    send.setWorkingDirectory(folder.root());
    send.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    send.start(folder.bin() + QStringLiteral("nelvosend"),
               {QStringLiteral("--text"), QStringLiteral("周末促销，全场八折"), QStringLiteral("--numbers"),
                folder.root() + QStringLiteral("/numbers.txt")});
    send.waitForFinished(-1);
    const double wall = double(timer.nsecsElapsed()) / 1e9;

    std::printf("nelvosend, %d numbers, %d a request: exit %d, %lld messages journaled\n", kNumbers, kBatch,
                send.exitCode(), static_cast<long long>(service.journal().size()));
    std::printf("wall time   %7.3f s\n", wall);
    std::printf("floor       %7.3f s  (%d requests x 200 ms)\n", kFloor, kNumbers / kBatch);
    std::printf("wall/floor  %7.4f    (goal <= 1.01)\n", wall / kFloor);
    return send.exitCode();
}
