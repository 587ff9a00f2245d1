#include "homey/rest/homeyreads.h"

#include "base/text/textorder.h"

#include <algorithm>
#include <QCollator>
#include <QLocale>
#include <vector>

namespace {

// Stable sort by name in plain code point order, names taken in canonical composition.
template <class T> QList<T> sortedByName(QList<T> values)
{
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(size_t(values.size()));
    for (qsizetype i = 0; i < values.size(); ++i)
        keys.emplace_back(TextOrder::nameKey(values[i].name), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return TextOrder::codePointLess(a.first, b.first); });
    QList<T> result;
    result.reserve(values.size());
    for (const auto &key : keys)
        result.append(std::move(values[key.second]));
    return result;
}

Flow toFlow(const RawFlow &raw, bool advanced)
{
    Flow flow;
    flow.id = raw.id;
    flow.name = raw.name;
    flow.folderID = raw.folder;
    flow.isAdvanced = advanced;
    const bool broken = raw.broken.value_or(false);
    flow.enabled = raw.enabled.value_or(true) && !broken;
    flow.triggerable = raw.triggerable.value_or(false) && !broken;
    return flow;
}

double watts(const std::optional<RawEnergyValue> &value)
{
    return value ? value->W.value_or(0) : 0;
}

} // namespace

QList<Zone> HomeyReads::zones(const QList<RawZone> &records)
{
    QList<Zone> result;
    result.reserve(records.size());
    for (const RawZone &record : records)
        result.append(record.toZone());
    return sortedByName(std::move(result));
}

QList<Device> HomeyReads::devices(const QList<RawDevice> &records)
{
    QList<Device> result;
    result.reserve(records.size());
    for (const RawDevice &record : records)
        result.append(record.toDevice());
    return sortedByName(std::move(result));
}

QList<Flow> HomeyReads::flows(const QList<RawFlow> &standard, const QList<RawFlow> &advanced)
{
    QList<Flow> result;
    for (const RawFlow &raw : standard)
        result.append(toFlow(raw, false));
    for (const RawFlow &raw : advanced)
        result.append(toFlow(raw, true));
    result.removeIf([](const Flow &flow) { return !flow.enabled || !flow.triggerable; });
    // Pinned to Dutch: the process locale is whatever the desktop (or CI) happens to have.
    QCollator collator{QLocale(QLocale::Dutch, QLocale::Netherlands)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(result.begin(), result.end(), [&collator](const Flow &a, const Flow &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return result;
}

QList<Mood> HomeyReads::moods(const QList<RawMood> &records)
{
    QList<Mood> result;
    result.reserve(records.size());
    for (const RawMood &record : records)
        result.append(Mood{record.id, record.name, record.zone});
    return sortedByName(std::move(result));
}

Favorites HomeyReads::favorites(const RawUser &user)
{
    Favorites favorites;
    if (user.properties) {
        favorites.deviceIDs = user.properties->favoriteDevices.value_or(QStringList());
        favorites.flowIDs = user.properties->favoriteFlows.value_or(QStringList());
        favorites.moodIDs = user.properties->favoriteMoods.value_or(QStringList());
    }
    return favorites;
}

EnergyState HomeyReads::energy(const RawEnergyLive &live)
{
    const bool hasGridMeter =
        live.items && std::any_of(live.items->begin(), live.items->end(), [](const auto &item) {
            return item.type && *item.type == QLatin1StringView("cumulative");
        });
    return EnergyState::house(watts(live.totalGenerated), watts(live.totalCumulative), hasGridMeter,
                              watts(live.totalConsumed));
}

SystemState HomeyReads::system(const RawSystem &raw, std::optional<double> cpuPercent)
{
    SystemState state;
    state.cpuPercent = cpuPercent;
    if (raw.totalmem >= 1) {
        // The difference wraps instead of overflowing on absurd figures.
        const qint64 used =
            static_cast<qint64>(static_cast<quint64>(raw.totalmem) - static_cast<quint64>(raw.freemem));
        state.memoryPercent = double(used) / double(raw.totalmem) * 100.0;
    }
    state.firmware = raw.homeyVersion;
    state.uptime = raw.uptime;
    return state;
}

QList<RawNotification> HomeyReads::notifications(const QList<RawTimelineItem> &records)
{
    QList<RawNotification> result;
    result.reserve(records.size());
    for (const RawTimelineItem &record : records)
        result.append(record.toNotification());
    std::stable_sort(result.begin(), result.end(), [](const RawNotification &a, const RawNotification &b) {
        if (!a.date || !b.date)
            return a.date.has_value() && !b.date.has_value();
        return *a.date > *b.date;
    });
    return result;
}
