#pragma once

#include "store/home/homestore.h"

// Shorthands over the store's public API for tests and benchmarks that drive the realtime stream and the
// pending writes directly.
class HomeStoreProbe {
public:
    static void apply(HomeStore &store, const HomeyEvent &event) { store.apply(event); }

    // A write of our own that waits for its echo until deadline.
    static void addPending(HomeStore &store, const QString &deviceID, const QString &capabilityID,
                           const CapabilityValue &value, Clock::TimePoint deadline)
    {
        PendingWrites::Record pending;
        pending.value = value;
        pending.deadline = deadline;
        store.pendingWrites().put(PendingWrites::key(deviceID, capabilityID), pending);
    }
    // The verb the last search read off the query, which running a row acts on.
    static std::optional<SearchVerb> verb(const HomeStore &store) { return store.verb(); }

    static bool isPending(const HomeStore &store, const QString &deviceID, const QString &capabilityID)
    {
        return store.pendingWrites().record(PendingWrites::key(deviceID, capabilityID)).has_value();
    }
};
