#include "homey/rest/cpusampler.h"

#include <algorithm>

namespace {

// The hub's counters are whatever it sends: wrap instead of overflowing.
qint64 delta(qint64 now, qint64 before)
{
    return static_cast<qint64>(static_cast<quint64>(now) - static_cast<quint64>(before));
}

qint64 wrappingSum(qint64 a, qint64 b)
{
    return static_cast<qint64>(static_cast<quint64>(a) + static_cast<quint64>(b));
}

} // namespace

std::optional<double> CPUSampler::percent(const QList<RawSystem::CPU> &current)
{
    std::optional<double> result;
    if (m_previous && m_previous->size() == current.size() && !current.isEmpty()) {
        double busy = 0;
        double total = 0;
        for (qsizetype i = 0; i < current.size(); ++i) {
            const RawSystem::CPU::Times &now = current[i].times;
            const RawSystem::CPU::Times &before = (*m_previous)[i].times;
            // Counters that jumped back (a hub restart) give negative differences; the clamp below
            // takes care of them.
            const qint64 cpuBusy =
                wrappingSum(wrappingSum(delta(now.user, before.user), delta(now.nice, before.nice)),
                            wrappingSum(delta(now.sys, before.sys), delta(now.irq, before.irq)));
            busy += double(cpuBusy);
            total += double(delta(now.idle, before.idle)) + double(cpuBusy);
        }
        if (total > 0)
            result = std::clamp(busy / total * 100.0, 0.0, 100.0);
    }
    m_previous = current;
    return result;
}
