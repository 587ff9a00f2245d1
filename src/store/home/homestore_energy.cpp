// The house's energy totals: the hub's report, local sums of its meters, a throttle and a poll.
#include "base/log.h"
#include "homey/rest/homeyrestclient.h"
#include "store/home/homestore.h"

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

void HomeStore::indexEnergySources()
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
    m_energySourceIDs = generators | gridMeters;
}

void HomeStore::recomputeEnergy()
{
    if (m_energySourceIDs.isEmpty())
        return;
    auto sum = [this](const QSet<QString> &ids) {
        double total = 0;
        for (const QString &id : ids) {
            const auto device = m_devices.constFind(id);
            if (device != m_devices.constEnd())
                total += device->measuredPowerW().value_or(0);
        }
        return total;
    };
    const EnergyState totals = EnergyState::house(sum(m_generatorIDs), sum(m_gridMeterIDs),
                                                  !m_gridMeterIDs.isEmpty(), m_energy.consumptionW);
    if (totals == m_energy)
        return;
    setEnergy(totals);
    if (m_options.logsEnergy) {
        log(u"energie: "_s + wholeWatts(totals.consumptionW) + u" W verbruik = "_s +
            wholeWatts(totals.generationW) + u" W opwek + "_s + wholeWatts(totals.netW) + u" W netto"_s);
    }
}

void HomeStore::energySourceDidTick()
{
    if (!m_panelVisible || m_energyPushPending)
        return;
    const Clock::TimePoint now = m_options.clock->now();
    const auto elapsed = m_lastEnergyPush ? now - *m_lastEnergyPush : Clock::TimePoint::duration::max();
    if (elapsed >= energyThrottle) {
        m_lastEnergyPush = now;
        recomputeEnergy();
        return;
    }
    m_energyPushPending = CancelToken();
    energyPush(this, std::chrono::duration_cast<std::chrono::milliseconds>(energyThrottle - elapsed),
               *m_energyPushPending);
}

QCoro::Task<> HomeStore::energyPush(QPointer<HomeStore> self, std::chrono::milliseconds wait,
                                    CancelToken token)
{
    const std::shared_ptr<Clock> clock = self->m_options.clock;
    const bool slept = co_await clock->sleep(wait, token);
    if (!slept || !self || token.isCancelled())
        co_return;
    self->m_energyPushPending.reset();
    self->m_lastEnergyPush = clock->now();
    self->recomputeEnergy();
}

QCoro::Task<> HomeStore::refreshEnergy(QPointer<HomeStore> self)
{
    if (self->m_connection != ConnectionState::live())
        co_return;
    const std::shared_ptr<HomeyRESTClient> rest = self->m_restClient;
    EnergyState report;
    try {
        report = co_await rest->energy();
    } catch (...) {
        co_return;
    }
    if (self)
        self->setEnergy(report);
}
