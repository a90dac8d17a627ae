#pragma once

#include <QString>

// The folder of the running executable, ending in "/". Every file of the program is this folder plus a
// relative path written with "/" or "\".
QString ProgramFolder();

namespace nelvo {

// Points ProgramFolder() somewhere else for the rest of the run (an installation copy under test, a tool
// working on a program folder); an empty text returns to the executable's folder.
void setProgramFolder(const QString &folder);

// Turns a path of the system into one this file system opens: "\" becomes "/", and each component is
// matched without regard to case against what exists, so "..\Update\" and "../update/" name one folder.
// Components that do not exist yet are kept as written.
QString resolvePath(const QString &path);

} // namespace nelvo
