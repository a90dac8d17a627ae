#include "fault_plan.h"

namespace {

const QList<QPair<QByteArray, Fault::Mode>> &modeNames()
{
    static const QList<QPair<QByteArray, Fault::Mode>> names = {
        {"none", Fault::None},
        {"delay", Fault::Delay},
        {"close", Fault::Close},
        {"close-mid-body", Fault::CloseMidBody},
        {"no-length", Fault::NoLength},
        {"wrong-length", Fault::WrongLength},
        {"chunked", Fault::Chunked},
        {"status500", Fault::Status500},
        {"no-result", Fault::NoResult},
        {"split", Fault::Split},
        {"huge-header", Fault::HugeHeader},
        {"length-no-blank", Fault::LengthNoBlank},
    };
    return names;
}

} // namespace

bool Fault::parse(const QByteArray &name, Mode &mode)
{
    for (const auto &entry : modeNames())
        if (entry.first == name) {
            mode = entry.second;
            return true;
        }
    return false;
}

QStringList Fault::names()
{
    QStringList list;
    for (const auto &entry : modeNames())
        list << QString::fromLatin1(entry.first);
    return list;
}

void FaultPlan::queue(Fault fault, int times)
{
    for (int i = 0; i < times; ++i)
        queued_.append(fault);
}

void FaultPlan::failNth(Fault fault, int nth)
{
    if (nth >= 1)
        nth_.append({fault, nth});
}

void FaultPlan::clear()
{
    default_ = Fault{};
    queued_.clear();
    nth_.clear();
}

Fault FaultPlan::next()
{
    Fault chosen = default_;
    bool fromNth = false;
    for (qsizetype i = 0; i < nth_.size();) {
        if (--nth_[i].remaining == 0) {
            if (!fromNth)
                chosen = nth_[i].fault;
            fromNth = true;
            nth_.removeAt(i);
        } else {
            ++i;
        }
    }
    if (!queued_.isEmpty()) {
        const Fault queued = queued_.takeFirst();
        if (!fromNth)
            chosen = queued;
    }
    return chosen;
}
