#include "awaittask.h"
#include "fakehub/fakehub.h"
#include "fakeservicebrowser.h"
#include "homey/config/homeyconfig.h"
#include "homey/model/homeyerror.h"

#include <memory>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString suite = u"tst_resolve"_s;
const QString pingRoute = u"manager/system/ping"_s;

std::optional<HomeyError> failureOf(QCoro::Task<HomeyEndpoint> task)
{
    try {
        awaitTask(std::move(task), 30s);
    } catch (const HomeyError &error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

class TestResolve : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeHub> m_stored;
    std::unique_ptr<FakeHub> m_env;
    std::unique_ptr<FakeHub> m_found;
    std::shared_ptr<FakeServiceBrowser> m_browser;
    HomeyConfig::ResolveOptions m_options;
    quint16 m_closedPort = 0;

    SettingsStore defaults() const { return SettingsStore(suite); }
    QUrl closedURL() const { return QUrl(u"http://127.0.0.1:%1"_s.arg(m_closedPort)); }

    void storeEndpoint(const QUrl &url)
    {
        SettingsStore store = defaults();
        HomeyConfig::store(HomeyEndpoint{url, u"stored-id"_s, u"Opgeslagen"_s}, store);
    }
    void environmentEndpoint(const QUrl &url)
    {
        m_options.environment =
            HomeyConfig::EnvironmentMap{{u"HOMEY_BASE"_s, url.toString()}, {u"HOMEY_ID"_s, u"env-id"_s}};
    }
    void discoverable(const QString &name, const BrowseEntry &entry, quint16 httpPort)
    {
        m_browser->entries << entry;
        m_browser->addresses.insert(name, u"127.0.0.1"_s);
        m_options.httpPort = httpPort;
    }
    QCoro::Task<HomeyEndpoint> resolve(bool discovery, bool fallbacks, bool persist)
    {
        return HomeyConfig::resolve(defaults(), discovery, fallbacks, persist, m_browser, m_options);
    }

private Q_SLOTS:
    void initTestCase()
    {
        FakeHub closed;
        QVERIFY(closed.listen());
        m_closedPort = closed.port();
    }

    void init()
    {
        for (auto *hub : {&m_stored, &m_env, &m_found}) {
            *hub = std::make_unique<FakeHub>();
            QVERIFY((*hub)->listen());
        }
        m_browser = std::make_shared<FakeServiceBrowser>();
        QFile::remove(defaults().filePath());
        // Short enough that a stalled ping costs little, long enough for a local answer under ASan.
        m_options = HomeyConfig::ResolveOptions();
        m_options.ping = 1500ms;
        m_options.browse = 1ms;
        m_options.lookup = 1ms;
        m_options.localURL = [](const QString &) { return std::optional<QUrl>(); };
        m_options.environment = HomeyConfig::EnvironmentMap();
    }

    void ping()
    {
        QVERIFY(!awaitTask(HomeyConfig::ping(QUrl(m_stored->baseURL().toString() + u"/hub"_s), 2s)));
        QCOMPARE(m_stored->requests().value(0).target, "/hub/api/manager/system/ping");
        QVERIFY(awaitTask(HomeyConfig::ping(m_stored->baseURL(), 2s)));
        const FakeRequest request = m_stored->requests().value(1);
        QCOMPARE(request.method, "GET");
        QCOMPARE(request.target, "/api/manager/system/ping");
        QVERIFY(!request.hasHeader("Authorization"));

        m_stored->failPath(pingRoute, 500);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored->baseURL(), 2s)));
        m_stored->redirectPath(pingRoute, m_env->baseURL().toString() + u"/api/manager/system/ping"_s);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored->baseURL(), 2s)));
        QVERIFY(m_env->requests().isEmpty());
        m_stored->stallPath(pingRoute);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored->baseURL(), 100ms)));
        QVERIFY(!awaitTask(HomeyConfig::ping(closedURL(), 2s)));
    }

    void storedEndpointThatAnswersIsNotWrittenAgain()
    {
        // Written in a form a new store() would spell differently.
        SettingsStore store = defaults();
        const QString written = u"HTTP://127.0.0.1:%1"_s.arg(m_stored->port());
        store.setValue(HomeyConfig::baseURLKey, written);
        store.setValue(HomeyConfig::homeyIDKey, u"stored-id"_s);
        environmentEndpoint(m_env->baseURL());

        const HomeyEndpoint endpoint = awaitTask(resolve(true, true, true), 30s);
        QCOMPARE(endpoint.homeyID, u"stored-id"_s);
        QCOMPARE(endpoint.baseURL.port(), int(m_stored->port()));
        QCOMPARE(defaults().stringValue(HomeyConfig::baseURLKey), written);
        QVERIFY(m_env->requests().isEmpty());
        QVERIFY(m_browser->browsedTypes.isEmpty());
    }

    void environmentAfterAStoredEndpointThatFails_data()
    {
        QTest::addColumn<bool>("persist");
        QTest::addColumn<bool>("stall");
        QTest::newRow("500, persisted") << true << false;
        QTest::newRow("500, not persisted") << false << false;
        QTest::newRow("stalled ping") << true << true;
    }
    void environmentAfterAStoredEndpointThatFails()
    {
        QFETCH(bool, persist);
        QFETCH(bool, stall);
        storeEndpoint(m_stored->baseURL());
        if (stall) {
            m_stored->stallPath(pingRoute);
            m_options.ping = 300ms;
        } else {
            m_stored->failPath(pingRoute, 500);
        }
        environmentEndpoint(m_env->baseURL());

        const HomeyEndpoint endpoint = awaitTask(resolve(true, true, persist), 30s);
        QCOMPARE(endpoint, (HomeyEndpoint{m_env->baseURL(), u"env-id"_s, std::nullopt}));
        QCOMPARE(m_stored->requests().size(), 1);
        QVERIFY(m_browser->browsedTypes.isEmpty());
        QCOMPARE(HomeyConfig::stored(defaults()),
                 (HomeyEndpoint{persist ? m_env->baseURL() : m_stored->baseURL(),
                                persist ? u"env-id"_s : u"stored-id"_s, u"Opgeslagen"_s}));
    }

    void failuresWithoutDiscovery_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("environment");
        QTest::addColumn<bool>("fallbacks");
        QTest::addColumn<QString>("host");
        QTest::newRow("stored fails: its host") << true << false << true << u"127.0.0.1"_s;
        QTest::newRow("stored and env fail: stored host") << true << true << true << u"127.0.0.1"_s;
        QTest::newRow("env fails: je Homey") << false << true << true << u"je Homey"_s;
        QTest::newRow("env without fallbacks: not configured") << false << true << false << QString();
        QTest::newRow("nothing: not configured") << false << false << true << QString();
    }
    void failuresWithoutDiscovery()
    {
        QFETCH(bool, stored);
        QFETCH(bool, environment);
        QFETCH(bool, fallbacks);
        QFETCH(QString, host);
        if (stored)
            storeEndpoint(closedURL());
        if (environment)
            environmentEndpoint(closedURL());
        QCOMPARE(failureOf(resolve(false, fallbacks, true)),
                 host.isEmpty() ? HomeyError::notConfigured() : HomeyError::unreachable(host));
        QVERIFY(m_browser->browsedTypes.isEmpty());
    }

    void discoveryNamesTheFirstHubWhenNoneAnswers()
    {
        storeEndpoint(closedURL());
        m_browser->entries << BrowseEntry{
            u"Zolder"_s, u"_homey._tcp."_s, u"local."_s, {{u"name"_s, u"Homey Zolder"_s}}};
        discoverable(u"Kelder"_s, {u"Kelder"_s, u"_homey._tcp."_s, u"local."_s, {}}, m_closedPort);
        QCOMPARE(failureOf(resolve(true, true, true)), HomeyError::unreachable(u"Homey Zolder"_s));
        QCOMPARE(m_browser->browsedTypes, QStringList{u"_homey._tcp"_s});
        QCOMPARE(HomeyConfig::stored(defaults())->homeyID, u"stored-id"_s);
    }

    void discoveredHubOverPlainHTTP()
    {
        discoverable(u"Kelder"_s, {u"Kelder"_s, u"_homey._tcp."_s, u"local."_s, {{u"id"_s, u"k-id"_s}}},
                     m_found->port());
        QStringList secureAsked;
        m_options.localURL = [&](const QString &ipv4) {
            secureAsked << ipv4;
            return std::optional(closedURL());
        };
        const HomeyEndpoint endpoint = awaitTask(resolve(true, true, true), 30s);
        QCOMPARE(endpoint, (HomeyEndpoint{m_found->baseURL(), u"k-id"_s, u"Kelder"_s}));
        QCOMPARE(secureAsked, QStringList{u"127.0.0.1"_s});
        QCOMPARE(HomeyConfig::stored(defaults()), endpoint);
    }

    void discoveredHubPrefersItsSecureURL()
    {
        discoverable(u"Kelder"_s, {u"Kelder"_s, u"_homey._tcp."_s, u"local."_s, {{u"id"_s, u"k-id"_s}}},
                     m_found->port());
        const QUrl secure = m_env->baseURL();
        m_options.localURL = [secure](const QString &) { return std::optional(secure); };
        const HomeyEndpoint endpoint = awaitTask(resolve(true, false, false), 30s);
        QCOMPARE(endpoint, (HomeyEndpoint{secure, u"k-id"_s, u"Kelder"_s}));
        QVERIFY(m_found->requests().isEmpty());
        QCOMPARE(HomeyConfig::stored(defaults()), std::nullopt);
    }

    void emptyDiscoveryFallsThrough()
    {
        storeEndpoint(closedURL());
        QCOMPARE(failureOf(resolve(true, true, true)), HomeyError::unreachable(u"127.0.0.1"_s));
        QCOMPARE(m_browser->browsedTypes, QStringList{u"_homey._tcp"_s});
        SettingsStore store = defaults();
        HomeyConfig::forget(store);
        QCOMPARE(failureOf(resolve(true, true, true)), HomeyError::notConfigured());
    }
};

QTEST_GUILESS_MAIN(TestResolve)
#include "tst_resolve.moc"
