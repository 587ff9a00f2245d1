#include "base/async/cancelled.h"
#include "homey/config/homeyconfig.h"
#include "homey/config/probereply.h"

using namespace Qt::StringLiterals;

namespace HomeyConfig {

namespace {

std::optional<QString> txtValue(const BrowseEntry &entry, const QString &key)
{
    const auto found = entry.txt.constFind(key);
    if (found == entry.txt.constEnd())
        return std::nullopt;
    return *found;
}

// A link-local lookup can come back as "169.254.1.2%eth0"; the hub is reached by the address alone.
std::optional<QString> withoutInterface(const std::optional<QString> &address)
{
    if (!address)
        return std::nullopt;
    const QStringList pieces = address->split(u'%', Qt::SkipEmptyParts);
    if (pieces.isEmpty())
        return std::nullopt;
    return pieces.first();
}

} // namespace

QCoro::Task<bool> ping(QUrl baseURL, std::chrono::milliseconds timeout)
{
    try {
        const QUrl url = HomeyEndpoint{baseURL, {}, {}}.api(u"manager/system/ping"_s);
        const QList<QPair<QByteArray, QByteArray>> noHeaders;
        const ProbeReply reply = co_await probeGet(oneCallManager(), url, noHeaders, timeout);
        co_return reply.status == 200;
    } catch (const std::exception &) {
        co_return false;
    }
}

QCoro::Task<QList<DiscoveredHomey>> discover(std::chrono::milliseconds timeout,
                                             std::shared_ptr<ServiceBrowser> browser,
                                             std::chrono::milliseconds lookupTimeout)
{
    QList<BrowseEntry> entries;
    if (!browser)
        co_return {};
    try {
        entries = co_await browser->browse(serviceType, timeout);
    } catch (const Cancelled &) {
        throw;
    } catch (const std::exception &) {
        co_return {};
    }

    QList<DiscoveredHomey> hubs;
    for (const BrowseEntry &entry : std::as_const(entries)) {
        std::optional<QString> ipv4;
        try {
            ipv4 = withoutInterface(
                co_await browser->resolveIPv4(entry.name, entry.type, entry.domain, lookupTimeout));
        } catch (const Cancelled &) {
            throw;
        } catch (const std::exception &) {
        }
        hubs << DiscoveredHomey{txtValue(entry, u"id"_s).value_or(entry.name),
                                txtValue(entry, u"name"_s).value_or(entry.name), txtValue(entry, u"model"_s),
                                txtValue(entry, u"version"_s), ipv4};
    }
    co_return hubs;
}

} // namespace HomeyConfig
