#include "store/search/searchindex.h"

#include "base/text/searchtext.h"
#include "base/text/textorder.h"
#include "store/search/hitbuilder.h"

#include <algorithm>
#include <numeric>
#include <QCollatorSortKey>
#include <QSet>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

constexpr double recencyWindowSeconds = 1209600; // 14 days

template <typename T> QList<const T *> sortedByName(const QHash<QString, T> &map)
{
    QList<const T *> sorted;
    sorted.reserve(map.size());
    for (const T &value : map)
        sorted.append(&value);
    // Equal names have no defined order; the id keeps rebuilds of the same home identical.
    std::sort(sorted.begin(), sorted.end(), [](const T *a, const T *b) {
        if (a->name != b->name)
            return TextOrder::codePointLess(a->name, b->name);
        return a->id < b->id;
    });
    return sorted;
}

double kindBonus(SearchItem::Kind::Value kind)
{
    switch (kind) {
    case SearchItem::Kind::device:
        return 40;
    case SearchItem::Kind::sensor:
        return -60;
    case SearchItem::Kind::room:
        return 110;
    case SearchItem::Kind::mood:
        return 50;
    case SearchItem::Kind::flow:
        return 60;
    }
    return 0;
}

double verbBonus(const SearchItem &item, const std::optional<SearchVerb> &verb)
{
    if (!verb)
        return 0;
    switch (verb->kind()) {
    case SearchVerb::Kind::on:
    case SearchVerb::Kind::off:
        if (item.kind.value == SearchItem::Kind::sensor)
            return -200;
        if (item.kind.value == SearchItem::Kind::room)
            return 220;
        return 0;
    case SearchVerb::Kind::setDim:
    case SearchVerb::Kind::dim:
        return (item.dimmable ? 200 : -120) + (item.kind.value == SearchItem::Kind::room ? 200 : 0);
    }
    return 0;
}

std::optional<double> subsequence(std::u32string_view word, std::u32string_view haystack)
{
    const size_t n = word.size();
    size_t m = 0, atWordStart = 0, afterMatch = 0;
    bool atStart = true, previousMatched = false;
    for (char32_t c : haystack) {
        if (m >= n)
            break;
        if (c == word[m]) {
            atWordStart += atStart;
            afterMatch += previousMatched;
            ++m;
            previousMatched = true;
        } else {
            previousMatched = false;
        }
        atStart = c == U' ';
    }
    if (m < n)
        return std::nullopt;
    return 12 + 14.0 * double(atWordStart) / double(n) +
           9.0 * double(afterMatch) / double(std::max<size_t>(n - 1, 1));
}

std::optional<double> scoreWord(std::u32string_view word, const SearchItem &item)
{
    const std::u32string_view chars(item.chars);
    const size_t tokenCount = item.tokenStarts.size();
    std::optional<double> best;
    for (size_t i = 0; i < tokenCount; ++i) {
        const size_t start = item.tokenStarts[i];
        const size_t end = i + 1 < tokenCount ? item.tokenStarts[i + 1] - 1 : chars.size();
        const std::u32string_view token = chars.substr(start, end - start);
        const double position = 2.0 * double(i + 1);
        double candidate;
        if (token == word)
            candidate = 100 - position;
        else if (token.starts_with(word))
            candidate = 78 + 12.0 * double(word.size()) / double(token.size()) - position;
        else if (token.find(word) != std::u32string_view::npos)
            candidate = 45 - position;
        else
            continue;
        best = std::max(best.value_or(candidate), candidate);
    }
    if (best)
        return std::max(*best, 0.0);
    return subsequence(word, chars);
}

// Only digits typed as digits give a level: ASCII or full width, not "²" or "½", whose folded forms
// read as numbers too.
bool typedAsDigits(const QString &typed)
{
    return std::all_of(typed.cbegin(), typed.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'\uFF10' && u <= u'\uFF19');
    });
}

// "uit", "aan", "dim", or a level 0 to 100 of at most three digits.
std::optional<SearchVerb> readVerb(const SearchText::Word &word)
{
    const QString &folded = word.folded;
    if (folded == u"uit")
        return SearchVerb::off();
    if (folded == u"aan")
        return SearchVerb::on();
    if (folded == u"dim")
        return SearchVerb::dim();
    // A word holds letters and numbers only, so it never carries a sign.
    if (folded.size() > 3 || !typedAsDigits(word.typed))
        return std::nullopt;
    int n = 0;
    for (const QChar c : folded) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    if (n > 100)
        return std::nullopt;
    return SearchVerb::setDim(n / 100.0);
}

