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

// Short enough that a stalled ping costs the test little, long enough for a local answer under ASan.
HomeyConfig::ResolveTimings quick()
{
    HomeyConfig::ResolveTimings timings;
    timings.ping = 1500ms;
    timings.browse = 1ms;
    timings.lookup = 1ms;
    timings.localURL = [](const QString &) { return std::optional<QUrl>(); };
    return timings;
}

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
    FakeServiceBrowser m_browser;
    quint16 m_closedPort = 0;

    SettingsStore defaults() const { return SettingsStore(suite); }

    void storeEndpoint(const QUrl &url, const QString &id)
    {
        SettingsStore store = defaults();
        HomeyConfig::store(HomeyEndpoint{url, id, u"Opgeslagen"_s}, store);
    }

    void setEnvironment(const QMap<QString, QString> &variables)
    {
        HomeyConfig::setEnvironmentSourceForTesting(
            HomeyConfig::EnvironmentSource{variables, u"/nonexistent"_s});
    }

    void environmentEndpoint(const QUrl &url)
    {
        setEnvironment({{u"HOMEY_BASE"_s, url.toString()}, {u"HOMEY_ID"_s, u"env-id"_s}});
    }

    QUrl closedURL() const { return QUrl(u"http://127.0.0.1:%1"_s.arg(m_closedPort)); }

    QCoro::Task<HomeyEndpoint> resolve(bool discovery, bool fallbacks, bool persist,
                                       HomeyConfig::ResolveTimings timings = quick())
    {
        return HomeyConfig::resolve(defaults(), discovery, fallbacks, persist, m_browser, timings);
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
        m_browser = FakeServiceBrowser();
        QFile::remove(defaults().filePath());
        setEnvironment({});
    }

    void cleanup() { HomeyConfig::setEnvironmentSourceForTesting(std::nullopt); }

    void ping()
    {
        QVERIFY(awaitTask(HomeyConfig::ping(m_stored->baseURL(), 2s)));
        const QList<FakeRequest> requests = m_stored->requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].method, "GET");
        QCOMPARE(requests[0].target, "/api/manager/system/ping");
        QVERIFY(!requests[0].hasHeader("Authorization"));

        m_stored->failPath(u"manager/system/ping"_s, 500);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored->baseURL(), 2s)));
        m_stored->redirectPath(u"manager/system/ping"_s,
                               m_env->baseURL().toString() + u"/api/manager/system/ping"_s);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored->baseURL(), 2s)));
        QVERIFY(m_env->requests().isEmpty());
        m_stored->stallPath(u"manager/system/ping"_s);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored->baseURL(), 100ms)));
        QVERIFY(!awaitTask(HomeyConfig::ping(closedURL(), 2s)));
    }

    void pingKeepsTheBasePath()
    {
        QVERIFY(!awaitTask(HomeyConfig::ping(QUrl(m_stored->baseURL().toString() + u"/hub"_s), 2s)));
        QCOMPARE(m_stored->requests().value(0).target, "/hub/api/manager/system/ping");
    }

    void storedEndpointThatAnswersIsNotWrittenAgain()
    {
        // Written in a form a new store() would spell differently.
        SettingsStore store = defaults();
        store.setValue(HomeyConfig::baseURLKey, u"HTTP://127.0.0.1:%1"_s.arg(m_stored->port()));
        store.setValue(HomeyConfig::homeyIDKey, u"stored-id"_s);
        environmentEndpoint(m_env->baseURL());

        const HomeyEndpoint endpoint = awaitTask(resolve(true, true, true), 30s);
        QCOMPARE(endpoint.homeyID, u"stored-id"_s);
        QCOMPARE(endpoint.baseURL.port(), int(m_stored->port()));
        QCOMPARE(defaults().stringValue(HomeyConfig::baseURLKey),
                 u"HTTP://127.0.0.1:%1"_s.arg(m_stored->port()));
        QVERIFY(m_env->requests().isEmpty());
        QVERIFY(m_browser.browsedTypes.isEmpty());
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
        storeEndpoint(m_stored->baseURL(), u"stored-id"_s);
        if (stall)
            m_stored->stallPath(u"manager/system/ping"_s);
        else
            m_stored->failPath(u"manager/system/ping"_s, 500);
        environmentEndpoint(m_env->baseURL());
        HomeyConfig::ResolveTimings timings = quick();
        if (stall)
            timings.ping = 300ms;

        const HomeyEndpoint endpoint = awaitTask(resolve(true, true, persist, timings), 30s);
        QCOMPARE(endpoint, (HomeyEndpoint{m_env->baseURL(), u"env-id"_s, std::nullopt}));
        QCOMPARE(m_stored->requests().size(), 1);
        QVERIFY(m_browser.browsedTypes.isEmpty());
        const HomeyEndpoint expectedStored =
            persist ? HomeyEndpoint{m_env->baseURL(), u"env-id"_s, u"Opgeslagen"_s}
                    : HomeyEndpoint{m_stored->baseURL(), u"stored-id"_s, u"Opgeslagen"_s};
        QCOMPARE(HomeyConfig::stored(defaults()), expectedStored);
    }

    void environmentIsSkippedWithoutFallbacks()
    {
        environmentEndpoint(m_env->baseURL());
        QCOMPARE(failureOf(resolve(false, false, true)), HomeyError::notConfigured());
        QVERIFY(m_env->requests().isEmpty());
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
            storeEndpoint(closedURL(), u"stored-id"_s);
        if (environment)
            environmentEndpoint(closedURL());
        const HomeyError expected =
            host.isEmpty() ? HomeyError::notConfigured() : HomeyError::unreachable(host);
        QCOMPARE(failureOf(resolve(false, fallbacks, true)), expected);
        QVERIFY(m_browser.browsedTypes.isEmpty());
    }

    void storedURLWithoutHostFailsWithJeHomey()
    {
        SettingsStore store = defaults();
        store.setValue(HomeyConfig::baseURLKey, u"file:///tmp/hub"_s);
        store.setValue(HomeyConfig::homeyIDKey, u"id"_s);
        QCOMPARE(failureOf(resolve(false, true, true)), HomeyError::unreachable(u"je Homey"_s));
    }

    void discoveryNamesTheFirstHubWhenNoneAnswers()
    {
        storeEndpoint(closedURL(), u"stored-id"_s);
        m_browser.entries = {{u"Zolder"_s, u"_homey._tcp."_s, u"local."_s, {{u"name"_s, u"Homey Zolder"_s}}},
                             {u"Kelder"_s, u"_homey._tcp."_s, u"local."_s, {}}};
        m_browser.addresses = {{u"Kelder"_s, u"127.0.0.1"_s}};
        HomeyConfig::ResolveTimings timings = quick();
        timings.httpPort = m_closedPort;
        QCOMPARE(failureOf(resolve(true, true, true, timings)), HomeyError::unreachable(u"Homey Zolder"_s));
        QCOMPARE(m_browser.browsedTypes, QStringList{u"_homey._tcp"_s});
        QCOMPARE(HomeyConfig::stored(defaults())->homeyID, u"stored-id"_s);
    }

    void discoveredHubOverPlainHTTP()
    {
        m_browser.entries = {
            {u"Zolder"_s, u"_homey._tcp."_s, u"local."_s, {}},
            {u"Kelder"_s, u"_homey._tcp."_s, u"local."_s, {{u"id"_s, u"k-id"_s}, {u"name"_s, u"Kelder"_s}}}};
        m_browser.addresses = {{u"Kelder"_s, u"127.0.0.1"_s}};
        HomeyConfig::ResolveTimings timings = quick();
        timings.httpPort = m_found->port();
        // The secure candidate does not answer; the plain one does.
        QStringList secureAsked;
        timings.localURL = [&](const QString &ipv4) {
            secureAsked << ipv4;
            return std::optional(closedURL());
        };

        const HomeyEndpoint endpoint = awaitTask(resolve(true, true, true, timings), 30s);
        QCOMPARE(endpoint, (HomeyEndpoint{m_found->baseURL(), u"k-id"_s, u"Kelder"_s}));
        QCOMPARE(secureAsked, QStringList{u"127.0.0.1"_s});
        QCOMPARE(HomeyConfig::stored(defaults()), endpoint);
    }

    void discoveredHubPrefersItsSecureURL()
    {
        m_browser.entries = {{u"Kelder"_s, u"_homey._tcp."_s, u"local."_s, {{u"id"_s, u"k-id"_s}}}};
        m_browser.addresses = {{u"Kelder"_s, u"127.0.0.1"_s}};
        HomeyConfig::ResolveTimings timings = quick();
        timings.httpPort = m_found->port();
        const QUrl secure = m_env->baseURL();
        timings.localURL = [secure](const QString &) { return std::optional(secure); };

        const HomeyEndpoint endpoint = awaitTask(resolve(true, false, false, timings), 30s);
        QCOMPARE(endpoint, (HomeyEndpoint{secure, u"k-id"_s, u"Kelder"_s}));
        QVERIFY(m_found->requests().isEmpty());
        QCOMPARE(HomeyConfig::stored(defaults()), std::nullopt);
    }

    void emptyDiscoveryFallsThrough()
    {
        storeEndpoint(closedURL(), u"stored-id"_s);
        QCOMPARE(failureOf(resolve(true, true, true)), HomeyError::unreachable(u"127.0.0.1"_s));
        QCOMPARE(m_browser.browsedTypes, QStringList{u"_homey._tcp"_s});
        SettingsStore store = defaults();
        HomeyConfig::forget(store);
        QCOMPARE(failureOf(resolve(true, true, true)), HomeyError::notConfigured());
    }
};

QTEST_GUILESS_MAIN(TestResolve)
#include "tst_resolve.moc"
