#include "ui/controls/levelcoalescer.h"

#include "ui/controls/capabilitywriter.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString keyOf(const QString &deviceID, const QString &capabilityID)
{
    return deviceID + u'|' + capabilityID;
}

} // namespace

LevelCoalescer::LevelCoalescer(std::shared_ptr<CapabilityWriter> writer, std::shared_ptr<Clock> clock,
                               std::chrono::milliseconds period, QObject *parent)
    : QObject(parent), m_writer(std::move(writer)), m_clock(std::move(clock)), m_period(period)
{}

LevelCoalescer::~LevelCoalescer()
{
    for (Entry &entry : m_entries) {
        if (entry.quiet)
            entry.quiet->cancel();
    }
}

void LevelCoalescer::scrub(const QString &deviceID, const QString &capabilityID, double value)
{
    offer(deviceID, capabilityID, value);
}

void LevelCoalescer::release(const QString &deviceID, const QString &capabilityID, double value)
{
    // The trailing write of each period already carries the latest value, so the end of a drag needs
    // nothing more than its own position.
    offer(deviceID, capabilityID, value);
}

std::optional<double> LevelCoalescer::pending(const QString &deviceID, const QString &capabilityID) const
{
    const auto found = m_entries.constFind(keyOf(deviceID, capabilityID));
    if (found == m_entries.constEnd())
        return std::nullopt;
    return found->latest;
}

void LevelCoalescer::offer(const QString &deviceID, const QString &capabilityID, double value)
{
    if (!std::isfinite(value))
        return;
    const QString key = keyOf(deviceID, capabilityID);
    auto found = m_entries.find(key);
    if (found == m_entries.end())
        found = m_entries.insert(key, Entry{deviceID, capabilityID, value, std::nullopt, std::nullopt});
    const bool moved = found->latest != value || !found->sent;
    found->latest = value;
    if (!found->quiet)
        sendLatest(*found);
    if (moved)
        Q_EMIT pendingChanged(deviceID, capabilityID);
}

void LevelCoalescer::sendLatest(Entry &entry)
{
    entry.sent = entry.latest;
    entry.quiet = CancelToken();
    wait(this, keyOf(entry.deviceID, entry.capabilityID), m_clock, m_period, *entry.quiet);
    CapabilityWriter::send(m_writer, entry.deviceID, entry.capabilityID,
                           CapabilityValue::fromNumber(entry.latest));
}

void LevelCoalescer::periodEnded(const QString &key)
{
    const auto found = m_entries.find(key);
    if (found == m_entries.end())
        return;
    found->quiet.reset();
    if (found->sent != found->latest) {
        sendLatest(*found);
        return;
    }
    // Everything the drag asked for has gone out; from now on the store's value is the bar's.
    const QString deviceID = found->deviceID;
    const QString capabilityID = found->capabilityID;
    m_entries.erase(found);
    Q_EMIT pendingChanged(deviceID, capabilityID);
}

QCoro::Task<> LevelCoalescer::wait(QPointer<LevelCoalescer> self, QString key, std::shared_ptr<Clock> clock,
                                   std::chrono::milliseconds period, CancelToken token)
{
    const bool elapsed = co_await clock->sleep(period, token);
    if (elapsed && !token.isCancelled() && self)
        self->periodEnded(key);
}
