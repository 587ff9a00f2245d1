#pragma once

#include "homey/model/device.h"
#include "homey/model/homeynotification.h"

#include <optional>
#include <QDateTime>
#include <QSet>
#include <QString>

// The Dutch emergency pager network, as it reaches the hub through a pager device.
namespace P2000 {

// Capability ids that together mark a pager device.
const QSet<QString> &signature();

struct Incident {
    QString raw;
    QString service;
    int priority = 5;
    std::optional<QString> category;
    std::optional<QString> region;
    std::optional<QString> city;
    std::optional<QString> street;
    std::optional<QString> vehicles;
    friend bool operator==(const Incident &, const Incident &) = default;
};

size_t qHash(const Incident &incident, size_t seed = 0);

bool isP2000Device(const Device &device);
std::optional<Incident> incident(const Device &from);
HomeyNotification notification(const Incident &incident, const QDateTime &date);
QString symbol(const QString &service);

// "p2000:" and a fixed 64-bit hash of the pager text, so equal texts give equal ids, also across runs.
QString notificationID(const QString &raw);

} // namespace P2000