double bestScore(const auto &scored)
{
    double best = 0;
    bool any = false;
    for (const auto &entry : scored) {
        best = any ? std::max(best, entry.score) : entry.score;
        any = true;
    }
    return best;
}

QStringList joinedTokens(const QStringList &first, const QStringList &rest)
{
    QStringList all = first;
    for (const QString &word : rest) {
        if (!first.contains(word))
            all.append(word);
    }
    return all;
}

} // namespace

SearchIndex::SearchIndex(const DeviceMap &devices, const ZoneMap &zones, const FlowMap &flows,
                         const MoodMap &moods)
{
    m_items.reserve(flows.size() + moods.size() + zones.size() + devices.size());
    QSet<QString> &seen = m_sceneNames;

    for (const Flow *flow : sortedByName(flows)) {
        if (!flow->enabled || !flow->triggerable)
            continue;
        QStringList tokens = SearchText::tokens(flow->name);
        if (tokens.isEmpty())
            continue;
        const QString joined = tokens.join(u' ');
        if (seen.contains(joined))
            continue;
        seen.insert(joined);
        SearchItem item;
        item.refID = flow->id;
        item.kind = SearchItem::Kind::makeFlow(flow->isAdvanced);
        item.context = u"Flow"_s;
        item.tokens = std::move(tokens);
        item.nameJoined = joined;
        item.hit = HitBuilder::flow(flow->id, flow->name, flow->isAdvanced);
        prepare(item);
        m_items.append(std::move(item));
    }

    for (const Mood *mood : sortedByName(moods)) {
        QStringList tokens = SearchText::tokens(mood->name);
        if (tokens.isEmpty())
            continue;
        const QString joined = tokens.join(u' ');
        if (seen.contains(joined))
            continue;
        seen.insert(joined);
        const auto zone = mood->zoneID ? zones.constFind(*mood->zoneID) : zones.constEnd();
        if (zone != zones.constEnd())
            m_moodsByZone[zone->id].append(mood->id);
        SearchItem item;
        item.refID = mood->id;
        item.kind = {SearchItem::Kind::mood, false};
        item.context = zone != zones.constEnd() ? zone->name : u"Sfeer"_s;
        item.tokens = std::move(tokens);
        item.nameJoined = joined;
        item.hit = HitBuilder::mood(mood->id, mood->name, item.context);
        prepare(item);
        m_items.append(std::move(item));
    }

    m_firstRoom = m_items.size();
    const QSet<QString> containers = HomeMaps::containerZoneIDs(zones);
    QSet<QString> zonesWithControls;
    for (const Device &device : devices) {
        if (device.isControllable())
            zonesWithControls.insert(device.zoneID);
    }
    for (const Zone *zone : sortedByName(zones)) {
        if (containers.contains(zone->id) || !zonesWithControls.contains(zone->id))
            continue;
        QStringList tokens = SearchText::tokens(zone->name);
        if (tokens.isEmpty())
            continue;
        SearchItem item = roomItem(*zone, std::move(tokens));
        prepare(item);
        m_items.append(std::move(item));
    }

    // Zone words, worked out once per zone rather than once per device.
    QHash<QString, QStringList> zoneTokens;
    zoneTokens.reserve(zones.size());
    for (const Zone &zone : zones)
        zoneTokens.insert(zone.id, SearchText::tokens(zone.name));

    m_firstDevice = m_items.size();
    for (const Device *device : sortedByName(devices)) {
        std::optional<SearchItem> item = deviceItem(*device, zones, zoneTokens.value(device->zoneID));
        if (!item)
            continue;
        prepare(*item);
        m_items.append(std::move(*item));
    }

    m_sceneKeys = HomeMaps::sceneKeys(flows, moods);
    for (const Device &device : devices) {
        if (device.deviceClass == u"light" && !isSceneTwin(device))
            m_lightsByZone[device.zoneID].append(device.id);
    }

    m_masks.reserve(size_t(m_items.size()));
    for (const SearchItem &item : std::as_const(m_items))
        m_masks.push_back(item.mask);
    const QCollator &collator = TextOrder::collator();
    m_titleKeys.reserve(size_t(m_items.size()));
    for (const SearchItem &item : std::as_const(m_items))
        m_titleKeys.push_back(collator.sortKey(item.hit.title));
    m_byTitle.resize(m_titleKeys.size());
    m_titleRanks.resize(m_titleKeys.size());
    std::iota(m_byTitle.begin(), m_byTitle.end(), 0);
    std::sort(m_byTitle.begin(), m_byTitle.end(),
              [&](qsizetype a, qsizetype b) { return m_titleKeys[a].compare(m_titleKeys[b]) < 0; });
    rankTitles();
}

