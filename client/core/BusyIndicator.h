#pragma once

#include <functional>

namespace nelvo {

// Shows that the program is busy (the wait cursor of a desktop session) for the length of a blocking call.
// Libraries without windows mark their waits with a BusyScope; the front end decides what it looks like.
class BusyScope
{
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
};

// Installs what happens when a wait starts (true) and ends (false); an empty function shows nothing.
void setBusyIndicator(std::function<void(bool busy)> indicator);

} // namespace nelvo
