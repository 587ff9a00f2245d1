#include "store/notifications/notificationsettings.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString pushKey = u"notify.push"_s;
const QString sourcesKey = u"notify.sources"_s;
const QString maxPriorityKey = u"notify.p2000.maxPriority"_s;
const QString regionsKey = u"notify.p2000.regions"_s;
const QString citiesKey = u"notify.p2000.cities"_s;
const QString timeSensitiveKey = u"notify.timeSensitive"_s;
const QString regionsInitialisedKey = u"notify.p2000.regionsInitialised"_s;
const QString shownIDsKey = u"notify.shownIDs"_s;

QSet<QString> textSet(const QStringList &texts)
{
    return QSet<QString>(texts.cbegin(), texts.cend());
}

} // namespace

QSet<HomeyNotification::Source> NotificationSettings::standardSources()
{
    using Source = HomeyNotification::Source;
    return {Source::p2000, Source::presence, Source::flow, Source::system};
}

NotificationSettings NotificationSettings::load(const SettingsStore &store)
{
    NotificationSettings settings = standard();
    if (store.contains(pushKey))
        settings.pushEnabled = store.boolReading(pushKey);
    if (const auto raws = store.stringListValue(sourcesKey)) {
        settings.enabledSources.clear();
        for (const QString &raw : *raws) {
            if (const auto source = HomeyNotification::Source::fromRaw(raw))
                settings.enabledSources.insert(*source);
        }
    }
    if (store.contains(maxPriorityKey))
        settings.p2000MaxPriority =
            static_cast<int>(std::clamp<qint64>(store.integerReading(maxPriorityKey), 1, 5));
    settings.p2000Regions = textSet(store.stringListValue(regionsKey).value_or(QStringList()));
    settings.p2000Cities = textSet(store.stringListValue(citiesKey).value_or(QStringList()));
    if (store.contains(timeSensitiveKey))
        settings.timeSensitiveForPrio1 = store.boolReading(timeSensitiveKey);
    return settings;
}

void NotificationSettings::save(SettingsStore &store) const
{
    store.setValue(pushKey, pushEnabled);
    store.setValue(sourcesKey, sortedRaw(enabledSources));
    store.setValue(maxPriorityKey, qint64(p2000MaxPriority));
    store.setValue(regionsKey, sorted(p2000Regions));
    store.setValue(citiesKey, sorted(p2000Cities));
    store.setValue(timeSensitiveKey, timeSensitiveForPrio1);
}

QSet<QString> NotificationSettings::split(const QString &text)
{
    QSet<QString> result;
    for (const QString &piece : text.split(u',')) {
        const QString trimmed = piece.trimmed();
        if (!trimmed.isEmpty())
            result.insert(trimmed);
    }
    return result;
}

bool NotificationSettings::regionsInitialised(const SettingsStore &store)
{
    return store.contains(regionsInitialisedKey) && store.boolReading(regionsInitialisedKey);
}

void NotificationSettings::markRegionsInitialised(SettingsStore &store)
{
    store.setValue(regionsInitialisedKey, true);
}

QStringList NotificationSettings::shownIDs(const SettingsStore &store)
{
    return store.stringListValue(shownIDsKey).value_or(QStringList());
}

void NotificationSettings::saveShownIDs(const QStringList &ids, SettingsStore &store)
{
    store.setValue(shownIDsKey, ids);
}

void NotificationSettings::saveShownIDs(std::function<QStringList()> ids, SettingsStore &store)
{
    store.setValueLater(shownIDsKey, [ids = std::move(ids)] { return SettingsValue(ids()); });
}

QStringList NotificationSettings::sortedRaw(const QSet<HomeyNotification::Source> &sources)
{
    QStringList raws;
    for (const HomeyNotification::Source source : sources)
        raws << source.raw();
    raws.sort();
    return raws;
}

QStringList NotificationSettings::sorted(const QSet<QString> &texts)
{
    QStringList list(texts.cbegin(), texts.cend());
    list.sort();
    return list;
}