std::optional<SearchItem> SearchIndex::deviceItem(const Device &device, const ZoneMap &zones,
                                                  const QStringList &zoneTokens) const
{
    const auto zone = zones.constFind(device.zoneID);
    const QString zoneName = zone != zones.constEnd() ? zone->name : QString();
    const QStringList zt = zone != zones.constEnd() ? zoneTokens : QStringList();
    const QStringList nt = SearchText::tokens(device.name);
    if (zt.isEmpty() && nt.isEmpty())
        return std::nullopt;
    const QString nameJoined = nt.join(u' ');
    // A device named after an indexed flow or mood is that scene's twin: the scene stands for it.
    if (m_sceneNames.contains(nameJoined))
        return std::nullopt;
    const bool controllable = device.isControllable();
    SearchItem item;
    item.refID = device.id;
    item.kind = {controllable ? SearchItem::Kind::device : SearchItem::Kind::sensor, false};
    item.context = zoneName;
    item.tokens = joinedTokens(zt, nt);
    item.nameJoined = nameJoined;
    item.hit = HitBuilder::identity(Hit::Target::device(device.id), device.name);
    item.dimmable = device.dimKey().has_value();
    item.guarded = device.isGuarded();
    return item;
}

SearchItem SearchIndex::roomItem(const Zone &zone, QStringList tokens)
{
    SearchItem item;
    item.refID = zone.id;
    item.kind = {SearchItem::Kind::room, false};
    item.context = u"Kamer"_s;
    item.tokens = std::move(tokens);
    item.nameJoined = item.tokens.join(u' ');
    item.hit = HitBuilder::identity(Hit::Target::room(zone.id), zone.name);
    return item;
}

void SearchIndex::prepare(SearchItem &item)
{
    item.joined = item.tokens.join(u' ');
    for (qsizetype i = 0; i < item.tokens.size(); ++i) {
        if (i > 0)
            item.chars.push_back(U' ');
        item.tokenStarts.push_back(quint32(item.chars.size()));
        m_codes.encode(item.tokens[i], item.chars);
    }
    if (item.nameJoined == item.joined)
        item.nameChars = item.chars;
    else
        m_codes.encode(item.nameJoined, item.nameChars);
    item.mask = SearchText::mask(item.tokens);
}

bool SearchIndex::isSceneTwin(const Device &device) const
{
    return HomeMaps::isSceneTwin(device, m_sceneKeys);
}

bool SearchIndex::updateDevice(const Device &before, const Device &after, const ZoneMap &zones)
{
    const auto isLight = [](const Device &device) { return device.deviceClass == u"light"; };
    // What the rooms' entries and the lamps of each room are built from stays as it was.
    if (before.id != after.id || before.zoneID != after.zoneID ||
        before.isControllable() != after.isControllable() || isLight(before) != isLight(after) ||
        isSceneTwin(before) != isSceneTwin(after))
        return false;

    const auto zone = zones.constFind(after.zoneID);
    std::optional<SearchItem> item =
        deviceItem(after, zones, zone != zones.constEnd() ? SearchText::tokens(zone->name) : QStringList());
    const qsizetype old = deviceEntry(before);
    if (item)
        prepare(*item);

    if (item && old >= 0) {
        replaceItem(old, std::move(*item), m_firstDevice, m_items.size());
        return true;
    }
    if (old >= 0) {
        unrank(old);
        removeItem(old);
    }
    if (!item)
        return true;
    const qsizetype at = devicePosition(item->hit.title, item->refID);
    QCollatorSortKey key = TextOrder::collator().sortKey(item->hit.title);
    insertItem(at, std::move(*item), std::move(key));
    rank(at);
    keepDirty(at);
    return true;
}

