#pragma once

#include "homey/model/homeynotification.h"
#include "homey/model/rawnotification.h"

#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>

// Reads the hub's timeline entries into notifications, including the fixed sentence of P2000 lines.
namespace TimelineParser {

struct P2000Parts {
    QString service;
    QString region;
    qint64 priority = 0;
    friend bool operator==(const P2000Parts &, const P2000Parts &) = default;
};

// `now` dates entries that came without a date.
std::optional<HomeyNotification> notification(const RawNotification &entry, bool includeP2000,
                                              const QDateTime &now = QDateTime::currentDateTimeUtc());
std::optional<P2000Parts> parts(const QString &inP2000);
bool isP2000(const QString &text);
std::optional<QString> region(const QString &inP2000);
// Of regions with equal counts, the one that reached that count first wins.
std::optional<QString> dominantRegion(const QList<RawNotification> &in);
HomeyNotification::Source source(const QString &ownerUri, const QString &excerpt);

} // namespace TimelineParser
