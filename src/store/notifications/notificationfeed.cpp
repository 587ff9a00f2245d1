#include "store/notifications/notificationfeed.h"

#include "base/log.h"
#include "store/notifications/timelineparser.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Absent and unreadable dates count as the earliest possible time.
qint64 timeKey(const std::optional<QDateTime> &date)
{
    return date && date->isValid() ? date->toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
}

QList<RawNotification> oldestFirst(QList<RawNotification> entries)
{
    if (entries.size() < 2)
        return entries;
    std::stable_sort(entries.begin(), entries.end(), [](const RawNotification &a, const RawNotification &b) {
        return timeKey(a.date) < timeKey(b.date);
    });
    return entries;
}

QString quoted(const QString &text)
{
    return u"\""_s + text + u"\""_s;
}

} // namespace

NotificationFeed::NotificationFeed(SettingsStore defaults, Push push, QObject *parent)
    : QObject(parent), m_settings(NotificationSettings::load(defaults)), m_defaults(std::move(defaults)),
      m_push(std::move(push)), m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    // A hand-edited list may repeat an id; keep the first, so the order and the set stay one.
    for (const QString &id : NotificationSettings::shownIDs(m_defaults)) {
        if (!m_shown.contains(id)) {
            m_shown.insert(id);
            m_shownOrder->ids << id;
        }
    }
}

void NotificationFeed::setItems(const QList<HomeyNotification> &items)
{
    if (items == m_items)
        return;
    m_items = items;
    Q_EMIT itemsChanged();
}

void NotificationFeed::setUnread(int unread)
{
    if (unread == m_unread)
        return;
    m_unread = unread;
    Q_EMIT unreadChanged();
}

void NotificationFeed::setSettings(const NotificationSettings &settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    Q_EMIT settingsChanged();
}

void NotificationFeed::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTimeUtc(); });
}

QDateTime NotificationFeed::now() const
{
    return m_clock();
}

void NotificationFeed::baseline(const QList<RawNotification> &entries)
{
    for (const RawNotification &entry : oldestFirst(entries))
        remember(entry.id);
    persistShown();

    if (!NotificationSettings::regionsInitialised(m_defaults)) {
        NotificationSettings::markRegionsInitialised(m_defaults);
        if (m_settings.p2000Regions.isEmpty()) {
            if (const auto region = TimelineParser::dominantRegion(entries)) {
                NotificationSettings derived = m_settings;
                derived.p2000Regions = {*region};
                apply(derived);
                Log::shared().write(u"meldingen: P2000-regio afgeleid uit de eigen tijdlijn: "_s +
                                    quoted(*region));
            }
        }
    }

    const QDateTime current = now();
    QList<HomeyNotification> collected;
    QSet<QString> collectedIDs;
    qsizetype p2000Lines = 0;
    for (const RawNotification &entry : entries) {
        if (TimelineParser::isP2000(entry.excerpt))
            ++p2000Lines;
        if (collectedIDs.contains(entry.id))
            continue; // one row per id, the first in the answer
        const auto notification = TimelineParser::notification(entry, true, current);
        if (notification && shouldCollect(*notification)) {
            collectedIDs.insert(entry.id);
            collected << *notification;
        }
    }
    std::stable_sort(collected.begin(), collected.end(),
                     [](const HomeyNotification &a, const HomeyNotification &b) {
                         return timeKey(a.date) > timeKey(b.date);
                     });
    if (collected.size() > maximumItems)
        collected.resize(maximumItems);
    for (HomeyNotification &notification : collected)
        notification.isRead = true;
    setItems(collected);
    setUnread(0);
    m_armed = true;

    const auto fromP2000 =
        std::count_if(collected.cbegin(), collected.cend(), [](const HomeyNotification &n) {
            return n.source == HomeyNotification::Source::p2000;
        });
    Log::shared().write(u"meldingen: waarvan "_s + QString::number(fromP2000) +
                        u" P2000 uit de geschiedenis ("_s + QString::number(p2000Lines) +
                        u" in de ruwe tijdlijn)."_s);
    const QStringList regions = NotificationSettings::sorted(m_settings.p2000Regions);
    Log::shared().write(
        u"meldingen: beginstand "_s + QString::number(collected.size()) + u" uit de tijdlijn ("_s +
        QString::number(entries.size()) + u" ruw), 0 ongelezen, geen banners. Push: "_s +
        (m_settings.pushEnabled ? u"aan"_s : u"uit"_s) + u", bronnen "_s +
        NotificationSettings::sortedRaw(m_settings.enabledSources).join(u',') + u", P2000 t/m prio "_s +
        QString::number(m_settings.p2000MaxPriority) + u" in "_s +
        (regions.isEmpty() ? u"GEEN regio (dus geen P2000-push)"_s : regions.join(u", "_s)) + u"."_s);
}

