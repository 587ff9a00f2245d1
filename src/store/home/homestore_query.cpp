// The search behind the query field, and the memory of recently used rows that ranks them.
#include "store/home/homestore.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

void HomeStore::recomputeHits(const std::optional<QString> &changedDeviceID, SelectionRule rule)
{
    const Mode current = mode();
    if (current != Mode::Results) {
        changeRows(rule, [&] {
            if (!m_hits.isEmpty() || m_matchCount != 0)
                setHits({}, 0);
        });
        if (current == Mode::Rest)
            m_verb.reset();
        return;
    }
    // Only the one device rescored when nothing else changed since the last search.
    const bool onlyThat = changedDeviceID && m_deviceChanges == m_deviceChangesSearched + 1;
    SearchIndex::Result result =
        m_index.searchKept(m_query, onlyThat ? changedDeviceID : std::nullopt, m_devices, m_zones, m_recent,
                           hitLimit, m_options.clock->wallNow());
    m_deviceChangesSearched = m_deviceChanges;
    m_verb = result.verb;
    changeRows(rule,
               [&] { setHits(std::move(result.hits), int(std::min<qsizetype>(result.found, INT_MAX))); });
}

void HomeStore::remember(const QString &hitID)
{
    RecentUses recent = m_recent;
    recent.insert(hitID, m_options.clock->wallNow());
    if (recent.size() > recentCutAbove) {
        std::vector<std::pair<QDateTime, QString>> byDate;
        byDate.reserve(recent.size());
        for (auto it = recent.cbegin(); it != recent.cend(); ++it)
            byDate.emplace_back(it.value(), it.key());
        std::partial_sort(byDate.begin(), byDate.begin() + recentKeep, byDate.end(),
                          [](const auto &a, const auto &b) { return a.first > b.first; });
        recent.clear();
        for (int i = 0; i < recentKeep; ++i)
            recent.insert(byDate[i].second, byDate[i].first);
    }
    // A use is news even when the map compares equal (the same id used twice in one millisecond).
    m_recent = std::move(recent);
    Q_EMIT recentChanged();

    QMap<QString, double> stored;
    for (auto it = m_recent.cbegin(); it != m_recent.cend(); ++it)
        stored.insert(it.key(), double(it.value().toMSecsSinceEpoch()) / 1000.0);
    m_defaults.setValue(recentKey, stored);
}

void HomeStore::loadRecent()
{
    const std::optional<QMap<QString, double>> stored = m_defaults.doubleMapValue(recentKey);
    if (!stored)
        return;
    // Far beyond any real date, a stored number is damage, not a moment: the whole map is dropped.
    constexpr double limitSeconds = 1e11;
    RecentUses recent;
    for (auto it = stored->cbegin(); it != stored->cend(); ++it) {
        if (!std::isfinite(it.value()) || std::abs(it.value()) > limitSeconds)
            return;
        recent.insert(it.key(),
                      QDateTime::fromMSecsSinceEpoch(qint64(std::llround(it.value() * 1000.0)), Qt::UTC));
    }
    setRecent(recent);
}
