#pragma once

#include <string>
#include <string_view>

namespace nelvogate {

// The text between the first "<result>" of the reply and the first "</result>" after it; the whole
// reply is searched, header included. Without both markers the result is "-999".
std::string resultOf(std::string_view reply);

} // namespace nelvogate
