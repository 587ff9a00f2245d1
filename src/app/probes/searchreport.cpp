#include "app/probes/searchreport.h"

#include "app/connectiontext.h"
#include "app/probes/probetext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace SearchReport {

namespace {

bool listed(const QList<Hit> &hits, const QString &deviceID)
{
    return std::any_of(hits.begin(), hits.end(), [&deviceID](const Hit &hit) {
        return hit.target.kind() == Hit::Target::Kind::device && hit.target.id() == deviceID;
    });
}

QString deviceLine(const Device &device, const Facts &facts)
{
    const auto zone = facts.zones.constFind(device.zoneID);
    return u"  "_s + ProbeText::quoted(device.name) + u" in "_s +
           (zone != facts.zones.constEnd() ? zone->name : u"?"_s) + u" | class="_s + device.deviceClass +
           u" bedienbaar="_s + ProbeText::truth(device.isControllable()) + u" caps="_s +
           ProbeText::textList(device.capabilityOrder) + u" => STAAT IN DE TREFFERS: "_s +
           (listed(facts.hits, device.id) ? u"ja"_s : u"NEE"_s);
}

} // namespace

QStringList lines(const Facts &facts)
{
    QStringList out;
    out << u"\nSTORE: "_s + QString::number(facts.devices.size()) + u" apparaten, "_s +
               QString::number(facts.zones.size()) + u" zones, "_s + QString::number(facts.flowCount) +
               u" flows, verbinding="_s + ConnectionText::plain(facts.connection);
    out << u"QUERY: "_s + ProbeText::quoted(facts.query);
    out << u"TREFFERS: "_s + QString::number(facts.hits.size());
    for (qsizetype i = 0; i < std::min(shownHits, facts.hits.size()); ++i) {
        const Hit &hit = facts.hits.at(i);
        out << u"  "_s + ProbeText::right(i + 1, 2) + u". "_s + ProbeText::left(hit.title, 34) + u" "_s +
                   hit.subtitle.value_or(QString());
    }

    // A plain, locale-independent lower-casing: the store's own search folds far more.
    const QString needle = facts.query.toLower();
    QList<const Device *> named;
    for (const Device &device : facts.devices) {
        if (device.name.toLower().contains(needle))
            named.append(&device);
    }
    out << u"\nAPPARATEN IN DE STORE met deze naam: "_s + QString::number(named.size());
    for (const Device *device : named)
        out << deviceLine(*device, facts);
    out << QString();
    return out;
}

} // namespace SearchReport
