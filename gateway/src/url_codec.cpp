#include "url_codec.h"

namespace nelvogate {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool passesUnencoded(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.';
}

} // namespace

std::string urlEncode(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (passesUnencoded(byte)) {
            encoded.push_back(c);
        } else if (byte == ' ') {
            encoded.push_back('+');
        } else {
            encoded.push_back('%');
            encoded.push_back(digits[byte >> 4]);
            encoded.push_back(digits[byte & 0x0f]);
        }
    }
    return encoded;
}

std::string urlDecode(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded.push_back(' ');
        } else if (c == '%' && text.size() - i > 2) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            int value = 0;
            if (high >= 0)
                value = low >= 0 ? high * 16 + low : high;
            decoded.push_back(static_cast<char>(value));
            i += 2;
        } else {
            decoded.push_back(c);
        }
    }
    return decoded;
}

} // namespace nelvogate
