#include "awaittask.h"
#include "fakehub/fakehub.h"
#include "homey/config/envfile.h"
#include "homey/config/homeyconfig.h"
#include "homey/model/homeyerror.h"
#include "ports/servicebrowser.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Map = QMap<QString, QString>;

namespace {

const QString pingRoute = u"manager/system/ping"_s;

const auto failureOf = [](QCoro::Task<HomeyEndpoint> task) {
    return awaitFailure<HomeyError>(std::move(task), 30s);
};

// A local network made up by the test: the entries a browse finds and the address each name resolves to.
class FakeServiceBrowser final : public ServiceBrowser {
public:
    QList<BrowseEntry> entries;
    QHash<QString, QString> addresses; // instance name -> what the lookup reports

    QStringList browsedTypes;
    QList<std::chrono::milliseconds> browseDurations;
    QStringList lookups; // "name|type|domain", in call order

    QCoro::Task<QList<BrowseEntry>> browse(QString type, std::chrono::milliseconds duration) override
    {
        browsedTypes << type;
        browseDurations << duration;
        co_return entries;
    }

    QCoro::Task<std::optional<QString>> resolveIPv4(QString name, QString type, QString domain,
                                                    std::chrono::milliseconds) override
    {
        lookups << name + u'|' + type + u'|' + domain;
        const auto found = addresses.constFind(name);
        if (found == addresses.constEnd())
            co_return std::nullopt;
        co_return *found;
    }
};

} // namespace

