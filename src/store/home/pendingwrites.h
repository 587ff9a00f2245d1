#pragma once

#include "base/async/clock.h"
#include "homey/model/capabilityvalue.h"

#include <map>
#include <optional>
#include <QHash>
#include <QString>

// Our own optimistic writes that wait for the hub's echo, one record per device capability. A record
// lets the realtime stream tell the echo of a write apart from a change made elsewhere; the sequence of
// each write tells a later write to the same capability apart, so a failure only undoes its own write.
class PendingWrites {
public:
    struct Record {
        CapabilityValue value;
        Clock::TimePoint deadline;
        quint64 sequence = 0;
    };

    static QString key(const QString &deviceID, const QString &capabilityID);

    // A write begun now that waits for its echo until deadline; returns its sequence.
    quint64 begin(const QString &key, const CapabilityValue &value, Clock::TimePoint deadline);
    // Whether sequence is the newest write begun under key, its record gone or not.
    bool isLatest(const QString &key, quint64 sequence) const;
    // A record as is, without a sequence of its own.
    void put(const QString &key, const Record &record);
    void erase(const QString &key);

    // The echo rule for a value the hub reports at now: true when the report is to be ignored (the
    // echo of a write still in time, or another value while it waits). The record goes with its echo
    // and once its time is up.
    bool absorbs(const QString &key, const CapabilityValue &value, Clock::TimePoint now);

    std::optional<Record> record(const QString &key) const;
    bool isEmpty() const { return m_records.empty(); }

private:
    std::map<QString, Record> m_records;
    quint64 m_sequence = 0;
    // The newest write begun per key, kept after its record is gone: an older write that fails later
    // must not undo it.
    QHash<QString, quint64> m_latest;
};
