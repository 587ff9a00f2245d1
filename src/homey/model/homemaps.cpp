#include "homey/model/homemaps.h"

#include "base/text/searchtext.h"

namespace HomeMaps {

QString sceneKey(const QString &name)
{
    return SearchText::tokens(name).join(u' ');
}

QSet<QString> containerZoneIDs(const ZoneMap &zones)
{
    QSet<QString> ids;
    ids.reserve(zones.size());
    for (const Zone &zone : zones)
        ids.insert(zone.parentID.value_or(zone.id));
    return ids;
}

QSet<QString> sceneKeys(const FlowMap &flows, const MoodMap &moods)
{
    QSet<QString> keys;
    keys.reserve(flows.size() + moods.size());
    for (const Flow &flow : flows) {
        if (flow.enabled && flow.triggerable)
            keys.insert(sceneKey(flow.name));
    }
    for (const Mood &mood : moods)
        keys.insert(sceneKey(mood.name));
    return keys;
}

bool isSceneTwin(const Device &device, const QSet<QString> &sceneKeys)
{
    return device.deviceClass == u"light" && !device.dimKey() && !device.hasColor() &&
           sceneKeys.contains(sceneKey(device.name));
}

QSet<QString> sceneTwinDeviceIDs(const DeviceMap &devices, const FlowMap &flows, const MoodMap &moods)
{
    const QSet<QString> keys = sceneKeys(flows, moods);
    QSet<QString> twins;
    for (const Device &device : devices) {
        if (isSceneTwin(device, keys))
            twins.insert(device.id);
    }
    return twins;
}

} // namespace HomeMaps
