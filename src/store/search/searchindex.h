#pragma once

#include "base/text/charcodes.h"
#include "homey/model/capability.h"
#include "homey/model/capabilityvalue.h"
#include "homey/model/device.h"
#include "homey/model/hit.h"
#include "homey/model/homemaps.h"
#include "homey/model/zone.h"
#include "store/search/searchitem.h"
#include "store/search/searchverb.h"

#include <functional>
#include <limits>
#include <optional>
#include <QCollatorSortKey>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

// The home's devices, rooms, flows and moods as a flat list of words, ranked for a typed query.
// Built whole from the home; a change of one device changes only that device's entry where it can.
class SearchIndex {
public:
    struct Result {
        QList<Hit> hits;
        std::optional<SearchVerb> verb;
        // How many entries were found, the hits and those past the limit.
        qsizetype found = 0;

        bool operator==(const Result &) const = default;
    };

    // The trailing control and second line of a device row.
    struct Description {
        Hit::Accessory accessory;
        QString subtitle;

        bool operator==(const Description &) const = default;
    };

    // The measurement that best represents a device without a switch.
    struct Reading {
        QString value;
        QString title;

        bool operator==(const Reading &) const = default;
    };

    SearchIndex() = default;
    SearchIndex(const DeviceMap &devices, const ZoneMap &zones, const FlowMap &flows, const MoodMap &moods);

    // devices and zones are the current ones, so states and lamp counts are fresh even when the index
    // is older. now is the moment recent uses are measured from.
    Result search(const QString &query, const DeviceMap &devices, const ZoneMap &zones,
                  const RecentUses &recent, qsizetype limit,
                  const QDateTime &now = QDateTime::currentDateTimeUtc()) const;
    // The same result as search, with every entry's score kept for the next call: when the query is the
    // same and only the device changedDeviceID changed in devices since (none: anything may have),
    // only that device's entry is scored again.
    Result searchKept(const QString &query, const std::optional<QString> &changedDeviceID,
                      const DeviceMap &devices, const ZoneMap &zones, const RecentUses &recent,
                      qsizetype limit, const QDateTime &now);

    // The entries of one device changed from before to after, in place, as a rebuild would leave them.
    // False, and nothing changed, when the change reaches further than the device's own entry (it moved
    // to another room, became a control or stopped being one, turned into a lamp or a scene's twin or
    // stopped being one): the caller then builds the index anew.
    bool updateDevice(const Device &before, const Device &after, const ZoneMap &zones);
    // The entries that name a zone after it was renamed, in place, as a rebuild would leave them: its
    // room's, its devices' (zoneDevices, with zones already holding after) and its moods'. False, and
    // nothing changed, when the zone is new, moved to another place or the rooms offered may change
    // otherwise (a name that gains or loses its words): the caller then builds the index anew.
    bool updateZone(const std::optional<Zone> &before, const Zone &after, const QList<Device> &zoneDevices,
                    const ZoneMap &zones);
    // A plain lamp named like one of the indexed home's flows or moods (see HomeMaps).
    bool isSceneTwin(const Device &device) const;

    const QList<SearchItem> &items() const { return m_items; }
    // The entry's place in the Dutch name order of the titles; equal titles share one.
    int titleRank(qsizetype at) const { return m_titleRanks[size_t(at)]; }
    const QHash<QString, QStringList> &lightsByZone() const { return m_lightsByZone; }
    qsizetype count() const { return m_items.size(); }

    static Description describe(const Device &device, const QString &zoneName,
                                const std::optional<SearchVerb> &verb);
    static std::optional<Reading> primaryReading(const Device &device);
    static QString format(const CapabilityValue &value, const Capability &cap);

private:
    struct Scored {
        qsizetype item;
        double score;
    };
    // An entry's score or none, kept as not-a-number: a list of every entry's is cleared with one plain
    // fill, where optionals cost a store for each. Scores are always finite.
    class MaybeScore {
    public:
        MaybeScore() = default;
        MaybeScore(std::nullopt_t) {}
        MaybeScore &operator=(double score)
        {
            m_score = score;
            return *this;
        }
        MaybeScore &operator=(const std::optional<double> &score)
        {
            m_score = score.value_or(none);
            return *this;
        }
        explicit operator bool() const { return m_score == m_score; }
        double operator*() const { return m_score; }
        void reset() { m_score = none; }

    private:
        static constexpr double none = std::numeric_limits<double>::quiet_NaN();
        double m_score = none;
    };
    // The words of a query, coded like the items' characters.
    struct Query {
        std::vector<std::u32string> words;
        std::u32string joined;
        quint64 mask = 0;
    };
    // A query read both ways (plain, and without its last word as a verb) with each entry's score before
    // its recent use, or none where it does not match.
    struct Kept {
        QString query;
        Query plain;
        std::optional<SearchVerb> verb;
        Query verbed;
        std::vector<MaybeScore> plainScores;
        std::vector<MaybeScore> verbedScores;
        // Each scored device entry's device, as the scoring found it in the map. The map may change
        // between searches: trusted only by the search that scored every entry (devicesFresh).
        std::vector<const Device *> devices;
        bool devicesFresh = false;
        // The entries either reading scored, in order, while every entry's score is the one scoreAll made.
        std::optional<std::vector<qsizetype>> matched;
        std::vector<qsizetype> dirty; // entries changed in place since they were scored
        // The device rows the last finish made, by device id, for the reading it chose: a device that
        // did not change since gets the same row again.
        std::optional<SearchVerb> shownVerb;
        QHash<QString, Hit> shownDevices;
    };

