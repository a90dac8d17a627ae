#include "NelvoApplication.h"

#include "BusyIndicator.h"
#include "NelvoError.h"
#include "Prompts.h"

#include <QThread>

NelvoApplication::NelvoApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // Waits on the servers show the wait cursor, restored however the wait ends. Only waits of the window
    // thread touch the cursor; a question asked in the background leaves it alone.
    nelvo::setBusyIndicator([](bool busy) {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            return;
        if (busy)
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QApplication::restoreOverrideCursor();
    });
}

NelvoApplication::~NelvoApplication()
{
    nelvo::setBusyIndicator({});
}

bool NelvoApplication::notify(QObject *receiver, QEvent *event)
{
    QString text;
    try {
        return QApplication::notify(receiver, event);
    } catch (const nelvo::Error &error) {
        text = error.text();
    } catch (const std::exception &error) {
        text = QString::fromLocal8Bit(error.what());
    }
    nelvo::prompts().message(applicationDisplayName(), text, nelvo::Prompts::Icon::Error);
    return false;
}
