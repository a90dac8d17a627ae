#pragma once

#include <QString>

// The look of all windows: a skin file is a Qt style sheet applied to the whole application, so every
// window shown later takes it on as well.
namespace SkinEngine {

// Loads and activates the skin in `file`; false (and skins off) when the file cannot be read.
bool LoadAndActivate(const QString &file);
void SwitchOff();
bool Active();

} // namespace SkinEngine
