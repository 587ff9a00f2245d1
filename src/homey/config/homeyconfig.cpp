#include "homey/config/homeyconfig.h"

#include "homey/model/homeyerror.h"

using namespace Qt::StringLiterals;

namespace HomeyConfig {

namespace {

std::optional<QUrl> parsedURL(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

bool isDecimalByte(const QString &piece)
{
    if (piece.isEmpty())
        return false;
    for (QChar c : piece) {
        if (c < u'0' || c > u'9')
            return false;
    }
    bool ok = false;
    const uint value = piece.toUInt(&ok);
    return ok && value <= 255;
}

// The candidate URL for one discovered hub: its local HTTPS name first, then plain HTTP to its address.
QCoro::Task<std::optional<QUrl>> answeringURL(QString ipv4, ResolveTimings timings)
{
    if (std::optional<QUrl> secure = timings.localURL ? timings.localURL(ipv4) : std::nullopt) {
        if (co_await ping(*secure, timings.ping))
            co_return secure;
    }
    QUrl plain(u"http://"_s + ipv4, QUrl::StrictMode);
    if (timings.httpPort >= 0)
        plain.setPort(timings.httpPort);
    if (plain.isValid() && co_await ping(plain, timings.ping))
        co_return plain;
    co_return std::nullopt;
}

} // namespace

std::optional<QUrl> localHTTPSURL(const QString &ipv4)
{
    const QStringList pieces = ipv4.split(u'.', Qt::SkipEmptyParts);
    if (pieces.size() != 4)
        return std::nullopt;
    for (const QString &piece : pieces) {
        if (!isDecimalByte(piece))
            return std::nullopt;
    }
    return parsedURL(u"https://"_s + pieces.join(u'-') + localHostNameSuffix);
}

QCoro::Task<HomeyEndpoint> resolve(SettingsStore defaults, bool allowDiscovery, bool allowDeveloperFallbacks,
                                   bool persist, ServiceBrowser &browser, ResolveTimings timings)
{
    if (std::optional<HomeyEndpoint> endpoint = stored(defaults)) {
        if (co_await ping(endpoint->baseURL, timings.ping))
            co_return *endpoint;
    }

    if (allowDeveloperFallbacks) {
        if (std::optional<HomeyEndpoint> endpoint = fromEnvironment()) {
            if (co_await ping(endpoint->baseURL, timings.ping)) {
                if (persist)
                    store(*endpoint, defaults);
                co_return *endpoint;
            }
        }
    }

    if (allowDiscovery) {
        const QList<DiscoveredHomey> found = co_await discover(timings.browse, browser, timings.lookup);
        if (!found.isEmpty()) {
            for (const DiscoveredHomey &hub : found) {
                if (!hub.ipv4)
                    continue;
                if (std::optional<QUrl> url = co_await answeringURL(*hub.ipv4, timings)) {
                    HomeyEndpoint endpoint{*url, hub.id, hub.name};
                    if (persist)
                        store(endpoint, defaults);
                    co_return endpoint;
                }
            }
            throw HomeyError::unreachable(found.first().name);
        }
    }

    const std::optional<HomeyEndpoint> storedEndpoint = stored(defaults);
    const std::optional<HomeyEndpoint> environmentEndpoint =
        allowDeveloperFallbacks ? fromEnvironment() : std::nullopt;
    if (!storedEndpoint && !environmentEndpoint)
        throw HomeyError::notConfigured();
    const QString host = storedEndpoint ? storedEndpoint->baseURL.host(QUrl::FullyEncoded) : QString();
    throw HomeyError::unreachable(host.isEmpty() ? u"je Homey"_s : host);
}

std::optional<HomeyEndpoint> stored(const SettingsStore &defaults)
{
    const std::optional<QString> base = defaults.stringValue(baseURLKey);
    if (!base)
        return std::nullopt;
    const std::optional<QUrl> url = parsedURL(*base);
    if (!url)
        return std::nullopt;
    const std::optional<QString> id = defaults.stringValue(homeyIDKey);
    if (!id || id->isEmpty())
        return std::nullopt;
    return HomeyEndpoint{*url, *id, defaults.stringValue(homeyNameKey)};
}

void store(const HomeyEndpoint &endpoint, SettingsStore &defaults)
{
    defaults.setValue(baseURLKey, endpoint.baseURL.toString(QUrl::FullyEncoded));
    defaults.setValue(homeyIDKey, endpoint.homeyID);
    if (endpoint.name)
        defaults.setValue(homeyNameKey, *endpoint.name);
}

void forget(SettingsStore &defaults)
{
    defaults.remove(baseURLKey);
    defaults.remove(homeyIDKey);
    defaults.remove(homeyNameKey);
}

} // namespace HomeyConfig
