#include "awaittask.h"
#include "fakeservicebrowser.h"
#include "homey/config/homeyconfig.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Map = QMap<QString, QString>;

Q_DECLARE_METATYPE(std::optional<HomeyEndpoint>)
Q_DECLARE_METATYPE(std::optional<QString>)

class TestHomeyConfig : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QFile::remove(SettingsStore(u"tst_homeyconfig"_s).filePath()); }

    void fromEnvironment_data()
    {
        QTest::addColumn<Map>("values");
        QTest::addColumn<std::optional<HomeyEndpoint>>("expected");
        const QUrl base(u"http://10.0.0.5"_s);
        QTest::newRow("full") << Map{{u"HOMEY_BASE"_s, u"http://10.0.0.5"_s},
                                     {u"HOMEY_ID"_s, u"abc"_s},
                                     {u"HOMEY_NAME"_s, u" Thuis "_s}}
                              << std::optional(HomeyEndpoint{base, u"abc"_s, u" Thuis "_s});
        QTest::newRow("second names, spaces trimmed, id not")
            << Map{{u"QUORVANE_BASE"_s, u" \thttp://10.0.0.5\u00a0"_s}, {u"QUORVANE_HOMEY_ID"_s, u" a"_s}}
            << std::optional(HomeyEndpoint{base, u" a"_s, std::nullopt});
        QTest::newRow("empty HOMEY_BASE hides QUORVANE_BASE")
            << Map{{u"HOMEY_BASE"_s, QString()},
                   {u"QUORVANE_BASE"_s, u"http://10.0.0.5"_s},
                   {u"HOMEY_ID"_s, u"a"_s}}
            << std::optional<HomeyEndpoint>();
        QTest::newRow("empty HOMEY_ID hides QUORVANE_HOMEY_ID")
            << Map{{u"HOMEY_BASE"_s, u"http://10.0.0.5"_s},
                   {u"HOMEY_ID"_s, QString()},
                   {u"QUORVANE_HOMEY_ID"_s, u"a"_s}}
            << std::optional<HomeyEndpoint>();
        QTest::newRow("bare address") << Map{{u"HOMEY_BASE"_s, u"10.0.0.5"_s}, {u"HOMEY_ID"_s, u"a"_s}}
                                      << std::optional<HomeyEndpoint>();
        QTest::newRow("fragment") << Map{{u"HOMEY_BASE"_s, u"http://10.0.0.5/#x"_s}, {u"HOMEY_ID"_s, u"a"_s}}
                                  << std::optional<HomeyEndpoint>();
        QTest::newRow("line break is not trimmed")
            << Map{{u"HOMEY_BASE"_s, u"http://10.0.0.5\n"_s}, {u"HOMEY_ID"_s, u"a"_s}}
            << std::optional<HomeyEndpoint>();
    }
    void fromEnvironment()
    {
        QFETCH(Map, values);
        QFETCH(std::optional<HomeyEndpoint>, expected);
        QCOMPARE(HomeyConfig::fromEnvironment(values), expected);
    }

    void localHTTPSURL_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("plain") << u"192.168.1.20"_s
                               << std::optional(u"https://192-168-1-20.homey.homeylocal.com"_s);
        QTest::newRow("leading zero kept")
            << u"192.168.001.020"_s << std::optional(u"https://192-168-001-020.homey.homeylocal.com"_s);
        QTest::newRow("empty pieces dropped")
            << u".10..0.0.5."_s << std::optional(u"https://10-0-0-5.homey.homeylocal.com"_s);
        QTest::newRow("above 255") << u"192.168.1.256"_s << std::optional<QString>();
        QTest::newRow("three parts") << u"192.168.1"_s << std::optional<QString>();
        QTest::newRow("five parts") << u"192.168.1.2.3"_s << std::optional<QString>();
        QTest::newRow("letters") << u"192.168.1.a"_s << std::optional<QString>();
        QTest::newRow("sign") << u"192.168.1.+2"_s << std::optional<QString>();
    }
    void localHTTPSURL()
    {
        QFETCH(QString, address);
        QFETCH(std::optional<QString>, expected);
        const std::optional<QUrl> url = HomeyConfig::localHTTPSURL(address);
        QCOMPARE(url ? std::optional(url->toString()) : std::nullopt, expected);
    }

    void storeReadForget()
    {
        SettingsStore defaults(u"tst_homeyconfig"_s);
        const HomeyEndpoint named{QUrl(u"http://10.0.0.5"_s), u"abc"_s, u"Thuis"_s};
        QVERIFY(HomeyConfig::store(named, defaults));
        QCOMPARE(HomeyConfig::stored(SettingsStore(u"tst_homeyconfig"_s)), named);

        // A later endpoint without a name keeps the name stored before.
        const QUrl other(u"https://h.local:4859/x%2Fy?q=%23"_s);
        QVERIFY(HomeyConfig::store(HomeyEndpoint{other, u"def"_s, std::nullopt}, defaults));
        QCOMPARE(HomeyConfig::stored(defaults), (HomeyEndpoint{other, u"def"_s, u"Thuis"_s}));

        // What would not read back is not written: the endpoint stored before stays.
        QVERIFY(!HomeyConfig::store(HomeyEndpoint{QUrl(u"l/###"_s), u"x"_s, u"X"_s}, defaults));
        QVERIFY(!HomeyConfig::store(HomeyEndpoint{QUrl(u"http://h/#a#b"_s), u"x"_s, u"X"_s}, defaults));
        QCOMPARE(HomeyConfig::stored(defaults), (HomeyEndpoint{other, u"def"_s, u"Thuis"_s}));

        HomeyConfig::forget(defaults);
        QCOMPARE(HomeyConfig::stored(defaults), std::nullopt);
        QVERIFY(!defaults.contains(HomeyConfig::homeyNameKey));
    }

    void storedNeedsAUsableURLAndAnID()
    {
        SettingsStore defaults(u"tst_homeyconfig"_s);
        defaults.setValue(HomeyConfig::baseURLKey, u"http://10.0.0.5"_s);
        QCOMPARE(HomeyConfig::stored(defaults), std::nullopt);
        defaults.setValue(HomeyConfig::homeyIDKey, QString());
        QCOMPARE(HomeyConfig::stored(defaults), std::nullopt);
        defaults.setValue(HomeyConfig::homeyIDKey, u" id "_s);
        QCOMPARE(HomeyConfig::stored(defaults),
                 (HomeyEndpoint{QUrl(u"http://10.0.0.5"_s), u" id "_s, std::nullopt}));
        for (const SettingsValue &bad : {SettingsValue(u"http://[::1"_s), SettingsValue(u"l/###"_s),
                                         SettingsValue(u"file:///tmp/hub"_s), SettingsValue(qint64(5))}) {
            defaults.setValue(HomeyConfig::baseURLKey, bad);
            QCOMPARE(HomeyConfig::stored(defaults), std::nullopt);
        }
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
};

QTEST_GUILESS_MAIN(TestHomeyConfig)
#include "tst_homeyconfig.moc"
