#include "LinkLabel.h"

#include "Prompts.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString &address, QWidget *parent) : QLabel(address, parent), m_address(address)
{
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral("color: blue;"));
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setPointSize(12);
}

void LinkLabel::setPointSize(int size)
{
    QFont f = font();
    f.setPointSize(size);
    setFont(f);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        nelvo::prompts().shellOpen(m_address);
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    setPointSize(14);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    setPointSize(12);
    QLabel::leaveEvent(event);
}
