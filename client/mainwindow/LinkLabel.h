#pragma once

#include <QLabel>

// A web address in blue, underlined, opened by the desktop on a click; the text grows while the mouse
// is over it.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString &address, QWidget *parent = nullptr);
    const QString &address() const { return m_address; }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void setPointSize(int size);
    QString m_address;
};
