// The Dutch second line and trailing control of device rows.
#include "store/search/hitbuilder.h"
#include "store/search/searchindex.h"

#include <cmath>
#include <QStringBuilder>

using namespace Qt::StringLiterals;

SearchIndex::Description SearchIndex::describe(const Device &device, const QString &zoneName,
                                               const std::optional<SearchVerb> &verb)
{
    const bool setDim = verb && verb->kind() == SearchVerb::Kind::setDim;
    return describe(device, zoneName, verb, device.isGuarded(), device.isDimmable(),
                    setDim ? HitBuilder::percent(verb->level()) : QString());
}

SearchIndex::Description SearchIndex::describe(const Device &device, const QString &zoneName,
                                               const std::optional<SearchVerb> &verb, bool guarded,
                                               bool dimmable, const QString &levelText)
{
    if (!device.available)
        return {Hit::Accessory::value(HitBuilder::unreachable(device)), zoneName};
    if (guarded) {
        if (const std::optional<QString> state = device.guardedState())
            return {Hit::Accessory::value(*state), zoneName};
    }

    if (verb) {
        switch (verb->kind()) {
        case SearchVerb::Kind::setDim:
            if (dimmable)
                return {Hit::Accessory::dimmer(verb->level()), zoneName % u", naar " % levelText};
            break;
        case SearchVerb::Kind::on:
            if (device.onoffKey())
                return {Hit::Accessory::toggle(true), zoneName % u", aan"};
            break;
        case SearchVerb::Kind::off:
            if (device.onoffKey())
                return {Hit::Accessory::toggle(false), zoneName % u", uit"};
            break;
        case SearchVerb::Kind::dim:
            break;
        }
    }

    const std::optional<bool> isOn = device.isOn();
    if (!isOn) {
        if (const std::optional<Reading> reading = primaryReading(device))
            return {Hit::Accessory::value(reading->value), zoneName};
        return {device.isControllable() ? Hit::Accessory::run() : Hit::Accessory::none(), zoneName};
    }
    if (dimmable) {
        if (const std::optional<double> level = device.dimLevel()) {
            if (!*isOn)
                return {Hit::Accessory::dimmer(0), zoneName % u", uit"};
            return {Hit::Accessory::dimmer(*level), zoneName % u", " % HitBuilder::percent(*level)};
        }
    }
    return {Hit::Accessory::toggle(*isOn), zoneName % (*isOn ? u", aan" : u", uit")};
}

std::optional<SearchIndex::Reading> SearchIndex::primaryReading(const Device &device)
{
    static const QStringList preferred = {u"measure_temperature"_s, u"measure_power"_s, u"measure_humidity"_s,
                                          u"measure_luminance"_s,   u"measure_co2"_s,   u"measure_battery"_s};
    const Capability *chosen = nullptr;
    for (const QString &id : preferred) {
        const Capability *cap = device.capability(id);
        if (cap && cap->value) {
            chosen = cap;
            break;
        }
    }
    if (!chosen) {
        for (const QString &id : device.capabilityOrder) {
            const Capability *cap = device.capability(id);
            if (cap && cap->getable && !cap->setable && cap->value &&
                (id.startsWith(u"measure_") || id.startsWith(u"alarm_"))) {
                chosen = cap;
                break;
            }
        }
    }
    if (!chosen)
        return std::nullopt;
    return Reading{format(*chosen->value, *chosen), chosen->title};
}

QString SearchIndex::format(const CapabilityValue &value, const Capability &cap)
{
    switch (value.kind()) {
    case CapabilityValue::Kind::boolean:
        return *value.boolValue() ? u"ja"_s : u"nee"_s;
    case CapabilityValue::Kind::string:
        return *value.stringValue();
    case CapabilityValue::Kind::none:
        return u"-"_s;
    case CapabilityValue::Kind::number:
        break;
    }
    const double x = *value.numberValue();
    if (Device::baseCapability(cap.id) == u"dim" && cap.units == u"%"_s)
        return HitBuilder::percent(x);
    const int decimals = cap.decimals ? std::clamp(*cap.decimals, 0, 3) : (x != std::trunc(x) ? 1 : 0);
    // Fixed-point, no thousands grouping, Dutch decimal comma.
    QString text = QString::number(x, 'f', decimals).replace(u'.', u',');
    // A per cent sign sits against its number, as the panel writes every percentage.
    if (cap.units == u"%"_s)
        text += u'%';
    else if (cap.units && !cap.units->isEmpty())
        text += u' ' + *cap.units;
    return text;
}
