#include "NavigationBar.h"

#include <QAction>
#include <QToolButton>
#include <QVBoxLayout>

NavigationBar::NavigationBar(QWidget *parent) : QToolBox(parent) {}

int NavigationBar::addGroup(const QString &caption)
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    layout->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    layout->setSpacing(12);
    return addItem(page, caption);
}

void NavigationBar::addButton(int group, const QString &caption, QAction *command)
{
    QWidget *page = widget(group);
    auto *button = new QToolButton(page);
    button->setText(caption);
    button->setIcon(command->icon());
    button->setIconSize(QSize(40, 40));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumWidth(96);
    button->setEnabled(command->isEnabled());
    connect(button, &QToolButton::clicked, command, &QAction::trigger);
    connect(command, &QAction::enabledChanged, button, &QWidget::setEnabled);
    static_cast<QVBoxLayout *>(page->layout())->addWidget(button);
}
