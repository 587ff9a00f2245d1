// The P2000 pager device and the hub's timeline, handed to the notification feed.
#include "base/log.h"
#include "homey/rest/homeyrestclient.h"
#include "store/home/homestore.h"
#include "store/notifications/p2000.h"

using namespace Qt::StringLiterals;

void HomeStore::indexP2000Device()
{
    std::optional<QString> found;
    for (const Device &device : std::as_const(m_devices)) {
        if (P2000::isP2000Device(device)) {
            found = device.id;
            break;
        }
    }
    if (found == m_p2000DeviceID)
        return;
    m_p2000DeviceID = found;
    if (!found)
        return;
    log(u"meldingen: P2000-apparaat gevonden: \""_s + m_devices.value(*found).name + u"\" ("_s + *found +
        u"). Let op: dit is een LANDELIJKE stroom, ~4-6 meldingen per minuut. "_s
        u"De filter in de instellingen bepaalt wat je ziet."_s);
}

void HomeStore::p2000DidTick()
{
    if (m_p2000Task)
        m_p2000Task->cancel();
    m_p2000Task = CancelToken();
    p2000Debounce(this, *m_p2000Task);
}

QCoro::Task<> HomeStore::p2000Debounce(QPointer<HomeStore> self, CancelToken token)
{
    const std::shared_ptr<Clock> clock = self->m_options.clock;
    const bool slept = co_await clock->sleep(p2000Quiet, token);
    if (!slept || token.isCancelled() || !self)
        co_return;
    self->m_p2000Task.reset();
    self->flushP2000();
}

std::optional<P2000::Incident> HomeStore::currentP2000Incident() const
{
    if (!m_p2000DeviceID)
        return std::nullopt;
    const auto device = m_devices.constFind(*m_p2000DeviceID);
    return device != m_devices.constEnd() ? P2000::incident(*device) : std::nullopt;
}

void HomeStore::flushP2000()
{
    if (const std::optional<P2000::Incident> incident = currentP2000Incident())
        m_notifications->ingest(*incident);
}

void HomeStore::seedP2000()
{
    if (const std::optional<P2000::Incident> incident = currentP2000Incident())
        m_notifications->seedP2000(*incident);
}

QCoro::Task<> HomeStore::loadTimeline(QPointer<HomeStore> self, bool baseline)
{
    const std::shared_ptr<HomeyRESTClient> rest = self->m_restClient;
    QList<RawNotification> entries;
    std::optional<QString> failure;
    try {
        entries = co_await rest->notifications();
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
        if (const auto *homey = dynamic_cast<const HomeyError *>(&error))
            failure = homey->errorDescription();
    } catch (...) {
        failure = u"onbekende fout"_s;
    }
    if (!self)
        co_return;
    if (failure && !baseline)
        co_return;
    if (failure) {
        log(u"!! meldingen: de tijdlijn kon niet opgehaald worden ("_s + *failure +
            u"). P2000 werkt wel (die loopt over de socket); aanwezigheid en weer niet."_s);
    }
    if (!baseline) {
        self->m_notifications->ingest(entries);
        co_return;
    }
    self->m_notifications->baseline(entries);
    self->seedP2000();
}
