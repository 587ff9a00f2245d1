#pragma once

#include "homey/config/servicebrowser.h"

#include <QHash>
#include <QStringList>

// A local network made up by the test: the entries a browse finds and the address each name resolves to.
class FakeServiceBrowser final : public ServiceBrowser {
public:
    QList<BrowseEntry> entries;
    QHash<QString, QString> addresses; // instance name -> what the lookup reports

    QStringList browsedTypes;
    QList<std::chrono::milliseconds> browseDurations;
    QStringList lookups; // "name|type|domain", in call order

    QCoro::Task<QList<BrowseEntry>> browse(QString type, std::chrono::milliseconds duration) override
    {
        browsedTypes << type;
        browseDurations << duration;
        co_return entries;
    }

    QCoro::Task<std::optional<QString>> resolveIPv4(QString name, QString type, QString domain,
                                                    std::chrono::milliseconds) override
    {
        lookups << name + u'|' + type + u'|' + domain;
        const auto found = addresses.constFind(name);
        if (found == addresses.constEnd())
            co_return std::nullopt;
        co_return *found;
    }
};
