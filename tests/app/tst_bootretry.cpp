#include "app/appconfigurationlookup.h"
#include "app/hubsession.h"
#include "app/onboarding.h"
#include "app/paletteroot.h"
#include "app/panelcontroller.h"
#include "awaittask.h"
#include "fakerealtime.h"
#include "fakerestclient.h"
#include "homey/auth/memorytokenstore.h"
#include "homey/realtime/realtimetiming.h"
#include "logcapture.h"
#include "manualclock.h"
#include "ports/keychainerror.h"
#include "store/notifications/notificationfeed.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(std::exception_ptr)

namespace {

// The hub behind the boot: its token check takes `latency` and throws `failure` while one is set, but
// for the key it accepts.
struct Hub {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<MemoryTokenStore> tokens = std::make_shared<MemoryTokenStore>();
    std::exception_ptr failure;
    QString accepted;
    std::chrono::milliseconds latency{0};
    int checks = 0;
    // The first load of the next stores fails with this, while loadFailures lasts.
    std::optional<HomeyError> loadFailure;
    int loadFailures = 0;
};

QCoro::Task<HomeyIdentity> check(std::shared_ptr<Hub> hub, QString token)
{
    ++hub->checks;
    if (hub->latency.count() > 0)
        co_await hub->clock->sleep(hub->latency, CancelToken());
    if (hub->failure && token != hub->accepted)
        std::rethrow_exception(hub->failure);
    co_return HomeyIdentity();
}

// The key kept in the keyring, else the one the program was started with.
QCoro::Task<std::optional<QString>> token(std::shared_ptr<Hub> hub)
{
    const std::optional<QString> kept = co_await hub->tokens->load(AppConfiguration::service());
    co_return kept.value_or(u"geheim"_s);
}

QCoro::Task<HomeyEndpoint> endpoint()
{
    co_return HomeyEndpoint{QUrl(u"http://192.168.1.5"_s), u"hub-1"_s, u"Thuis"_s};
}

// The pause before each attempt with a draw of one half.
std::chrono::milliseconds pauseBefore(int attempt)
{
    return RealtimeTiming::backoff(attempt - 1, 0.5);
}

} // namespace

class TstBootRetry : public QObject {
    Q_OBJECT

    std::shared_ptr<Hub> m_hub;
    std::unique_ptr<Onboarding> m_onboarding;
    std::unique_ptr<PanelController> m_panel;
    std::unique_ptr<NotificationFeed> m_feed;
    std::unique_ptr<HubSession> m_session;

    HubSession &sessionLoadingWith(const HomeyError &loadFailure, int loadFailures)
    {
        auto hub = std::make_shared<Hub>();
        hub->loadFailure = loadFailure;
        hub->loadFailures = loadFailures;
        return session(nullptr, hub);
    }
    HubSession &session(std::exception_ptr failure, std::shared_ptr<Hub> hub = std::make_shared<Hub>())
    {
        m_hub = std::move(hub);
        m_hub->failure = std::move(failure);
        HubSession::Options options;
        options.services.tokens = m_hub->tokens;
        options.services.token = [hub = m_hub] { return token(hub); };
        options.services.endpoint = [] { return endpoint(); };
        options.services.validate = [hub = m_hub](QUrl, QString key) { return check(hub, std::move(key)); };
        options.services.connect = [hub = m_hub](HomeyEndpoint, QString) {
            auto rest = std::make_shared<FakeRestClient>(hub->clock);
            if (hub->loadFailure && hub->loadFailures > 0) {
                --hub->loadFailures;
                rest->fail(u"devices"_s, *hub->loadFailure);
            }
            return HubClients{rest, std::make_shared<FakeRealtime>()};
        };
        options.store.clock = m_hub->clock;
        options.random = [] { return 0.5; };
        m_onboarding = std::make_unique<Onboarding>();
        PanelController::Options panel;
        panel.clock = m_hub->clock;
        m_panel = std::make_unique<PanelController>(panel);
        m_feed = std::make_unique<NotificationFeed>(SettingsStore(u"ai.velkor.quorvane.test"_s));
        m_session =
            std::make_unique<HubSession>(std::move(options), m_onboarding.get(), m_panel.get(), m_feed.get());
        awaitTask(m_session->boot());
        return *m_session;
    }
    // Moves the clock to just before the given attempt is due, then onto it; true when it came then.
    bool attemptComesOnTime(int attempt)
    {
        const int before = m_hub->checks;
        m_hub->clock->advance(pauseBefore(attempt) - 1ms);
        if (m_hub->checks != before)
            return false;
        m_hub->clock->advance(1ms);
        return m_hub->checks == before + 1;
    }
    bool live() const { return m_session->store()->connection() == ConnectionState::live(); }

private Q_SLOTS:
    void cleanup()
    {
        m_session.reset();
        ManualClock::settle();
    }