bool SearchIndex::updateZone(const std::optional<Zone> &before, const Zone &after,
                             const QList<Device> &zoneDevices, const ZoneMap &zones)
{
    // A new zone or a zone in another place changes which zones hold others, and with them the rooms.
    if (!before || before->id != after.id || before->parentID != after.parentID)
        return false;
    if (before->name == after.name)
        return true;
    const auto roomAt = std::find_if(m_items.cbegin() + m_firstRoom, m_items.cbegin() + m_firstDevice,
                                     [&](const SearchItem &item) { return item.refID == after.id; });
    const qsizetype room = roomAt != m_items.cbegin() + m_firstDevice ? roomAt - m_items.cbegin() : -1;
    QStringList tokens = SearchText::tokens(after.name);
    // A name without words has no room entry: one that loses or gains its words leaves or may join.
    if (tokens.isEmpty() ? room >= 0 : room < 0 && SearchText::tokens(before->name).isEmpty())
        return false;

    if (room >= 0) {
        SearchItem item = roomItem(after, std::move(tokens));
        prepare(item);
        replaceItem(room, std::move(item), m_firstRoom, m_firstDevice);
    }
    // A mood's row names its room; the mood is found by its own name, which stays.
    if (const auto moods = m_moodsByZone.constFind(after.id); moods != m_moodsByZone.constEnd()) {
        for (qsizetype i = 0; i < m_firstRoom; ++i) {
            SearchItem &item = m_items[i];
            if (item.kind.value == SearchItem::Kind::mood && moods->contains(item.refID)) {
                item.context = after.name;
                item.hit = HitBuilder::mood(item.refID, item.hit.title, item.context);
            }
        }
    }
    // A device is found by its room's words too, and its row names the room.
    for (const Device &device : zoneDevices)
        updateDevice(device, device, zones);
    return true;
}

void SearchIndex::replaceItem(qsizetype at, SearchItem item, qsizetype begin, qsizetype end)
{
    // The same title in the same place: the entry is replaced and every rank stays.
    if (item.hit.title == m_items[at].hit.title) {
        m_masks[size_t(at)] = item.mask;
        m_items[at] = std::move(item);
        keepDirty(at);
        return;
    }
    unrank(at);
    qsizetype to = position(begin, end, item.hit.title, item.refID);
    // The entry leaves its place and takes the new one; only the entries between them shift.
    if (to > at)
        --to;
    QCollatorSortKey key = TextOrder::collator().sortKey(item.hit.title);
    moveItem(at, to, std::move(item), std::move(key));
    rank(to);
    keepDirty(to);
}

qsizetype SearchIndex::deviceEntry(const Device &device) const
{
    // Device entries are titled with the device's name, in name order, so the entry is found by its
    // place; a device the index holds under another name is looked for one by one.
    const qsizetype at = devicePosition(device.name, device.id);
    if (at < m_items.size() && m_items[at].refID == device.id)
        return at;
    for (qsizetype i = m_firstDevice; i < m_items.size(); ++i) {
        if (m_items[i].refID == device.id)
            return i;
    }
    return -1;
}

qsizetype SearchIndex::devicePosition(const QString &title, const QString &id) const
{
    return position(m_firstDevice, m_items.size(), title, id);
}

qsizetype SearchIndex::position(qsizetype begin, qsizetype end, const QString &title, const QString &id) const
{
    const auto at =
        std::lower_bound(m_items.cbegin() + begin, m_items.cbegin() + end, std::pair(&title, &id),
                         [](const SearchItem &item, std::pair<const QString *, const QString *> key) {
                             if (item.hit.title != *key.first)
                                 return TextOrder::codePointLess(item.hit.title, *key.first);
                             return item.refID < *key.second;
                         });
    return at - m_items.cbegin();
}

void SearchIndex::unrank(qsizetype at)
{
    const auto place = std::find(m_byTitle.begin(), m_byTitle.end(), at);
    const int rank = m_titleRanks[size_t(at)];
    const bool shared = (place != m_byTitle.begin() && m_titleRanks[size_t(*(place - 1))] == rank) ||
                        (place + 1 != m_byTitle.end() && m_titleRanks[size_t(*(place + 1))] == rank);
    m_byTitle.erase(place);
    if (shared)
        return;
    // The title was the only one of its rank: the ranks after it close up.
    for (int &other : m_titleRanks)
        other -= int(other > rank); // without a branch, so the walk runs vectorised
}