    Kept readQuery(const QString &query) const;
    void scoreAll(Kept &kept, const DeviceMap &devices) const;
    void scoreOne(Kept &kept, qsizetype at, const DeviceMap &devices) const;
    static bool hasScore(const Kept &kept, qsizetype at);
    // kept: the scores; reuse, where given, holds device rows made before and gets the ones made now.
    Result finish(const Kept &kept, const DeviceMap &devices, const ZoneMap &zones, const RecentUses &recent,
                  qsizetype limit, const QDateTime &now, Kept *reuse = nullptr) const;
    // What a device's state adds to an entry's every reading; none for a device that is gone.
    struct EntryState {
        bool unavailable = false;
        bool on = false;
        const Device *device = nullptr; // for device entries
    };
    // found, where given, gets the entry's device.
    std::optional<double> entryScore(const SearchItem &item, const Query &query,
                                     const std::optional<SearchVerb> &verb, const DeviceMap &devices,
                                     const Device **found = nullptr) const;
    static std::optional<EntryState> entryState(const SearchItem &item, const DeviceMap &devices);
    // One reading's score from the mean of its words' scores.
    static double readingScore(const SearchItem &item, double words, const Query &query,
                               const std::optional<SearchVerb> &verb, const EntryState &state);
    // matched, where given: the only entries that may have a score.
    std::vector<Scored> withRecency(const std::vector<MaybeScore> &scores,
                                    const std::optional<std::vector<qsizetype>> &matched,
                                    const RecentUses &recent, qint64 nowMs) const;
    // foundDevices: each entry's device where the scoring just found it.
    Result materialise(std::vector<Scored> scored, qsizetype limit, const std::optional<SearchVerb> &verb,
                       const DeviceMap &devices, const ZoneMap &zones, Kept *reuse,
                       const std::vector<const Device *> *foundDevices) const;
    // The device's entry, or none where the index leaves it out.
    std::optional<SearchItem> deviceItem(const Device &device, const ZoneMap &zones,
                                         const QStringList &zoneTokens) const;
    static SearchItem roomItem(const Zone &zone, QStringList tokens);
    // describe for a device whose guardedness and dimmer are known (an entry's, made from the same
    // record), with levelText the verb's level as text.
    static Description describe(const Device &device, const QString &zoneName,
                                const std::optional<SearchVerb> &verb, bool guarded, bool dimmable,
                                const QString &levelText);
    // Fills in what the search compares, from the tokens.
    void prepare(SearchItem &item);
    // Where an entry of this title and id goes among the entries from begin to end, which are in name
    // order (the devices, the rooms).
    qsizetype position(qsizetype begin, qsizetype end, const QString &title, const QString &id) const;
    qsizetype devicePosition(const QString &title, const QString &id) const;
    // The entry at takes item's place; one whose title changed moves among the entries from begin to end.
    void replaceItem(qsizetype at, SearchItem item, qsizetype begin, qsizetype end);
    // The place of the device's entry, or -1.
    qsizetype deviceEntry(const Device &device) const;
    // The entry at leaves the title order, or (rank) takes its place in it; the other ranks follow.
    void unrank(qsizetype at);
    void rank(qsizetype at);
    // Entries and their title keys, outside the title order: unrank before, rank after.
    void removeItem(qsizetype at);
    void insertItem(qsizetype at, SearchItem item, QCollatorSortKey key);
    void moveItem(qsizetype from, qsizetype to, SearchItem item, QCollatorSortKey key);
    // The entry at changed in place: its kept scores are made again at the next searchKept.
    void keepDirty(qsizetype at);
    // Applies a change of the entries' places to the kept scores.
    void keepAlong(const std::function<void(std::vector<MaybeScore> &)> &change);
    // Gives every entry its rank from the title keys.
    void rankTitles();

    QList<SearchItem> m_items;
    // Each entry's character mask, apart from the entries: the first test of every entry, and one walk
    // over these few bytes stays in the cache.
    std::vector<quint64> m_masks;
    qsizetype m_firstRoom = 0;                 // the rooms' entries, up to the devices'
    qsizetype m_firstDevice = 0;               // the devices' entries come last, from here
    QHash<QString, QStringList> m_moodsByZone; // the moods that name their zone
    QHash<QString, QStringList> m_lightsByZone;
    CharCodes m_codes;
    QSet<QString> m_sceneNames; // the joined names of the indexed flows and moods
    QSet<QString> m_sceneKeys;
    // Each entry's title as the collator orders it, the entries in that order, and each entry's place
    // in it (equal titles share a rank). The ranks sit apart from the entries: a title that comes or
    // goes shifts every rank after it, and a walk over these few bytes stays in the cache.
    std::vector<QCollatorSortKey> m_titleKeys;
    std::vector<qsizetype> m_byTitle;
    std::vector<int> m_titleRanks;
    // The last searchKept's scores; gone whenever entries move.
    std::optional<Kept> m_kept;
};
