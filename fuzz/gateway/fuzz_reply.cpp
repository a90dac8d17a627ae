// Feeds arbitrary bytes to the reply reader as if a gateway sent them, in chunks of varying size,
// then takes the result element out and URL-decodes it as recvSMS does.
#include "codepage.h"
#include "reply_reader.h"
#include "result_element.h"
#include "url_codec.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

class ScriptedSource : public nelvogate::ReplySource
{
public:
    ScriptedSource(const std::uint8_t *data, std::size_t size, std::size_t chunk)
        : data_(data), size_(size), chunk_(chunk)
    {
    }

    long readSome(char *buffer, std::size_t capacity) override
    {
        const std::size_t n = std::min({capacity, chunk_, size_ - offset_});
        if (n == 0)
            return 0;
        std::memcpy(buffer, data_ + offset_, n);
        offset_ += n;
        return static_cast<long>(n);
    }

    long readExact(char *buffer, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count) {
            const long n = readSome(buffer + done, count - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done == 0 ? -1 : static_cast<long>(done);
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t chunk_;
    std::size_t offset_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t chunk = data[0] == 0 ? 40000 : data[0];
    ScriptedSource source(data + 1, size - 1, chunk);
    std::string buffer;
    const nelvogate::ExchangeResult reply = nelvogate::readReply(source, buffer);
    if (reply.ok) {
        if (reply.text.size() > nelvogate::kReplyCapacity || reply.text.find("\r\n\r\n") == std::string::npos)
            std::abort();
        const std::string result = nelvogate::resultOf(reply.text);
        const std::string decoded = nelvogate::urlDecode(result);
        if (decoded.size() > result.size())
            std::abort();
        (void)nelvogate::fromCodePage(decoded);
    }
    const std::string_view raw(reinterpret_cast<const char *>(data), size);
    (void)nelvogate::resultOf(raw);
    (void)nelvogate::urlDecode(raw);
    (void)nelvogate::findContentLength(raw);
    return 0;
}
