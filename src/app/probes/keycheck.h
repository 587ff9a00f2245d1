#pragma once

#include "homey/model/hit.h"
#include "homey/model/homemaps.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// The type probe's check after one key stroke: did the store's query, the search field and the store's
// list all keep up with what was typed?
struct KeyCheck {
    QString typed;
    // The search field's text, or a note that the window's focus is in no text field.
    QString field;
    QString storeQuery;
    // The ids the list should hold, in any order.
    QStringList expectedIDs;
    // What the panel lists now.
    QList<Hit> current;

    // The ids a list built from `expected` should hold: every hit's, or inside a room only its
    // controllable devices' (as the room view's rows name them).
    static QStringList expectedIDsOf(const QList<Hit> &expected, const DeviceMap &devices,
                                     const std::optional<QString> &scopeZoneID);

    bool queryKeptUp() const { return storeQuery == typed; }
    bool fieldKeptUp() const { return field == typed; }
    bool listKeptUp() const;
    bool passed() const { return queryKeptUp() && fieldKeptUp() && listKeptUp(); }
    // "ok  " and the first row's title, or "MIS " and what fell behind.
    QString verdict() const;
    // The printed line of this check in the given run.
    QString line(int run) const;
};
