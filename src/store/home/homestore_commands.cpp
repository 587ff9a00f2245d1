// Running rows, toggling devices and switching whole rooms.
#include "base/log.h"
#include "homey/rest/homeyrestclient.h"
#include "store/home/homestore.h"
#include "store/home/runaction.h"

#include <algorithm>

using namespace Qt::StringLiterals;

QCoro::Task<> HomeStore::run(Hit hit)
{
    return runTask(this, std::move(hit));
}

QCoro::Task<> HomeStore::runTask(QPointer<HomeStore> self, Hit hit)
{
    self->remember(hit.id);
    const Hit::Target target = hit.target;
    const Device *known = self->deviceOf(hit);
    const std::optional<Device> device = known ? std::optional<Device>(*known) : std::nullopt;
    const RunAction action = self->runAction(hit);

    switch (action.kind) {
    case RunAction::Kind::Nothing:
        co_return;
    case RunAction::Kind::Start:
        co_await startFlowOrMood(self, target);
        co_return;
    case RunAction::Kind::OpenStrip:
        self->setDetailDeviceID(device->id);
        co_return;
    case RunAction::Kind::Default:
        if (device)
            co_await runDefault(self, *device);
        else
            co_await setAllLights(self, target.id(), !self->anyLightOn(target.id()));
        co_return;
    case RunAction::Kind::SwitchOn:
    case RunAction::Kind::SwitchOff: {
        const bool on = action.kind == RunAction::Kind::SwitchOn;
        if (device)
            co_await write(self, device->id, *device->onoffKey(), CapabilityValue::fromBool(on));
        else
            co_await setAllLights(self, target.id(), on);
        co_return;
    }
    case RunAction::Kind::SetLevel:
        // A typed level on a room sets its lamps to it, as the row's subtitle promises, through the room
        // dimmer's rules: lamps that are off are switched on.
        if (device)
            co_await setDimTask(self, device->id, action.level);
        else
            co_await setAllDimTask(self, target.id(), action.level);
        co_return;
    }
}

RunAction HomeStore::runAction(const Hit &hit) const
{
    const bool room = hit.target.kind() == Hit::Target::Kind::room;
    return RunAction::of(hit, deviceOf(hit), m_verb, room && hasSwitchableLamp(hit.target.id()));
}

RunAction HomeStore::toggleAction(const Hit &hit) const
{
    const bool room = hit.target.kind() == Hit::Target::Kind::room;
    return RunAction::ofToggle(hit, deviceOf(hit), room && hasSwitchableLamp(hit.target.id()));
}

const Device *HomeStore::deviceOf(const Hit &hit) const
{
    if (hit.target.kind() != Hit::Target::Kind::device)
        return nullptr;
    const auto found = m_devices.constFind(hit.target.id());
    return found != m_devices.constEnd() ? &*found : nullptr;
}

bool HomeStore::hasSwitchableLamp(const QString &zoneID) const
{
    // The lamps setAllLights switches.
    return std::any_of(m_devices.cbegin(), m_devices.cend(), [&](const Device &candidate) {
        return candidate.zoneID == zoneID && isPlainLight(candidate) && candidate.onoffKey();
    });
}

