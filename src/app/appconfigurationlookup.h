#pragma once

#include "base/appconfiguration.h"
#include "homey/config/homeyconfig.h"
#include "homey/config/homeyendpoint.h"
#include "ports/servicebrowser.h"
#include "ports/tokenstore.h"

#include <memory>
#include <optional>
#include <QCoroTask>
#include <QString>

// Where boot and onboarding find the token and the hub for this run.
namespace AppConfiguration {

// Set for good once a key was saved through onboarding or the token was forgotten: from then on a
// normal run takes no token and no hub from the developer's tools or environment.
inline const QString explicitCredentialsKey = QStringLiteral("quorvane.explicitCredentials");

// The keyring under `service` (a keyring failure is thrown); then, unless `isolated` or the standard
// settings say the credentials are explicit, the vendor's command-line tool and then QUORVANE_DEV_TOKEN
// or HOMEY_TOKEN of `environment` (nullopt: HomeyConfig::environmentValues()). Every token is trimmed; one
// with a control character counts as none.
QCoro::Task<std::optional<QString>>
token(std::shared_ptr<TokenStore> store, bool isolated = AppConfiguration::isolated(),
      QString service = AppConfiguration::service(),
      std::optional<HomeyConfig::EnvironmentMap> environment = std::nullopt);

// Isolated: QUORVANE_TEST_BASE of the process environment as the test hub, else HomeyError unreachable
// for "het testnetwerk". Otherwise the hub resolution over the standard settings, without persisting,
// with developer fallbacks unless the credentials are explicit.
QCoro::Task<HomeyEndpoint> endpoint(std::shared_ptr<ServiceBrowser> browser,
                                    bool isolated = AppConfiguration::isolated());

} // namespace AppConfiguration
