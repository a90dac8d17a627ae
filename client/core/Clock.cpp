#include "Clock.h"

namespace nelvo {
namespace {
std::function<QDateTime()> &source()
{
    static std::function<QDateTime()> fn;
    return fn;
}
} // namespace

QDateTime now()
{
    return source() ? source()() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> fn)
{
    source() = std::move(fn);
}

} // namespace nelvo
