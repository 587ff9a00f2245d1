#pragma once

#include "base/async/canceltoken.h"
#include "base/async/clock.h"
#include "homey/model/device.h"
#include "homey/model/homemaps.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <QHash>
#include <QString>
#include <QStringList>

// Quick dim steps on a lamp or a room gathered into one level: each step sets the level that waits and
// starts the quiet time over; once the steps pause, the level is handed on once. It also keeps the lamps
// and rooms as they were when their wait began: the preview has changed them since, and the writes are
// decided from what the hub has. A lamp waits under its device id, a room under roomKey().
class DimCoalescer {
public:
    explicit DimCoalescer(std::shared_ptr<Clock> clock);
    // Ends every quiet time; nothing is handed on.
    ~DimCoalescer();
    DimCoalescer(const DimCoalescer &) = delete;
    DimCoalescer &operator=(const DimCoalescer &) = delete;

    static QString roomKey(const QString &zoneID);

    std::optional<double> target(const QString &key) const;
    bool isWaiting(const QString &key) const { return m_targets.contains(key); }
    // Sets the level waiting under key and starts its quiet time over; quiet runs once that time passes
    // without another step.
    void step(const QString &key, double target, std::chrono::milliseconds quietTime,
              std::function<void()> quiet);
    // The level waiting under key, which then waits no more.
    std::optional<double> take(const QString &key);
    // Ends the quiet time of key; its level still waits.
    void stopWaiting(const QString &key);
    // The zone ids of the rooms whose level waits.
    QStringList waitingRooms() const;
    // Drops every waiting level and its quiet time; the lamps and rooms from before are kept.
    void dropAll();

    void holdLamp(const QString &deviceID, const Device &before);
    std::optional<Device> takeLamp(const QString &deviceID);
    void holdRoom(const QString &zoneID, const DeviceMap &before);
    std::optional<DeviceMap> takeRoom(const QString &zoneID);

private:
    const std::shared_ptr<Clock> m_clock;
    QHash<QString, double> m_targets;
    QHash<QString, CancelToken> m_waits;
    QHash<QString, Device> m_lampsBefore;
    QHash<QString, DeviceMap> m_roomsBefore;
};