QCoro::Task<> HomeStore::startFlowOrMood(QPointer<HomeStore> self, Hit::Target target)
{
    const std::shared_ptr<HomeyRESTClient> rest = self->m_restClient;
    std::exception_ptr failure;
    try {
        if (target.kind() == Hit::Target::Kind::flow)
            co_await rest->startFlow(target.id(), target.isAdvanced());
        else
            co_await rest->setMood(target.id());
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (!failure) {
        self->setLastError(std::nullopt);
        co_return;
    }
    const HomeyError error = asHomeyError(failure);
    const bool isFlow = target.kind() == Hit::Target::Kind::flow;
    const QString name =
        isFlow ? self->m_flows.value(target.id()).name : self->m_moods.value(target.id()).name;
    // As with a failed write: the banner goes with the next change, the log keeps what was refused.
    log(u"!! starten mislukt: "_s + (isFlow ? u"flow "_s : u"mood "_s) + name + u" ("_s + target.id() +
        u"): "_s + error.errorDescription());
    self->setLastError(error);
}

QCoro::Task<> HomeStore::runDefault(QPointer<HomeStore> self, Device device)
{
    if (device.onoffKey()) {
        co_await toggleTask(self, device.id);
        co_return;
    }
    const std::optional<QString> action = device.primaryAction();
    const Capability *capability = action ? device.capability(*action) : nullptr;
    if (!capability || capability->kind != Capability::Kind::boolean) {
        self->setDetailDeviceID(device.id);
        co_return;
    }
    const std::optional<bool> current = capability->value ? capability->value->boolValue() : std::nullopt;
    co_await write(self, device.id, *action, CapabilityValue::fromBool(current ? !*current : true));
}

QCoro::Task<> HomeStore::toggle(QString deviceID)
{
    return toggleTask(this, std::move(deviceID));
}

QCoro::Task<> HomeStore::toggleTask(QPointer<HomeStore> self, QString deviceID)
{
    if (!self)
        co_return;
    const auto found = self->m_devices.constFind(deviceID);
    if (found == self->m_devices.constEnd())
        co_return;
    const std::optional<QString> onoff = found->onoffKey();
    if (!onoff)
        co_return;
    if (found->isGuarded()) {
        self->setDetailDeviceID(deviceID);
        co_return;
    }
    // An unknown state goes on.
    const bool on = found->isOn() != true;
    co_await write(self, deviceID, *onoff, CapabilityValue::fromBool(on));
}

QCoro::Task<> HomeStore::toggleSelection()
{
    return toggleSelectionTask(this);
}

QCoro::Task<> HomeStore::toggleSelectionTask(QPointer<HomeStore> self)
{
    const std::optional<Hit> hit = self->selectedHit();
    if (!hit)
        co_return;
    const Hit::Target target = hit->target;
    switch (self->toggleAction(*hit).kind) {
    case RunAction::Kind::Nothing:
        co_return;
    case RunAction::Kind::Start:
        co_await runTask(self, *hit);
        co_return;
    case RunAction::Kind::OpenStrip:
        self->setDetailDeviceID(target.id());
        co_return;
    case RunAction::Kind::Default:
    case RunAction::Kind::SwitchOn:
    case RunAction::Kind::SwitchOff:
    case RunAction::Kind::SetLevel:
        break;
    }
    if (target.kind() == Hit::Target::Kind::device)
        co_await toggleTask(self, target.id());
    else
        co_await setAllLights(self, target.id(), !self->anyLightOn(target.id()));
}

QCoro::Task<> HomeStore::runScene(int position)
{
    if (position < 0 || position >= m_rest.scenes.size())
        return []() -> QCoro::Task<> { co_return; }();
    return runTask(this, m_rest.scenes.at(position));
}

QCoro::Task<> HomeStore::allOff(QString zoneID)
{
    return setAllLights(this, std::move(zoneID), false);
}

bool HomeStore::anyLightOn(const QString &zoneID) const
{
    const QList<Device> roomLights = lights(zoneID);
    return std::any_of(roomLights.begin(), roomLights.end(), [](const Device &light) {
        const std::optional<QString> onoff = light.onoffKey();
        const Capability *capability = onoff ? light.capability(*onoff) : nullptr;
        return capability && capability->value == CapabilityValue::fromBool(true);
    });
}

QCoro::Task<> HomeStore::setAllLights(QPointer<HomeStore> self, QString zoneID, bool on,
                                      std::optional<DeviceMap> before)
{
    const CapabilityValue wanted = CapabilityValue::fromBool(on);
    QList<WriteJob> jobs;
    for (const Device &light : self->lights(zoneID)) {
        // Decided from what the hub has: under a room dimmer's preview that is the state before it.
        const Device state = before ? before->value(light.id, light) : light;
        const std::optional<QString> onoff = state.onoffKey();
        if (!onoff)
            continue;
        const std::optional<CapabilityValue> value = state.capability(*onoff)->value;
        if (value == wanted)
            continue;
        WriteJob job;
        job.deviceID = light.id;
        job.capabilityID = *onoff;
        job.value = wanted;
        if (before)
            job.restore = value.value_or(CapabilityValue::none());
        jobs.append(job);
    }
    self->remember(u"room:"_s + zoneID);
    co_await runBatch(self, std::move(jobs));
}

QCoro::Task<> HomeStore::runBatch(QPointer<HomeStore> self, QList<WriteJob> jobs)
{
    // Every local change inside the batch skips its rebuild; the batch rebuilds once at the end.
    ++self->m_derivedBatch;
    co_await perform(self, std::move(jobs));
    if (!self)
        co_return;
    --self->m_derivedBatch;
    self->rebuildRest();
    self->rebuildRoom();
    self->recomputeHits();
}
