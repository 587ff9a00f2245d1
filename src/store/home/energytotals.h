#pragma once

#include "base/async/canceltoken.h"
#include "base/async/clock.h"
#include "homey/model/connectionstate.h"
#include "homey/model/energystate.h"
#include "homey/model/homemaps.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <vector>

class HomeyRESTClient;

// The house's energy totals: the hub's report, and between reports local sums of the home's power
// meters, at most one sum per throttle period; while the panel shows, the report is polled. Reads the
// home's devices and connection through references to its owner's state, which outlives it.
class EnergyTotals : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds throttle{500};
    static constexpr std::chrono::milliseconds pollInterval{45'000};

    // logs: log every change of the totals ("--debug-energy").
    EnergyTotals(std::shared_ptr<HomeyRESTClient> rest, std::shared_ptr<Clock> clock, bool logs,
                 const DeviceMap &devices, const ConnectionState &connection);
    ~EnergyTotals() override;

    const EnergyState &state() const { return m_state; }
    // The hub's report, as is.
    void set(EnergyState state);

    // Finds the inverters and grid meters among the devices, after the devices changed.
    void indexSources();
    // The local sums, when the home has meters. changedDeviceID: the one device that changed since the
    // last sum, whose power alone is read again; none reads every meter.
    void recompute(const std::optional<QString> &changedDeviceID = std::nullopt);
    // A capability of a device changed: a meter's power is summed again, throttled.
    void capabilityDidChange(const QString &deviceID, const QString &capabilityID);
    // The sums and the poll run only while the panel shows.
    void panelDidAppear();
    void panelDidDisappear();

    qsizetype generatorCount() const { return m_generatorIDs.size(); }
    qsizetype gridMeterCount() const { return m_gridMeterIDs.size(); }

Q_SIGNALS:
    void changed();

private:
    static QCoro::Task<> poll(QPointer<EnergyTotals> self, CancelToken token);
    static QCoro::Task<> refresh(QPointer<EnergyTotals> self);
    static QCoro::Task<> push(QPointer<EnergyTotals> self, std::chrono::milliseconds wait, CancelToken token);

    const std::shared_ptr<HomeyRESTClient> m_rest;
    const std::shared_ptr<Clock> m_clock;
    const bool m_logs;
    const DeviceMap &m_devices;
    const ConnectionState &m_connection;
    EnergyState m_state;
    bool m_visible = false;
    std::optional<CancelToken> m_poll;
    QSet<QString> m_generatorIDs;
    QSet<QString> m_gridMeterIDs;
    QSet<QString> m_sourceIDs;
    // Each meter's power at the last sum, in the order of its set, so a sum from them adds up the same.
    struct Reading {
        QString id;
        double watts;
    };
    std::vector<Reading> m_generatorWatts;
    std::vector<Reading> m_gridMeterWatts;
    bool m_read = false; // the readings are those of the current sources
    std::optional<CancelToken> m_pushPending;
    std::optional<Clock::TimePoint> m_lastPush;
};