    void onlyPassingFailuresAreTriedAgain_data()
    {
        QTest::addColumn<std::exception_ptr>("failure");
        QTest::addColumn<bool>("retried");
        const auto row = [](const char *name, auto error, bool retried) {
            QTest::newRow(name) << std::make_exception_ptr(error) << retried;
        };
        row("unreachable", HomeyError::unreachable(u"192.168.1.5"_s), true);
        row("offline", HomeyError::offline(), true);
        row("socket", HomeyError::socket(u"weg"_s), true);
        row("500", HomeyError::http(500, u"/api/manager/sessions/session/me"_s), true);
        row("502", HomeyError::http(502, u"/api/manager/sessions/session/me"_s), true);
        row("503", HomeyError::http(503, u"/api/manager/sessions/session/me"_s), true);
        row("408", HomeyError::http(408, u"/api/manager/sessions/session/me"_s), true);
        row("429", HomeyError::http(429, u"/api/manager/sessions/session/me"_s), true);
        row("404", HomeyError::http(404, u"/api/manager/sessions/session/me"_s), false);
        row("not a hub", HomeyError::decoding(u"geen JSON"_s), false);
        row("token refused", HomeyError::unauthorized(), false);
        row("keyring", KeychainError::denied(), false);
    }
    // Until the hub answers, with the realtime link's pauses; one line per attempt in the log.
    void onlyPassingFailuresAreTriedAgain()
    {
        QFETCH(std::exception_ptr, failure);
        QFETCH(bool, retried);
        LogCapture log;
        session(failure);
        QCOMPARE(m_onboarding->retrying(), retried);
        QVERIFY(!m_onboarding->busy());
        if (!retried) {
            m_hub->clock->advance(60s);
            QCOMPARE(m_hub->checks, 1);
            QCOMPARE(log.matching(u"verbinding"_s).size(), 1);
            return;
        }
        for (int attempt = 2; attempt <= 8; ++attempt) {
            QVERIFY2(attemptComesOnTime(attempt), qPrintable(QString::number(attempt)));
            QVERIFY(!m_onboarding->busy());
            QVERIFY(m_onboarding->connectionProblem());
        }
        // The failure once, and one line for each attempt.
        QCOMPARE(log.matching(u"Homey-verbinding mislukt"_s).size(), 1);
        QCOMPARE(log.matching(u"verbinding"_s).size(), 9);
        QCOMPARE(log.lines().constLast(), u"verbinding: opnieuw proberen over 15,2 s (poging 9)"_s);

        m_hub->failure = nullptr;
        QVERIFY(attemptComesOnTime(9));
        QVERIFY(live());
        QVERIFY(!m_onboarding->retrying());
        QVERIFY(!m_onboarding->connectionProblem());
        QVERIFY(log.lines().contains(u"verbinding: Homey bereikt bij poging 9"_s));
        m_hub->clock->advance(60s);
        QCOMPARE(m_hub->checks, 9);
    }

