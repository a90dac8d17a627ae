#include "codepage.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace nelvogate {
namespace {

constexpr char kCodePage[] = "GB18030";
constexpr char kUtf16[] = "UTF-16LE";
constexpr char16_t kReplacement = 0xFFFD;

class Converter
{
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; on an unconvertible input unit of `unitSize` bytes it calls
    // `skip` to emit a stand-in and steps over that unit.
    template <typename Skip>
    std::string run(const char *in, std::size_t inLeft, std::size_t unitSize, Skip skip)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // a fresh start whatever the last call left
        std::string out;
        out.resize(inLeft * 2 + 16);
        std::size_t produced = 0;
        char *src = const_cast<char *>(in);
        while (true) {
            char *dst = out.data() + produced;
            std::size_t outLeft = out.size() - produced;
            const std::size_t rc = inLeft ? iconv(cd_, &src, &inLeft, &dst, &outLeft)
                                          : iconv(cd_, nullptr, nullptr, &dst, &outLeft);
            produced = out.size() - outLeft;
            if (rc != static_cast<std::size_t>(-1)) {
                if (inLeft == 0)
                    break;
                continue;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (a truncated sequence at the end): replace one unit and go on.
            out.resize(produced);
            skip(out);
            produced = out.size();
            out.resize(produced + inLeft * 2 + 16);
            const std::size_t step = std::min(unitSize, inLeft);
            src += step;
            inLeft -= step;
        }
        out.resize(produced);
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

std::string toCodePage(std::u16string_view text)
{
    if (text.empty())
        return {};
    bool ascii = true;
    for (char16_t c : text)
        ascii = ascii && c < 0x80;
    if (ascii)
        return std::string(text.begin(), text.end());

    // Opening a converter costs more than most conversions: each thread keeps its own.
    thread_local Converter converter(kCodePage, kUtf16);
    if (!converter.valid())
        return std::string(text.size(), '?');
    return converter.run(reinterpret_cast<const char *>(text.data()), text.size() * 2, 2,
                         [](std::string &out) { out.push_back('?'); });
}

std::u16string fromCodePage(std::string_view bytes)
{
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return std::u16string(bytes.begin(), bytes.end());

    thread_local Converter converter(kUtf16, kCodePage);
    if (!converter.valid())
        return std::u16string(bytes.size(), kReplacement);
    const std::string utf16 = converter.run(bytes.data(), bytes.size(), 1, [](std::string &out) {
        out.push_back(static_cast<char>(kReplacement & 0xff));
        out.push_back(static_cast<char>(kReplacement >> 8));
    });
    std::u16string text(utf16.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                        static_cast<unsigned char>(utf16[2 * i + 1]) << 8);
    return text;
}

std::u16string utf8ToUtf16(std::string_view utf8)
{
    std::u16string text;
    text.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            text.push_back(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, minimum = 0x10000;
        }
        bool ok = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            ok = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        ok = ok && code >= minimum && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!ok) {
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return text;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | (code >> 18)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

} // namespace nelvogate
