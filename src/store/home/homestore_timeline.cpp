// The hub's timeline and the P2000 pager, handed to the notification feed.
#include "base/log.h"
#include "homey/rest/homeyrestclient.h"
#include "store/home/homestore.h"

using namespace Qt::StringLiterals;

void HomeStore::flushP2000()
{
    if (const std::optional<P2000::Incident> incident = m_p2000.incident())
        m_notifications->ingest(*incident);
}

void HomeStore::seedP2000()
{
    if (const std::optional<P2000::Incident> incident = m_p2000.incident())
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
