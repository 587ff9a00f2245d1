#include "../store/search/dutchhome.h"
#include "app/appconfigurationlookup.h"
#include "app/appdelegate.h"
#include "app/hotkeycombo.h"
#include "app/hotkeytester.h"
#include "app/onboarding.h"
#include "app/settings.h"
#include "app/settingsmodel.h"
#include "app/settingswindowcontroller.h"
#include "app/unconfiguredhomeyclient.h"
#include "awaittask.h"
#include "fakedesktop.h"
#include "fakerealtime.h"
#include "fakerestclient.h"
#include "homey/auth/memorytokenstore.h"
#include "homey/config/homeyconfig.h"
#include "logcapture.h"
#include "manualclock.h"
#include "store/notifications/notificationsettings.h"

#include <QFile>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// The outside world as the delegate meets it: keyring, hub resolution, token check and hub clients,
// each scripted by the test.
struct World {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<MemoryTokenStore> tokens = std::make_shared<MemoryTokenStore>();
    std::optional<QString> token = u"geheim"_s;
    std::optional<KeychainError> tokenFailure;
    std::optional<HomeyError> endpointFailure;
    std::optional<HomeyError> validateFailure;
    // How long finding the hub takes, on the manual clock.
    std::chrono::milliseconds endpointDelay{0};
    HomeyEndpoint endpoint{QUrl(u"http://192.168.1.5"_s), u"hub-1"_s, u"Thuis"_s};
    int tokenReads = 0;
    // A P2000 pager in the hall, as the hub lists it.
    bool pager = false;
    // The first load of the next stores fails with this after a moment, while loadFailures lasts.
    std::optional<HomeyError> loadFailure;
    int loadFailures = 0;
    QList<std::shared_ptr<FakeRestClient>> rests;
    QList<std::shared_ptr<FakeRealtime>> realtimes;
};

// The keyring first, as the program's own look-up does.
QCoro::Task<std::optional<QString>> readToken(std::shared_ptr<World> world)
{
    ++world->tokenReads;
    if (world->tokenFailure)
        throw *world->tokenFailure;
    std::optional<QString> token = co_await world->tokens->load(AppConfiguration::service());
    if (!token)
        token = world->token;
    co_return token;
}

QCoro::Task<HomeyEndpoint> findHub(std::shared_ptr<World> world)
{
    if (world->endpointDelay.count() > 0)
        co_await world->clock->sleep(world->endpointDelay, CancelToken());
    if (world->endpointFailure)
        throw *world->endpointFailure;
    HomeyEndpoint endpoint = world->endpoint;
    co_return endpoint;
}

QCoro::Task<HomeyIdentity> checkToken(std::shared_ptr<World> world)
{
    if (world->validateFailure)
        throw *world->validateFailure;
    co_return HomeyIdentity();
}

Device pagerDevice()
{
    const auto text = [](const QString &id, const QString &value) {
        return DutchHome::capability(id, Capability::Kind::string, false, CapabilityValue::fromString(value));
    };
    return DutchHome::device(u"pager"_s, u"P2000"_s, u"hal"_s, u"other"_s,
                             {text(u"p2000"_s, u"A1 Dorpsstraat Leiden"_s), text(u"prio"_s, u"1"_s),
                              text(u"dienst"_s, u"Ambulance"_s), text(u"regio"_s, u"Hollands Midden"_s)});
}

AppServices servicesOf(const std::shared_ptr<World> &world)
{
    AppServices services;
    services.tokens = world->tokens;
    services.token = [world] { return readToken(world); };
    services.endpoint = [world] { return findHub(world); };
    services.validate = [world](QUrl, QString) { return checkToken(world); };
    services.connect = [world](HomeyEndpoint, QString) {
        auto rest = std::make_shared<FakeRestClient>(world->clock);
        if (world->loadFailure && world->loadFailures > 0) {
            --world->loadFailures;
            rest->script(u"devices"_s, {200ms, *world->loadFailure});
        }
        DutchHome::Home home = DutchHome::home();
        if (world->pager)
            DutchHome::put(home.devices, pagerDevice());
        rest->home.zones = home.zones.values();
        rest->home.devices = home.devices.values();
        rest->home.flows = home.flows.values();
        rest->home.moods = home.moods.values();
        auto realtime = std::make_shared<FakeRealtime>();
        world->rests.append(rest);
        world->realtimes.append(realtime);
        return HubClients{rest, realtime};
    };
    return services;
}

} // namespace

class TstAppDelegate : public QObject {
    Q_OBJECT

    std::shared_ptr<World> m_world;
    std::shared_ptr<FakeGrabber> m_grabber;
    std::shared_ptr<FakeBanners> m_banners;
    std::unique_ptr<AppDelegate> m_app;