void SearchIndex::rank(qsizetype at)
{
    const QCollatorSortKey &key = m_titleKeys[size_t(at)];
    const auto place =
        std::upper_bound(m_byTitle.begin(), m_byTitle.end(), at, [this](qsizetype a, qsizetype b) {
            return m_titleKeys[size_t(a)].compare(m_titleKeys[size_t(b)]) < 0;
        });
    int rank = 0;
    if (place != m_byTitle.begin()) {
        const qsizetype previous = *(place - 1);
        rank = m_titleRanks[size_t(previous)];
        if (m_titleKeys[size_t(previous)].compare(key) == 0) {
            m_titleRanks[size_t(at)] = rank;
            m_byTitle.insert(place, at);
            return;
        }
        ++rank;
    }
    // A title of its own: the ranks from here on make room for it.
    for (int &other : m_titleRanks)
        other += int(other >= rank);
    m_titleRanks[size_t(at)] = rank;
    m_byTitle.insert(place, at);
}

void SearchIndex::keepDirty(qsizetype at)
{
    // Many changes while nobody searched: the next search scores everything anyway.
    if (m_kept && qsizetype(m_kept->dirty.size()) < m_items.size())
        m_kept->dirty.push_back(at);
    else
        m_kept.reset();
}

void SearchIndex::keepAlong(const std::function<void(std::vector<MaybeScore> &)> &change)
{
    // The kept scores follow the entries; an entry waiting to be scored again would lose its place.
    if (!m_kept)
        return;
    if (!m_kept->dirty.empty()) {
        m_kept.reset();
        return;
    }
    m_kept->devices.clear();
    m_kept->devicesFresh = false;
    m_kept->matched.reset();
    change(m_kept->plainScores);
    if (m_kept->verb)
        change(m_kept->verbedScores);
}

void SearchIndex::removeItem(qsizetype at)
{
    keepAlong([at](auto &scores) {
        if (size_t(at) < scores.size())
            scores.erase(scores.begin() + at);
    });
    m_items.remove(at);
    m_masks.erase(m_masks.begin() + at);
    m_titleKeys.erase(m_titleKeys.begin() + at);
    m_titleRanks.erase(m_titleRanks.begin() + at);
    for (qsizetype &index : m_byTitle) {
        if (index > at)
            --index;
    }
}

void SearchIndex::insertItem(qsizetype at, SearchItem item, QCollatorSortKey key)
{
    keepAlong([at](auto &scores) {
        if (size_t(at) <= scores.size())
            scores.insert(scores.begin() + at, std::nullopt);
    });
    m_titleKeys.insert(m_titleKeys.begin() + at, std::move(key));
    m_titleRanks.insert(m_titleRanks.begin() + at, 0);
    m_masks.insert(m_masks.begin() + at, item.mask);
    m_items.insert(at, std::move(item));
    for (qsizetype &index : m_byTitle) {
        if (index >= at)
            ++index;
    }
}

void SearchIndex::moveItem(qsizetype from, qsizetype to, SearchItem item, QCollatorSortKey key)
{
    keepAlong([from, to](auto &scores) {
        if (size_t(std::max(from, to)) >= scores.size())
            return;
        if (from < to)
            std::rotate(scores.begin() + from, scores.begin() + from + 1, scores.begin() + to + 1);
        else
            std::rotate(scores.begin() + to, scores.begin() + from, scores.begin() + from + 1);
    });
    const auto items = m_items.begin();
    const auto keys = m_titleKeys.begin();
    const auto ranks = m_titleRanks.begin();
    const auto masks = m_masks.begin();
    if (from < to) {
        std::move(items + from + 1, items + to + 1, items + from);
        std::move(keys + from + 1, keys + to + 1, keys + from);
        std::move(ranks + from + 1, ranks + to + 1, ranks + from);
        std::move(masks + from + 1, masks + to + 1, masks + from);
    } else if (to < from) {
        std::move_backward(items + to, items + from, items + from + 1);
        std::move_backward(keys + to, keys + from, keys + from + 1);
        std::move_backward(ranks + to, ranks + from, ranks + from + 1);
        std::move_backward(masks + to, masks + from, masks + from + 1);
    }
    masks[to] = item.mask;
    items[to] = std::move(item);
    keys[to] = std::move(key);
    if (from == to)
        return;
    const qsizetype low = std::min(from, to), high = std::max(from, to);
    const qsizetype shift = from < to ? -1 : 1;
    for (qsizetype &index : m_byTitle) {
        if (index >= low && index <= high)
            index += shift;
    }
}

