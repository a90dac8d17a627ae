#include "reply_reader.h"

#include "result_texts.h"

#include <limits>

namespace nelvogate {
namespace {

constexpr std::string_view kHeaderEnd = "\r\n\r\n";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

ExchangeResult failure(std::string text)
{
    return {false, std::move(text)};
}

} // namespace

ContentLength findContentLength(std::string_view header)
{
    constexpr std::string_view name = "content-length:";
    // The first line is the status line; fields start after it.
    std::size_t lineStart = header.find("\r\n");
    while (lineStart != std::string_view::npos) {
        lineStart += 2;
        std::size_t lineEnd = header.find("\r\n", lineStart);
        const std::string_view line = header.substr(
            lineStart, lineEnd == std::string_view::npos ? std::string_view::npos : lineEnd - lineStart);
        if (startsWithNoCase(line, name)) {
            std::size_t pos = name.size();
            while (pos < line.size() && isBlank(line[pos]))
                ++pos;
            std::size_t end = line.size();
            while (end > pos && isBlank(line[end - 1]))
                --end;
            if (pos == end)
                return {ContentLength::Empty, 0};
            std::size_t value = 0;
            for (std::size_t i = pos; i < end; ++i) {
                const char c = line[i];
                if (c < '0' || c > '9')
                    return {ContentLength::NotInteger, 0};
                if (value > (std::numeric_limits<std::size_t>::max() - 9) / 10)
                    value = std::numeric_limits<std::size_t>::max(); // saturates: too large for any buffer
                else
                    value = value * 10 + static_cast<std::size_t>(c - '0');
            }
            return {ContentLength::Ok, value};
        }
        lineStart = lineEnd;
    }
    return {ContentLength::Missing, 0};
}

ExchangeResult readReply(ReplySource &source, std::string &buffer)
{
    buffer.resize(kReplyCapacity + 1);
    char *data = buffer.data();
    std::size_t held = 0;
    std::size_t headerEnd = std::string_view::npos;

    while (headerEnd == std::string_view::npos) {
        if (held == kReplyCapacity)
            return failure(ResultTexts::networkError());
        const long got = source.readSome(data + held, kReplyCapacity - held);
        const std::size_t searchFrom = held >= 3 ? held - 3 : 0;
        if (got > 0)
            held += static_cast<std::size_t>(got);
        source.headerRead(std::string_view(data, held));
        if (got <= 0)
            return failure(ResultTexts::networkError());
        headerEnd = std::string_view(data, held).find(kHeaderEnd, searchFrom);
    }

    const std::size_t bodyStart = headerEnd + kHeaderEnd.size();
    const ContentLength field = findContentLength(std::string_view(data, headerEnd));
    switch (field.status) {
    case ContentLength::Missing:
        return failure(ResultTexts::noContentLength());
    case ContentLength::Empty:
        return failure(ResultTexts::contentLengthInvalid());
    case ContentLength::NotInteger:
        return failure(ResultTexts::contentLengthNotInteger());
    case ContentLength::Ok:
        break;
    }
    if (field.value > kReplyCapacity - bodyStart)
        return failure(ResultTexts::contentLengthInvalid());

    const std::size_t bodyHeld = held - bodyStart;
    if (field.value > bodyHeld) {
        const std::size_t missing = field.value - bodyHeld;
        const long got = source.readExact(data + held, missing);
        if (got < 0 || static_cast<std::size_t>(got) != missing)
            return failure(ResultTexts::contentLengthNotInteger());
    }
    return {true, std::string(data, bodyStart + field.value)};
}

} // namespace nelvogate
