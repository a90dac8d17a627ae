#include "message_limits.h"

#include <cstddef>

namespace nelvogate {
namespace {

bool tooLong(std::string_view bytes, std::size_t plainLimit, std::size_t characterLimit)
{
    std::size_t high = 0;
    for (char c : bytes)
        high += static_cast<unsigned char>(c) >= 0x80;
    if (high == 0)
        return bytes.size() > plainLimit;
    return bytes.size() - high + high / 2 > characterLimit;
}

} // namespace

bool smsTooLong(std::string_view bytes)
{
    return tooLong(bytes, 600, 300);
}

bool mmsTooLong(std::string_view bytes)
{
    return tooLong(bytes, 200000, 100000);
}

} // namespace nelvogate
