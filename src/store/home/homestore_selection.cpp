// Which screen the panel shows, its rows, the one keyboard selection, the control strip and the
// notification list.
#include "base/log.h"
#include "store/home/homestore.h"
#include "store/notifications/notificationfeed.h"
#include "store/search/hitbuilder.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Blanks at both ends: space separators and the tab, not line breaks.
bool isBlank(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString trimmedBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

HomeStore::Mode HomeStore::mode() const
{
    if (m_showsNotifications)
        return Mode::Notifications;
    if (m_scopeZoneID)
        return Mode::Room;
    return isSearching() ? Mode::Results : Mode::Rest;
}

bool HomeStore::isSearching() const
{
    return !trimmedBlanks(m_query).isEmpty();
}

int HomeStore::restRowCount() const
{
    return int(m_rest.scenes.size() + m_rest.rooms.size() + m_rest.modes.size());
}

std::optional<HomeStore::RestFocus> HomeStore::restFocus() const
{
    const int scenes = int(m_rest.scenes.size());
    const int rooms = int(m_rest.rooms.size());
    const int modes = int(m_rest.modes.size());
    if (m_selection < 0)
        return std::nullopt;
    if (m_selection < scenes)
        return RestFocus{RestFocus::Kind::Scene, m_selection};
    if (m_selection < scenes + rooms)
        return RestFocus{RestFocus::Kind::Room, m_selection - scenes};
    if (m_selection < scenes + rooms + modes)
        return RestFocus{RestFocus::Kind::Mode, m_selection - scenes - rooms};
    return std::nullopt;
}

int HomeStore::roomRowOffset() const
{
    return m_room && m_room->lightsTotal > 0 ? 1 : 0;
}

int HomeStore::rowCount() const
{
    switch (mode()) {
    case Mode::Rest:
        return restRowCount();
    case Mode::Results:
        return int(m_hits.size());
    case Mode::Room:
        return int(m_roomHits.size()) + roomRowOffset();
    case Mode::Notifications:
        return int(notificationRows().size());
    }
    return 0;
}

std::optional<Hit> HomeStore::selectedHit() const
{
    switch (mode()) {
    case Mode::Notifications:
        return std::nullopt;
    case Mode::Results:
        if (m_selection >= 0 && m_selection < m_hits.size())
            return m_hits.at(m_selection);
        return std::nullopt;
    case Mode::Room: {
        if (roomRowOffset() == 1 && m_selection == 0)
            return scopeHit();
        const int index = m_selection - roomRowOffset();
        if (index >= 0 && index < m_roomHits.size())
            return m_roomHits.at(index);
        return std::nullopt;
    }
    case Mode::Rest:
        break;
    }
    const std::optional<RestFocus> focus = restFocus();
    if (!focus)
        return std::nullopt;
    switch (focus->kind) {
    case RestFocus::Kind::Scene:
        return m_rest.scenes.at(focus->index);
    case RestFocus::Kind::Room:
        return roomHit(m_rest.rooms.at(focus->index));
    case RestFocus::Kind::Mode:
        return m_rest.modes.at(focus->index);
    }
    return std::nullopt;
}

std::optional<Hit> HomeStore::scopeHit() const
{
    if (!m_room)
        return std::nullopt;
    return HitBuilder::openRoom(*m_room);
}

void HomeStore::moveSelection(int step)
{
    const int rows = rowCount();
    if (rows == 0) {
        setSelection(0);
        return;
    }
    const qint64 target = qint64(m_selection) + step;
    setSelection(int(std::clamp<qint64>(target, 0, rows - 1)));
}

void HomeStore::clampSelection()
{
    const int rows = rowCount();
    setSelection(rows == 0 ? 0 : std::min(rows - 1, std::max(m_selection, 0)));
}

std::optional<HomeStore::RowMark> HomeStore::markSelection() const
{
    const std::optional<Hit> hit = selectedHit();
    return hit ? std::optional(RowMark{mode(), hit->id}) : std::nullopt;
}

std::optional<int> HomeStore::rowIndex(const QString &hitID) const
{
    const auto indexIn = [&](const QList<Hit> &hits) -> std::optional<int> {
        for (qsizetype i = 0; i < hits.size(); ++i) {
            if (hits.at(i).id == hitID)
                return int(i);
        }
        return std::nullopt;
    };
    switch (mode()) {
    case Mode::Notifications:
        return std::nullopt;
    case Mode::Results:
        return indexIn(m_hits);
    case Mode::Room: {
        if (roomRowOffset() == 1 && scopeHit()->id == hitID)
            return 0;
        const std::optional<int> index = indexIn(m_roomHits);
        return index ? std::optional(*index + roomRowOffset()) : std::nullopt;
    }
    case Mode::Rest:
        break;
    }
    const int scenes = int(m_rest.scenes.size());
    const int rooms = int(m_rest.rooms.size());
    if (const std::optional<int> scene = indexIn(m_rest.scenes))
        return scene;
    for (int i = 0; i < rooms; ++i) {
        if (roomHit(m_rest.rooms.at(i)).id == hitID)
            return scenes + i;
    }
    const std::optional<int> mode = indexIn(m_rest.modes);
    return mode ? std::optional(scenes + rooms + *mode) : std::nullopt;
}

void HomeStore::announce(void (HomeStore::*changed)())
{
    if (m_rowsChanging == 0) {
        Q_EMIT(this->*changed)();
        return;
    }
    if (!m_heldAnnouncements.contains(changed))
        m_heldAnnouncements.append(changed);
}

void HomeStore::changeRows(SelectionRule rule, const std::function<void()> &change)
{
    // Marked before anything changes: the index still points at the row the person chose.
    const std::optional<RowMark> mark = rule == SelectionRule::followRow ? markSelection() : std::nullopt;
    ++m_rowsChanging;
    change();
    const std::optional<int> row = mark && mark->mode == mode() ? rowIndex(mark->hitID) : std::nullopt;
    if (row)
        setSelection(*row);
    else
        clampSelection();
    if (--m_rowsChanging > 0)
        return;
    // Taken first: an observer may change the store again as it hears of this change.
    const QList<void (HomeStore::*)()> held = std::exchange(m_heldAnnouncements, {});
    for (const auto changed : held)
        Q_EMIT(this->*changed)();
}

void HomeStore::toggleDetail()
{
    if (m_detailDeviceID) {
        setDetailDeviceID(std::nullopt);
        return;
    }
    const std::optional<Hit> hit = selectedHit();
    if (hit && hit->target.kind() == Hit::Target::Kind::device)
        setDetailDeviceID(hit->target.id());
}

void HomeStore::closeDetail()
{
    setDetailDeviceID(std::nullopt);
}

QList<HomeyNotification> HomeStore::notificationRows() const
{
    const QList<HomeyNotification> items = m_notifications->items();
    const QString query = trimmedBlanks(m_query).toLower();
    if (query.isEmpty())
        return items;
    const QStringList words = query.split(u' ', Qt::SkipEmptyParts);
    QList<HomeyNotification> rows;
    for (const HomeyNotification &item : items) {
        const QString text =
            QStringList{item.title, item.subtitle.value_or(QString()), item.body, item.source.title(),
                        item.priority ? u"prio "_s + QString::number(*item.priority) : QString()}
                .join(u' ')
                .toLower();
        if (std::all_of(words.begin(), words.end(), [&](const QString &word) { return text.contains(word); }))
            rows.append(item);
    }
    return rows;
}

void HomeStore::enterNotifications()
{
    if (m_showsNotifications)
        return;
    setShowsNotifications(true);
    setScopeZoneID(std::nullopt);
    setRoom(std::nullopt);
    setRoomHits({});
    setQuery(QString());
    setDetailDeviceID(std::nullopt);
    setSelection(0);
    recomputeHits();
    log(u"meldingen: geopend ("_s + QString::number(m_notifications->items().size()) + u" in de lijst, "_s +
        QString::number(m_notifications->unread()) + u" ongelezen)"_s);
    m_notifications->markAllRead();
}

void HomeStore::exitNotifications()
{
    if (!m_showsNotifications)
        return;
    setShowsNotifications(false);
    setQuery(QString());
    setSelection(0);
    recomputeHits();
}
