#include "app/probes/keycheck.h"

#include "app/probes/probetext.h"

#include <QSet>

using namespace Qt::StringLiterals;

QStringList KeyCheck::expectedIDsOf(const QList<Hit> &expected, const DeviceMap &devices,
                                    const std::optional<QString> &scopeZoneID)
{
    QStringList ids;
    for (const Hit &hit : expected) {
        if (!scopeZoneID) {
            ids.append(hit.id);
            continue;
        }
        if (hit.target.kind() != Hit::Target::Kind::device)
            continue;
        const auto device = devices.constFind(hit.target.id());
        if (device != devices.constEnd() && device->zoneID == *scopeZoneID && device->isControllable())
            ids.append(u"device:"_s + device->id);
    }
    return ids;
}

bool KeyCheck::listKeptUp() const
{
    QSet<QString> currentIDs;
    for (const Hit &hit : current)
        currentIDs.insert(hit.id);
    return QSet<QString>(expectedIDs.begin(), expectedIDs.end()) == currentIDs;
}

QString KeyCheck::verdict() const
{
    if (passed())
        return u"ok  "_s + (current.isEmpty() ? u"-"_s : current.constFirst().title);
    QString behind = u"MIS "_s;
    if (!queryKeptUp())
        behind += u"query "_s;
    if (!fieldKeptUp())
        behind += u"veld "_s;
    if (!listKeptUp())
        behind += u"lijst"_s;
    return behind;
}

QString KeyCheck::line(int run) const
{
    return u"  run "_s + ProbeText::right(run, 2) + u"  getikt="_s + ProbeText::left(typed, 14) +
           u" veld="_s + ProbeText::left(field, 14) + u" store="_s + ProbeText::left(storeQuery, 14) +
           u" treffers="_s + ProbeText::right(current.size(), 2) + u"  "_s + verdict();
}
