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
    FakeHub m_stored, m_env, m_found;
    std::shared_ptr<FakeServiceBrowser> m_browser;
    HomeyConfig::ResolveOptions m_options;
    SettingsStore m_defaults{u"tst_resolve"_s};
    QUrl m_closed;

    void storeEndpoint(const QUrl &url)
    {
        HomeyConfig::store({url, u"stored-id"_s, u"Opgeslagen"_s}, m_defaults);
    }
    void environmentEndpoint(const QUrl &url)
    {
        m_options.environment =
            HomeyConfig::EnvironmentMap{{u"HOMEY_BASE"_s, url.toString()}, {u"HOMEY_ID"_s, u"env-id"_s}};
    }
    // A hub on the local network whose plain HTTP candidate is on `port`.
    void discoverable(const BrowseEntry &entry, int port)
    {
        m_browser->entries << entry;
        m_browser->addresses.insert(entry.name, u"127.0.0.1"_s);
        m_options.httpPort = port;
    }
    QCoro::Task<HomeyEndpoint> resolve(bool discovery, bool fallbacks, bool persist)
    {
        return HomeyConfig::resolve(m_defaults, discovery, fallbacks, persist, m_browser, m_options);
    }

private Q_SLOTS:
    void initTestCase()
    {
        FakeHub closed;
        QVERIFY(closed.listen() && m_stored.listen() && m_env.listen() && m_found.listen());
        m_closed = closed.baseURL();
    }

    void init()
    {
        for (FakeHub *hub : {&m_stored, &m_env, &m_found}) {
            hub->clearFaults();
            hub->clearRequests();
        }
        m_browser = std::make_shared<FakeServiceBrowser>();
        QFile::remove(m_defaults.filePath());
        // Short enough that a stalled ping costs little, long enough for a local answer under ASan.
        m_options = HomeyConfig::ResolveOptions();
        m_options.ping = 1500ms;
        m_options.browse = m_options.lookup = 1ms;
        m_options.localURL = [](const QString &) { return std::optional<QUrl>(); };
        m_options.environment = HomeyConfig::EnvironmentMap();
    }

    void ping()
    {
        QVERIFY(!awaitTask(HomeyConfig::ping(QUrl(m_stored.baseURL().toString() + u"/hub"_s), 2s)));
        QCOMPARE(m_stored.requests().value(0).target, "/hub/api/manager/system/ping");
        QVERIFY(awaitTask(HomeyConfig::ping(m_stored.baseURL(), 2s)));
        QCOMPARE(m_stored.requests().value(1).target, "/api/manager/system/ping");
        QVERIFY(!m_stored.requests().value(1).hasHeader("Authorization"));

        m_stored.failPath(pingRoute, 500);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored.baseURL(), 2s)));
        m_stored.redirectPath(pingRoute, m_env.baseURL().toString() + u"/api/manager/system/ping"_s);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored.baseURL(), 2s)));
        QVERIFY(m_env.requests().isEmpty());
        m_stored.stallPath(pingRoute);
        QVERIFY(!awaitTask(HomeyConfig::ping(m_stored.baseURL(), 100ms)));
        QVERIFY(!awaitTask(HomeyConfig::ping(m_closed, 2s)));
    }

    void storedEndpointThatAnswersIsNotWrittenAgain()
    {
        // Written in a form a new store() would spell differently.
        const QString written = u"HTTP://127.0.0.1:%1"_s.arg(m_stored.port());
        m_defaults.setValue(HomeyConfig::baseURLKey, written);
        m_defaults.setValue(HomeyConfig::homeyIDKey, u"stored-id"_s);
        environmentEndpoint(m_env.baseURL());

        const HomeyEndpoint endpoint = awaitTask(resolve(true, true, true), 30s);
        QCOMPARE(endpoint.homeyID, u"stored-id"_s);
        QCOMPARE(endpoint.baseURL.port(), int(m_stored.port()));
        QCOMPARE(m_defaults.stringValue(HomeyConfig::baseURLKey), written);
        QVERIFY(m_env.requests().isEmpty() && m_browser->browsedTypes.isEmpty());
    }

    void environmentAfterAStoredEndpointThatFails_data()
    {
        QTest::addColumn<bool>("stall");
        QTest::addColumn<bool>("persist");
        QTest::newRow("500, persisted") << false << true;
        QTest::newRow("stalled ping, not persisted") << true << false;
    }
    void environmentAfterAStoredEndpointThatFails()
    {
        QFETCH(bool, stall);
        QFETCH(bool, persist);
        storeEndpoint(m_stored.baseURL());
        if (stall) {
            m_stored.stallPath(pingRoute);
            m_options.ping = 300ms;
        } else {
            m_stored.failPath(pingRoute, 500);
        }
        environmentEndpoint(m_env.baseURL());

        QCOMPARE(awaitTask(resolve(true, true, persist), 30s),
                 (HomeyEndpoint{m_env.baseURL(), u"env-id"_s, std::nullopt}));
        QCOMPARE(m_stored.requests().size(), 1);
        QVERIFY(m_browser->browsedTypes.isEmpty());
        QCOMPARE(HomeyConfig::stored(m_defaults),
                 (HomeyEndpoint{persist ? m_env.baseURL() : m_stored.baseURL(),
                                persist ? u"env-id"_s : u"stored-id"_s, u"Opgeslagen"_s}));
    }

    void failures_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("environment");
        QTest::addColumn<bool>("fallbacks");
        QTest::addColumn<bool>("discovery");
        QTest::addColumn<QString>("host"); // empty: not configured
        QTest::newRow("stored fails: its host") << true << false << true << false << u"127.0.0.1"_s;
        QTest::newRow("stored and env fail: stored host") << true << true << true << false << u"127.0.0.1"_s;
        QTest::newRow("env fails: je Homey") << false << true << true << false << u"je Homey"_s;
        QTest::newRow("env without fallbacks") << false << true << false << false << QString();
        QTest::newRow("nothing") << false << false << true << false << QString();
        QTest::newRow("empty discovery, stored fails") << true << false << true << true << u"127.0.0.1"_s;
        QTest::newRow("empty discovery, nothing") << false << false << true << true << QString();
    }
    void failures()
    {
        QFETCH(bool, stored);
        QFETCH(bool, environment);
        QFETCH(bool, fallbacks);
        QFETCH(bool, discovery);
        QFETCH(QString, host);
        if (stored)
            storeEndpoint(m_closed);
        if (environment)
            environmentEndpoint(m_closed);
        QCOMPARE(failureOf(resolve(discovery, fallbacks, true)),
                 host.isEmpty() ? HomeyError::notConfigured() : HomeyError::unreachable(host));
        QCOMPARE(m_browser->browsedTypes.size(), discovery ? 1 : 0);
    }

    void discoveryNamesTheFirstHubWhenNoneAnswers()
    {
        storeEndpoint(m_closed);
        m_browser->entries << BrowseEntry{
            u"Zolder"_s, u"_homey._tcp."_s, u"local."_s, {{u"name"_s, u"Op zolder"_s}}};
        discoverable({u"Kelder"_s, u"_homey._tcp."_s, u"local."_s, {}}, m_closed.port());
        QCOMPARE(failureOf(resolve(true, true, true)), HomeyError::unreachable(u"Op zolder"_s));
        QCOMPARE(HomeyConfig::stored(m_defaults)->homeyID, u"stored-id"_s);
    }

    void discoveredHub_data()
    {
        QTest::addColumn<bool>("secureAnswers");
        QTest::addColumn<bool>("persist");
        QTest::newRow("plain HTTP, persisted") << false << true;
        QTest::newRow("secure URL first, not persisted") << true << false;
    }
    void discoveredHub()
    {
        QFETCH(bool, secureAnswers);
        QFETCH(bool, persist);
        discoverable({u"Kelder"_s, u"_homey._tcp."_s, u"local."_s, {{u"id"_s, u"k-id"_s}}}, m_found.port());
        const QUrl secure = secureAnswers ? m_env.baseURL() : m_closed;
        QStringList secureAsked;
        m_options.localURL = [&](const QString &ipv4) {
            secureAsked << ipv4;
            return std::optional(secure);
        };
        const HomeyEndpoint endpoint = awaitTask(resolve(true, false, persist), 30s);
        QCOMPARE(endpoint,
                 (HomeyEndpoint{secureAnswers ? secure : m_found.baseURL(), u"k-id"_s, u"Kelder"_s}));
        QCOMPARE(secureAsked, QStringList{u"127.0.0.1"_s});
        QCOMPARE(m_found.requests().isEmpty(), secureAnswers);
        QCOMPARE(HomeyConfig::stored(m_defaults), persist ? std::optional(endpoint) : std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestResolve)
#include "tst_resolve.moc"
