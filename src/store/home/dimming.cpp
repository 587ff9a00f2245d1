// Dimming lamps and rooms, with coalescing of quick steps, and thermostat targets.
#include "store/home/homestore.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

std::optional<CapabilityValue> valueOf(const Device &device, const std::optional<QString> &capabilityID)
{
    const Capability *capability = capabilityID ? device.capability(*capabilityID) : nullptr;
    return capability ? capability->value : std::nullopt;
}

const QString targetTemperature = u"target_temperature"_s;

} // namespace

double HomeStore::clampLevel(double level)
{
    // Below 0 and not a number alike give 0.
    if (!(level > 0))
        return 0;
    return std::min(level, 1.0);
}

QCoro::Task<> HomeStore::setDim(QString deviceID, double level)
{
    return setDimTask(this, std::move(deviceID), level);
}

QCoro::Task<> HomeStore::setDimTask(QPointer<HomeStore> self, QString deviceID, double level,
                                    std::optional<Device> before)
{
    if (!self)
        co_return;
    const auto found = self->m_devices.constFind(deviceID);
    if (found == self->m_devices.constEnd())
        co_return;
    const Device device = *found;
    const std::optional<QString> dimKey = device.dimKey();
    if (!dimKey)
        co_return;
    // Rounded before deciding: a level that goes out as 0 must switch as 0.
    const Capability *dim = device.capability(*dimKey);
    const double l = dim ? dim->writable(clampLevel(level)) : clampLevel(level);
    const std::optional<QString> onoff = device.onoffKey();
    std::optional<bool> isOn = device.isOn();
    std::optional<CapabilityValue> onRestore;
    std::optional<CapabilityValue> dimRestore;
    if (before) {
        // A preview showed the lamp on before the hub heard of it: the hub still has it off.
        if (onoff && before->isOn() == false && isOn == true) {
            isOn = false;
            if (l > 0)
                onRestore = CapabilityValue::fromBool(false);
            else
                self->applyLocal(deviceID, *onoff, CapabilityValue::fromBool(false));
        }
        dimRestore = valueOf(*before, dimKey).value_or(CapabilityValue::none());
    }

    // Dimming a dark lamp up switches it on first, dimming a lit one to 0 switches it off first; one after
    // the other: the level goes out only once the switch has been answered.
    const bool switchFirst = l > 0 ? isOn == false : isOn == true;
    if (onoff && switchFirst) {
        co_await write(self, deviceID, *onoff, CapabilityValue::fromBool(l > 0), onRestore);
        if (!self)
            co_return;
    }
    co_await write(self, deviceID, *dimKey, CapabilityValue::fromNumber(l), dimRestore);
}

void HomeStore::nudgeDim(const QString &deviceID, double step)
{
    const auto found = m_devices.constFind(deviceID);
    if (found == m_devices.constEnd())
        return;
    const Device device = *found;
    const std::optional<QString> dimKey = device.dimKey();
    if (!dimKey)
        return;
    const auto waiting = m_dimTargets.constFind(deviceID);
    const bool startsWait = waiting == m_dimTargets.constEnd();
    if (startsWait)
        m_lampsBeforeDim.insert(deviceID, device);
    const double base = startsWait ? device.dimLevel().value_or(0) : *waiting;
    const double target = clampLevel(base + step);
    m_dimTargets.insert(deviceID, target);
    applyLocal(deviceID, *dimKey, CapabilityValue::fromNumber(target));
    const std::optional<QString> onoff = device.onoffKey();
    if (target > 0 && onoff && device.isOn() == false)
        applyLocal(deviceID, *onoff, CapabilityValue::fromBool(true));

    if (const auto task = m_dimTasks.find(deviceID); task != m_dimTasks.end())
        task->cancel();
    const CancelToken token;
    m_dimTasks.insert(deviceID, token);
    dimDebounce(this, deviceID, false, token);
}

QCoro::Task<> HomeStore::dimDebounce(QPointer<HomeStore> self, QString id, bool room, CancelToken token)
{
    const std::shared_ptr<Clock> clock = self->m_options.clock;
    const bool slept = co_await clock->sleep(room ? roomDimQuiet : lampDimQuiet, token);
    if (!slept || !self || token.isCancelled())
        co_return;
    if (room)
        co_await flushRoomDim(self, id);
    else
        co_await flushDim(self, id);
}

QCoro::Task<> HomeStore::flushDim(QPointer<HomeStore> self, QString deviceID)
{
    if (!self || !self->m_dimTargets.contains(deviceID))
        co_return;
    const double level = self->m_dimTargets.take(deviceID);
    self->m_dimTasks.remove(deviceID);
    std::optional<Device> before;
    if (self->m_lampsBeforeDim.contains(deviceID))
        before = self->m_lampsBeforeDim.take(deviceID);
    co_await setDimTask(self, deviceID, level, before);
}

QCoro::Task<> HomeStore::setTarget(QString deviceID, double value)
{
    return setTargetTask(this, std::move(deviceID), value);
}

