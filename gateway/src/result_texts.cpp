#include "result_texts.h"

#include "codepage.h"

namespace nelvogate {

std::string ResultTexts::noContentLength()
{
    return toCodePage(u"没有找到Content-Length字段");
}

std::string ResultTexts::contentLengthInvalid()
{
    return toCodePage(u"Content-Length字段无效");
}

std::string ResultTexts::contentLengthNotInteger()
{
    return toCodePage(u"Content-Length字段非整数");
}

} // namespace nelvogate
