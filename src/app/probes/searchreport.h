#pragma once

#include "homey/model/connectionstate.h"
#include "homey/model/hit.h"
#include "homey/model/homemaps.h"

#include <QList>
#include <QString>
#include <QStringList>

// The search probe's report: what the store holds, the ranked hits of a query, and the devices whose name
// contains the query with whether each made it into the hits. Each item is one printed line.
namespace SearchReport {

struct Facts {
    QString query;
    DeviceMap devices;
    ZoneMap zones;
    qsizetype flowCount = 0;
    ConnectionState connection;
    QList<Hit> hits;
};

// At most this many hits are listed.
constexpr qsizetype shownHits = 12;

QStringList lines(const Facts &facts);

} // namespace SearchReport
