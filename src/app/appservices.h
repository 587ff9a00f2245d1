#pragma once

#include "app/onboarding.h"
#include "homey/config/homeyendpoint.h"
#include "homey/model/homeyrealtime.h"
#include "homey/rest/homeyrestclient.h"
#include "ports/servicebrowser.h"
#include "ports/tokenstore.h"

#include <functional>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QString>

// The hub's two clients for one endpoint and token: the REST client registers its writes with the
// realtime client, which then drops their echoes.
struct HubClients {
    std::shared_ptr<HomeyRESTClient> rest;
    std::shared_ptr<HomeyRealtime> realtime;
};

// Everything the application asks of the outside world to reach the hub. The program uses standard();
// tests hand in fakes.
struct AppServices {
    std::shared_ptr<TokenStore> tokens;
    // This run's token: the keyring, then the developer's fallbacks. Throws KeychainError.
    std::function<QCoro::Task<std::optional<QString>>()> token;
    // This run's hub. Throws HomeyError.
    Onboarding::ResolveStep endpoint;
    // Whose session a token is. Throws HomeyError.
    Onboarding::ValidateStep validate;
    std::function<HubClients(HomeyEndpoint endpoint, QString token)> connect;

    // The desktop's Secret Service and Avahi, the real hub clients; dryRun: writes are logged, not sent.
    static AppServices standard(bool dryRun);
};
