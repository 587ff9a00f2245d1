#include "homey/model/device.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Asked of every device shown at every change: the base name is compared in place with the few names,
// without being copied out or hashed.
bool hasBaseIn(QStringView capabilityID, const QStringList &bases)
{
    const qsizetype dot = capabilityID.indexOf(u'.');
    const QStringView base = dot < 0 ? capabilityID : capabilityID.first(dot);
    return std::any_of(bases.begin(), bases.end(), [&](const QString &known) { return known == base; });
}

} // namespace

QString Device::EnergyRole::raw() const
{
    return value == generator ? u"generator"_s : u"gridMeter"_s;
}

std::optional<Device::EnergyRole> Device::EnergyRole::fromRaw(const QString &raw)
{
    if (raw == u"generator")
        return EnergyRole(generator);
    if (raw == u"gridMeter")
        return EnergyRole(gridMeter);
    return std::nullopt;
}

QString Device::powerCapability()
{
    return u"measure_power"_s;
}

const QSet<QString> &Device::controlBaseCapabilities()
{
    static const QSet<QString> set{
        u"onoff"_s,
        u"dim"_s,
        u"light_hue"_s,
        u"light_saturation"_s,
        u"light_temperature"_s,
        u"light_mode"_s,
        u"target_temperature"_s,
        u"thermostat_mode"_s,
        u"volume_set"_s,
        u"speaker_playing"_s,
        u"windowcoverings_set"_s,
        u"windowcoverings_state"_s,
        u"locked"_s,
        u"open_close"_s,
        u"clean_full"_s,
        u"CMD_SET_ARMING"_s,
    };
    return set;
}

const QSet<QString> &Device::guardedClasses()
{
    static const QSet<QString> set{u"lock"_s, u"homealarm"_s, u"garagedoor"_s};
    return set;
}

const QSet<QString> &Device::guardedCapabilities()
{
    static const QSet<QString> set{u"locked"_s,           u"lock_mode"_s,       u"button_unlatch"_s,
                                   u"button_lock_n_go"_s, u"homealarm_state"_s, u"garagedoor_closed"_s};
    return set;
}

const QSet<QString> &Device::disarmingModes()
{
    static const QSet<QString> set{u"disarmed"_s, u"off"_s, u"disarm"_s, u"unarmed"_s};
    return set;
}

const QSet<QString> &Device::openingButtons()
{
    static const QSet<QString> set{u"button_unlatch"_s, u"button_lock_n_go"_s};
    return set;
}

const QSet<QString> &Device::armingCapabilities()
{
    static const QSet<QString> set{u"CMD_SET_ARMING"_s, u"homealarm_state"_s};
    return set;
}

QString Device::baseCapability(const QString &capabilityID)
{
    const qsizetype dot = capabilityID.indexOf(u'.');
    return dot < 0 ? capabilityID : capabilityID.left(dot);
}

bool Device::isProtected(const QString &capabilityID)
{
    const QString base = baseCapability(capabilityID);
    return base == u"locked" || base == u"lock_mode" || base == u"garagedoor_closed" ||
           openingButtons().contains(base) || armingCapabilities().contains(base);
}

bool Device::lowersSecurity(const QString &capability, const CapabilityValue &value)
{
    const QString base = baseCapability(capability);
    if (openingButtons().contains(base))
        return true;
    if (base == u"locked" || base == u"garagedoor_closed")
        return value.boolValue() == false;
    if (armingCapabilities().contains(base) || base == u"lock_mode") {
        // Anything but a mode name could do anything to the alarm: treat it as disarming.
        if (const auto mode = value.stringValue())
            return disarmingModes().contains(mode->toLower());
        return true;
    }
    return false;
}

const Capability *Device::capability(const QString &capabilityID) const
{
    const auto it = capabilities.find(capabilityID);
    return it == capabilities.end() ? nullptr : &it->second;
}

bool Device::isControllable() const
{
    static const QStringList bases = controlBaseCapabilities().values();
    return std::any_of(capabilities.begin(), capabilities.end(), [](const auto &entry) {
        return entry.second.setable && hasBaseIn(entry.first, bases);
    });
}

std::optional<QString> Device::switchKey(const QString &base) const
{
    if (const Capability *exact = capability(base); exact && exact->setable)
        return base;
    // Asked of every device in a room at every change: the name is matched before the map is searched.
    for (const QString &id : capabilityOrder) {
        if (!id.startsWith(base) || (id.size() > base.size() && id.at(base.size()) != u'.'))
            continue;
        const Capability *candidate = capability(id);
        if (candidate && candidate->setable && baseCapability(id) == base)
            return id;
    }
    return std::nullopt;
}

const Capability *Device::switchCapability(const QString &base) const
{
    // switchKey's rule, handing back what it found rather than searching the map for it again.
    if (const Capability *exact = capability(base); exact && exact->setable)
        return exact;
    const std::optional<QString> key = switchKey(base);
    return key ? capability(*key) : nullptr;
}

std::optional<QString> Device::onoffKey() const
{
    return switchKey(u"onoff"_s);
}

std::optional<QString> Device::dimKey() const
{
    return switchKey(u"dim"_s);
}

