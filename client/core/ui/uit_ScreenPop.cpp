#include "uit_ScreenPop.h"

#include "ProgramFolder.h"
#include "Prompts.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace {

// What the splash shows when its picture file is missing or unreadable.
QPixmap builtInPicture(const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(QColor(0x1e, 0x5a, 0x9c));
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("WenQuanYi Zen Hei"), 28, QFont::Bold));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Nelvodesk 短信通"));
    return pixmap;
}

} // namespace

TfrmScreenPop::TfrmScreenPop(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmScreenPop"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(567, 340);

    imgPicture = new QLabel(this);
    imgPicture->setObjectName(QStringLiteral("imgPicture"));
    imgPicture->setGeometry(rect());
    imgPicture->setScaledContents(true);
    const QString path = nelvo::resolvePath(ProgramFolder() + QStringLiteral("screenpop.jpg"));
    QPixmap picture(path);
    if (picture.isNull()) {
        nelvo::prompts().message(QApplication::applicationDisplayName(),
                                 QStringLiteral("无法读取图片文件 %1").arg(path),
                                 nelvo::Prompts::Icon::Error);
        picture = builtInPicture(size());
    }
    imgPicture->setPixmap(picture);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, &QDialog::accept);
}

void TfrmScreenPop::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Timer1->start();
}

void TfrmScreenPop::mousePressEvent(QMouseEvent *)
{
    accept();
}
