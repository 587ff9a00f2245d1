#pragma once

#include "homey/auth/resolvedtoken.h"
#include "ports/tokenstore.h"

#include <memory>
#include <optional>
#include <QCoroTask>
#include <QMap>
#include <QString>

// Where a token can come from: the keyring first, then, while developing, the vendor's command-line
// tool and the environment. Stateless: every source is read afresh on each call.
namespace TokenResolver {

// Never throws: a source that fails counts as having no token. The environment values are the given ones,
// or else HomeyConfig::environmentValues().
QCoro::Task<std::optional<ResolvedToken>>
resolve(bool allowDeveloperFallbacks, std::shared_ptr<TokenStore> store,
        std::optional<QMap<QString, QString>> environment = std::nullopt);

// The token of the tool's active hub, else of any of its hubs, from "$HOME/.athom-cli/settings.json".
std::optional<QString> fromAthomCLI();
// The same, from a given settings file; only a regular file is read.
std::optional<QString> fromAthomCLISettings(const QString &path);
// QUORVANE_DEV_TOKEN, or HOMEY_TOKEN only when the first is not set at all.
std::optional<QString> fromEnvironment(const QMap<QString, QString> &values);

// Three pieces between colons (empty pieces ignored): 36, 36 and at least 20 characters, and no
// control character anywhere. The text is judged as given; callers trim first.
bool isPlausibleToken(const QString &text);

} // namespace TokenResolver
