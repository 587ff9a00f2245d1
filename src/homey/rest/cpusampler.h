#pragma once

#include "homey/wire/rawsystem.h"

#include <optional>
#include <QList>

// Turns the hub's cumulative per-CPU counters into the busy share since the previous sample. Used on
// the main thread only, where the client's coroutines run, so it needs no lock.
class CPUSampler {
public:
    // Absent on the first call, when the number of CPUs changed, or when no time passed.
    std::optional<double> percent(const QList<RawSystem::CPU> &current);

private:
    std::optional<QList<RawSystem::CPU>> m_previous;
};
