#include "result_element.h"

#include "result_texts.h"

namespace nelvogate {

std::string resultOf(std::string_view reply)
{
    constexpr std::string_view open = "<result>";
    constexpr std::string_view close = "</result>";
    const std::size_t start = reply.find(open);
    if (start == std::string_view::npos)
        return ResultTexts::noResult();
    const std::size_t valueStart = start + open.size();
    const std::size_t end = reply.find(close, valueStart);
    if (end == std::string_view::npos)
        return ResultTexts::noResult();
    return std::string(reply.substr(valueStart, end - valueStart));
}

} // namespace nelvogate
