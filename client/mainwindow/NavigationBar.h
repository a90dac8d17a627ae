#pragma once

#include <QToolBox>

class QAction;

// The bar of grouped large buttons at the left of the main window.
class NavigationBar : public QToolBox
{
    Q_OBJECT
public:
    explicit NavigationBar(QWidget *parent = nullptr);

    // Adds a group and returns its index.
    int addGroup(const QString &caption);
    // Adds a large button with its own caption that runs `command` and follows its enabled state.
    void addButton(int group, const QString &caption, QAction *command);
};
