#include "app/hubsession.h"

#include "app/appconfigurationlookup.h"
#include "app/boot.h"
#include "app/connectiontext.h"
#include "app/onboarding.h"
#include "app/panelcontroller.h"
#include "app/startproblem.h"
#include "app/unconfiguredhomeyclient.h"
#include "base/log.h"
#include "homey/config/homeyconfig.h"
#include "ui/panelvisibility.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString forgottenMessage = u"De sleutel is gewist. Plak een nieuwe sleutel om opnieuw te koppelen."_s;

// "0,7" for 700 ms: tenths, as a Dutch reader writes them.
QString seconds(std::chrono::milliseconds duration)
{
    return QString::number(double(duration.count()) / 1000.0, 'f', 1).replace(u'.', u',');
}

} // namespace

HubSession::HubSession(Options options, Onboarding *onboarding, PanelController *panel,
                       NotificationFeed *feed, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_onboarding(onboarding), m_panel(panel), m_feed(feed),
      m_store(makePlaceholderStore()), m_retry(m_options.random)
{
    // Queued: what changed finishes first, so a key that got saved ends the retrying before a waiting
    // attempt could start.
    const auto retryWhenFree = [this] { attemptWhenFree(); };
    connect(m_onboarding, &Onboarding::showingChanged, this, retryWhenFree, Qt::QueuedConnection);
    connect(m_onboarding, &Onboarding::busyChanged, this, retryWhenFree, Qt::QueuedConnection);
    connect(m_panel->visibility(), &PanelVisibility::isVisibleChanged, this, retryWhenFree,
            Qt::QueuedConnection);
    connect(m_store, &HomeStore::connectionChanged, this, &HubSession::announce);
    m_shown = connection();
}

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
    return bootTask(this, false);
}

