#include "SkinEngine.h"

#include <QApplication>
#include <QFile>

namespace SkinEngine {

bool LoadAndActivate(const QString &file)
{
    QFile skin(file);
    if (!skin.open(QIODevice::ReadOnly)) {
        SwitchOff();
        return false;
    }
    qApp->setStyleSheet(QString::fromUtf8(skin.readAll()));
    return true;
}

void SwitchOff()
{
    qApp->setStyleSheet(QString());
}

bool Active()
{
    return !qApp->styleSheet().isEmpty();
}

} // namespace SkinEngine
