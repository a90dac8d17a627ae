// Saves a picture of the whole X screen: screenshot OUT.png
// Used by ./run to show what a newcomer would see on a machine without a display.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshot OUT.png\n");
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screenshot: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