    AppDelegate &make(const QStringList &switches = {})
    {
        AppDelegate::Options options;
        options.arguments = QStringList{u"quorvane"_s} + switches;
        options.showOnLaunch = switches.contains(u"--show"_s);
        options.services = servicesOf(m_world);
        options.hotKeyGrabber = m_grabber;
        options.banners = m_banners;
        options.systemTray = std::make_shared<FakeSystemTray>();
        options.panel.clock = m_world->clock;
        options.store.clock = m_world->clock;
        m_app = std::make_unique<AppDelegate>(std::move(options));
        return *m_app;
    }
    // Launched, and booted as far as the hub lets it.
    AppDelegate &launch(const QStringList &switches = {})
    {
        AppDelegate &app = make(switches);
        app.applicationDidFinishLaunching();
        ManualClock::settle();
        return app;
    }
    Onboarding &onboarding() const { return *m_app->onboarding(); }
    static SettingsStore defaults() { return SettingsStore::standard(); }

private Q_SLOTS:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        SettingsStore::flushAll(); // a write of the last test may still be on its way to the file
        QFile::remove(defaults().filePath());
        m_world = std::make_shared<World>();
        m_grabber = std::make_shared<FakeGrabber>();
        m_banners = std::make_shared<FakeBanners>();
    }
    void cleanup() { m_app.reset(); }

    void launchLogsInOrderThenBoots_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QStringList>("beforeSummary");
        QTest::addColumn<int>("boots");
        QTest::newRow("normal") << QStringList() << QStringList() << 1;
        QTest::newRow("--no-homey")
            << QStringList{u"--no-homey"_s}
            << QStringList{u"Homey-verbinding: uit (--no-homey). De schil draait, er gaat geen byte het net op."_s}
            << 0;
    }
    void launchLogsInOrderThenBoots()
    {
        QFETCH(QStringList, switches);
        QFETCH(QStringList, beforeSummary);
        QFETCH(int, boots);
        AppDelegate &app = make(switches);
        LogCapture log;
        app.applicationDidFinishLaunching();
        QCOMPARE(m_world->tokenReads, 0);

        QStringList lines = log.lines();
        QCOMPARE(lines.takeFirst(), QString(58, QChar(0x2500)));
        QVERIFY(QRegularExpression(u"^Quorvane \\S+ start op\\. pid \\d+, start #\\d+$"_s)
                    .match(lines.takeFirst())
                    .hasMatch());
        const QString pid = QString::number(QCoreApplication::applicationPid());
        const QStringList expected =
            QStringList{
                u"logboek: "_s + Log::fileURL(),
                u"sneltoets uit instellingen: "_s + HotKeyCombo::standard().display(),
                u"activatiebeleid: achtergrondprogramma, draait door zonder open venster"_s,
                u"hotkey: Ctrl+Alt+Space geregistreerd, status 0. Een combinatie die een ander programma op de "_s
                u"gewone manier vastheeft, weigert de X-server; een programma dat sneltoetsen via XInput2 pakt "_s
                u"(zoals sommige desktops), kan hem toch afvangen. Test hem in de instellingen."_s,
                u"panel: prewarmed (760x540)"_s,
                u"SIGUSR1-handler actief: `kill -USR1 "_s + pid + u"` opent het paneel"_s,
                u"SIGUSR2-handler actief: `kill -USR2 "_s + pid + u"` schrijft "_s +
                    AppDelegate::snapshotPath(),
                u"meldingen: bureaubladmeldingen beschikbaar"_s,
            } +
            beforeSummary +
            QStringList{u"opstarten klaar. statusitem=ONTBREEKT hotkey=geregistreerd panel=prewarmed"_s};
        // There is no tray offscreen: its four lines stand between the policy and the hot key.
        QCOMPARE(lines.filter(u"systeemvak"_s, Qt::CaseInsensitive).size(), 4);
        lines.removeIf(
            [](const QString &line) { return line.contains(u"systeemvak"_s, Qt::CaseInsensitive); });
        QCOMPARE(lines, expected);

        ManualClock::settle();
        QCOMPARE(m_world->tokenReads, boots);
        QCOMPARE(m_app->hub()->connectionSummary(),
                 boots ? u"Live verbonden."_s : u"Gestart met --no-homey, geen verbinding."_s);
    }

    // A test run beside the user's copy is no start of theirs: their count stays, and the log says why.
    void onlyTheUsersStartsAreCounted_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("ending");
        QTest::newRow("a start") << QStringList() << qint64(5) << u", start #5"_s;
        QTest::newRow("without the hub") << QStringList{u"--no-homey"_s} << qint64(5) << u", start #5"_s;
        QTest::newRow("--notify-test")
            << QStringList{u"--notify-test"_s} << qint64(4) << u", testrun, telt niet als start"_s;
        QTest::newRow("--mock") << QStringList{u"--mock"_s, u"--no-homey"_s} << qint64(4)
                                << u", testrun, telt niet als start"_s;
    }
    void onlyTheUsersStartsAreCounted()
    {
        QFETCH(QStringList, switches);
        QFETCH(qint64, count);
        QFETCH(QString, ending);
        defaults().setValue(Settings::launchCountKey, qint64(4));
        LogCapture log;
        make(switches).applicationDidFinishLaunching();
        const QStringList start = log.matching(u" start op. pid "_s);
        QCOMPARE(start.size(), 1);
        QVERIFY2(start.constFirst().endsWith(ending), qPrintable(start.constFirst()));
        QCOMPARE(defaults().integerReading(Settings::launchCountKey), count);
    }

    // The launch's line on banners agrees with the warning the notifier wrote just before it.
    void theBannerLineAgreesWithWhatWasFound_data()
    {
        QTest::addColumn<bool>("bus");
        QTest::addColumn<bool>("server");
        QTest::addColumn<QStringList>("lines");
        const QString missing = u"meldingen: NIET beschikbaar, zie hierboven"_s;
        QTest::newRow("a notification server")
            << true << true << QStringList{u"meldingen: bureaubladmeldingen beschikbaar"_s};
        QTest::newRow("a bus without one")
            << true << false
            << QStringList{u"!! meldingen: geen meldingendienst (org.freedesktop.Notifications) op de "
                           u"sessiebus, geen banners tot er een is"_s,
                           missing};
        QTest::newRow("no bus") << false << false
                                << QStringList{
                                       u"!! meldingen: Quorvane heeft geen verbinding met de sessiebus "
                                       u"(D-Bus). De desktop levert dan geen meldingen."_s,
                                       missing};
    }
    void theBannerLineAgreesWithWhatWasFound()
    {
        QFETCH(bool, bus);
        QFETCH(bool, server);
        QFETCH(QStringList, lines);
        m_banners->bus = bus;
        m_banners->server = server;
        LogCapture log;
        make({u"--no-homey"_s}).applicationDidFinishLaunching();
        QCOMPARE(log.lines().filter(QRegularExpression(u"^(!! )?meldingen: "_s)), lines);
    }

    void bootSwapsInALiveStore()
    {
        AppDelegate &app = launch({u"--query"_s, u"Leeslamp"_s});
        HomeStore *store = app.store();
        QCOMPARE(store->connection(), ConnectionState::live());
        QCOMPARE(m_world->rests.size(), 1);
        QCOMPARE(app.hub()->restClient(), m_world->rests.constFirst().get());
        QCOMPARE(HomeyConfig::stored(defaults()), m_world->endpoint);
        QVERIFY(!onboarding().showing());
        QVERIFY(!onboarding().busy());
        QVERIFY(onboarding().hasToken());
        // The start-up query holds in the store the boot brought.
        QCOMPARE(store->query(), u"Leeslamp"_s);
        QCOMPARE(store->hits().constFirst().title, u"Leeslamp"_s);
        QCOMPARE(app.feed(), store->notifications());
    }

    void storeSwappedInWhileShownKnowsThePanelIsUp()
    {
        AppDelegate &app = make();
        app.applicationDidFinishLaunching();
        app.panel()->show();
        ManualClock::settle();
        HomeStore *store = app.store();
        store->setQuery(u"Leeslamp"_s);
        QCOMPARE(store->hits().constFirst().accessory, Hit::Accessory::dimmer(0));
        // A change on the hub redraws the rows at once only while the store knows the panel is up.
        m_world->realtimes.constFirst()->push(
            HomeyEvent::Capability{u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(true), std::nullopt});
        ManualClock::settle();
        QCOMPARE(store->hits().constFirst().accessory, Hit::Accessory::dimmer(0.8));
    }

    void bootWithoutTokenAsksForOne()
    {
        m_world->token = std::nullopt;
        AppDelegate &app = make();
        HomeStore *placeholder = app.store();
        app.applicationDidFinishLaunching();
        ManualClock::settle();
        QVERIFY(onboarding().showing());
        QVERIFY(!onboarding().hasToken());
        QVERIFY(!onboarding().message());
        QVERIFY(!onboarding().busy());
        QVERIFY(app.panel()->isVisible());
        QCOMPARE(app.store(), placeholder);
        QVERIFY(m_world->rests.isEmpty());
    }

    void bootFailuresEndInTheOnboardingModel_data()
    {
        QTest::addColumn<int>("step"); // 0 keyring, 1 finding the hub, 2 checking the token
        QTest::addColumn<bool>("pairing");
        QTest::newRow("keyring") << 0 << true;
        QTest::newRow("hub not found") << 1 << false;
        QTest::newRow("token refused") << 2 << true;
    }
    void bootFailuresEndInTheOnboardingModel()
    {
        QFETCH(int, step);
        QFETCH(bool, pairing);
        QString explanation;
        if (step == 0) {
            m_world->tokenFailure = KeychainError::denied();
            explanation = Onboarding::explain(*m_world->tokenFailure);
        } else if (step == 1) {
            m_world->endpointFailure = HomeyError::unreachable(u"192.168.1.5"_s);
            explanation = Onboarding::explain(*m_world->endpointFailure);
        } else {
            m_world->validateFailure = HomeyError::unauthorized();
            explanation = Onboarding::explain(*m_world->validateFailure);
        }
        AppDelegate &app = make();
        HomeStore *placeholder = app.store();
        LogCapture log;
        app.applicationDidFinishLaunching();
        ManualClock::settle();
        // The log says what the panel says.
        QCOMPARE(log.matching(u"!! Homey-verbinding"_s),
                 QStringList{u"!! Homey-verbinding mislukt: "_s + explanation});
        QCOMPARE(onboarding().connectionProblem(), explanation);
        QCOMPARE(onboarding().message(), pairing ? std::optional(explanation) : std::nullopt);
        QCOMPARE(onboarding().showing(), pairing);
        QCOMPARE(app.panel()->isVisible(), pairing);
        QVERIFY(!onboarding().busy());
        QCOMPARE(app.store(), placeholder);
        QCOMPARE(HomeyConfig::stored(defaults()), std::nullopt);
    }

    void failedBootLeavesTheOldStoreStopped()
    {
        AppDelegate &app = launch();
        HomeStore *live = app.store();
        m_world->validateFailure = HomeyError::unauthorized();
        awaitTask(app.hub()->boot());
        QCOMPARE(app.store(), live);
        QCOMPARE(live->connection(), ConnectionState::idle());
        QVERIFY(onboarding().showing());
    }

    void secondBootWhileOneRunsDoesNothing()
    {
        m_world->endpointDelay = 1s;
        AppDelegate &app = make();
        auto first = app.hub()->boot();
        awaitTask(app.hub()->boot());
        QCOMPARE(m_world->tokenReads, 1);
        m_world->clock->advance(1s);
        awaitTask(std::move(first));
        QCOMPARE(m_world->rests.size(), 1);
        QCOMPARE(app.store()->connection(), ConnectionState::live());
    }

    void savingAKeyBootsOnlyWhenTheHubTakesIt()
    {
        m_world->token = std::nullopt;
        m_world->validateFailure = HomeyError::unauthorized();
        AppDelegate &app = launch();
        QVERIFY(onboarding().showing());
        QVERIFY(!awaitTask(app.hub()->saveToken(u" sleutel\n"_s)));
        QVERIFY(onboarding().showing());
        QCOMPARE(onboarding().message(), Onboarding::explain(HomeyError::unauthorized()));
        QCOMPARE(m_world->tokens->itemCount(), 0);

        m_world->validateFailure.reset();
        bool hiddenBeforeBoot = false;
        connect(&onboarding(), &Onboarding::showingChanged, this,
                [&] { hiddenBeforeBoot = !onboarding().showing() && m_world->rests.isEmpty(); });
        QVERIFY(awaitTask(app.hub()->saveToken(u" sleutel\n"_s)));
        QVERIFY(hiddenBeforeBoot);
        QCOMPARE(m_world->tokens->item(AppConfiguration::service())->data, "sleutel"_ba);
        QCOMPARE(app.store()->connection(), ConnectionState::live());
    }

    void reconnectResyncsALiveStoreAndBootsOtherwise()
    {
        m_world->token = std::nullopt;
        AppDelegate &app = launch();
        LogCapture log;
        m_world->token = u"geheim"_s;
        app.hub()->reconnect();
        ManualClock::settle();
        QCOMPARE(log.lines().constFirst(), u"menu: opnieuw verbinden (toestand was niet verbonden)"_s);
        QCOMPARE(m_world->rests.size(), 1);

        HomeStore *live = app.store();
        app.hub()->reconnect();
        ManualClock::settle();
        QVERIFY(log.lines().contains(u"menu: opnieuw verbinden (toestand was live)"_s));
        QCOMPARE(app.store(), live);
        QCOMPARE(m_world->rests.size(), 1);
        QCOMPARE(m_world->rests.constFirst()->calls.count(u"zones"_s), 2);
        QCOMPARE(live->connection(), ConnectionState::live());
    }

    void forgetTokenFallsBackToPairing_data()
    {
        QTest::addColumn<bool>("keyringFails");
        QTest::newRow("forgotten") << false;
        QTest::newRow("keyring refuses") << true;
    }
    void forgetTokenFallsBackToPairing()
    {
        QFETCH(bool, keyringFails);
        AppDelegate &app = launch();
        awaitTask(m_world->tokens->save(u"geheim"_s, AppConfiguration::service()));
        HomeStore *live = app.store();
        if (keyringFails)
            m_world->tokens->failWith(KeychainError::denied());
        app.hub()->forgetToken();
        ManualClock::settle();
        QVERIFY(!onboarding().busy());
        if (keyringFails) {
            QCOMPARE(onboarding().message(), Onboarding::explain(KeychainError::denied()));
            QCOMPARE(app.store(), live);
            QCOMPARE(HomeyConfig::stored(defaults()), m_world->endpoint);
            QVERIFY(!defaults().boolReading(AppConfiguration::explicitCredentialsKey));
            return;
        }
        QCOMPARE(onboarding().message(),
                 u"De sleutel is gewist. Plak een nieuwe sleutel om opnieuw te koppelen."_s);
        QVERIFY(onboarding().showing());
        QVERIFY(!onboarding().hasToken());
        QVERIFY(!onboarding().connectionProblem());
        QCOMPARE(m_world->tokens->itemCount(), 0);
        QVERIFY(defaults().boolReading(AppConfiguration::explicitCredentialsKey));
        for (const QString &key :
             {HomeyConfig::baseURLKey, HomeyConfig::homeyIDKey, HomeyConfig::homeyNameKey})
            QVERIFY(!defaults().contains(key));
        QVERIFY(app.store() != live);
        QVERIFY(!app.hub()->restClient());
        QCOMPARE(app.store()->connection(), ConnectionState::idle());
        QCOMPARE(live->connection(), ConnectionState::idle());
    }

    void refusedTokenOnTheLinkRaisesPairing()
    {
        AppDelegate &app = launch();
        LogCapture log;
        // The link drops and the reload that follows is refused.
        m_world->rests.constFirst()->fail(u"zones"_s, HomeyError::unauthorized());
        m_world->realtimes.constFirst()->end();
        ManualClock::settle();
        m_world->clock->advance(1s);
        QVERIFY(onboarding().showing());
        QCOMPARE(onboarding().message(), Onboarding::explain(HomeyError::unauthorized()));
        // Each state once, however often it was announced.
        const QStringList changes = log.matching(u"verbinding: "_s);
        QCOMPARE(changes.constLast(), u"verbinding: "_s + app.hub()->connectionSummary());
        QCOMPARE(QSet<QString>(changes.begin(), changes.end()).size(), changes.size());
    }

    void panelHooksFollowTheSwitches_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::newRow("plain") << QStringList();
        QTest::newRow("--room") << QStringList{u"--room"_s, u"Woonkamer"_s, u"--query"_s, u"lamp"_s};
    }
    void panelHooksFollowTheSwitches()
    {
        QFETCH(QStringList, switches);
        const bool keepsRoom = !switches.isEmpty();
        AppDelegate &app = launch(switches);
        HomeStore *store = app.store();
        app.panel()->show();
        if (!keepsRoom)
            store->enterScope(u"woonkamer"_s);
        QCOMPARE(store->scopeZoneID(), u"woonkamer"_s);
        QCOMPARE(store->query(), keepsRoom ? u"lamp"_s : QString());
        store->setQuery(u"plafond"_s);
        store->setSelection(1);
        app.panel()->hide(u"esc"_s);
        QCOMPARE(store->query(), QString());
        QCOMPARE(store->selection(), 0);
        QCOMPARE(store->scopeZoneID().has_value(), keepsRoom);
        if (!keepsRoom)
            return;
        // Left by hand, the room comes back with the next show, and so does the start-up query.
        store->exitScope();
        app.panel()->show();
        QCOMPARE(store->scopeZoneID(), u"woonkamer"_s);
        QCOMPARE(store->query(), u"lamp"_s);
    }

    // The hidden panel draws what it will show before anyone asks for it: at start, and again once the
    // home arrived in a palette of its own. A panel shown at once is drawn by its show.
    void theHiddenPanelDrawsAheadOfItsShows_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QStringList>("prewarms");
        QTest::addColumn<QString>("summary");
        QTest::newRow("started hidden")
            << QStringList()
            << QStringList{u"panel: prewarmed (760x540)"_s, u"panel: prewarmed (760x540, huis live)"_s}
            << u"panel=prewarmed"_s;
        QTest::newRow("--show") << QStringList{u"--show"_s} << QStringList() << u"panel=getoond"_s;
        QTest::newRow("--no-homey") << QStringList{u"--no-homey"_s}
                                    << QStringList{u"panel: prewarmed (760x540)"_s} << u"panel=prewarmed"_s;
    }
    void theHiddenPanelDrawsAheadOfItsShows()
    {
        QFETCH(QStringList, switches);
        QFETCH(QStringList, prewarms);
        QFETCH(QString, summary);
        LogCapture log;
        AppDelegate &app = launch(switches);
        QCOMPARE(log.lines().filter(QRegularExpression(u"^panel: prewarmed"_s)), prewarms);
        QVERIFY(log.lines().filter(u"opstarten klaar"_s).value(0).endsWith(summary));
        if (switches.contains(u"--no-homey"_s))
            return;
        // Hidden again, a reconnect of the same store draws nothing more.
        app.panel()->hide(u"esc"_s);
        app.hub()->reconnect();
        ManualClock::settle();
        QCOMPARE(log.lines().filter(QRegularExpression(u"^panel: prewarmed"_s)), prewarms);
    }

    void snapshotSignal()
    {
        AppDelegate &app = launch();
        HomeStore *store = app.store();
        store->setQuery(u"lamp \"x\""_s);
        QCOMPARE(app.snapshotStateLine(),
                 u"snapshot-toestand: query=\"lamp \\\"x\\\"\" scope=geen rijen=[]"_s);
        store->setQuery(u"lamp"_s);
        QStringList titles;
        for (const Hit &hit : store->hits().mid(0, 4))
            titles << hit.title;
        QCOMPARE(store->hits().size() > 4, true);
        QCOMPARE(app.snapshotStateLine(),
                 u"snapshot-toestand: query=\"lamp\" scope=geen rijen=["_s + titles.join(u", "_s) + u"]"_s);
        store->enterScope(u"kantoor"_s);
        QCOMPARE(app.snapshotStateLine(),
                 u"snapshot-toestand: query=\"\" scope=Kantoor rijen=[Bureaulamp, Lamp 2, Lamp 10]"_s);

        // The picture comes a turn after the show, never inside the signal's own.
        QFile::remove(AppDelegate::snapshotPath());
        LogCapture log;
        app.snapshotOnSignal();
        QVERIFY(app.panel()->isVisible());
        QVERIFY(!QFile::exists(AppDelegate::snapshotPath()));
        QCOMPARE(log.lines().constFirst(), app.snapshotStateLine());
        QTRY_VERIFY(QFile::exists(AppDelegate::snapshotPath()));
    }

    void hotKeyTogglesThePanelButNotRightAfterAHide()
    {
        AppDelegate &app = launch();
        PanelController *panel = app.panel();
        m_grabber->press();
        QVERIFY(panel->isVisible());
        // Any hide counts, not only the hot key's own: the press that made the panel lose its focus
        // must not bring it back.
        panel->hide(u"focus kwijt"_s);
        m_grabber->press();
        QVERIFY(!panel->isVisible());
        m_world->clock->advance(251ms);
        m_grabber->press();
        QVERIFY(panel->isVisible());
        m_grabber->press();
        QVERIFY(!panel->isVisible());

        // The settings window's test takes the next press; the one after that toggles again.
        m_world->clock->advance(251ms);
        app.openSettings();
        app.settingsWindow()->model()->armTest();
        m_grabber->press();
        QVERIFY(!panel->isVisible());
        QCOMPARE(app.settingsWindow()->model()->testResultText(), u"Werkt"_s);
        m_grabber->press();
        QVERIFY(panel->isVisible());
    }

    void refusedHotKeyKeepsTheOldOneEverywhere()
    {
        const HotKeyCombo ctrlShiftK{40, HotKeyCombo::controlMask | HotKeyCombo::shiftMask};
        const HotKeyCombo ctrlShiftJ{38, HotKeyCombo::controlMask | HotKeyCombo::shiftMask};
        m_grabber->held = {'k'};
        AppDelegate &app = launch();
        QQuickItem *content = app.panel()->content();
        QVERIFY(!app.changeHotKey(ctrlShiftK));
        QCOMPARE(m_grabber->grabbed, HotKeyCombo::standard().x11Grab());
        QCOMPARE(app.hotKeyLabel(), HotKeyCombo::standard().display());

        QVERIFY(app.changeHotKey(ctrlShiftJ));
        QCOMPARE(app.hotKeyLabel(), ctrlShiftJ.display());
        // The palette is built anew, so its hint names the new combination.
        QVERIFY(app.panel()->content() != content);
        m_grabber->press();
        QVERIFY(app.panel()->isVisible());
    }

    // Under Wayland no key can be grabbed: the log says so once, the palette shows no hot key and the
    // settings window offers none.
    void waylandOffersNoHotKeyAnywhere()
    {
        m_grabber->available = HotKeyGrabber::Availability::wayland;
        LogCapture log;
        AppDelegate &app = launch();
        QCOMPARE(log.matching(u"Wayland"_s).size(), 1);
        QVERIFY(app.hotKeyLabel().isEmpty());
        app.panel()->show();
        auto *chip = app.panel()->content()->findChild<QQuickItem *>(u"hotKeyChip"_s);
        QVERIFY(chip);
        QVERIFY(!chip->isVisible());
        app.openSettings();
        QVERIFY(!app.settingsWindow()->model()->globalHotKey());
    }

    void newItemBecomesABannerWhoseClickOpensTheList()
    {
        AppDelegate &app = launch();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        m_world->realtimes.constFirst()->push(HomeyEvent::NotificationCreated{
            {u"n-1"_s, u"homey:manager:flow"_s, u"Flow"_s, u"De wasmachine is klaar"_s, now}});
        ManualClock::settle();
        QCOMPARE(m_banners->posted.size(), 1);
        QCOMPARE(m_banners->posted.constFirst().body, u"De wasmachine is klaar"_s);
        QVERIFY(!app.panel()->isVisible());

        m_banners->click();
        QVERIFY(app.panel()->isVisible());
        QVERIFY(app.store()->showsNotifications());
        QCOMPARE(app.feed()->unread(), 0);
    }

    // "Laat prio 1 door 'niet storen' heen komen", as stored or as switched in the settings window,
    // decides how the pager's next prio 1 incident reaches the desktop.
    void aPrio1IncidentFollowsTheTimeSensitiveSetting_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QVariant>("switched"); // switched to in the settings window, or not at all
        QTest::addColumn<BannerService::Level>("level");
        using L = BannerService::Level;
        QTest::newRow("on") << true << QVariant() << L::timeSensitive;
        QTest::newRow("off") << false << QVariant() << L::active;
        QTest::newRow("switched off") << true << QVariant(false) << L::active;
        QTest::newRow("switched on") << false << QVariant(true) << L::timeSensitive;
    }
    void aPrio1IncidentFollowsTheTimeSensitiveSetting()
    {
        QFETCH(bool, stored);
        QFETCH(QVariant, switched);
        QFETCH(BannerService::Level, level);
        NotificationSettings settings;
        settings.p2000Regions = {u"Hollands Midden"_s};
        settings.timeSensitiveForPrio1 = stored;
        SettingsStore store = defaults();
        settings.save(store);
        m_world->pager = true;
        AppDelegate &app = launch();
        if (switched.isValid()) {
            app.openSettings();
            app.settingsWindow()->model()->setTimeSensitive(switched.toBool());
        }
        m_world->realtimes.constFirst()->push(HomeyEvent::Capability{
            u"pager"_s, u"p2000"_s, CapabilityValue::fromString(u"A1 Brand Leiden"_s), std::nullopt});
        m_world->clock->advance(1s); // the pager's burst has settled
        ManualClock::settle();
        QCOMPARE(m_banners->posted.size(), 1);
        const BannerService::Banner &banner = m_banners->posted.constFirst();
        QCOMPARE(banner.thread, u"p2000"_s);
        QCOMPARE(banner.level, level);
        QVERIFY(banner.sound);
    }

    void testRunKeepsItsBannerMarksApart_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QString>("suite");
        QTest::newRow("normal run") << QStringList() << u"quorvane"_s;
        QTest::newRow("test run") << QStringList{u"--query"_s, u"x"_s} << u"ai.velkor.quorvane.test"_s;
    }
    void testRunKeepsItsBannerMarksApart()
    {
        QFETCH(QStringList, switches);
        QFETCH(QString, suite);
        const SettingsStore testSuite(u"ai.velkor.quorvane.test"_s);
        SettingsStore::flushAll();
        QFile::remove(testSuite.filePath());
        launch(switches);
        m_world->realtimes.constFirst()->push(HomeyEvent::NotificationCreated{
            {u"n-1"_s, u"homey:manager:flow"_s, u"Flow"_s, u"Klaar"_s, QDateTime::currentDateTimeUtc()}});
        ManualClock::settle();
        QCOMPARE(m_banners->posted.size(), 1);
        const SettingsStore other = suite == testSuite.suite() ? defaults() : testSuite;
        QCOMPARE(NotificationSettings::shownIDs(SettingsStore(suite)), QStringList{u"n-1"_s});
        QCOMPARE(NotificationSettings::shownIDs(other), QStringList());
    }

    void settingsWindowIsOneAndFollowsTheStoreSwappedIn()
    {
        m_world->endpointDelay = 1s;
        AppDelegate &app = launch({u"--settings"_s});
        SettingsWindowController *settings = app.settingsWindow();
        QVERIFY(settings && settings->window() && settings->window()->isVisible());
        QCOMPARE(settings->model()->connectionText(), app.hub()->connectionSummary());
        m_world->clock->advance(1s);
        ManualClock::settle();
        QCOMPARE(app.store()->connection(), ConnectionState::live());
        QCOMPARE(settings->model()->connectionText(), u"Live verbonden."_s);
        app.openSettings();
        QCOMPARE(app.settingsWindow(), settings);
    }

    // A start that did not get through is not "not connected yet": the settings window's foot says
    // what the problem screen says, in brief, and follows the start as it goes on.
    void theSettingsFootSaysWhatTheStartCameTo_data()
    {
        QTest::addColumn<QString>("failure"); // of the token check, or of the keyring
        QTest::addColumn<QString>("foot");
        QTest::newRow("tried again") << u"503"_s
                                     << u"Geen verbinding met je Homey. Quorvane blijft het proberen."_s;
        QTest::newRow("key refused")
            << u"refused"_s
            << u"De Homey accepteert dit token niet meer. Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s;
        QTest::newRow("keyring failed") << u"keyring"_s
                                        << u"De computer gaf geen toegang tot de sleutelbos. Ontgrendel de "
                                           u"sleutelbos als daarom gevraagd "
                                           u"wordt. Blijft het misgaan, koppel je Homey dan opnieuw."_s;
    }
    void theSettingsFootSaysWhatTheStartCameTo()
    {
        QFETCH(QString, failure);
        QFETCH(QString, foot);
        if (failure == u"keyring"_s)
            m_world->tokenFailure = KeychainError::denied();
        else
            m_world->validateFailure =
                failure == u"503"_s ? HomeyError::http(503, u"/api/x"_s) : HomeyError::unauthorized();
        AppDelegate &app = launch({u"--settings"_s});
        const SettingsModel *settings = app.settingsWindow()->model();
        QCOMPARE(settings->connectionText(), foot);
        QCOMPARE(settings->connectionText(), app.hub()->connectionSummary());
        // The one decision: what needs pairing brings up the pairing screen as well.
        QCOMPARE(onboarding().showing(), failure != u"503"_s);
        // The log of a retry asked for says the same as the foot, not the stopped store's idle state;
        // while that retry runs, the foot and the log say that it connects, as the panel does.
        {
            LogCapture log;
            m_world->endpointDelay = 1s;
            app.hub()->reconnect();
            const QString line = log.lines().constFirst();
            QVERIFY2(line.startsWith(u"menu: opnieuw verbinden (toestand was mislukt: \""_s +
                                     foot.section(u'.', 0, 0)),
                     qPrintable(line));
            ManualClock::settle();
            if (failure != u"keyring"_s) {
                QVERIFY(onboarding().busy());
                QCOMPARE(settings->connectionText(), u"Verbinden…"_s);
                QCOMPARE(log.matching(u"verbinding: "_s), QStringList{u"verbinding: Verbinden…"_s});
                m_world->clock->advance(1s);
                ManualClock::settle();
            }
            QCOMPARE(settings->connectionText(), foot);
            QVERIFY(log.matching(u"Nog niet verbonden"_s).isEmpty());
        }
        if (failure != u"503"_s)
            return;
        // An attempt under way leaves it; the next one that gets through is live.
        for (int step = 0; step < 200 && !onboarding().busy(); ++step)
            m_world->clock->advance(100ms);
        QVERIFY(onboarding().busy());
        QCOMPARE(settings->connectionText(), foot);
        // The key screen opens meanwhile, "API-sleutel wijzigen": the attempt is the program's own.
        app.openOnboarding();
        QVERIFY(onboarding().showing());
        m_world->validateFailure.reset();
        m_world->clock->advance(1s);
        ManualClock::settle();
        QCOMPARE(settings->connectionText(), u"Live verbonden."_s);
    }

    // A hub that answers the key check but not yet the load, for a while: after the first, each attempt
    // writes one line, not the states of the stores it made and dropped.
    void eachAttemptOfAFailingFirstLoadWritesOneLine()
    {
        m_world->loadFailure = HomeyError::http(503, u"/api/manager/devices/device/"_s);
        m_world->loadFailures = 1000;
        launch();
        m_world->clock->advance(200ms);
        QVERIFY(onboarding().retrying());
        LogCapture log;
        m_world->clock->advance(60s);
        const QStringList lines = log.matching(u"verbinding"_s);
        QVERIFY(lines.size() >= 4);
        for (const QString &line : lines)
            QVERIFY2(line.startsWith(u"verbinding: opnieuw proberen over "_s), qPrintable(line));
        QCOMPARE(m_world->rests.size(), lines.size() + 1);

        m_world->loadFailures = 0;
        log.clear();
        m_world->clock->advance(16s);
        // The session's line comes first: the state's waits for the event loop.
        QCOMPARE(log.matching(u"verbinding"_s), (QStringList{u"verbinding: Homey bereikt bij poging "_s +
                                                                 QString::number(m_world->rests.size()),
                                                             u"verbinding: Live verbonden."_s}));
    }

    void unconfiguredClientRefusesEverything()
    {
        UnconfiguredHomeyClient unconfigured;
        HomeyRESTClient &client = unconfigured;
        const auto refused = [](auto task) {
            return awaitFailure<HomeyError>(std::move(task)) == HomeyError::notConfigured();
        };
        QVERIFY(refused(client.zones()));
        QVERIFY(refused(client.devices()));
        QVERIFY(refused(client.flows()));
        QVERIFY(refused(client.moods()));
        QVERIFY(refused(client.favorites()));
        QVERIFY(refused(client.energy()));
        QVERIFY(refused(client.system()));
        QVERIFY(refused(client.notifications()));
        QVERIFY(refused(client.setCapability(u"d"_s, u"onoff"_s, CapabilityValue::fromBool(true))));
        QVERIFY(refused(client.startFlow(u"f"_s, false)));
        QVERIFY(refused(client.setMood(u"m"_s)));
    }
};

QTEST_MAIN(TstAppDelegate)
#include "tst_appdelegate.moc"