// Which hub to talk to: endpoints stored, configured and discovered, and the one that answers.
class TestEndpoint : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &relativePath, const QByteArray &content)
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write test file");
        file.write(content);
        return path;
    }

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
    void cleanup()
    {
        SettingsStore::flushAll();
        QFile::remove(SettingsStore(u"tst_homeyconfig"_s).filePath());
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void derivedUrls_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("api");
        QTest::addColumn<QString>("socket"); // without the engine's path and query
        const auto row = [](const char *name, const QString &base, const QString &path, const QString &api,
                            const QString &socket) { QTest::newRow(name) << base << path << api << socket; };
        row("plain", u"http://10.0.0.5"_s, u"manager/zones/zone/"_s,
            u"http://10.0.0.5/api/manager/zones/zone/"_s, u"ws://10.0.0.5"_s);
        row("port, path, query, fragment", u"https://h.local:4859/x/?x=1&EIO=3#f"_s, u"/manager/a"_s,
            u"https://h.local:4859/x/api/manager/a?x=1&EIO=3#f"_s, u"wss://h.local:4859"_s);
        row("encoded id stays one segment", u"HTTP://h"_s, u"manager/device/a%2Fb/x"_s,
            u"http://h/api/manager/device/a%2Fb/x"_s, u"ws://h"_s);
        row("other scheme", u"ftp://u@h:21"_s, u"a"_s, u"ftp://u@h:21/api/a"_s, u"wss://u@h:21"_s);
    }
    void derivedUrls()
    {
        QFETCH(QString, base);
        QFETCH(QString, path);
        QFETCH(QString, api);
        QFETCH(QString, socket);
        const HomeyEndpoint endpoint{QUrl(base), {}, {}};
        QCOMPARE(endpoint.api(path).toString(QUrl::FullyEncoded), api);
        QCOMPARE(endpoint.socketURL().toString(QUrl::FullyEncoded),
                 socket + u"/socket.io/?EIO=4&transport=websocket"_s);
    }

    // Whatever is accepted must read back equal from its stored text and from its JSON.
    void baseURLs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("http address") << u"http://10.0.0.5"_s << true;
        QTest::newRow("https, port, path, query") << u"https://h.local:4859/x?a=%2F"_s << true;
        QTest::newRow("capital scheme") << u"HTTP://h"_s << true;
        QTest::newRow("encoded path") << u"http://h/a%2Fb/%7e%20c"_s << true;
        QTest::newRow("fragment") << u"http://192.168.1.5/#a#b"_s << false;
        QTest::newRow("relative with hashes") << u"l/###"_s << false;
        QTest::newRow("no scheme") << u"10.0.0.5"_s << false;
        QTest::newRow("file") << u"file:///tmp/hub"_s << false;
        QTest::newRow("ftp") << u"ftp://h"_s << false;
        QTest::newRow("no host") << u"http:///x"_s << false;
        QTest::newRow("space in host") << u"http://h b/"_s << false;
        QTest::newRow("unclosed address") << u"http://[::1"_s << false;
        QTest::newRow("empty") << QString() << false;
    }
    void baseURLs()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        SettingsStore defaults(u"tst_homeyconfig"_s);
        defaults.setValue(HomeyConfig::baseURLKey, text);
        defaults.setValue(HomeyConfig::homeyIDKey, u"id1"_s);
        const std::optional<QUrl> url = HomeyEndpoint::parseBaseURL(text);
        QCOMPARE(url.has_value(), accepted);
        QCOMPARE(HomeyConfig::stored(defaults).has_value(), accepted);
        QCOMPARE(
            HomeyEndpoint::fromJson(QJsonObject{{u"baseURL"_s, text}, {u"homeyID"_s, u"a"_s}}).has_value(),
            accepted);
        const HomeyEndpoint endpoint{url.value_or(QUrl(text)), u"id1"_s, u"Thuis"_s};
        QCOMPARE(HomeyConfig::store(endpoint, defaults), accepted);
        if (!accepted)
            return;
        QCOMPARE(HomeyConfig::stored(defaults), endpoint);
        QCOMPARE(HomeyEndpoint::fromJson(endpoint.toJson()), endpoint);
        const QString stored = *defaults.stringValue(HomeyConfig::baseURLKey);
        QCOMPARE(HomeyEndpoint::baseURLText(*HomeyEndpoint::parseBaseURL(stored)), stored);
    }

    void jsonMembers_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<bool>("hasName");
        // Single quotes for double ones: moc misreads braces inside raw strings.
        const auto row = [](const char *name, const char *json, bool decodes, bool hasName = false) {
            QTest::newRow(name) << QByteArray(json).replace('\'', '"') << decodes << hasName;
        };
        row("null name", "{'baseURL':'http://h','homeyID':'a','name':null}", true);
        row("extra keys", "{'baseURL':'http://h','homeyID':'a','x':1}", true);
        row("empty name", "{'baseURL':'http://h','homeyID':'a','name':''}", true, true);
        row("numeric homeyID", "{'baseURL':'http://h','homeyID':5}", false);
        row("numeric name", "{'baseURL':'http://h','homeyID':'a','name':5}", false);
        row("not an object", "['http://h']", false);
    }
    void jsonMembers()
    {
        QFETCH(QByteArray, json);
        const QJsonDocument document = QJsonDocument::fromJson(json);
        const auto decoded = HomeyEndpoint::fromJson(document.isObject() ? QJsonValue(document.object())
                                                                         : QJsonValue(document.array()));
        QTEST(decoded.has_value(), "decodes");
        if (decoded)
            QTEST(decoded->name.has_value(), "hasName");
    }

    void fromEnvironment_data()
    {
        QTest::addColumn<Map>("values");
        QTest::addColumn<std::optional<HomeyEndpoint>>("expected");
        const auto row = [](const char *name, const Map &values, std::optional<HomeyEndpoint> expected = {}) {
            QTest::newRow(name) << values << expected;
        };
        const QUrl base(u"http://10.0.0.5"_s);
        const QString id = u"HOMEY_ID"_s;
        row("full", {{u"HOMEY_BASE"_s, base.toString()}, {id, u"abc"_s}, {u"HOMEY_NAME"_s, u" Thuis "_s}},
            HomeyEndpoint{base, u"abc"_s, u" Thuis "_s});
        row("second names, spaces trimmed, id not",
            {{u"QUORVANE_BASE"_s, u" \thttp://10.0.0.5\u00a0"_s}, {u"QUORVANE_HOMEY_ID"_s, u" a"_s}},
            HomeyEndpoint{base, u" a"_s, std::nullopt});
        row("empty HOMEY_BASE hides QUORVANE_BASE",
            {{u"HOMEY_BASE"_s, QString()}, {u"QUORVANE_BASE"_s, base.toString()}, {id, u"a"_s}});
        row("empty HOMEY_ID hides QUORVANE_HOMEY_ID",
            {{u"HOMEY_BASE"_s, base.toString()}, {id, QString()}, {u"QUORVANE_HOMEY_ID"_s, u"a"_s}});
        row("bare address", {{u"HOMEY_BASE"_s, u"10.0.0.5"_s}, {id, u"a"_s}});
        row("fragment", {{u"HOMEY_BASE"_s, u"http://10.0.0.5/#x"_s}, {id, u"a"_s}});
        row("line break is not trimmed", {{u"HOMEY_BASE"_s, u"http://10.0.0.5\n"_s}, {id, u"a"_s}});
    }
    void fromEnvironment()
    {
        QFETCH(Map, values);
        QTEST(HomeyConfig::fromEnvironment(values), "expected");
    }

    void localHTTPSURL()
    {
        const auto url = [](const QString &address) {
            const std::optional<QUrl> url = HomeyConfig::localHTTPSURL(address);
            return url ? url->toString() : QString();
        };
        QCOMPARE(url(u"192.168.1.20"_s), u"https://192-168-1-20.homey.homeylocal.com"_s);
        QCOMPARE(url(u"192.168.001.020"_s), u"https://192-168-001-020.homey.homeylocal.com"_s);
        QCOMPARE(url(u".10..0.0.5."_s), u"https://10-0-0-5.homey.homeylocal.com"_s); // empty pieces dropped
        // Above 255, three or five parts, letters, a sign.
        for (const QString &address :
             {u"192.168.1.256"_s, u"192.168.1"_s, u"192.168.1.2.3"_s, u"192.168.1.a"_s, u"192.168.1.+2"_s})
            QVERIFY2(!HomeyConfig::localHTTPSURL(address), qPrintable(address));
    }

    void storeReadForget()
    {
        SettingsStore defaults(u"tst_homeyconfig"_s);
        QVERIFY(
            HomeyConfig::store(HomeyEndpoint{QUrl(u"http://10.0.0.5"_s), u"abc"_s, u"Thuis"_s}, defaults));
        // A later endpoint without a name keeps the name stored before; an id must be there, as written.
        const QUrl other(u"https://h.local:4859/x%2Fy?q=%23"_s);
        QVERIFY(HomeyConfig::store(HomeyEndpoint{other, u" id "_s, std::nullopt}, defaults));
        QCOMPARE(HomeyConfig::stored(SettingsStore(u"tst_homeyconfig"_s)),
                 (HomeyEndpoint{other, u" id "_s, u"Thuis"_s}));
        defaults.setValue(HomeyConfig::homeyIDKey, QString());
        QCOMPARE(HomeyConfig::stored(defaults), std::nullopt);
        HomeyConfig::forget(defaults);
        QVERIFY(!defaults.contains(HomeyConfig::homeyNameKey) && !defaults.contains(HomeyConfig::baseURLKey));
    }

    void discoverBuildsHubsInBrowseOrder()
    {
        auto browser = std::make_shared<FakeServiceBrowser>();
        browser->entries = {
            {u"Homey-1"_s, u"_homey._tcp."_s, u"local."_s, {}},
            {u"Homey-2"_s,
             u"_homey._tcp."_s,
             u"local."_s,
             {{u"id"_s, u"abc"_s}, {u"name"_s, u"Thuis"_s}, {u"model"_s, u"pro"_s}, {u"version"_s, u"12"_s}}},
            {u"Homey-3"_s, u"_homey._tcp."_s, u"local."_s, {{u"id"_s, QString()}, {u"extra"_s, u"x"_s}}},
        };
        browser->addresses = {{u"Homey-1"_s, u"169.254.3.4%eth0"_s}, {u"Homey-2"_s, u"10.0.0.5"_s}};

        const QList<DiscoveredHomey> hubs = awaitTask(HomeyConfig::discover(7ms, browser, 9ms));
        QCOMPARE(browser->browsedTypes, QStringList{u"_homey._tcp"_s});
        QCOMPARE(browser->browseDurations, QList{7ms});
        QCOMPARE(browser->lookups,
                 (QStringList{u"Homey-1|_homey._tcp.|local."_s, u"Homey-2|_homey._tcp.|local."_s,
                              u"Homey-3|_homey._tcp.|local."_s}));
        QCOMPARE(hubs, (QList<DiscoveredHomey>{
                           {u"Homey-1"_s, u"Homey-1"_s, std::nullopt, std::nullopt, u"169.254.3.4"_s},
                           {u"abc"_s, u"Thuis"_s, u"pro"_s, u"12"_s, u"10.0.0.5"_s},
                           {QString(), u"Homey-3"_s, std::nullopt, std::nullopt, std::nullopt},
                       }));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Map>("expected");
        QTest::newRow("first occurrence wins") << u"A=1\nA=2\n"_s << Map{{u"A"_s, u"1"_s}};
        QTest::newRow("double quotes keep inner spaces") << u"A=\" x y \""_s << Map{{u"A"_s, u" x y "_s}};
        QTest::newRow("single quotes") << u"A='v'"_s << Map{{u"A"_s, u"v"_s}};
        QTest::newRow("mixed quotes stay") << u"A=\"v'"_s << Map{{u"A"_s, u"\"v'"_s}};
        QTest::newRow("a lone quote stays") << u"A=\""_s << Map{{u"A"_s, u"\""_s}};
        QTest::newRow("only one pair removed") << u"A=\"\"v\"\""_s << Map{{u"A"_s, u"\"v\""_s}};
        QTest::newRow("comment, blanks, no equals, leading equals")
            << u"  # A=1\n \t \nNOEQUALS\n=v\n"_s << Map{{QString(), u"v"_s}};
        QTest::newRow("export, inline comment, no expansion")
            << u"export A=1 # note $HOME\\n"_s << Map{{u"export A"_s, u"1 # note $HOME\\n"_s}};
        QTest::newRow("first equals splits") << u"A = b=c "_s << Map{{u"A"_s, u"b=c"_s}};
        QTest::newRow("unicode spaces and tabs trimmed") << u"\tA\u00a0=\u2003v\t"_s << Map{{u"A"_s, u"v"_s}};
        QTest::newRow("CRLF line ends") << u"A=1\r\nB = \"two\"\r\n\r\nC=\r\n"_s
                                        << Map{{u"A"_s, u"1"_s}, {u"B"_s, u"two"_s}, {u"C"_s, QString()}};
        QTest::newRow("CR inside a value stays") << u"A=1\r2"_s << Map{{u"A"_s, u"1\r2"_s}};
    }
    void parse()
    {
        QFETCH(QString, text);
        QTEST(EnvFile::parse(text), "expected");
    }

    void candidatesWalkUpFiveDirectoriesAtMost()
    {
        const QString deep = m_dir.filePath(u"a/b/c/d/e/f"_s);
        QDir().mkpath(deep);
        write(u"a/.env"_s, "TOO=far");
        const QString fromB = write(u"a/b/.env"_s, "B=1");
        const QString fromE = write(u"a/b/c/d/e/.env"_s, "E=1");
        QDir().mkpath(m_dir.filePath(u"a/b/c/d/.env"_s)); // a folder, not a file
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(u"a/b/c/.env"_s)).constData(), 0600) == 0);
        QCOMPARE(HomeyConfig::envFileCandidates({}, deep), (QStringList{fromE, fromB}));
    }

    void namedFileComesFirstAndRelativeToWorkingDirectory()
    {
        const QString working = m_dir.filePath(u"w"_s);
        const QString local = write(u"w/.env"_s, "A=local");
        const QString named = write(u"w/conf/dev.env"_s, "A=named\nB=2");
        const Map process{{u"QUORVANE_ENV_FILE"_s, u"conf/dev.env"_s}};
        QCOMPARE(HomeyConfig::envFileCandidates(process, working), (QStringList{named, local}));
        QCOMPARE(HomeyConfig::buildEnvironmentValues(process, working),
                 (Map{{u"A"_s, u"named"_s}, {u"B"_s, u"2"_s}, {u"QUORVANE_ENV_FILE"_s, u"conf/dev.env"_s}}));
        const Map device{{u"QUORVANE_ENV_FILE"_s, u"/dev/zero"_s}};
        QCOMPARE(HomeyConfig::envFileCandidates(device, working), QStringList{local});
    }

    void unreadableFileIsSkippedFilesAreNeverMergedProcessWins()
    {
        const QString working = m_dir.filePath(u"x/y/z"_s);
        write(u"x/y/z/.env"_s, "A=\xff\xfe broken");
        write(u"x/y/.env"_s, "A=file\nB=file");
        write(u"x/.env"_s, "C=grandparent");
        QCOMPARE(HomeyConfig::buildEnvironmentValues({{u"A"_s, u"process"_s}}, working),
                 (Map{{u"A"_s, u"process"_s}, {u"B"_s, u"file"_s}}));
    }

    void environmentValuesAreReadOncePerProcess()
    {
        const QString working = m_dir.filePath(u"w"_s);
        write(u"w/.env"_s, "QV_ONCE=first");
        QVERIFY(QDir::setCurrent(working));
        QCOMPARE(HomeyConfig::environmentValues().value(u"QV_ONCE"_s), u"first"_s);
        write(u"w/.env"_s, "QV_ONCE=changed");
        QCOMPARE(HomeyConfig::environmentValues().value(u"QV_ONCE"_s), u"first"_s);
    }

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
        // A write of the last test may still be on its way to the file.
        SettingsStore::flushAll();
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
        QTest::newRow("env fails: its host") << false << true << true << false << u"127.0.0.1"_s;
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

QTEST_GUILESS_MAIN(TestEndpoint)
#include "tst_endpoint.moc"
