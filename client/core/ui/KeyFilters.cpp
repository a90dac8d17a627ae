#include "KeyFilters.h"

#include <QKeyEvent>

bool KeyAddsText(const QKeyEvent *key)
{
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
        return false;
    if (key->matches(QKeySequence::Paste))
        return true;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab)
        return true;
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint();
}
