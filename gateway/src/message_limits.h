#pragma once

#include <string_view>

namespace nelvogate {

// Lengths count GBK characters once: a text with no byte >= 0x80 may hold 600 bytes, any other
// text 300 characters (bytes below 0x80 plus half the high bytes).
bool smsTooLong(std::string_view bytes);

// The same rule for multimedia contents, with 200,000 bytes and 100,000 characters.
bool mmsTooLong(std::string_view bytes);

} // namespace nelvogate
