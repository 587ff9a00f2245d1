#include "store/home/pendingwrites.h"

QString PendingWrites::key(const QString &deviceID, const QString &capabilityID)
{
    return deviceID + u'|' + capabilityID;
}

quint64 PendingWrites::begin(const QString &key, const CapabilityValue &value, Clock::TimePoint deadline)
{
    const quint64 sequence = ++m_sequence;
    m_latest.insert(key, sequence);
    m_records.insert_or_assign(key, Record{value, deadline, sequence});
    return sequence;
}

bool PendingWrites::isLatest(const QString &key, quint64 sequence) const
{
    return m_latest.value(key) == sequence;
}

void PendingWrites::put(const QString &key, const Record &record)
{
    m_records[key] = record;
}

void PendingWrites::erase(const QString &key)
{
    m_records.erase(key);
}

bool PendingWrites::absorbs(const QString &key, const CapabilityValue &value, Clock::TimePoint now)
{
    const auto pending = m_records.find(key);
    if (pending == m_records.end())
        return false;
    if (now < pending->second.deadline) {
        // Our own write, still in flight: its echo changes nothing; another value waits its turn.
        if (value == pending->second.value)
            m_records.erase(pending);
        return true;
    }
    m_records.erase(pending);
    return false;
}

std::optional<PendingWrites::Record> PendingWrites::record(const QString &key) const
{
    const auto found = m_records.find(key);
    return found != m_records.end() ? std::optional(found->second) : std::nullopt;
}
