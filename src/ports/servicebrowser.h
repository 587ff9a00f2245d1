#pragma once

#include <chrono>
#include <optional>
#include <QCoroTask>
#include <QList>
#include <QMap>
#include <QString>

// One service instance seen while browsing.
struct BrowseEntry {
    QString name;
    QString type;
    QString domain;
    QMap<QString, QString> txt; // empty when the service has no TXT record

    bool operator==(const BrowseEntry &) const = default;
};

// DNS-SD on the local network.
class ServiceBrowser {
public:
    virtual ~ServiceBrowser() = default;
    // Browses `type` (e.g. "_homey._tcp") for the whole `duration`; one entry per instance name, the latest
    // record seen; services that vanished during the browse stay. Never fails: no daemon -> empty list.
    virtual QCoro::Task<QList<BrowseEntry>> browse(QString type, std::chrono::milliseconds duration) = 0;
    // The service's IPv4 address in dotted form (no "%iface" suffix), or nullopt within `timeout`.
    virtual QCoro::Task<std::optional<QString>> resolveIPv4(QString name, QString type, QString domain,
                                                            std::chrono::milliseconds timeout) = 0;
};
