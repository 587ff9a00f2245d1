#include "app/appservices.h"

#include "app/appconfigurationlookup.h"
#include "homey/realtime/homeysocket.h"
#include "homey/rest/homeyclient.h"
#include "platform/avahiservicebrowser.h"
#include "platform/secretservicetokenstore.h"

AppServices AppServices::standard(bool dryRun)
{
    AppServices services;
    services.tokens = std::make_shared<SecretServiceTokenStore>();
    const std::shared_ptr<ServiceBrowser> browser = std::make_shared<AvahiServiceBrowser>();
    services.token = [tokens = services.tokens] { return AppConfiguration::token(tokens); };
    services.endpoint = Onboarding::defaultResolve(browser);
    services.validate = Onboarding::defaultValidate();
    services.connect = [dryRun](HomeyEndpoint endpoint, QString token) {
        auto socket = std::make_shared<HomeySocket>(endpoint, token);
        HomeyClient::Options options;
        options.dryRun = dryRun;
        auto client = std::make_shared<HomeyClient>(std::move(endpoint), std::move(token), socket, options);
        return HubClients{std::move(client), std::move(socket)};
    };
    return services;
}
