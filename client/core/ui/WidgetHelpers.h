#pragma once

#include <QString>

class QTableView;
class QTreeWidget;

// The common look of data grids: rows 30 pixels high, titles 20, columns the user cannot resize. The
// window that owns the grid paints its cells itself (through its delegate).
void StyleGrid(QTableView *grid);

// False when any item of the tree, at any depth, has exactly this text; true otherwise (also when empty).
bool IsUniqueNodeText(const QTreeWidget *tree, const QString &text);