QCoro::Task<> HubSession::bootTask(QPointer<HubSession> self, bool automatic)
{
    Onboarding *onboarding = self->m_onboarding;
    if (onboarding->busy())
        co_return;
    onboarding->setBusy(true);
    const quint64 start = self->beginStart(automatic);
    // After each wait: a start that the person's save or forget took over from leaves the model to them.
    const auto current = [&self, start] { return self && self->isCurrent(start); };
    // A copy: the session may be gone when an await returns.
    const AppServices services = self->m_options.services;

    std::optional<QString> token;
    std::exception_ptr failure;
    try {
        token = co_await services.token();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!current())
        co_return;
    if (failure) {
        self->reportBootFailure(failure, automatic);
        co_return;
    }
    if (!token || token->isEmpty()) {
        self->endStart();
        self->stopRetrying();
        self->setProblem(std::nullopt);
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
    if (!current())
        co_return;

    HomeyEndpoint endpoint;
    try {
        endpoint = co_await services.endpoint();
        co_await services.validate(endpoint.baseURL, *token);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!current())
        co_return;
    if (failure) {
        self->reportBootFailure(failure, automatic);
        co_return;
    }

    SettingsStore defaults = self->storeDefaults();
    HomeyConfig::store(endpoint, defaults);
    const HubClients clients = services.connect(endpoint, *token);
    auto *store = new HomeStore(clients.rest, clients.realtime, self->m_feed, self->storeDefaults(),
                                self->m_options.store, self);
    self->swapStore(store, clients.rest);
    self->m_startStore = store;
    // The start-up query belongs in the store the panel now shows.
    if (const std::optional<QString> query = Boot::value(self->m_options.arguments, u"--query"_s))
        store->setQuery(*query);
    onboarding->setShowing(false);

    // Loading and link failures from here on show in the store's own connection state, which takes
    // over from "connecting" as soon as the store has begun.
    const QPointer<HomeStore> started = store;
    QCoro::Task<> starting = store->start();
    self->m_connecting = false;
    self->announce();
    try {
        co_await std::move(starting);
    } catch (...) {
        // The store reports its own failures; nothing may escape a task nobody awaits.
    }
    if (!current())
        co_return;
    // The first load belongs to the start: a hub that answers the check but is still starting its
    // managers (503) is tried again as a hub that did not answer at all. Any other failure of the load
    // the store shows itself, as before.
    bool loaded = true;
    if (started && started == self->m_store) {
        if (const std::exception_ptr loadFailure = passingLoadFailure(*started)) {
            self->reportBootFailure(loadFailure, automatic);
            co_return;
        }
        loaded = started->connection().kind() != ConnectionState::Kind::failed;
    }
    self->reached(automatic, loaded);
    onboarding->setBusy(false);
}

quint64 HubSession::beginStart(bool automatic)
{
    m_running = automatic ? Start::attempt : Start::asked;
    m_startStore.clear();
    if (!automatic) {
        // This start replaces a retry that was waiting, and shows that it is connecting.
        m_connecting = true;
        stopRetrying();
        setProblem(std::nullopt);
    }
    return ++m_start;
}

void HubSession::endStart()
{
    m_running = Start::none;
    m_startStore.clear();
    m_connecting = false;
}

void HubSession::giveWay(const QString &what)
{
    if (m_running == Start::none)
        return;
    const bool attempt = m_running == Start::attempt;
    // Its later steps find themselves overtaken; a store it already made loads no further.
    ++m_start;
    if (m_startStore)
        m_startStore->stop();
    endStart();
    if (attempt) {
        const BootRetry::Pause again = m_retry.again();
        log(u"verbinding: poging "_s + QString::number(again.attempt) + u" wijkt voor "_s + what);
        // Held while the person is busy or at the key screen; a key that is taken ends the retrying.
        if (m_problem && m_problem->retrying)
            m_due = again;
    } else {
        log(u"verbinding: de start wijkt voor "_s + what);
    }
    m_onboarding->setBusy(false);
    announce();
}

std::exception_ptr HubSession::passingLoadFailure(const HomeStore &store)
{
    if (store.connection().kind() != ConnectionState::Kind::failed || !store.lastError())
        return nullptr;
    std::exception_ptr failure = std::make_exception_ptr(*store.lastError());
    return BootRetry::passes(failure) ? failure : nullptr;
}

void HubSession::reached(bool automatic, bool loaded)
{
    if (m_loggedFailure) {
        // The hub answered; a home that did not load is the store's to tell, on the next line.
        log(u"verbinding: Homey bereikt"_s +
            (automatic ? u" bij poging "_s + QString::number(m_retry.failures() + 1) : QString()) +
            (loaded ? QString() : u", maar het laden mislukte"_s));
    }
    m_loggedFailure.reset();
    endStart();
    stopRetrying();
    setProblem(std::nullopt);
}

void HubSession::reportBootFailure(const std::exception_ptr &error, bool automatic)
{
    endStart();
    const bool passing = BootRetry::passes(error);
    const StartProblem problem = StartProblem::of(error, passing);
    const QString &explanation = problem.advice;
    // Nothing else says it: the store that would log its state never came. An attempt after a pause
    // only says it again when the reason changed, so a long outage writes one line per attempt.
    const bool news = !automatic || m_loggedFailure != explanation;
    m_loggedFailure = explanation;
    if (!passing)
        stopRetrying();
    setProblem(problem);
    if (problem.needsPairing) {
        m_onboarding->setMessage(explanation);
        m_onboarding->setShowing(true);
        m_panel->show();
    }
    // Before the pause: the person may act while it lasts.
    m_onboarding->setBusy(false);

    const QString failed = u"!! Homey-verbinding mislukt: "_s + explanation;
    if (!passing) {
        if (news)
            log(failed);
        return;
    }
    const BootRetry::Pause pause = m_retry.next();
    const QString next = u"opnieuw proberen over "_s + seconds(pause.duration) + u" s"_s;
    const QString attempt = u"poging "_s + QString::number(pause.attempt);
    if (!automatic)
        log(failed);
    if (automatic && news)
        log(failed + u" ("_s + next + u", "_s + attempt + u")"_s);
    else
        log(u"verbinding: "_s + next + u" ("_s + attempt + u")"_s);
    retryTask(this, pause);
}

QCoro::Task<> HubSession::retryTask(QPointer<HubSession> self, BootRetry::Pause pause)
{
    const std::shared_ptr<Clock> clock = self->m_options.store.clock;
    const bool elapsed = co_await clock->sleep(pause.duration, pause.token);
    if (!elapsed || !self || !self->m_retry.holds(pause))
        co_return;
    self->m_due = pause;
    self->attemptWhenFree();
}

void HubSession::attemptWhenFree()
{
    if (!m_due)
        return;
    if (!m_retry.holds(*m_due)) {
        m_due.reset();
        return;
    }
    // The person has the key screen in front of them, or a check of theirs runs: the attempt waits
    // for them, but only as long as that lasts. A key screen left open behind a hidden panel holds
    // nothing up.
    const bool keyScreenInView = m_onboarding->showing() && m_panel->visibility()->isVisible();
    if (m_onboarding->busy() || keyScreenInView)
        return;
    m_due.reset();
    bootTask(this, true);
}

void HubSession::stopRetrying()
{
    m_retry.reset();
    m_due.reset();
    if (m_problem && m_problem->retrying) {
        StartProblem ended = *m_problem;
        ended.retrying = false;
        setProblem(ended);
    }
}

void HubSession::setProblem(const std::optional<StartProblem> &problem)
{
    m_problem = problem;
    m_onboarding->setConnectionProblem(problem ? std::optional(problem->advice) : std::nullopt);
    m_onboarding->setRetrying(problem && problem->retrying);
    announce();
}

ConnectionState HubSession::connection() const
{
    if (m_connecting)
        return ConnectionState::connecting();
    return StartProblem::shown(m_store->connection(), m_problem);
}

void HubSession::announce()
{
    const ConnectionState shown = connection();
    if (shown == m_shown)
        return;
    m_shown = shown;
    Q_EMIT connectionChanged();
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
    connect(store, &HomeStore::connectionChanged, this, &HubSession::announce, Qt::UniqueConnection);
    announce();
    // The panel may be up: the new store must know, or it would hold back its rows until the next show.
    if (m_panel->isVisible())
        store->panelDidAppear();
}

void HubSession::reconnect()
{
    // The state the tray and the settings showed: during a failed start the store behind it is only
    // the stopped one, whose state would say that nothing had happened.
    log(u"menu: opnieuw verbinden (toestand was "_s + ConnectionText::plain(connection()) + u")"_s);
    // Also when an attempt is under way and this one gives way to it: should it fail, the next pause is
    // the shortest again.
    m_retry.reset();
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
        co_await bootTask(self, false);
    }
}

