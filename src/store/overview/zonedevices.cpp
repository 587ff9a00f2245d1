#include "store/overview/zonedevices.h"

const QStringList &ZoneDevices::of(const QString &zoneID)
{
    if (!m_byZone) {
        m_byZone.emplace();
        for (const Device &device : m_devices)
            (*m_byZone)[device.zoneID].append(device.id);
    }
    static const QStringList none;
    const auto found = m_byZone->constFind(zoneID);
    return found != m_byZone->constEnd() ? *found : none;
}
