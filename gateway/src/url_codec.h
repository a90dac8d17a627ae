#pragma once

#include <string>
#include <string_view>

namespace nelvogate {

// The gateway's own form of URL encoding: only letters, digits and "." pass; a blank becomes "+";
// every other byte, GBK bytes included, becomes "%" and two upper-case hexadecimal digits.
std::string urlEncode(std::string_view bytes);

// "+" becomes a blank and "%" takes the next two characters as a hexadecimal byte (a first
// character that is no hexadecimal digit gives byte 0, a second one that is none leaves the value
// of the first). A "%" with fewer than two characters after it is copied unchanged.
std::string urlDecode(std::string_view text);

} // namespace nelvogate
