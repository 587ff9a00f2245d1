#include "store/home/energytotals.h"

#include "base/log.h"
#include "homey/rest/homeyrestclient.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString wholeWatts(double watts)
{
    if (!std::isfinite(watts))
        return u"0"_s;
    return QString::number(qint64(std::clamp(watts, -9.0e18, 9.0e18)));
}

} // namespace

EnergyTotals::EnergyTotals(std::shared_ptr<HomeyRESTClient> rest, std::shared_ptr<Clock> clock, bool logs,
                           const DeviceMap &devices, const ConnectionState &connection)
    : m_rest(std::move(rest)), m_clock(std::move(clock)), m_logs(logs), m_devices(devices),
      m_connection(connection)
{}

EnergyTotals::~EnergyTotals()
{
    // Wakes the sleeping poll and push; each then finds the totals gone and ends.
    for (std::optional<CancelToken> *task : {&m_poll, &m_pushPending})
        if (*task)
            (*task)->cancel();
}

void EnergyTotals::set(EnergyState state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT changed();
}

void EnergyTotals::indexSources()
{
    QSet<QString> generators;
    QSet<QString> gridMeters;
    for (const Device &device : std::as_const(m_devices)) {
        if (!device.energyRole)
            continue;
        (*device.energyRole == Device::EnergyRole::generator ? generators : gridMeters).insert(device.id);
    }
    m_generatorIDs = generators;
    m_gridMeterIDs = gridMeters;
    m_sourceIDs = generators | gridMeters;
    m_read = false;
}

void EnergyTotals::recompute(const std::optional<QString> &changedDeviceID)
{
    if (m_sourceIDs.isEmpty())
        return;
    // A generator reports what it makes as positive power; one that reports it negative still makes it.
    // Either way it counts as generation, never as use. A grid meter's sign says which way power flows.
    const auto power = [this](const QString &id, bool generator) {
        const auto device = m_devices.constFind(id);
        const double watts = device != m_devices.constEnd() ? device->measuredPowerW().value_or(0) : 0.0;
        return generator ? std::abs(watts) : watts;
    };
    if (!m_read || !changedDeviceID) {
        const auto read = [&](const QSet<QString> &ids, std::vector<Reading> &readings, bool generators) {
            readings.clear();
            readings.reserve(size_t(ids.size()));
            for (const QString &id : ids)
                readings.push_back({id, power(id, generators)});
        };
        read(m_generatorIDs, m_generatorWatts, true);
        read(m_gridMeterIDs, m_gridMeterWatts, false);
        m_read = true;
    } else if (m_sourceIDs.contains(*changedDeviceID)) {
        for (std::vector<Reading> *readings : {&m_generatorWatts, &m_gridMeterWatts}) {
            for (Reading &reading : *readings) {
                if (reading.id == *changedDeviceID)
                    reading.watts = power(reading.id, readings == &m_generatorWatts);
            }
        }
    }
    const auto sum = [](const std::vector<Reading> &readings) {
        double total = 0;
        for (const Reading &reading : readings)
            total += reading.watts;
        return total;
    };
    const EnergyState totals = EnergyState::house(sum(m_generatorWatts), sum(m_gridMeterWatts),
                                                  !m_gridMeterIDs.isEmpty(), m_state.consumptionW);
    if (totals == m_state)
        return;
    set(totals);
    if (m_logs) {
        log(u"energie: "_s + wholeWatts(totals.consumptionW) + u" W verbruik = "_s +
            wholeWatts(totals.generationW) + u" W opwek + "_s + wholeWatts(totals.netW) + u" W netto"_s);
    }
}

void EnergyTotals::capabilityDidChange(const QString &deviceID, const QString &capabilityID)
{
    if (capabilityID != Device::powerCapability() || !m_sourceIDs.contains(deviceID))
        return;
    if (!m_visible || m_pushPending)
        return;
    const Clock::TimePoint now = m_clock->now();
    const auto elapsed = m_lastPush ? now - *m_lastPush : Clock::TimePoint::duration::max();
    if (elapsed >= throttle) {
        m_lastPush = now;
        recompute();
        return;
    }
    m_pushPending = CancelToken();
    push(this, std::chrono::duration_cast<std::chrono::milliseconds>(throttle - elapsed), *m_pushPending);
}

void EnergyTotals::panelDidAppear()
{
    m_visible = true;
    recompute();
    if (!m_poll) {
        m_poll = CancelToken();
        poll(this, *m_poll);
    }
}

void EnergyTotals::panelDidDisappear()
{
    m_visible = false;
    if (m_poll) {
        m_poll->cancel();
        m_poll.reset();
    }
    if (m_pushPending) {
        m_pushPending->cancel();
        m_pushPending.reset();
    }
}

QCoro::Task<> EnergyTotals::poll(QPointer<EnergyTotals> self, CancelToken token)
{
    const std::shared_ptr<Clock> clock = self->m_clock;
    for (;;) {
        // Checked after the sleep too: a poll stopped by a hide or a stop sends nothing more.
        const bool slept = co_await clock->sleep(pollInterval, token);
        if (!slept || !self)
            co_return;
        co_await refresh(self);
        if (!self || token.isCancelled())
            co_return;
    }
}

QCoro::Task<> EnergyTotals::push(QPointer<EnergyTotals> self, std::chrono::milliseconds wait,
                                 CancelToken token)
{
    const std::shared_ptr<Clock> clock = self->m_clock;
    const bool slept = co_await clock->sleep(wait, token);
    if (!slept || !self || token.isCancelled())
        co_return;
    self->m_pushPending.reset();
    self->m_lastPush = clock->now();
    self->recompute();
}

QCoro::Task<> EnergyTotals::refresh(QPointer<EnergyTotals> self)
{
    if (self->m_connection != ConnectionState::live())
        co_return;
    const std::shared_ptr<HomeyRESTClient> rest = self->m_rest;
    EnergyState report;
    try {
        report = co_await rest->energy();
    } catch (...) {
        co_return;
    }
    if (self)
        self->set(report);
}