QCoro::Task<> HomeStore::setTargetTask(QPointer<HomeStore> self, QString deviceID, double value)
{
    const auto found = self->m_devices.constFind(deviceID);
    if (found == self->m_devices.constEnd())
        co_return;
    const Capability *capability = found->capability(targetTemperature);
    if (!capability || !capability->setable)
        co_return;
    if (capability->min && *capability->min > value)
        value = *capability->min;
    if (capability->max && value >= *capability->max)
        value = *capability->max;
    co_await write(self, deviceID, targetTemperature, CapabilityValue::fromNumber(value));
}

QCoro::Task<> HomeStore::setAllDim(QString zoneID, double level)
{
    return setAllDimTask(this, std::move(zoneID), level);
}

QCoro::Task<> HomeStore::setAllDimTask(QPointer<HomeStore> self, QString zoneID, double level,
                                       std::optional<DeviceMap> before)
{
    if (!self)
        co_return;
    // A room's level is nobody's capability: hundredths, so that a level that rounds to 0 switches off.
    const double l = Capability::onGrid(clampLevel(level));
    self->remember(u"room:"_s + zoneID);
    if (l == 0) {
        co_await setAllLights(self, zoneID, false, before);
        co_return;
    }
    const QList<Device> roomLights = self->lights(zoneID);
    // Decided from what the hub has: under the room dimmer's preview that is the state before it.
    auto stateOf = [&before](const Device &light) { return before ? before->value(light.id, light) : light; };
    const bool anyOn = std::any_of(roomLights.begin(), roomLights.end(), [&](const Device &light) {
        const Device state = stateOf(light);
        return valueOf(state, state.onoffKey()) == CapabilityValue::fromBool(true);
    });
    QList<WriteJob> jobs;
    for (const Device &light : roomLights) {
        const Device state = stateOf(light);
        WriteJob job;
        job.deviceID = light.id;
        if (light.dimKey()) {
            job.kind = WriteJob::Kind::Dim;
            job.level = l;
            if (before)
                job.before = state;
            jobs.append(job);
            continue;
        }
        const std::optional<QString> onoff = state.onoffKey();
        const std::optional<CapabilityValue> value = valueOf(state, onoff);
        if (anyOn || !onoff || value != CapabilityValue::fromBool(false))
            continue;
        job.capabilityID = *onoff;
        job.value = CapabilityValue::fromBool(true);
        if (before)
            job.restore = value;
        jobs.append(job);
    }
    co_await runBatch(self, std::move(jobs));
}

void HomeStore::scrubRoomDim(double level)
{
    if (!m_scopeZoneID)
        return;
    const QString zoneID = *m_scopeZoneID;
    const QString key = roomDimKey(zoneID);
    const double l = clampLevel(level);
    if (!m_dimTargets.contains(key)) {
        DeviceMap before;
        for (const Device &light : lights(zoneID))
            before.insert(light.id, light);
        m_roomsBeforeDim.insert(key, before);
    }
    m_dimTargets.insert(key, l);
    applyLocalRoomDim(zoneID, l);

    if (const auto task = m_dimTasks.find(key); task != m_dimTasks.end())
        task->cancel();
    const CancelToken token;
    m_dimTasks.insert(key, token);
    dimDebounce(this, zoneID, true, token);
}

void HomeStore::nudgeRoomDim(double step)
{
    if (!m_scopeZoneID)
        return;
    // A step moves the dimmer from where it stands: the mean of the room's tile counts switched lamps
    // without a dimmer as full, and stepping from it could brighten a room on a step down.
    scrubRoomDim(roomDimLevel() + step);
}

void HomeStore::applyLocalRoomDim(const QString &zoneID, double level)
{
    for (Device light : lights(zoneID)) {
        const std::optional<QString> onoff = light.onoffKey();
        const std::optional<QString> dimKey = light.dimKey();
        const std::optional<CapabilityValue> on = valueOf(light, onoff);
        if (level > 0 && dimKey) {
            light.capabilities[*dimKey].value = CapabilityValue::fromNumber(level);
            if (on == CapabilityValue::fromBool(false))
                light.capabilities[*onoff].value = CapabilityValue::fromBool(true);
            putDevice(light);
        } else if (level == 0 && on == CapabilityValue::fromBool(true)) {
            light.capabilities[*onoff].value = CapabilityValue::fromBool(false);
            putDevice(light);
        }
    }
    rebuildRest();
    rebuildRoom();
}

QCoro::Task<> HomeStore::flushRoomDim(QPointer<HomeStore> self, QString zoneID)
{
    const QString key = roomDimKey(zoneID);
    if (!self || !self->m_dimTargets.contains(key))
        co_return;
    const double level = self->m_dimTargets.take(key);
    self->m_dimTasks.remove(key);
    std::optional<DeviceMap> before;
    if (self->m_roomsBeforeDim.contains(key))
        before = self->m_roomsBeforeDim.take(key);
    co_await setAllDimTask(self, zoneID, level, before);
}

void HomeStore::flushWaitingRoomDim()
{
    const QString prefix = roomDimKey(QString());
    const QStringList waiting = m_dimTargets.keys();
    for (const QString &key : waiting) {
        if (!key.startsWith(prefix))
            continue;
        if (const auto task = m_dimTasks.find(key); task != m_dimTasks.end())
            task->cancel();
        // Runs on by itself; its writes are under way before this returns.
        flushRoomDim(this, key.mid(prefix.size()));
    }
}
