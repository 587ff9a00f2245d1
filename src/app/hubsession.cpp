#include "app/hubsession.h"

#include "app/appconfigurationlookup.h"
#include "app/boot.h"
#include "app/connectiontext.h"
#include "app/onboarding.h"
#include "app/panelcontroller.h"
#include "app/unconfiguredhomeyclient.h"
#include "base/log.h"
#include "homey/config/homeyconfig.h"
#include "homey/model/homeyerror.h"
#include "ports/keychainerror.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString forgottenMessage = u"De sleutel is gewist. Plak een nieuwe sleutel om opnieuw te koppelen."_s;

// A refused token or a keyring failure needs the pairing screen; anything else only explains itself.
bool needsPairing(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const HomeyError &homey) {
        return homey.kind() == HomeyError::Kind::unauthorized;
    } catch (const KeychainError &) {
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

HubSession::HubSession(Options options, Onboarding *onboarding, PanelController *panel,
                       NotificationFeed *feed, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_onboarding(onboarding), m_panel(panel), m_feed(feed),
      m_store(makePlaceholderStore())
{}

HomeStore *HubSession::makePlaceholderStore()
{
    return new HomeStore(std::make_shared<UnconfiguredHomeyClient>(), nullptr, m_feed, storeDefaults(),
                         m_options.store, this);
}

SettingsStore HubSession::storeDefaults()
{
    if (AppConfiguration::isolated())
        return SettingsStore(AppConfiguration::service());
    return SettingsStore::standard();
}

QCoro::Task<> HubSession::boot()
{
    return bootTask(this);
}

QCoro::Task<> HubSession::bootTask(QPointer<HubSession> self)
{
    Onboarding *onboarding = self->m_onboarding;
    if (onboarding->busy())
        co_return;
    onboarding->setBusy(true);
    onboarding->setConnectionProblem(std::nullopt);
    // A copy: the session may be gone when an await returns.
    const AppServices services = self->m_options.services;

    std::optional<QString> token;
    std::exception_ptr failure;
    try {
        token = co_await services.token();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (failure) {
        self->reportBootFailure(failure);
        co_return;
    }
    if (!token || token->isEmpty()) {
        onboarding->setHasToken(false);
        onboarding->setShowing(true);
        self->m_panel->show();
        onboarding->setBusy(false);
        co_return;
    }
    onboarding->setHasToken(true);

    // From here on the old store stays stopped if the boot fails.
    const QPointer<HomeStore> old = self->m_store;
    if (old) {
        co_await old->stop();
    }
    if (!self)
        co_return;

    HomeyEndpoint endpoint;
    try {
        endpoint = co_await services.endpoint();
        co_await services.validate(endpoint.baseURL, *token);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (failure) {
        self->reportBootFailure(failure);
        co_return;
    }

    SettingsStore defaults = self->storeDefaults();
    HomeyConfig::store(endpoint, defaults);
    const HubClients clients = services.connect(endpoint, *token);
    auto *store = new HomeStore(clients.rest, clients.realtime, self->m_feed, self->storeDefaults(),
                                self->m_options.store, self);
    self->swapStore(store, clients.rest);
    // The start-up query belongs in the store the panel now shows.
    if (const std::optional<QString> query = Boot::value(self->m_options.arguments, u"--query"_s))
        store->setQuery(*query);
    onboarding->setShowing(false);

    // Loading and link failures from here on show in the store's own connection state.
    try {
        co_await store->start();
    } catch (...) {
        // The store reports its own failures; nothing may escape a task nobody awaits.
    }
    if (!self)
        co_return;
    onboarding->setBusy(false);
}

void HubSession::reportBootFailure(const std::exception_ptr &error)
{
    const QString explanation = Onboarding::explain(error);
    // Nothing else says it: the store that would log its state never came.
    log(u"!! Homey-verbinding mislukt: "_s + explanation);
    m_onboarding->setConnectionProblem(explanation);
    if (needsPairing(error)) {
        m_onboarding->setMessage(explanation);
        m_onboarding->setShowing(true);
        m_panel->show();
    }
    m_onboarding->setBusy(false);
}

void HubSession::swapStore(HomeStore *store, std::shared_ptr<HomeyRESTClient> client)
{
    HomeStore *old = m_store;
    m_store = store;
    m_restClient = std::move(client);
    // The panel's content and whatever follows the store move over to the new one.
    Q_EMIT storeSwapped(old);
    if (old && old != store) {
        disconnect(old, nullptr, this, nullptr);
        old->deleteLater();
    }
    // The panel may be up: the new store must know, or it would hold back its rows until the next show.
    if (m_panel->isVisible())
        store->panelDidAppear();
}

void HubSession::reconnect()
{
    log(u"menu: opnieuw verbinden (toestand was "_s + ConnectionText::plain(m_store->connection()) + u")"_s);
    QTimer::singleShot(0, this, [self = QPointer(this)] { reconnectTask(self); });
}

QCoro::Task<> HubSession::reconnectTask(QPointer<HubSession> self)
{
    if (!self)
        co_return;
    const QPointer<HomeStore> store = self->m_store;
    if (store && store->connection().kind() == ConnectionState::Kind::live) {
        co_await store->resync();
    } else {
        co_await bootTask(self);
    }
}

void HubSession::forgetToken()
{
    if (m_onboarding->busy())
        return;
    // Deleting from the keyring waits for it; no boot may start meanwhile.
    m_onboarding->setBusy(true);
    forgetTask(this);
}

QCoro::Task<> HubSession::forgetTask(QPointer<HubSession> self)
{
    const std::shared_ptr<TokenStore> tokens = self->m_options.services.tokens;
    std::exception_ptr failure;
    try {
        co_await tokens->clear(AppConfiguration::service());
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    Onboarding *onboarding = self->m_onboarding;
    if (failure) {
        onboarding->setMessage(Onboarding::explain(failure));
        onboarding->setBusy(false);
        co_return;
    }

    SettingsStore defaults = self->storeDefaults();
    defaults.setValue(AppConfiguration::explicitCredentialsKey, true);
    HomeyConfig::forget(defaults);

    const QPointer<HomeStore> old = self->m_store;
    if (old) {
        co_await old->stop();
    }
    if (!self)
        co_return;
    self->swapStore(self->makePlaceholderStore(), nullptr);
    onboarding->setHasToken(false);
    onboarding->setMessage(forgottenMessage);
    onboarding->setConnectionProblem(std::nullopt);
    onboarding->setShowing(true);
    onboarding->setBusy(false);
}

QString HubSession::connectionSummary() const
{
    return ConnectionText::summary(m_store->connection(), Boot::connectsToHomey(m_options.arguments));
}

QCoro::Task<bool> HubSession::saveToken(QString key)
{
    return saveTask(this, std::move(key));
}

QCoro::Task<bool> HubSession::saveTask(QPointer<HubSession> self, QString key)
{
    const AppServices services = self->m_options.services;
    const std::optional<HomeyEndpoint> endpoint = co_await self->m_onboarding->save(
        key, services.endpoint, services.validate, Onboarding::defaultPersist(services.tokens));
    if (!self || !endpoint)
        co_return false;
    self->m_onboarding->setShowing(false);
    co_await bootTask(self);
    co_return true;
}
