#include "BusyIndicator.h"

namespace nelvo {
namespace {
std::function<void(bool)> &indicator()
{
    static std::function<void(bool)> fn;
    return fn;
}
} // namespace

BusyScope::BusyScope()
{
    if (indicator())
        indicator()(true);
}

BusyScope::~BusyScope()
{
    if (indicator())
        indicator()(false);
}

void setBusyIndicator(std::function<void(bool)> fn)
{
    indicator() = std::move(fn);
}

} // namespace nelvo
