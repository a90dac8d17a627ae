#pragma once

#include <string>
#include <string_view>

namespace nelvogate {

// The gateway speaks GBK; GB18030 is its lossless superset and gives identical bytes for every GBK
// character. Characters that cannot be converted (lone surrogates, invalid bytes) become "?" on the
// way out and U+FFFD on the way back, so a conversion never fails.
std::string toCodePage(std::u16string_view text);
std::u16string fromCodePage(std::string_view bytes);

// The C interface takes and gives UTF-8; malformed sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view text);

} // namespace nelvogate