void SearchIndex::rankTitles()
{
    // Equal scores are ordered by title the way the file browser orders names; ranked once here so the
    // search itself never collates.
    int rank = 0;
    for (size_t i = 0; i < m_byTitle.size(); ++i) {
        if (i > 0 && m_titleKeys[size_t(m_byTitle[i - 1])].compare(m_titleKeys[size_t(m_byTitle[i])]) != 0)
            ++rank;
        m_titleRanks[size_t(m_byTitle[i])] = rank;
    }
}

SearchIndex::Kept SearchIndex::readQuery(const QString &query) const
{
    Kept kept;
    kept.query = query;
    const QList<SearchText::Word> typed = SearchText::words(query);
    if (typed.isEmpty())
        return kept;
    QStringList words;
    words.reserve(typed.size());
    for (const SearchText::Word &word : typed)
        words.append(word.folded);

    const auto makeQuery = [this](const QStringList &list) {
        Query q;
        q.words.resize(size_t(list.size()));
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (i > 0)
                q.joined.push_back(U' ');
            m_codes.lookup(list[i], q.words[size_t(i)]);
            q.joined += q.words[size_t(i)];
        }
        q.mask = SearchText::mask(list);
        return q;
    };
    kept.plain = makeQuery(words);
    kept.verb = words.size() >= 2 ? readVerb(typed.last()) : std::nullopt;
    if (kept.verb)
        kept.verbed = makeQuery(words.first(words.size() - 1));
    return kept;
}

void SearchIndex::scoreAll(Kept &kept, const DeviceMap &devices) const
{
    kept.plainScores.assign(size_t(m_items.size()), std::nullopt);
    kept.verbedScores.assign(kept.verb ? size_t(m_items.size()) : 0, std::nullopt);
    kept.devices.assign(size_t(m_items.size()), nullptr);
    std::vector<qsizetype> matched;
    // An entry without every character of the query's first reading has none of the other's either.
    const quint64 need = kept.verb ? kept.verbed.mask : kept.plain.mask;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if ((m_masks[size_t(i)] & need) != need)
            continue;
        scoreOne(kept, i, devices);
        if (hasScore(kept, i))
            matched.push_back(i);
    }
    kept.matched = std::move(matched);
    kept.devicesFresh = true;
}

bool SearchIndex::hasScore(const Kept &kept, qsizetype at)
{
    return kept.plainScores[size_t(at)] || (kept.verb && kept.verbedScores[size_t(at)]);
}

void SearchIndex::scoreOne(Kept &kept, qsizetype at, const DeviceMap &devices) const
{
    const SearchItem &item = m_items[at];
    const Device **found = size_t(at) < kept.devices.size() ? &kept.devices[size_t(at)] : nullptr;
    if (!kept.verb) {
        kept.plainScores[size_t(at)] = entryScore(item, kept.plain, std::nullopt, devices, found);
        return;
    }
    MaybeScore &plain = kept.plainScores[size_t(at)];
    MaybeScore &verbed = kept.verbedScores[size_t(at)];
    plain.reset();
    verbed.reset();
    // Both readings at once. The verb reading's words are the plain one's but its last: an entry that
    // misses one of them misses both readings, and each of them scores alike in both.
    if ((item.mask & kept.verbed.mask) != kept.verbed.mask)
        return;
    double sum = 0;
    for (const std::u32string &word : kept.verbed.words) {
        const std::optional<double> s = scoreWord(word, item);
        if (!s)
            return;
        sum += *s;
    }
    const std::optional<EntryState> state = entryState(item, devices);
    if (!state)
        return;
    if (found)
        *found = state->device;
    verbed = readingScore(item, sum / double(kept.verbed.words.size()), kept.verbed, kept.verb, *state);
    if ((item.mask & kept.plain.mask) != kept.plain.mask)
        return;
    if (const std::optional<double> last = scoreWord(kept.plain.words.back(), item))
        plain = readingScore(item, (sum + *last) / double(kept.plain.words.size()), kept.plain, std::nullopt,
                             *state);
}

SearchIndex::Result SearchIndex::finish(const Kept &kept, const DeviceMap &devices, const ZoneMap &zones,
                                        const RecentUses &recent, qsizetype limit, const QDateTime &now,
                                        Kept *reuse) const
{
    if (kept.plain.words.empty())
        return {};
    const qint64 nowMs = now.toMSecsSinceEpoch();
    const std::vector<const Device *> *foundDevices = kept.devicesFresh ? &kept.devices : nullptr;
    std::vector<Scored> plain = withRecency(kept.plainScores, kept.matched, recent, nowMs);
    if (kept.verb) {
        std::vector<Scored> withVerb = withRecency(kept.verbedScores, kept.matched, recent, nowMs);
        // A tie keeps the plain reading.
        if (bestScore(withVerb) > bestScore(plain))
            return materialise(std::move(withVerb), limit, kept.verb, devices, zones, reuse, foundDevices);
    }
    return materialise(std::move(plain), limit, std::nullopt, devices, zones, reuse, foundDevices);
}

