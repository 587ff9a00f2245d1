#pragma once

#include "base/text/charcodes.h"
#include "homey/model/capability.h"
#include "homey/model/capabilityvalue.h"
#include "homey/model/device.h"
#include "homey/model/hit.h"
#include "homey/model/homemaps.h"
#include "store/search/searchitem.h"
#include "store/search/searchverb.h"

#include <optional>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// The home's devices, rooms, flows and moods as a flat list of words, ranked for a typed query.
// An immutable value: rebuilt whole whenever the home changes.
class SearchIndex {
public:
    struct Result {
        QList<Hit> hits;
        std::optional<SearchVerb> verb;

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

    const QList<SearchItem> &items() const { return m_items; }
    const QHash<QString, QStringList> &lightsByZone() const { return m_lightsByZone; }
    qsizetype count() const { return m_items.size(); }

    static Description describe(const Device &device, const QString &zoneName,
                                const std::optional<SearchVerb> &verb);
    static std::optional<Reading> primaryReading(const Device &device);
    static QString format(const CapabilityValue &value, const Capability &cap);

    bool operator==(const SearchIndex &) const = default;

private:
    struct Scored {
        qsizetype item;
        double score;
    };
    struct Query;

    std::vector<Scored> score(const Query &query, const std::optional<SearchVerb> &verb,
                              const DeviceMap &devices, const RecentUses &recent, qint64 nowMs) const;
    QList<Hit> materialise(std::vector<Scored> scored, qsizetype limit, const std::optional<SearchVerb> &verb,
                           const DeviceMap &devices, const ZoneMap &zones) const;
    QList<SearchItem> m_items;
    QHash<QString, QStringList> m_lightsByZone;
    CharCodes m_codes;
};
