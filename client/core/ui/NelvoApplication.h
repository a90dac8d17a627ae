#pragma once

#include <QApplication>

// The application object with the general error handler: an error raised while a window handles an event
// is shown in a message box and the program goes on.
class NelvoApplication : public QApplication
{
public:
    NelvoApplication(int &argc, char **argv);
    ~NelvoApplication() override;
    bool notify(QObject *receiver, QEvent *event) override;
};
