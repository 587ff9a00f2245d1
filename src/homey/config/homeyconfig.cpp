#include "homey/config/homeyconfig.h"

#include "homey/model/homeyerror.h"

using namespace Qt::StringLiterals;

namespace HomeyConfig {

namespace {

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
QCoro::Task<std::optional<QUrl>> answeringURL(QString ipv4, ResolveOptions options)
{
    if (std::optional<QUrl> secure = options.localURL ? options.localURL(ipv4) : std::nullopt) {
        const bool answers = co_await ping(*secure, options.ping);
        if (answers)
            co_return secure;
    }
    QUrl plain(u"http://"_s + ipv4, QUrl::StrictMode);
    if (options.httpPort >= 0)
        plain.setPort(options.httpPort);
    if (!plain.isValid())
        co_return std::nullopt;
    const bool answers = co_await ping(plain, options.ping);
    if (answers)
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
    return HomeyEndpoint::parseBaseURL(u"https://"_s + pieces.join(u'-') + localHostNameSuffix);
}

QCoro::Task<HomeyEndpoint> resolve(SettingsStore defaults, bool allowDiscovery, bool allowDeveloperFallbacks,
                                   bool persist, std::shared_ptr<ServiceBrowser> browser,
                                   ResolveOptions options)
{
    const auto configured = [&options]() -> std::optional<HomeyEndpoint> {
        return options.environment ? fromEnvironment(*options.environment) : fromEnvironment();
    };

    if (std::optional<HomeyEndpoint> endpoint = stored(defaults)) {
        const bool answers = co_await ping(endpoint->baseURL, options.ping);
        if (answers)
            co_return *endpoint;
    }

    if (allowDeveloperFallbacks) {
        if (std::optional<HomeyEndpoint> endpoint = configured()) {
            const bool answers = co_await ping(endpoint->baseURL, options.ping);
            if (answers) {
                if (persist)
                    store(*endpoint, defaults);
                co_return *endpoint;
            }
        }
    }

    if (allowDiscovery) {
        const QList<DiscoveredHomey> found = co_await discover(options.browse, browser, options.lookup);
        if (!found.isEmpty()) {
            for (const DiscoveredHomey &hub : found) {
                if (!hub.ipv4)
                    continue;
                const std::optional<QUrl> url = co_await answeringURL(*hub.ipv4, options);
                if (url) {
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
        allowDeveloperFallbacks ? configured() : std::nullopt;
    if (!storedEndpoint && !environmentEndpoint)
        throw HomeyError::notConfigured();
    // The host that was tried, so the message names the address a person can check.
    const QString host =
        (storedEndpoint ? storedEndpoint : environmentEndpoint)->baseURL.host(QUrl::FullyEncoded);
    throw HomeyError::unreachable(host.isEmpty() ? u"je Homey"_s : host);
}

std::optional<HomeyEndpoint> stored(const SettingsStore &defaults)
{
    const std::optional<QString> base = defaults.stringValue(baseURLKey);
    const std::optional<QUrl> url = base ? HomeyEndpoint::parseBaseURL(*base) : std::nullopt;
    if (!url)
        return std::nullopt;
    const std::optional<QString> id = defaults.stringValue(homeyIDKey);
    if (!id || id->isEmpty())
        return std::nullopt;
    return HomeyEndpoint{*url, *id, defaults.stringValue(homeyNameKey)};
}

bool store(const HomeyEndpoint &endpoint, SettingsStore &defaults)
{
    const QString base = HomeyEndpoint::baseURLText(endpoint.baseURL);
    if (HomeyEndpoint::parseBaseURL(base) != endpoint.baseURL)
        return false;
    defaults.setValue(baseURLKey, base);
    defaults.setValue(homeyIDKey, endpoint.homeyID);
    if (endpoint.name)
        defaults.setValue(homeyNameKey, *endpoint.name);
    return true;
}

void forget(SettingsStore &defaults)
{
    defaults.remove(baseURLKey);
    defaults.remove(homeyIDKey);
    defaults.remove(homeyNameKey);
}

} // namespace HomeyConfig