void HubSession::forgetToken()
{
    // A check or a deletion of the person's runs; a start gives way.
    if (m_onboarding->busy() && m_running == Start::none)
        return;
    giveWay(u"het wissen van de sleutel"_s);
    // Deleting from the keyring waits for it; no boot may start meanwhile, a retry neither.
    m_onboarding->setBusy(true);
    stopRetrying();
    m_loggedFailure.reset();
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
    self->setProblem(std::nullopt);
    onboarding->setShowing(true);
    onboarding->setBusy(false);
}

QString HubSession::connectionSummary() const
{
    return ConnectionText::summary(connection(), Boot::connectsToHomey(m_options.arguments));
}

QCoro::Task<bool> HubSession::saveToken(QString key)
{
    return saveTask(this, std::move(key));
}

QCoro::Task<bool> HubSession::saveTask(QPointer<HubSession> self, QString key)
{
    // A blank key the model turns away with a word, and it takes over from nothing.
    if (!key.trimmed().isEmpty())
        self->giveWay(u"de sleutel die je bewaart"_s);
    const AppServices services = self->m_options.services;
    const std::optional<HomeyEndpoint> endpoint = co_await self->m_onboarding->save(
        key, services.endpoint, services.validate, Onboarding::defaultPersist(services.tokens));
    if (!self || !endpoint)
        co_return false;
    self->m_onboarding->setShowing(false);
    co_await bootTask(self, false);
    co_return true;
}
