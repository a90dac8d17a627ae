#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace nelvogate {

std::array<std::uint8_t, 16> md5(std::string_view bytes);

// The gateway expects the password digest as 32 lower-case hexadecimal digits.
std::string md5Hex(std::string_view bytes);

} // namespace nelvogate
