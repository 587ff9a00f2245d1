#include "store/home/p2000tracker.h"

#include "base/log.h"

using namespace Qt::StringLiterals;

P2000Tracker::P2000Tracker(std::shared_ptr<Clock> clock, const DeviceMap &devices)
    : m_clock(std::move(clock)), m_devices(devices)
{}

P2000Tracker::~P2000Tracker()
{
    stop();
}

void P2000Tracker::index()
{
    std::optional<QString> found;
    for (const Device &device : std::as_const(m_devices)) {
        if (P2000::isP2000Device(device)) {
            found = device.id;
            break;
        }
    }
    if (found == m_deviceID)
        return;
    m_deviceID = found;
    if (!found)
        return;
    log(u"meldingen: P2000-apparaat gevonden: \""_s + m_devices.value(*found).name + u"\" ("_s + *found +
        u"). Let op: dit is een LANDELIJKE stroom, ~4-6 meldingen per minuut. "_s
        u"De filter in de instellingen bepaalt wat je ziet."_s);
}

void P2000Tracker::deviceDidTick(const QString &deviceID)
{
    if (m_deviceID != deviceID)
        return;
    if (m_wait)
        m_wait->cancel();
    m_wait = CancelToken();
    debounce(this, *m_wait);
}

void P2000Tracker::stop()
{
    if (m_wait) {
        m_wait->cancel();
        m_wait.reset();
    }
}

QCoro::Task<> P2000Tracker::debounce(QPointer<P2000Tracker> self, CancelToken token)
{
    const std::shared_ptr<Clock> clock = self->m_clock;
    const bool slept = co_await clock->sleep(quiet, token);
    if (!slept || token.isCancelled() || !self)
        co_return;
    self->m_wait.reset();
    Q_EMIT self->settled();
}

std::optional<P2000::Incident> P2000Tracker::incident() const
{
    if (!m_deviceID)
        return std::nullopt;
    const auto device = m_devices.constFind(*m_deviceID);
    return device != m_devices.constEnd() ? P2000::incident(*device) : std::nullopt;
}
