#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nelvogate {

// A reply, header and body, must fit this many bytes (one more is kept for a terminating NUL).
constexpr std::size_t kReplyCapacity = 39999;

struct ExchangeResult
{
    bool ok = false;
    std::string text; // the whole reply when ok, else the text that stands in for it
};

class ReplySource
{
public:
    virtual ~ReplySource() = default;
    // One read of at most `capacity` bytes; 0 or less when nothing came (closed, time-out, failure).
    virtual long readSome(char *buffer, std::size_t capacity) = 0;
    // Reads until `count` bytes came or the peer stops; the number read, or -1 when none came.
    virtual long readExact(char *buffer, std::size_t count) = 0;
    // Told after every read of the header phase, with everything received so far.
    virtual void headerRead(std::string_view soFar) { (void)soFar; }
};

struct ContentLength
{
    enum Status
    {
        Missing,
        Empty,
        NotInteger,
        Ok
    } status = Missing;
    std::size_t value = 0;
};

// Looks for the field among the header lines only (`header` ends before the blank line), by name
// without regard to case, with optional blanks around the value.
ContentLength findContentLength(std::string_view header);

// Reads one reply: the header up to its blank line, then exactly Content-Length body bytes. A body
// longer than announced is cut; one that would not fit the buffer is an error, never a cut success.
// `buffer` is the caller's scratch space, reused between exchanges.
ExchangeResult readReply(ReplySource &source, std::string &buffer);

} // namespace nelvogate
