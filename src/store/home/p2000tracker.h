#pragma once

#include "base/async/canceltoken.h"
#include "base/async/clock.h"
#include "homey/model/homemaps.h"
#include "store/notifications/p2000.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>

// Finds the P2000 pager among the home's devices and tells when its changes have settled, so that what
// it shows goes to the feed once per burst. Reads the devices through a reference to its owner's map,
// which outlives it.
class P2000Tracker : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds quiet{500};

    P2000Tracker(std::shared_ptr<Clock> clock, const DeviceMap &devices);
    ~P2000Tracker() override;

    // Looks for the device again, after the devices changed.
    void index();
    // A capability of a device changed: the pager's changes settle after the quiet time.
    void deviceDidTick(const QString &deviceID);
    // Drops a wait for the changes to settle.
    void stop();
    // What the device shows now; none without the device or a readable incident.
    std::optional<P2000::Incident> incident() const;

Q_SIGNALS:
    // The pager's changes have paused for the quiet time.
    void settled();

private:
    static QCoro::Task<> debounce(QPointer<P2000Tracker> self, CancelToken token);

    const std::shared_ptr<Clock> m_clock;
    const DeviceMap &m_devices;
    std::optional<QString> m_deviceID;
    std::optional<CancelToken> m_wait;
};
