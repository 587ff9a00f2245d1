#pragma once

#include "store/home/homestore.h"

// What only the realtime stream and the writes reach inside the store, for tests and benchmarks that
// drive those paths directly.
class HomeStoreProbe {
public:
    static void apply(HomeStore &store, const HomeyEvent &event) { store.apply(event); }

    // A write of our own that waits for its echo until deadline.
    static void addPending(HomeStore &store, const QString &deviceID, const QString &capabilityID,
                           const CapabilityValue &value, Clock::TimePoint deadline)
    {
        HomeStore::PendingWrite pending;
        pending.value = value;
        pending.deadline = deadline;
        store.m_pending[HomeStore::writeKey(deviceID, capabilityID)] = pending;
    }
    // The verb the last search read off the query, which running a row acts on.
    static std::optional<SearchVerb> verb(const HomeStore &store) { return store.m_verb; }

    static bool isPending(const HomeStore &store, const QString &deviceID, const QString &capabilityID)
    {
        return store.m_pending.count(HomeStore::writeKey(deviceID, capabilityID)) > 0;
    }
};
