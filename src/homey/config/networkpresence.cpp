#include "homey/config/networkpresence.h"

#include <QNetworkInterface>

namespace NetworkPresence {

bool hasUsableInterface()
{
    const auto running = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        if ((interface.flags() & running) != running || (interface.flags() & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (!entry.ip().isNull() && !entry.ip().isLoopback())
                return true;
        }
    }
    return false;
}

} // namespace NetworkPresence
