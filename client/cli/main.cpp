// nelvosend: sends one message to a list of numbers from a script or a scheduled job, the way the
// compose window's send button does.
#include "NelvoSend.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nelvosend"));
    return RunNelvoSend(QCoreApplication::arguments());
}
