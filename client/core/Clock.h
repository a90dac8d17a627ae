#pragma once

#include <QDateTime>

#include <functional>

namespace nelvo {

// The program's one source of the current time (sequences, file stamps, birthdays, the status clock).
QDateTime now();
// Replaces the source for the rest of the run; an empty function returns to the system clock.
void setClock(std::function<QDateTime()> source);

} // namespace nelvo
