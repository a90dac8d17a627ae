#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace nelvogate {

// "[%2d-%2d %2d:%2d:%2d_%3d]": month, day, hour, minute, second, millisecond, blank-padded.
std::string logStamp(const std::tm &local, int millisecond);

// The file "log.log" in the folder that holds this library.
const std::string &gatewayLogPath();

// Appends one stamped entry. Every process that loads the library takes the same exclusive file
// lock around the append, so entries of several processes never interleave. Failures are ignored:
// the log must never stop a request.
void writeLog(std::string_view message);

} // namespace nelvogate
