#include "homey/rest/networkreachability.h"

#include <algorithm>
#include <QCoreApplication>
#include <QNetworkInformation>
#include <QNetworkInterface>

namespace {

bool hasUsableInterface()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    return std::any_of(interfaces.begin(), interfaces.end(), [](const QNetworkInterface &interface) {
        const auto flags = interface.flags();
        return flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning) &&
               !flags.testFlag(QNetworkInterface::IsLoopBack) && !interface.addressEntries().isEmpty();
    });
}

} // namespace

bool NetworkReachability::machineIsOffline()
{
    // Loaded once: the backend lives as long as the application.
    static const bool backend = QCoreApplication::instance() && QNetworkInformation::loadDefaultBackend();
    if (backend) {
        switch (QNetworkInformation::instance()->reachability()) {
        case QNetworkInformation::Reachability::Disconnected:
            return true;
        case QNetworkInformation::Reachability::Unknown:
            break;
        default:
            return false;
        }
    }
    return !hasUsableInterface();
}

bool NetworkReachability::meansOffline(QNetworkReply::NetworkError error,
                                       const std::function<bool()> &isMachineOffline)
{
    switch (error) {
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return true;
    // A connect() that fails for want of a route (ENETUNREACH) comes as UnknownNetworkError.
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::HostNotFoundError:
        return isMachineOffline();
    default:
        return false;
    }
}
