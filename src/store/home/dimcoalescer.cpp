#include "store/home/dimcoalescer.h"

using namespace Qt::StringLiterals;

namespace {

QCoro::Task<> waitForQuiet(std::shared_ptr<Clock> clock, std::chrono::milliseconds quietTime,
                           CancelToken token, std::function<void()> quiet)
{
    const bool slept = co_await clock->sleep(quietTime, token);
    if (!slept || token.isCancelled())
        co_return;
    quiet();
}

} // namespace

DimCoalescer::DimCoalescer(std::shared_ptr<Clock> clock) : m_clock(std::move(clock)) {}

DimCoalescer::~DimCoalescer()
{
    for (CancelToken &wait : m_waits)
        wait.cancel();
}

QString DimCoalescer::roomKey(const QString &zoneID)
{
    return u"zone:"_s + zoneID;
}

std::optional<double> DimCoalescer::target(const QString &key) const
{
    const auto waiting = m_targets.constFind(key);
    return waiting != m_targets.constEnd() ? std::optional(*waiting) : std::nullopt;
}

void DimCoalescer::step(const QString &key, double target, std::chrono::milliseconds quietTime,
                        std::function<void()> quiet)
{
    m_targets.insert(key, target);
    stopWaiting(key);
    const CancelToken token;
    m_waits.insert(key, token);
    waitForQuiet(m_clock, quietTime, token, std::move(quiet));
}

std::optional<double> DimCoalescer::take(const QString &key)
{
    if (!m_targets.contains(key))
        return std::nullopt;
    m_waits.remove(key);
    return m_targets.take(key);
}

void DimCoalescer::stopWaiting(const QString &key)
{
    if (const auto wait = m_waits.find(key); wait != m_waits.end())
        wait->cancel();
}

QStringList DimCoalescer::waitingRooms() const
{
    const QString prefix = roomKey(QString());
    QStringList zoneIDs;
    for (auto it = m_targets.cbegin(); it != m_targets.cend(); ++it) {
        if (it.key().startsWith(prefix))
            zoneIDs.append(it.key().mid(prefix.size()));
    }
    return zoneIDs;
}

void DimCoalescer::dropAll()
{
    for (CancelToken &wait : m_waits)
        wait.cancel();
    m_waits.clear();
    m_targets.clear();
}

void DimCoalescer::holdLamp(const QString &deviceID, const Device &before)
{
    m_lampsBefore.insert(deviceID, before);
}

std::optional<Device> DimCoalescer::takeLamp(const QString &deviceID)
{
    if (!m_lampsBefore.contains(deviceID))
        return std::nullopt;
    return m_lampsBefore.take(deviceID);
}

void DimCoalescer::holdRoom(const QString &zoneID, const DeviceMap &before)
{
    m_roomsBefore.insert(roomKey(zoneID), before);
}

std::optional<DeviceMap> DimCoalescer::takeRoom(const QString &zoneID)
{
    const QString key = roomKey(zoneID);
    if (!m_roomsBefore.contains(key))
        return std::nullopt;
    return m_roomsBefore.take(key);
}
