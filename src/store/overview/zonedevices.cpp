#include "store/overview/zonedevices.h"

const QStringList &ZoneDevices::of(const QString &zoneID)
{
    return group(zoneID).devices;
}

const QStringList &ZoneDevices::lampsOf(const QString &zoneID)
{
    return group(zoneID).lamps;
}

const ZoneDevices::Group &ZoneDevices::group(const QString &zoneID)
{
    if (!m_byZone) {
        m_byZone.emplace();
        for (const Device &device : m_devices) {
            Group &group = (*m_byZone)[device.zoneID];
            group.devices.append(device.id);
            if (device.deviceClass == u"light")
                group.lamps.append(device.id);
        }
    }
    static const Group none;
    const auto found = m_byZone->constFind(zoneID);
    return found != m_byZone->constEnd() ? *found : none;
}