SearchIndex::Result SearchIndex::search(const QString &query, const DeviceMap &devices, const ZoneMap &zones,
                                        const RecentUses &recent, qsizetype limit, const QDateTime &now) const
{
    Kept kept = readQuery(query);
    if (kept.plain.words.empty())
        return {};
    scoreAll(kept, devices);
    return finish(kept, devices, zones, recent, limit, now);
}

SearchIndex::Result SearchIndex::searchKept(const QString &query,
                                            const std::optional<QString> &changedDeviceID,
                                            const DeviceMap &devices, const ZoneMap &zones,
                                            const RecentUses &recent, qsizetype limit, const QDateTime &now)
{
    if (m_kept && m_kept->query == query && changedDeviceID) {
        if (const auto device = devices.constFind(*changedDeviceID); device != devices.constEnd()) {
            if (const qsizetype at = deviceEntry(*device); at >= 0)
                m_kept->dirty.push_back(at);
            m_kept->shownDevices.remove(*changedDeviceID);
        } else {
            m_kept.reset();
        }
    } else {
        m_kept.reset();
    }
    // The devices found by an earlier search may have moved in the map since.
    if (m_kept)
        m_kept->devicesFresh = false;
    if (!m_kept) {
        m_kept = readQuery(query);
        if (!m_kept->plain.words.empty())
            scoreAll(*m_kept, devices);
    } else if (m_kept->plainScores.size() != size_t(m_items.size())) {
        scoreAll(*m_kept, devices);
        m_kept->shownDevices.clear();
    } else if (!m_kept->plain.words.empty()) {
        for (const qsizetype at : m_kept->dirty) {
            scoreOne(*m_kept, at, devices);
            m_kept->shownDevices.remove(m_items[at].refID);
            // An entry that scores now joins the matched ones; one that no longer does is passed over.
            if (m_kept->matched && hasScore(*m_kept, at)) {
                std::vector<qsizetype> &matched = *m_kept->matched;
                const auto place = std::lower_bound(matched.begin(), matched.end(), at);
                if (place == matched.end() || *place != at)
                    matched.insert(place, at);
            }
        }
    }
    m_kept->dirty.clear();
    return finish(*m_kept, devices, zones, recent, limit, now, &*m_kept);
}

std::optional<double> SearchIndex::entryScore(const SearchItem &item, const Query &query,
                                              const std::optional<SearchVerb> &verb, const DeviceMap &devices,
                                              const Device **found) const
{
    if (query.words.empty() || (item.mask & query.mask) != query.mask)
        return std::nullopt;

    double sum = 0;
    for (const std::u32string &word : query.words) {
        const std::optional<double> s = scoreWord(word, item);
        if (!s)
            return std::nullopt;
        sum += *s;
    }
    const std::optional<EntryState> state = entryState(item, devices);
    if (!state)
        return std::nullopt;
    if (found)
        *found = state->device;
    return readingScore(item, sum / double(query.words.size()), query, verb, *state);
}

std::optional<SearchIndex::EntryState> SearchIndex::entryState(const SearchItem &item,
                                                               const DeviceMap &devices)
{
    if (item.kind.value != SearchItem::Kind::device && item.kind.value != SearchItem::Kind::sensor)
        return EntryState();
    const auto device = devices.constFind(item.refID);
    if (device == devices.constEnd())
        return std::nullopt;
    return EntryState{!device->available, device->isOn() == true, &*device};
}

double SearchIndex::readingScore(const SearchItem &item, double words, const Query &query,
                                 const std::optional<SearchVerb> &verb, const EntryState &state)
{
    double score = words;
    const std::u32string_view whole(query.joined);
    const std::u32string_view joined(item.chars);
    if (joined == whole)
        score += 300;
    else if (joined.starts_with(whole))
        score += 120;
    const std::u32string_view name(item.nameChars);
    if (name == whole)
        score += 400;
    else if (name.starts_with(whole))
        score += 140;

    score += kindBonus(item.kind.value);
    score += verbBonus(item, verb);
    if (state.unavailable)
        score -= 80;
    if (state.on)
        score += 15;
    return score;
}

