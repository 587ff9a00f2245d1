#pragma once

#include "homey/model/homemaps.h"

#include <optional>
#include <QHash>
#include <QString>
#include <QStringList>

// The ids of each zone's devices in the order the device map holds them, so that whatever is summed over a
// zone comes out as a scan of the whole map gives it. Made on first use; its owner clears it whenever the
// map gains or loses a device or a device changes zone, as those change the groups or the map's order.
class ZoneDevices {
public:
    explicit ZoneDevices(const DeviceMap &devices) : m_devices(devices) {}

    const QStringList &of(const QString &zoneID);
    void clear() { m_byZone.reset(); }

private:
    const DeviceMap &m_devices;
    std::optional<QHash<QString, QStringList>> m_byZone;
};