std::optional<bool> Device::isOn() const
{
    const Capability *onoff = switchCapability(u"onoff"_s);
    return onoff && onoff->value ? onoff->value->boolValue() : std::nullopt;
}

std::optional<double> Device::dimLevel() const
{
    const Capability *dim = switchCapability(u"dim"_s);
    return dim && dim->value ? dim->value->numberValue() : std::nullopt;
}

bool Device::hasColor() const
{
    return std::any_of(capabilities.begin(), capabilities.end(), [](const auto &entry) {
        const QString base = baseCapability(entry.first);
        return base == u"light_hue" || base == u"light_temperature";
    });
}

std::optional<double> Device::exactNumber(const QString &capabilityID) const
{
    const Capability *found = capability(capabilityID);
    if (!found || !found->value)
        return std::nullopt;
    return found->value->numberValue();
}

std::optional<double> Device::temperature() const
{
    return exactNumber(u"measure_temperature"_s);
}

std::optional<double> Device::targetTemperature() const
{
    return exactNumber(u"target_temperature"_s);
}

std::optional<double> Device::measuredPowerW() const
{
    return exactNumber(powerCapability());
}

std::optional<QString> Device::primaryAction() const
{
    if (isGuarded())
        return std::nullopt;
    if (uiQuickAction) {
        if (const Capability *quick = capability(*uiQuickAction); quick && quick->setable)
            return uiQuickAction;
    }
    if (auto key = onoffKey())
        return key;
    for (const QString &id : capabilityOrder) {
        const Capability *candidate = capability(id);
        if (candidate && candidate->setable && controlBaseCapabilities().contains(baseCapability(id)))
            return id;
    }
    return std::nullopt;
}

bool Device::isGuarded() const
{
    if (guardedClasses().contains(deviceClass))
        return true;
    static const QStringList bases = guardedCapabilities().values();
    return std::any_of(capabilities.begin(), capabilities.end(), [](const auto &entry) {
        return entry.second.setable && hasBaseIn(entry.first, bases);
    });
}

std::optional<QString> Device::firstSetableCandidate(const QSet<QString> &bases) const
{
    const auto matches = [&](const QString &id) {
        const Capability *candidate = capability(id);
        return candidate && candidate->setable && bases.contains(baseCapability(id));
    };
    if (!capabilityOrder.isEmpty()) {
        for (const QString &id : capabilityOrder) {
            if (matches(id))
                return id;
        }
        return std::nullopt;
    }
    // The map iterates in ascending id order, which is the fallback order.
    for (const auto &entry : capabilities) {
        if (matches(entry.first))
            return entry.first;
    }
    return std::nullopt;
}

std::optional<QString> Device::lockKey() const
{
    static const QSet<QString> lockBases{u"locked"_s};
    return firstSetableCandidate(lockBases);
}

std::optional<QString> Device::armingKey() const
{
    return firstSetableCandidate(armingCapabilities());
}

std::optional<bool> Device::isArmed() const
{
    const auto key = armingKey();
    if (!key)
        return std::nullopt;
    const Capability *arming = capability(*key);
    const auto mode = arming->value ? arming->value->stringValue() : std::nullopt;
    if (!mode)
        return std::nullopt;
    return !disarmingModes().contains(mode->toLower());
}

std::optional<QString> Device::guardedState() const
{
    if (!isGuarded())
        return std::nullopt;
    if (const auto key = lockKey()) {
        const Capability *lock = capability(*key);
        if (const auto locked = lock->value ? lock->value->boolValue() : std::nullopt)
            return *locked ? u"Op slot"_s : u"Ontgrendeld"_s;
    }
    const auto armed = isArmed();
    if (!armed)
        return std::nullopt;
    return *armed ? u"Ingeschakeld"_s : u"Uitgeschakeld"_s;
}

QString Device::symbol() const
{
    if (deviceClass == u"light")
        return isOn() == true ? u"lightbulb.fill"_s : u"lightbulb"_s;
    static const std::pair<QString, QString> table[] = {
        {u"socket"_s, u"powerplug"_s},
        {u"sensor"_s, u"sensor"_s},
        {u"thermostat"_s, u"thermometer.medium"_s},
        {u"speaker"_s, u"hifispeaker"_s},
        {u"tv"_s, u"tv"_s},
        {u"lock"_s, u"lock"_s},
        {u"doorbell"_s, u"bell"_s},
        {u"camera"_s, u"video"_s},
        {u"curtain"_s, u"blinds.horizontal.closed"_s},
        {u"blinds"_s, u"blinds.horizontal.closed"_s},
        {u"windowcoverings"_s, u"blinds.horizontal.closed"_s},
        {u"vacuumcleaner"_s, u"vacuum"_s},
        {u"button"_s, u"button.programmable"_s},
        {u"homealarm"_s, u"shield"_s},
        {u"solarpanel"_s, u"sun.max"_s},
        {u"fan"_s, u"fan"_s},
        {u"heater"_s, u"heater.vertical"_s},
    };
    for (const auto &[deviceClassName, symbolName] : table) {
        if (deviceClass == deviceClassName)
            return symbolName;
    }
    return u"square.grid.2x2"_s;
}