    void aNewReasonIsLoggedOnItsAttemptsLine()
    {
        LogCapture log;
        session(std::make_exception_ptr(HomeyError::offline()));
        m_hub->failure = std::make_exception_ptr(HomeyError::http(503, u"/api/x"_s));
        QVERIFY(attemptComesOnTime(2));
        const QStringList lines = log.matching(u"verbinding"_s);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.constLast(), u"!! Homey-verbinding mislukt: "_s +
                                        Onboarding::explain(HomeyError::http(503, u"/api/x"_s)) +
                                        u" (opnieuw proberen over 1,2 s, poging 3)"_s);
    }

    // A hub that answers the check but not yet the load (its managers still starting) is a failed start
    // as well; a load refused for good is the store's to show, and not asked again.
    void aFirstLoadThatFailsIsTriedAgainToo_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("retried");
        QTest::newRow("still starting") << 503 << true;
        QTest::newRow("refused") << 404 << false;
    }
    void aFirstLoadThatFailsIsTriedAgainToo()
    {
        QFETCH(int, status);
        QFETCH(bool, retried);
        LogCapture log;
        const auto failing = [&] {
            return m_session->store()->connection().kind() == ConnectionState::Kind::failed;
        };
        sessionLoadingWith(HomeyError::http(status, u"/api/manager/devices/device/"_s), 2);
        QVERIFY(failing());
        QCOMPARE(m_onboarding->retrying(), retried);
        QVERIFY(!m_onboarding->busy());
        if (!retried) {
            m_hub->clock->advance(60s);
            QCOMPARE(m_hub->checks, 1);
            QVERIFY(failing());
            return;
        }
        QVERIFY(attemptComesOnTime(2));
        QVERIFY(failing());
        QVERIFY(attemptComesOnTime(3));
        QVERIFY(live());
        QVERIFY(!m_onboarding->retrying());
        QVERIFY(!m_onboarding->connectionProblem());
        // The failure once, a line for each attempt, and the success.
        QCOMPARE(log.matching(u"Homey-verbinding mislukt"_s).size(), 1);
        QCOMPARE(log.matching(u"verbinding"_s).size(), 4);
        QCOMPARE(log.lines().constLast(), u"verbinding: Homey bereikt bij poging 3"_s);
    }

    // Met on a later attempt, a failure that waiting does not mend ends the retrying: no more attempts,
    // and the problem screen no longer says that it keeps trying.
    void aFailureWaitingDoesNotMendEndsTheRetrying_data()
    {
        QTest::addColumn<std::exception_ptr>("failure");
        QTest::addColumn<bool>("onLoad");
        const auto row = [](const char *name, auto error, bool onLoad) {
            QTest::newRow(name) << std::make_exception_ptr(error) << onLoad;
        };
        row("no hub found", HomeyError::notConfigured(), false);
        row("not a hub", HomeyError::decoding(u"geen JSON"_s), false);
        row("404", HomeyError::http(404, u"/api/manager/sessions/session/me"_s), false);
        row("404 on the first load", HomeyError::http(404, u"/api/manager/devices/device/"_s), true);
        row("not JSON on the first load", HomeyError::decoding(u"geen JSON"_s), true);
    }
    void aFailureWaitingDoesNotMendEndsTheRetrying()
    {
        QFETCH(std::exception_ptr, failure);
        QFETCH(bool, onLoad);
        LogCapture log;
        session(std::make_exception_ptr(HomeyError::unreachable(u"192.168.1.5"_s)));
        QVERIFY(attemptComesOnTime(2));
        QVERIFY(m_onboarding->retrying());
        if (onLoad) {
            m_hub->failure = nullptr;
            try {
                std::rethrow_exception(failure);
            } catch (const HomeyError &error) {
                m_hub->loadFailure = error;
            }
            m_hub->loadFailures = 1;
        } else {
            m_hub->failure = failure;
        }
        QVERIFY(attemptComesOnTime(3));
        QVERIFY(!m_onboarding->retrying());
        const OnboardingRoot::Facts facts = PaletteRoot::factsOf(*m_onboarding);
        const ConnectionState connection = m_session->store()->connection();
        QCOMPARE(OnboardingRoot::choose(facts, connection), OnboardingRoot::Screen::Problem);
        const ConnectionProblemLook look =
            ConnectionProblemLook::make(OnboardingRoot::problemMessage(facts, connection), facts.retrying);
        QCOMPARE(look.keepsTrying, QString());
        if (!onLoad)
            QCOMPARE(look.text, Onboarding::explain(failure));
        // The hub answered the check: the log says so, and that the home did not load, never as a
        // start that got through.
        QCOMPARE(log.matching(u"Homey bereikt"_s),
                 onLoad ? QStringList{u"verbinding: Homey bereikt bij poging 3, maar het laden mislukte"_s}
                        : QStringList());
        m_hub->clock->advance(60s);
        QCOMPARE(m_hub->checks, 3);
    }

    // An attempt after a pause leaves the problem screen as it is, the button with the keyboard too:
    // no connecting screen in between, at every attempt.
    void theProblemScreenStaysThroughAnAttempt()
    {
        session(std::make_exception_ptr(HomeyError::unreachable(u"192.168.1.5"_s)));
        OnboardingRoot root(m_session->store(), {}, false);
        QList<OnboardingRoot::Screen> screens;
        connect(&root, &OnboardingRoot::screenChanged, &root, [&] { screens << root.screen(); });
        const auto push = [&] { root.setFacts(PaletteRoot::factsOf(*m_onboarding)); };
        for (const auto signal : {&Onboarding::showingChanged, &Onboarding::busyChanged,
                                  &Onboarding::connectionProblemChanged, &Onboarding::retryingChanged})
            connect(m_onboarding.get(), signal, &root, push);
        push();
        QCOMPARE(root.screen(), OnboardingRoot::Screen::Problem);
        QVERIFY(root.handleKey(Qt::Key_Tab, Qt::NoModifier, false));
        QCOMPARE(root.focusedButton(), OnboardingRoot::Button::Configure);
        const ConnectionProblemLook before = root.problem();
        QVERIFY(!before.keepsTrying.isEmpty());

        m_hub->latency = 1s;
        for (int attempt = 2; attempt <= 3; ++attempt) {
            QVERIFY(attemptComesOnTime(attempt));
            QVERIFY(m_onboarding->busy());
            QCOMPARE(root.screen(), OnboardingRoot::Screen::Problem);
            QCOMPARE(root.problem(), before);
            QCOMPARE(root.focusedButton(), OnboardingRoot::Button::Configure);
            m_hub->clock->advance(m_hub->latency);
            QVERIFY(!m_onboarding->busy());
            QCOMPARE(root.problem(), before);
            QCOMPARE(root.focusedButton(), OnboardingRoot::Button::Configure);
        }
        QVERIFY(!screens.contains(OnboardingRoot::Screen::Connecting));
    }

    // Looking at the key screen ends nothing: an attempt that falls due while the screen is in view
    // waits for it, and comes as soon as the panel is hidden or the screen closed. The retrying then
    // goes on as before, a line per attempt, until the hub answers.
    void theKeyScreenHoldsAnAttemptOnlyWhileInView_data()
    {
        QTest::addColumn<QString>("leave");
        QTest::newRow("hidden before the attempt") << u"hide first"_s;
        QTest::newRow("hidden") << u"hide"_s;
        QTest::newRow("closed") << u"close"_s;
    }
    void theKeyScreenHoldsAnAttemptOnlyWhileInView()
    {
        QFETCH(QString, leave);
        LogCapture log;
        session(std::make_exception_ptr(HomeyError::unreachable(u"192.168.1.5"_s)));
        QVERIFY(attemptComesOnTime(2));
        // "API-sleutel wijzigen".
        m_onboarding->setShowing(true);
        m_panel->show();
        if (leave == u"hide first") {
            m_panel->hide(u"actie uitgevoerd of esc"_s);
            QVERIFY(attemptComesOnTime(3));
        } else {
            m_hub->clock->advance(90s);
            QCOMPARE(m_hub->checks, 2);
            if (leave == u"hide")
                m_panel->hide(u"actie uitgevoerd of esc"_s);
            else
                m_onboarding->setShowing(false);
            ManualClock::settle();
            QCOMPARE(m_hub->checks, 3);
        }
        QVERIFY(m_onboarding->retrying());
        QVERIFY(attemptComesOnTime(4));
        QCOMPARE(log.lines().constLast(), u"verbinding: opnieuw proberen over 4,2 s (poging 5)"_s);
        m_hub->failure = nullptr;
        QVERIFY(attemptComesOnTime(5));
        QVERIFY(live());
        QVERIFY(!m_onboarding->showing());
    }

    // What the person does during a pause comes first; a superseded pause makes no attempt.
    void thePersonActsDuringAPause_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("retry") << u"retry"_s;
        QTest::newRow("retry during an attempt") << u"retry during an attempt"_s;
        QTest::newRow("newer boot") << u"boot"_s;
        QTest::newRow("forget") << u"forget"_s;
        QTest::newRow("pairing screen") << u"pairing"_s;
        QTest::newRow("key screen during an attempt") << u"look"_s;
        QTest::newRow("save during an attempt") << u"save"_s;
        QTest::newRow("refused save during an attempt") << u"refused save"_s;
    }
    void thePersonActsDuringAPause()
    {
        QFETCH(QString, action);
        HubSession &hub = session(std::make_exception_ptr(HomeyError::unreachable(u"192.168.1.5"_s)));
        QVERIFY(attemptComesOnTime(2));
        QVERIFY(attemptComesOnTime(3));
        if (action == u"forget") {
            hub.forgetToken();
            ManualClock::settle();
            m_hub->clock->advance(60s);
            QCOMPARE(m_hub->checks, 3);
            QVERIFY(!m_onboarding->retrying());
            return;
        }
        if (action == u"pairing") {
            // The attempt waits while the person is at the pairing screen, and comes once they leave it.
            m_onboarding->setShowing(true);
            m_panel->show();
            m_hub->clock->advance(60s);
            QCOMPARE(m_hub->checks, 3);
            m_onboarding->setShowing(false);
            ManualClock::settle();
            QCOMPARE(m_hub->checks, 4);
            return;
        }
        if (action == u"look" || action.endsWith(u"save")) {
            // Back, the hub refuses the key the program has; each check takes a second.
            m_hub->latency = 1s;
            m_hub->failure = std::make_exception_ptr(HomeyError::unauthorized());
            if (action == u"save")
                m_hub->accepted = u"nieuw"_s;
            m_hub->clock->advance(pauseBefore(4));
            QCOMPARE(m_hub->checks, 4);
            QVERIFY(m_onboarding->busy());
            // The person at the key screen meanwhile: no check of theirs shows, and all of it works.
            m_onboarding->setShowing(true);
            m_panel->show();
            OnboardingRoot root(m_session->store(), {}, false);
            root.setFacts(PaletteRoot::factsOf(*m_onboarding));
            root.setToken(u"nieuw"_s);
            const TokenScreenLook look = root.tokenScreen();
            QCOMPARE(look.saveTitle, u"Controleren en bewaren"_s);
            QVERIFY(look.saveEnabled && look.fieldEnabled && look.keyButtonsEnabled && !look.showsProgress);
            if (action == u"look") {
                m_hub->clock->advance(1s);
                QVERIFY(!m_onboarding->busy());
                return;
            }
            // Their key goes first; the attempt's answer, when it comes, changes nothing.
            LogCapture log;
            QCoro::Task<bool> saving = hub.saveToken(u"nieuw"_s);
            QVERIFY(m_onboarding->checking());
            QCOMPARE(log.lines(),
                     QStringList{u"verbinding: poging 4 wijkt voor de sleutel die je bewaart"_s});
            m_hub->clock->advance(2s);
            QCOMPARE(awaitTask(std::move(saving)), action == u"save");
            if (action == u"save") {
                QVERIFY(live());
                QVERIFY(!m_onboarding->showing());
                QCOMPARE(m_onboarding->message(), std::nullopt);
                QVERIFY(!m_onboarding->retrying());
                QCOMPARE(m_hub->tokens->item(AppConfiguration::service())->data, "nieuw"_ba);
                return;
            }
            // Refused: the save says so, and the attempt it overtook comes again once the person
            // leaves the key screen.
            QCOMPARE(m_onboarding->message(), Onboarding::explain(HomeyError::unauthorized()));
            QVERIFY(m_onboarding->showing());
            QVERIFY(m_onboarding->retrying());
            QCOMPARE(m_hub->checks, 5);
            m_hub->failure = nullptr;
            m_onboarding->setShowing(false);
            m_hub->clock->advance(1s);
            QCOMPARE(m_hub->checks, 6);
            QVERIFY(live());
            return;
        }
        if (action == u"retry during an attempt") {
            // It gives way to the attempt under way, whose failure then waits the shortest pause.
            m_hub->latency = 1s;
            m_hub->clock->advance(pauseBefore(4));
            hub.reconnect();
            ManualClock::settle();
            QCOMPARE(m_hub->checks, 4);
            m_hub->latency = 0ms;
            m_hub->clock->advance(1s);
            QVERIFY(attemptComesOnTime(2));
            return;
        }
        if (action == u"retry") {
            hub.reconnect();
            ManualClock::settle();
        } else {
            awaitTask(hub.boot());
        }
        // At once, and the pauses start again from the first.
        QCOMPARE(m_hub->checks, 4);
        QVERIFY(m_onboarding->retrying());
        // Past the end of the pause it replaced, too.
        QVERIFY(attemptComesOnTime(2));
        QVERIFY(attemptComesOnTime(3));
        QVERIFY(attemptComesOnTime(4));
    }
};

QTEST_MAIN(TstBootRetry)
#include "tst_bootretry.moc"
