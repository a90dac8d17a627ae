#include "WidgetHelpers.h"

#include <QHeaderView>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

void StyleGrid(QTableView *grid)
{
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(30);
    grid->horizontalHeader()->setFixedHeight(20);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

bool IsUniqueNodeText(const QTreeWidget *tree, const QString &text)
{
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it) {
        if ((*it)->text(0) == text)
            return false;
    }
    return true;
}