void NotificationFeed::ingest(const QList<RawNotification> &timeline)
{
    // The id is the row's identity: of entries repeating one id in an answer, the first is taken.
    QList<RawNotification> unseen;
    QSet<QString> taken;
    for (const RawNotification &entry : timeline) {
        if (m_shown.contains(entry.id))
            continue;
        // A single entry (a pushed one) repeats nothing.
        if (timeline.size() > 1) {
            if (taken.contains(entry.id))
                continue;
            taken.insert(entry.id);
        }
        unseen << entry;
    }
    if (unseen.isEmpty())
        return;
    for (const RawNotification &entry : oldestFirst(unseen)) {
        remember(entry.id);
        if (const auto notification = TimelineParser::notification(entry, false, now()))
            add(*notification);
    }
    // One write for the whole answer: each write syncs the file.
    persistShown();
}

void NotificationFeed::ingest(const P2000::Incident &incident)
{
    const HomeyNotification notification = P2000::notification(incident, now());
    if (!shouldCollect(notification) || m_shown.contains(notification.id))
        return;
    remember(notification.id);
    persistShown();
    add(notification);
}

void NotificationFeed::seedP2000(const P2000::Incident &incident)
{
    if (remember(P2000::notification(incident, now()).id))
        persistShown();
}

void NotificationFeed::apply(const NotificationSettings &settings)
{
    if (settings == m_settings)
        return;
    setSettings(settings);
    m_settings.save(m_defaults);
}

bool NotificationFeed::shouldCollect(const HomeyNotification &notification) const
{
    if (!m_settings.enabledSources.contains(notification.source))
        return false;
    if (notification.source != HomeyNotification::Source::p2000)
        return true;
    if (m_settings.p2000Regions.isEmpty())
        return false;
    if (!notification.priority || *notification.priority > m_settings.p2000MaxPriority)
        return false;
    if (!notification.region || !m_settings.p2000Regions.contains(*notification.region))
        return false;
    if (m_settings.p2000Cities.isEmpty())
        return true;
    return notification.city && m_settings.p2000Cities.contains(*notification.city);
}

void NotificationFeed::markAllRead()
{
    if (m_unread == 0)
        return;
    for (HomeyNotification &item : m_items)
        item.isRead = true;
    Q_EMIT itemsChanged();
    setUnread(0);
}

void NotificationFeed::clear()
{
    if (m_items.isEmpty())
        return;
    Log::shared().write(u"meldingen: lijst gewist ("_s + QString::number(m_items.size()) + u" stuks)"_s);
    setItems({});
    setUnread(0);
}

bool NotificationFeed::remember(const QString &id)
{
    if (m_shown.contains(id))
        return false;
    m_shown.insert(id);
    const std::lock_guard lock(m_shownOrder->mutex);
    m_shownOrder->ids << id;
    return true;
}

void NotificationFeed::persistShown()
{
    {
        const std::lock_guard lock(m_shownOrder->mutex);
        QStringList &order = m_shownOrder->ids;
        if (order.size() > maximumShownIDs) {
            const qsizetype surplus = order.size() - maximumShownIDs;
            for (qsizetype i = 0; i < surplus; ++i)
                m_shown.remove(order.at(i));
            order.remove(0, surplus);
        }
        if (m_shownOrder->queued)
            return;
        m_shownOrder->queued = true;
    }
    // The settings may also drop the waiting write unread (a plain write of the key replaces it):
    // then the next id asks for a write again.
    const std::shared_ptr<void> dropped(nullptr, [order = m_shownOrder](void *) {
        const std::lock_guard lock(order->mutex);
        order->queued = false;
    });
    // Read when the settings write the file: one list for a burst of notifications.
    NotificationSettings::saveShownIDs(
        [order = m_shownOrder, dropped] {
            const std::lock_guard lock(order->mutex);
            order->queued = false;
            return order->ids;
        },
        m_defaults);
}

void NotificationFeed::add(const HomeyNotification &notification)
{
    if (!shouldCollect(notification))
        return;
    HomeyNotification item = notification;
    item.isRead = false;
    // Placed by date, not at the front: a late-arriving older entry must not sit above newer ones.
    // Among equal dates the newcomer goes first.
    const qint64 key = timeKey(item.date);
    const auto at = std::find_if(m_items.cbegin(), m_items.cend(), [key](const HomeyNotification &existing) {
        return timeKey(existing.date) <= key;
    });
    const qsizetype position = at - m_items.cbegin();
    // Older than all of a full list: it would be trimmed at once, so it is neither listed, nor unread,
    // nor shown as a banner.
    if (position >= maximumItems)
        return;
    m_items.insert(position, item);
    if (m_items.size() > maximumItems)
        m_items.resize(maximumItems);
    Q_EMIT itemsChanged();
    ++m_unread;
    Q_EMIT unreadChanged();

    if (!m_armed || !m_settings.pushEnabled)
        return;
    const qint64 ageMs = item.date.isValid() ? item.date.msecsTo(now()) : std::numeric_limits<qint64>::max();
    if (ageMs <= bannerAgeLimitSeconds * 1000) {
        if (m_push)
            m_push(item, m_settings.timeSensitiveForPrio1);
        return;
    }
    Log::shared().write(
        u"meldingen: "_s + quoted(item.title) + u" is "_s + QString::number(ageMs / 60'000) +
        u" minuten oud, "_s +
        u"wel in de lijst maar geen banner (waarschijnlijk gemist tijdens slaap of storing)"_s);
}
