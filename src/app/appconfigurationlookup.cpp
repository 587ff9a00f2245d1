#include "app/appconfigurationlookup.h"

#include "base/settingsstore.h"
#include "homey/auth/tokenresolver.h"
#include "homey/auth/tokentext.h"
#include "homey/config/homeyconfig.h"
#include "homey/model/homeyerror.h"

using namespace Qt::StringLiterals;

namespace AppConfiguration {

namespace {

bool credentialsAreExplicit()
{
    return SettingsStore::standard().boolReading(explicitCredentialsKey);
}

} // namespace

QCoro::Task<std::optional<QString>> token(std::shared_ptr<TokenStore> store, bool isolated, QString service,
                                          std::optional<HomeyConfig::EnvironmentMap> environment)
{
    const std::optional<QString> stored = co_await store->load(service);
    const std::optional<QString> kept = stored ? TokenText::cleaned(*stored) : std::nullopt;
    if (kept)
        co_return kept;
    if (isolated || credentialsAreExplicit())
        co_return std::nullopt;
    if (std::optional<QString> fromTool = TokenResolver::fromAthomCLI())
        co_return fromTool;
    co_return TokenResolver::fromEnvironment(environment ? *environment : HomeyConfig::environmentValues());
}

QCoro::Task<HomeyEndpoint> endpoint(std::shared_ptr<ServiceBrowser> browser, bool isolated)
{
    if (isolated) {
        const std::optional<QUrl> url = testBaseURL(qEnvironmentVariable("QUORVANE_TEST_BASE"));
        if (!url)
            throw HomeyError::unreachable(u"het testnetwerk"_s);
        co_return HomeyEndpoint{*url, u"onboarding-test"_s, u"Testhomey"_s};
    }
    const bool developerFallbacks = !credentialsAreExplicit();
    // Named, not left to the default argument: that would be an aggregate temporary in the co_await
    // statement, which g++ 12 destroys twice.
    const HomeyConfig::ResolveOptions options;
    HomeyEndpoint resolved = co_await HomeyConfig::resolve(SettingsStore::standard(), true,
                                                           developerFallbacks, false, browser, options);
    co_return resolved;
}

} // namespace AppConfiguration
