// Applying the hub's realtime changes to the home, with the echo rule for our own writes.
#include "base/log.h"
#include "store/home/homestore.h"
#include "store/notifications/p2000.h"

#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QString droppedText = u"De live-verbinding viel weg: "_s;

QCoro::Task<> resyncLater(QPointer<HomeStore> self)
{
    if (self)
        co_await self->resync();
}

} // namespace

void HomeStore::apply(const HomeyEvent &event)
{
    if (const auto *change = event.as<HomeyEvent::Capability>()) {
        applyCapability(*change);
    } else if (const auto *updated = event.as<HomeyEvent::DeviceUpdated>()) {
        // The record before the change is moved out rather than copied: only the new one is copied in.
        std::optional<Device> before;
        if (const auto known = m_devices.find(updated->device.id); known != m_devices.end()) {
            before = std::exchange(*known, updated->device);
            if (before->zoneID != updated->device.zoneID)
                m_zoneDevices.clear();
            Q_EMIT devicesChanged();
        } else {
            putDevice(updated->device);
        }
        const bool twinsKept = updateIndex(before, updated->device);
        if (m_panelVisible) {
            // Only this device's power is read again when nothing else changed since the last sum.
            const bool onlyThat = before && m_deviceChanges == m_deviceChangesSummed + 1;
            m_energy.recompute(onlyThat ? std::optional(updated->device.id) : std::nullopt);
            m_deviceChangesSummed = m_deviceChanges;
        }
        if (before && twinsKept)
            refreshDerived(*before, updated->device, true, true);
        else
            refreshDerived(true, true);
    } else if (const auto *deleted = event.as<HomeyEvent::DeviceDeleted>()) {
        if (m_devices.remove(deleted->deviceID)) {
            m_zoneDevices.clear();
            Q_EMIT devicesChanged();
        }
        if (m_detailDeviceID == deleted->deviceID)
            setDetailDeviceID(std::nullopt);
        rebuildIndex();
        m_energy.indexSources();
        m_p2000.index();
        if (m_panelVisible)
            m_energy.recompute();
        refreshDerived(true, true);
    } else if (const auto *zone = event.as<HomeyEvent::ZoneUpdated>()) {
        const auto known = m_zones.constFind(zone->zone.id);
        const std::optional<Zone> before = known != m_zones.constEnd() ? std::optional(*known) : std::nullopt;
        ZoneMap zones = m_zones;
        zones.insert(zone->zone.id, zone->zone);
        setZones(std::move(zones));
        updateIndex(before, zone->zone);
        refreshDerived(true, m_scopeZoneID == zone->zone.id);
    } else if (const auto *created = event.as<HomeyEvent::NotificationCreated>()) {
        m_notifications->ingest(QList<RawNotification>{created->notification});
    } else if (const auto *dropped = event.as<HomeyEvent::Disconnected>()) {
        setConnection(ConnectionState::degraded(droppedText + dropped->reason));
    } else if (event.as<HomeyEvent::FlowsChanged>()) {
        reloadFlows(this);
    } else if (event.as<HomeyEvent::Connected>()) {
        setConnection(ConnectionState::live());
        setLastError(std::nullopt);
        if (m_expectInitialConnected) {
            m_expectInitialConnected = false;
            return;
        }
        // Changes made while the link was down were never sent: reload the home.
        resyncLater(this);
    }
}

void HomeStore::applyCapability(const HomeyEvent::Capability &event)
{
    // Our own write, still in flight: its echo changes nothing; another value waits its turn.
    if (!m_pending.isEmpty() && m_pending.absorbs(PendingWrites::key(event.deviceID, event.capabilityID),
                                                  event.value, m_options.clock->now()))
        return;

    const auto found = m_devices.find(event.deviceID);
    if (found == m_devices.end())
        return;
    const auto capability = found->capabilities.find(event.capabilityID);
    if (capability == found->capabilities.end())
        return;
    const bool rest = affectsRest(event.capabilityID);
    // Only what the overview needs from before the change: it follows this device alone.
    const std::optional<Device> before = rest && m_panelVisible ? std::optional(*found) : std::nullopt;
    capability->second.value = event.value;
    capability->second.lastUpdated = m_options.clock->wallNow();
    const QString deviceName = found->name;
    const QString zoneID = found->zoneID;
    Q_EMIT devicesChanged();

    m_energy.capabilityDidChange(event.deviceID, event.capabilityID);
    m_p2000.deviceDidTick(event.deviceID);
    // Found again: whoever heard devicesChanged may have changed the home meanwhile.
    const auto changed = before ? m_devices.constFind(event.deviceID) : m_devices.constEnd();
    if (changed != m_devices.constEnd())
        refreshDerived(*before, *changed, rest, m_scopeZoneID == zoneID);
    else
        refreshDerived(rest, m_scopeZoneID == zoneID, event.deviceID);
    setEventCount(m_eventCount + 1);
    if (m_eventCount == 1 || m_eventCount % 50 == 0) {
        log(u"socket-event #"_s + QString::number(m_eventCount) + u": "_s + deviceName + u' ' +
            event.capabilityID + u" = "_s + describe(event.value));
    }
}

bool HomeStore::updateIndex(const std::optional<Device> &before, const Device &after)
{
    if (!before || !m_index.updateDevice(*before, after, m_zones)) {
        rebuildIndex();
        m_energy.indexSources();
        m_p2000.index();
        return false;
    }
    // The device is a scene's twin after as before (updateDevice says no otherwise): the twins stay.
    if (before->energyRole != after.energyRole)
        m_energy.indexSources();
    if (P2000::isP2000Device(*before) || P2000::isP2000Device(after))
        m_p2000.index();
    return true;
}

void HomeStore::updateIndex(const std::optional<Zone> &before, const Zone &after)
{
    // Of a zone, the index holds only its name and its place.
    if (before && before->name == after.name && before->parentID == after.parentID)
        return;
    QList<Device> inZone;
    for (const QString &id : m_zoneDevices.of(after.id))
        inZone.append(m_devices.value(id));
    if (!m_index.updateZone(before, after, inZone, m_zones))
        rebuildIndex();
}

bool HomeStore::affectsRest(const QString &capabilityID)
{
    // Asked for every realtime change: the base name is compared in place rather than copied out.
    const qsizetype dot = capabilityID.indexOf(u'.');
    const QStringView base = QStringView(capabilityID).left(dot < 0 ? capabilityID.size() : dot);
    return base == u"onoff" || base == u"dim" || base == u"measure_temperature";
}

QString HomeStore::describe(const CapabilityValue &value)
{
    switch (value.kind()) {
    case CapabilityValue::Kind::boolean:
        return *value.boolValue() ? u"aan"_s : u"uit"_s;
    case CapabilityValue::Kind::number: {
        const double number = *value.numberValue();
        // Whole numbers print as integers while they fit one; anything else gets two decimals.
        if (std::isfinite(number) && number == std::trunc(number) && std::abs(number) < 9.0e18)
            return QString::number(qint64(number));
        return QString::asprintf("%.2f", number);
    }
    case CapabilityValue::Kind::string:
        return *value.stringValue();
    case CapabilityValue::Kind::none:
        return u"-"_s;
    }
    return u"-"_s;
}