std::vector<SearchIndex::Scored>
SearchIndex::withRecency(const std::vector<MaybeScore> &scores,
                         const std::optional<std::vector<qsizetype>> &matched, const RecentUses &recent,
                         qint64 nowMs) const
{
    std::vector<Scored> result;
    const SearchItem *items = m_items.constData();
    const size_t count = matched ? matched->size() : scores.size();
    for (size_t at = 0; at < count; ++at) {
        const size_t i = matched ? size_t((*matched)[at]) : at;
        if (!scores[i])
            continue;
        const SearchItem &item = items[i];
        double score = *scores[i];
        if (!recent.isEmpty()) {
            const auto used = recent.constFind(item.hit.id);
            if (used != recent.constEnd() && used->isValid()) {
                const double age = double(nowMs - used->toMSecsSinceEpoch()) / 1000.0;
                if (age < recencyWindowSeconds)
                    score += 60 * (1 - age / recencyWindowSeconds);
            }
        }
        score += 8.0 / double(item.tokens.size() + 1);
        result.push_back({qsizetype(i), score});
    }
    return result;
}

SearchIndex::Result SearchIndex::materialise(std::vector<Scored> scored, qsizetype limit,
                                             const std::optional<SearchVerb> &verb, const DeviceMap &devices,
                                             const ZoneMap &zones, Kept *reuse,
                                             const std::vector<const Device *> *foundDevices) const
{
    const auto count = std::clamp<qsizetype>(limit, 0, qsizetype(scored.size()));
    // Higher score first, then title order, then build order: a total order, so sorting only the
    // entries that are shown gives the same head as a stable sort of all.
    std::partial_sort(scored.begin(), scored.begin() + count, scored.end(),
                      [this](const Scored &a, const Scored &b) {
                          if (a.score != b.score)
                              return a.score > b.score;
                          const int ra = m_titleRanks[size_t(a.item)], rb = m_titleRanks[size_t(b.item)];
                          if (ra != rb)
                              return ra < rb;
                          return a.item < b.item;
                      });

    // The same level for every row: written once.
    const QString levelText =
        verb && verb->kind() == SearchVerb::Kind::setDim ? HitBuilder::percent(verb->level()) : QString();
    // Rows made for another reading of the query describe the devices differently.
    QHash<QString, Hit> made;
    if (reuse && reuse->shownVerb != verb)
        reuse->shownDevices.clear();
    QList<Hit> hits;
    hits.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const SearchItem &item = m_items[scored[size_t(i)].item];
        switch (item.kind.value) {
        case SearchItem::Kind::device:
        case SearchItem::Kind::sensor: {
            if (reuse) {
                if (const auto kept = reuse->shownDevices.constFind(item.refID);
                    kept != reuse->shownDevices.constEnd()) {
                    hits.append(*kept);
                    made.insert(item.refID, *kept);
                    break;
                }
            }
            const Device *device = foundDevices ? (*foundDevices)[size_t(scored[size_t(i)].item)] : nullptr;
            if (!device) {
                const auto known = devices.constFind(item.refID);
                if (known == devices.constEnd())
                    continue;
                device = &*known;
            }
            const Description description =
                describe(*device, item.context, verb, item.guarded, item.dimmable, levelText);
            hits.append(HitBuilder::device(item.hit, *device, description.subtitle, description.accessory));
            if (reuse)
                made.insert(item.refID, hits.last());
            break;
        }
        case SearchItem::Kind::room: {
            const auto zone = zones.constFind(item.refID);
            if (zone == zones.constEnd())
                continue;
            hits.append(HitBuilder::room(item.hit, *zone, m_lightsByZone.value(zone->id), devices, verb));
            break;
        }
        case SearchItem::Kind::mood:
        case SearchItem::Kind::flow:
            hits.append(item.hit);
            break;
        }
        hits.last().score = scored[size_t(i)].score;
    }
    if (reuse) {
        reuse->shownVerb = verb;
        reuse->shownDevices = std::move(made);
    }
    // Entries past the limit count as found where they would make a row (a scored device exists).
    qsizetype found = hits.size();
    for (size_t i = size_t(count); i < scored.size(); ++i) {
        const SearchItem &item = m_items[scored[i].item];
        found += item.kind.value != SearchItem::Kind::room || zones.contains(item.refID);
    }
    return {std::move(hits), verb, found};
}
