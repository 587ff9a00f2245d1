#pragma once

#include "base/settingsstore.h"
#include "homey/config/discoveredhomey.h"
#include "homey/config/homeyendpoint.h"
#include "ports/servicebrowser.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

// Finding the hub: the stored endpoint, then the developer's environment, then the local network; and the
// reader of environment values and ".env" files that the token sources share.
namespace HomeyConfig {

using EnvironmentMap = QMap<QString, QString>;

inline const QString baseURLKey = QStringLiteral("ai.velkor.quorvane.baseURL");
inline const QString homeyIDKey = QStringLiteral("ai.velkor.quorvane.homeyID");
inline const QString homeyNameKey = QStringLiteral("ai.velkor.quorvane.homeyName");
inline const QString serviceType = QStringLiteral("_homey._tcp");
// The vendor's local-network names: 192.168.1.20 is 192-168-1-20 under this domain, with a valid
// certificate for it.
inline const QString localHostNameSuffix = QStringLiteral(".homey.homeylocal.com");

// The hub's local HTTPS URL for a dotted IPv4 address; nullopt unless it is four decimal parts of 0 to 255.
std::optional<QUrl> localHTTPSURL(const QString &ipv4);

// How long each step of the resolution may take, where the discovery step knocks, and which environment
// values the developer fallback reads. The program uses the defaults; tests shorten the durations, point
// the candidates at a fake hub on a port of its own and hand in their own environment.
struct ResolveOptions {
    std::chrono::milliseconds ping{3000};
    std::chrono::milliseconds browse{4000};
    std::chrono::milliseconds lookup{3000};
    // Port of the plain-HTTP candidate; -1 leaves the scheme's own.
    int httpPort = -1;
    // The secure candidate tried first for a discovered address.
    std::function<std::optional<QUrl>(const QString &ipv4)> localURL = localHTTPSURL;
    // nullopt: environmentValues().
    std::optional<EnvironmentMap> environment;
};

// The first endpoint, in a fixed order, that answers a ping. Fails only with HomeyError unreachable or
// notConfigured.
QCoro::Task<HomeyEndpoint> resolve(SettingsStore defaults, bool allowDiscovery, bool allowDeveloperFallbacks,
                                   bool persist, std::shared_ptr<ServiceBrowser> browser,
                                   ResolveOptions options = {});

// Nothing unless the stored base URL is a usable one (HomeyEndpoint::parseBaseURL) and an id is stored.
std::optional<HomeyEndpoint> stored(const SettingsStore &defaults);
// An endpoint without a name leaves a stored name in place. An endpoint that would not read back equal
// (its base URL is no usable one) is not written, so the one stored before stays; false then.
bool store(const HomeyEndpoint &endpoint, SettingsStore &defaults);
void forget(SettingsStore &defaults);

// From HOMEY_BASE (else QUORVANE_BASE), HOMEY_ID (else QUORVANE_HOMEY_ID) and HOMEY_NAME, of the given
// values or environmentValues().
std::optional<HomeyEndpoint> fromEnvironment();
std::optional<HomeyEndpoint> fromEnvironment(const EnvironmentMap &values);

// One ".env" file overlaid by the process environment, read once per process.
EnvironmentMap environmentValues();
// The existing ".env" files to try, in order: QUORVANE_ENV_FILE of the process environment, then ".env" in
// the working directory and up to four directories above it.
QStringList envFileCandidates(const EnvironmentMap &processEnvironment, const QString &workingDirectory);
// Uncached: the first readable candidate, parsed, overlaid by the process environment.
EnvironmentMap buildEnvironmentValues(const EnvironmentMap &processEnvironment,
                                      const QString &workingDirectory);

// True only when the hub answers its unauthenticated ping with status 200 within `timeout`. Never throws.
QCoro::Task<bool> ping(QUrl baseURL, std::chrono::milliseconds timeout);

// Browses for hubs for `timeout`, then looks up each one's IPv4 address, one after the other. Never fails.
QCoro::Task<QList<DiscoveredHomey>>
discover(std::chrono::milliseconds timeout, std::shared_ptr<ServiceBrowser> browser,
         std::chrono::milliseconds lookupTimeout = std::chrono::seconds(3));

} // namespace HomeyConfig
