#pragma once

#include "ports/servicebrowser.h"

#include <chrono>
#include <QDBusConnection>

// DNS-SD through avahi-daemon's D-Bus interface on the system bus. No bus or no daemon is an empty
// result, never an error and never a wait.
class AvahiServiceBrowser final : public ServiceBrowser {
public:
    // `callTimeout` bounds each call to the daemon and the reading of TXT records after a browse.
    explicit AvahiServiceBrowser(QDBusConnection bus = QDBusConnection::systemBus(),
                                 std::chrono::milliseconds callTimeout = std::chrono::seconds(2));

    QCoro::Task<QList<BrowseEntry>> browse(QString type, std::chrono::milliseconds duration) override;
    QCoro::Task<std::optional<QString>> resolveIPv4(QString name, QString type, QString domain,
                                                    std::chrono::milliseconds timeout) override;

private:
    QDBusConnection m_bus;
    std::chrono::milliseconds m_callTimeout;
};
