#include "base/log.h"
#include "store/notifications/notificationfeed.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using Source = HomeyNotification::Source;

namespace {

const QDateTime start(QDate(2025, 3, 14), QTime(9, 0), Qt::UTC);
const QString flowOwner = u"homey:manager:flow"_s;
const QString presenceOwner = u"homey:manager:presence"_s;
const QString ageLineEnd =
    u" minuten oud, wel in de lijst maar geen banner (waarschijnlijk gemist tijdens slaap of storing)"_s;

RawNotification raw(const QString &id, const QString &excerpt, qint64 ageSeconds = 0,
                    const QString &owner = u"homey:manager:flow"_s)
{
    return RawNotification{id, owner, std::nullopt, excerpt, start.addSecs(-ageSeconds)};
}

QString pagerLine(const QString &region, int priority, const QString &city = u"Leiden"_s)
{
    return u"Ambulance ("_s + region + u") met Prio "_s + QString::number(priority) +
           u" \"A1 Dorpsstraat\" op "
           "Dorpsstraat te "_s +
           city;
}

QStringList ids(const QList<HomeyNotification> &items)
{
    QStringList result;
    for (const HomeyNotification &item : items)
        result << item.id;
    return result;
}

// The lines the log received since this watcher was made, without their stamps.
class LogLines {
public:
    LogLines()
    {
        Log::shared().flush();
        m_start = QFile(Log::fileURL()).size();
    }
    QStringList read() const
    {
        Log::shared().flush();
        QFile file(Log::fileURL());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        file.seek(m_start);
        QStringList lines;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts))
            lines << line.mid(25); // "yyyy-MM-dd HH:mm:ss.SSS" and two spaces
        return lines;
    }

private:
    qint64 m_start = 0;
};

} // namespace

class TestNotificationFeed : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void emptyBaseline();
    void baselineCollectsHistoryQuietly();
    void baselineKeepsNewestHundred();
    void regionDerivedOnce();
    void ingestSkipsSeenEntries();
    void unreadThroughAddMarkReadAndClear();
    void capAtHundred();
    void bannerAge_data();
    void bannerAge();
    void noBannerWithoutPushOrBeforeBaseline();
    void seenIDsSurviveRestart();
    void seenIDsTrimmedToThousand();
    void filters_data();
    void filters();
    void applySavesOnlyChanges();
    void incidents();
    void newestFirstByDate();
    void equalAssignmentsStaySilent();
    void badTimelineInput();

private:
    struct Pushed {
        HomeyNotification notification;
        bool timeSensitive;
    };
    std::unique_ptr<NotificationFeed> makeFeed();
    NotificationSettings pagerSettings(const QSet<QString> &regions = {u"Hollands Midden"_s}) const;

    SettingsStore store{u"feed"_s};
    QDateTime now = start;
    QList<Pushed> pushed;
};

void TestNotificationFeed::init()
{
    QFile::remove(store.filePath());
    now = start;
    pushed.clear();
}

std::unique_ptr<NotificationFeed> TestNotificationFeed::makeFeed()
{
    auto feed =
        std::make_unique<NotificationFeed>(store, [this](const HomeyNotification &n, bool timeSensitive) {
            pushed << Pushed{n, timeSensitive};
        });
    feed->setClock([this] { return now; });
    return feed;
}

NotificationSettings TestNotificationFeed::pagerSettings(const QSet<QString> &regions) const
{
    NotificationSettings settings = NotificationSettings::standard();
    settings.p2000Regions = regions;
    return settings;
}

void TestNotificationFeed::emptyBaseline()
{
    const LogLines log;
    auto feed = makeFeed();
    feed->baseline({});
    QVERIFY(feed->items().isEmpty());
    QCOMPARE(feed->unread(), 0);
    QVERIFY(NotificationSettings::regionsInitialised(store));
    QCOMPARE(log.read(),
             QStringList({
                 u"meldingen: waarvan 0 P2000 uit de geschiedenis (0 in de ruwe tijdlijn)."_s,
                 u"meldingen: beginstand 0 uit de tijdlijn (0 ruw), 0 ongelezen, geen banners. Push: aan, "
                 "bronnen flow,p2000,presence,system, P2000 t/m prio 2 in GEEN regio (dus geen "
                 "P2000-push)."_s,
             }));

    // Armed now: a fresh entry gets its banner.
    feed->ingest({raw(u"n1"_s, u"Deur open"_s)});
    QCOMPARE(pushed.size(), 1);
    QCOMPARE(pushed.first().notification.id, u"n1"_s);
    QVERIFY(!pushed.first().notification.isRead);
}

void TestNotificationFeed::baselineCollectsHistoryQuietly()
{
    const LogLines log;
    auto feed = makeFeed();
    feed->baseline({
        raw(u"p1"_s, pagerLine(u"Hollands Midden"_s, 1), 50),
        raw(u"w1"_s, u"Het weer is veranderd: regen"_s, 40),
        raw(u"a1"_s, u"Anna is thuis"_s, 10, presenceOwner),
        raw(u"p2"_s, pagerLine(u"Hollands Midden"_s, 3), 30),
        raw(u"p3"_s, pagerLine(u"Twente"_s, 1), 20),
        raw(u"f1"_s, u"Alarm **aan**"_s, 5),
        raw(u"p4"_s, pagerLine(u"Hollands Midden"_s, 2, u"Katwijk"_s), 60),
    });
    // Region derived from the history, then used for the history itself; weather is off by default.
    QCOMPARE(feed->settings().p2000Regions, QSet<QString>{u"Hollands Midden"_s});
    QCOMPARE(NotificationSettings::load(store).p2000Regions, QSet<QString>{u"Hollands Midden"_s});
    QCOMPARE(ids(feed->items()), QStringList({u"f1"_s, u"a1"_s, u"p1"_s, u"p4"_s}));
    for (const HomeyNotification &item : feed->items())
        QVERIFY(item.isRead);
    QCOMPARE(feed->unread(), 0);
    QVERIFY(pushed.isEmpty());
    QCOMPARE(NotificationSettings::shownIDs(store),
             QStringList({u"p4"_s, u"p1"_s, u"w1"_s, u"p2"_s, u"p3"_s, u"a1"_s, u"f1"_s}));
    QCOMPARE(log.read(),
             QStringList({
                 u"meldingen: P2000-regio afgeleid uit de eigen tijdlijn: \"Hollands Midden\""_s,
                 u"meldingen: waarvan 2 P2000 uit de geschiedenis (4 in de ruwe tijdlijn)."_s,
                 u"meldingen: beginstand 4 uit de tijdlijn (7 ruw), 0 ongelezen, geen banners. Push: aan, "
                 "bronnen flow,p2000,presence,system, P2000 t/m prio 2 in Hollands Midden."_s,
             }));
}

void TestNotificationFeed::baselineKeepsNewestHundred()
{
    QList<RawNotification> entries;
    for (int i = 0; i < 150; ++i)
        entries << raw(u"e%1"_s.arg(i), u"Regel %1"_s.arg(i), 1000 - i);
    auto feed = makeFeed();
    feed->baseline(entries);
    QCOMPARE(feed->items().size(), 100);
    QCOMPARE(feed->items().first().id, u"e149"_s);
    QCOMPARE(feed->items().last().id, u"e50"_s);
    QCOMPARE(NotificationSettings::shownIDs(store).size(), 150);
}

void TestNotificationFeed::regionDerivedOnce()
{
    const QList<RawNotification> history{raw(u"p1"_s, pagerLine(u"Twente"_s, 1), 10)};
    {
        // Regions already chosen: nothing derived, but the question is settled for good.
        auto feed = makeFeed();
        feed->apply(pagerSettings({u"Utrecht"_s}));
        const LogLines log;
        feed->baseline(history);
        QCOMPARE(feed->settings().p2000Regions, QSet<QString>{u"Utrecht"_s});
        QCOMPARE(log.read().size(), 2);
    }
    {
        auto feed = makeFeed();
        feed->apply(NotificationSettings::standard());
        const LogLines log;
        feed->baseline(history);
        QVERIFY(feed->settings().p2000Regions.isEmpty());
        QCOMPARE(log.read().size(), 2);
    }
    QFile::remove(store.filePath());
    auto feed = makeFeed();
    feed->baseline(history);
    QCOMPARE(feed->settings().p2000Regions, QSet<QString>{u"Twente"_s});
    feed->apply(NotificationSettings::standard());
    auto again = makeFeed();
    again->baseline(history);
    QVERIFY(again->settings().p2000Regions.isEmpty());
}

void TestNotificationFeed::ingestSkipsSeenEntries()
{
    auto feed = makeFeed();
    feed->apply(pagerSettings());
    feed->baseline({raw(u"old"_s, u"Oud"_s, 600)});
    QSignalSpy itemsChanged(feed.get(), &NotificationFeed::itemsChanged);

    feed->ingest({raw(u"old"_s, u"Andere tekst"_s), raw(u"pager"_s, pagerLine(u"Hollands Midden"_s, 1))});
    QCOMPARE(ids(feed->items()), QStringList{u"old"_s});
    QCOMPARE(itemsChanged.count(), 0);
    // Live pager lines come from the device; the timeline copy is only remembered.
    QVERIFY(NotificationSettings::shownIDs(store).contains(u"pager"_s));

    // Two unseen entries with one id in the same batch both pass.
    feed->ingest({raw(u"twice"_s, u"Een"_s, 2), raw(u"twice"_s, u"Twee"_s, 1)});
    QCOMPARE(ids(feed->items()), QStringList({u"twice"_s, u"twice"_s, u"old"_s}));
    QCOMPARE(feed->items().first().body, u"Twee"_s);
    QCOMPARE(NotificationSettings::shownIDs(store).count(u"twice"_s), 1);
}

void TestNotificationFeed::unreadThroughAddMarkReadAndClear()
{
    auto feed = makeFeed();
    feed->baseline({raw(u"b"_s, u"Basis"_s, 100)});
    QSignalSpy unreadChanged(feed.get(), &NotificationFeed::unreadChanged);
    QSignalSpy itemsChanged(feed.get(), &NotificationFeed::itemsChanged);

    feed->markAllRead();
    QCOMPARE(itemsChanged.count(), 0);
    QCOMPARE(unreadChanged.count(), 0);

    feed->ingest({raw(u"n1"_s, u"Een"_s, 3), raw(u"n2"_s, u"Twee"_s, 2)});
    QCOMPARE(feed->unread(), 2);
    QCOMPARE(unreadChanged.count(), 2);
    QVERIFY(!feed->items().at(0).isRead);
    QVERIFY(feed->items().at(2).isRead);

    feed->markAllRead();
    QCOMPARE(feed->unread(), 0);
    for (const HomeyNotification &item : feed->items())
        QVERIFY(item.isRead);

    feed->ingest({raw(u"n3"_s, u"Drie"_s)});
    const LogLines log;
    feed->clear();
    QVERIFY(feed->items().isEmpty());
    QCOMPARE(feed->unread(), 0);
    feed->clear();
    QCOMPARE(log.read(), QStringList{u"meldingen: lijst gewist (4 stuks)"_s});

    // Cleared entries never come back.
    feed->ingest({raw(u"n1"_s, u"Een"_s)});
    QVERIFY(feed->items().isEmpty());
}

void TestNotificationFeed::capAtHundred()
{
    auto feed = makeFeed();
    feed->baseline({});
    for (int i = 0; i < 101; ++i)
        feed->ingest({raw(u"n%1"_s.arg(i), u"Regel"_s, 200 - i)});
    QCOMPARE(feed->items().size(), 100);
    QCOMPARE(feed->unread(), 101);
    QCOMPARE(feed->items().first().id, u"n100"_s);
    QCOMPARE(feed->items().last().id, u"n1"_s);
}

void TestNotificationFeed::bannerAge_data()
{
    QTest::addColumn<qint64>("age");
    QTest::addColumn<bool>("banner");
    QTest::addColumn<QString>("line");
    QTest::newRow("300 s") << qint64(300) << true << QString();
    QTest::newRow("301 s") << qint64(301) << false << u"meldingen: \"Flow\" is 5"_s + ageLineEnd;
    QTest::newRow("an hour") << qint64(3600) << false << u"meldingen: \"Flow\" is 60"_s + ageLineEnd;
    QTest::newRow("from the future") << qint64(-120) << true << QString();
}

void TestNotificationFeed::bannerAge()
{
    QFETCH(qint64, age);
    QFETCH(bool, banner);
    QFETCH(QString, line);
    auto feed = makeFeed();
    feed->baseline({});
    const LogLines log;
    feed->ingest({raw(u"n"_s, u"Deur open"_s, age)});
    QCOMPARE(feed->items().size(), 1);
    QCOMPARE(feed->unread(), 1);
    QCOMPARE(pushed.size(), banner ? 1 : 0);
    QCOMPARE(log.read(), line.isEmpty() ? QStringList() : QStringList{line});
}

void TestNotificationFeed::noBannerWithoutPushOrBeforeBaseline()
{
    auto feed = makeFeed();
    const LogLines log;
    feed->ingest({raw(u"early"_s, u"Vroeg"_s), raw(u"early-old"_s, u"Vroeg en oud"_s, 4000)});
    QCOMPARE(feed->unread(), 2);
    QVERIFY(pushed.isEmpty());
    QVERIFY(log.read().isEmpty());

    NotificationSettings settings = NotificationSettings::standard();
    settings.pushEnabled = false;
    feed->apply(settings);
    feed->baseline({});
    const LogLines later;
    feed->ingest({raw(u"fresh"_s, u"Vers"_s), raw(u"old"_s, u"Oud"_s, 4000)});
    QCOMPARE(feed->items().size(), 2);
    QCOMPARE(feed->unread(), 2);
    QVERIFY(pushed.isEmpty());
    QVERIFY(later.read().isEmpty());

    settings.pushEnabled = true;
    settings.timeSensitiveForPrio1 = false;
    feed->apply(settings);
    feed->ingest({raw(u"next"_s, u"Volgende"_s)});
    QCOMPARE(pushed.size(), 1);
    QCOMPARE(pushed.first().timeSensitive, false);
}

void TestNotificationFeed::seenIDsSurviveRestart()
{
    {
        auto feed = makeFeed();
        feed->baseline({raw(u"a"_s, u"A"_s, 10)});
        feed->ingest({raw(u"b"_s, u"B"_s)});
    }
    auto feed = makeFeed();
    feed->baseline({});
    feed->ingest({raw(u"a"_s, u"A"_s), raw(u"b"_s, u"B"_s), raw(u"c"_s, u"C"_s)});
    QCOMPARE(ids(feed->items()), QStringList{u"c"_s});
    QCOMPARE(NotificationSettings::shownIDs(store), QStringList({u"a"_s, u"b"_s, u"c"_s}));
}

void TestNotificationFeed::seenIDsTrimmedToThousand()
{
    QStringList stored;
    for (int i = 0; i < 1005; ++i)
        stored << u"id%1"_s.arg(i);
    stored << u"id3"_s; // a repeated id in a hand-edited file
    NotificationSettings::saveShownIDs(stored, store);

    auto feed = makeFeed();
    feed->baseline({});
    QCOMPARE(NotificationSettings::shownIDs(store).size(), 1000);
    QCOMPARE(NotificationSettings::shownIDs(store).first(), u"id5"_s);

    feed->ingest({raw(u"new"_s, u"Nieuw"_s), raw(u"id5"_s, u"Al gezien"_s)});
    const QStringList after = NotificationSettings::shownIDs(store);
    QCOMPARE(after.size(), 1000);
    QCOMPARE(after.first(), u"id6"_s);
    QCOMPARE(after.last(), u"new"_s);
    QCOMPARE(ids(feed->items()), QStringList{u"new"_s});

    // The trimmed id is forgotten by the set as well.
    feed->ingest({raw(u"id0"_s, u"Vergeten"_s)});
    QCOMPARE(ids(feed->items()), QStringList({u"id0"_s, u"new"_s}));
}

void TestNotificationFeed::filters_data()
{
    QTest::addColumn<Source>("source");
    QTest::addColumn<std::optional<int>>("priority");
    QTest::addColumn<std::optional<QString>>("region");
    QTest::addColumn<std::optional<QString>>("city");
    QTest::addColumn<QSet<QString>>("regions");
    QTest::addColumn<QSet<QString>>("cities");
    QTest::addColumn<bool>("collected");

    using P = std::optional<int>;
    using T = std::optional<QString>;
    const QSet<QString> hm{u"Hollands Midden"_s};
    const QSet<QString> leiden{u"Leiden"_s};
    const T region(u"Hollands Midden"_s);
    QTest::newRow("p2000 in region") << Source(Source::p2000) << P(2) << region << T() << hm
                                     << QSet<QString>() << true;
    QTest::newRow("no regions chosen")
        << Source(Source::p2000) << P(1) << region << T() << QSet<QString>() << QSet<QString>() << false;
    QTest::newRow("no priority") << Source(Source::p2000) << P() << region << T() << hm << QSet<QString>()
                                 << false;
    QTest::newRow("priority too high")
        << Source(Source::p2000) << P(3) << region << T() << hm << QSet<QString>() << false;
    QTest::newRow("no region") << Source(Source::p2000) << P(1) << T() << T() << hm << QSet<QString>()
                               << false;
    QTest::newRow("other region") << Source(Source::p2000) << P(1) << T(u"Twente"_s) << T() << hm
                                  << QSet<QString>() << false;
    QTest::newRow("region case counts")
        << Source(Source::p2000) << P(1) << T(u"hollands midden"_s) << T() << hm << QSet<QString>() << false;
    QTest::newRow("city chosen") << Source(Source::p2000) << P(1) << region << T(u"Leiden"_s) << hm << leiden
                                 << true;
    QTest::newRow("other city") << Source(Source::p2000) << P(1) << region << T(u"Katwijk"_s) << hm << leiden
                                << false;
    QTest::newRow("no city, cities chosen")
        << Source(Source::p2000) << P(1) << region << T() << hm << leiden << false;
    QTest::newRow("presence") << Source(Source::presence) << P() << T() << T() << QSet<QString>()
                              << QSet<QString>() << true;
    QTest::newRow("weather is off") << Source(Source::weather) << P() << T() << T() << hm << QSet<QString>()
                                    << false;
}

void TestNotificationFeed::filters()
{
    QFETCH(Source, source);
    QFETCH(QSet<QString>, regions);
    QFETCH(QSet<QString>, cities);
    NotificationSettings settings = pagerSettings(regions);
    settings.p2000Cities = cities;
    auto feed = makeFeed();
    feed->setSettings(settings);
    HomeyNotification notification;
    notification.id = u"x"_s;
    notification.source = source;
    notification.date = now;
    QFETCH(std::optional<int>, priority);
    QFETCH(std::optional<QString>, region);
    QFETCH(std::optional<QString>, city);
    notification.priority = priority;
    notification.region = region;
    notification.city = city;
    QTEST(feed->shouldCollect(notification), "collected");
}

void TestNotificationFeed::applySavesOnlyChanges()
{
    auto feed = makeFeed();
    QSignalSpy settingsChanged(feed.get(), &NotificationFeed::settingsChanged);
    feed->apply(NotificationSettings::standard());
    QCOMPARE(settingsChanged.count(), 0);
    QVERIFY(!store.contains(u"notify.push"_s));

    NotificationSettings quiet = NotificationSettings::standard();
    quiet.enabledSources = {Source::flow};
    feed->setSettings(quiet);
    QCOMPARE(settingsChanged.count(), 1);
    QVERIFY(!store.contains(u"notify.sources"_s));

    feed->baseline({raw(u"a"_s, u"Anna is thuis"_s, 10, presenceOwner), raw(u"f"_s, u"Flow"_s, 5)});
    QCOMPARE(ids(feed->items()), QStringList{u"f"_s});
    feed->apply(NotificationSettings::standard());
    QCOMPARE(settingsChanged.count(), 2);
    QCOMPARE(NotificationSettings::load(store), NotificationSettings::standard());
    QCOMPARE(ids(feed->items()), QStringList{u"f"_s});
}

void TestNotificationFeed::incidents()
{
    auto feed = makeFeed();
    feed->apply(pagerSettings());
    feed->baseline({});

    P2000::Incident incident;
    incident.raw = u"A1 Dorpsstraat Leiden"_s;
    incident.service = u"Ambulance"_s;
    incident.priority = 1;
    incident.region = u"Hollands Midden"_s;
    incident.city = u"Leiden"_s;
    P2000::Incident seeded = incident;
    seeded.raw = u"A2 Kerkweg Leiden"_s;
    P2000::Incident elsewhere = incident;
    elsewhere.raw = u"A1 Markt Hengelo"_s;
    elsewhere.region = u"Twente"_s;

    now = start.addSecs(42);
    feed->seedP2000(seeded);
    feed->ingest(incident);
    feed->ingest(incident);
    feed->ingest(seeded);
    feed->ingest(elsewhere);
    QCOMPARE(feed->items().size(), 1);
    QCOMPARE(feed->items().first().date, now);
    QCOMPARE(feed->items().first().title, u"Ambulance, Prio 1"_s);
    QCOMPARE(pushed.size(), 1);
    QVERIFY(pushed.first().timeSensitive);

    // Not collected, so not remembered: once the region is chosen it comes in.
    feed->apply(pagerSettings({u"Hollands Midden"_s, u"Twente"_s}));
    feed->ingest(elsewhere);
    QCOMPARE(feed->items().size(), 2);
    QCOMPARE(feed->items().first().region, std::optional<QString>(u"Twente"_s));
}

void TestNotificationFeed::newestFirstByDate()
{
    auto feed = makeFeed();
    feed->baseline({raw(u"b1"_s, u"Basis 1"_s, 100), raw(u"b2"_s, u"Basis 2"_s, 50)});
    // A late-arriving older entry goes below the newer ones; an equal date puts the newcomer first.
    feed->ingest({raw(u"late"_s, u"Laat"_s, 70)});
    feed->ingest({raw(u"same"_s, u"Tegelijk"_s, 50)});
    feed->ingest({raw(u"oldest"_s, u"Oudst"_s, 500)});
    feed->ingest({raw(u"newest"_s, u"Nieuwst"_s, 1)});
    QCOMPARE(ids(feed->items()),
             QStringList({u"newest"_s, u"same"_s, u"b2"_s, u"late"_s, u"b1"_s, u"oldest"_s}));

    // A full list drops the oldest by date, even when that is the newcomer.
    for (int i = 0; i < 94; ++i)
        feed->ingest({raw(u"f%1"_s.arg(i), u"Vul"_s, 10)});
    QCOMPARE(feed->items().size(), 100);
    const int unread = feed->unread();
    feed->ingest({raw(u"ancient"_s, u"Heel oud"_s, 9000)});
    QCOMPARE(feed->items().size(), 100);
    QCOMPARE(feed->items().last().id, u"oldest"_s);
    QVERIFY(!ids(feed->items()).contains(u"ancient"_s));
    QCOMPARE(feed->unread(), unread + 1);
}

void TestNotificationFeed::equalAssignmentsStaySilent()
{
    auto feed = makeFeed();
    feed->baseline({raw(u"a"_s, u"A"_s, 10)});
    QSignalSpy itemsChanged(feed.get(), &NotificationFeed::itemsChanged);
    QSignalSpy unreadChanged(feed.get(), &NotificationFeed::unreadChanged);
    QSignalSpy settingsChanged(feed.get(), &NotificationFeed::settingsChanged);
    feed->setItems(feed->items());
    feed->setUnread(0);
    feed->setSettings(feed->settings());
    QCOMPARE(itemsChanged.count() + unreadChanged.count() + settingsChanged.count(), 0);

    QList<HomeyNotification> changed = feed->items();
    changed.first().isRead = false;
    feed->setItems(changed);
    QCOMPARE(itemsChanged.count(), 1);
    QVERIFY(feed->setProperty("unread", 3));
    QCOMPARE(unreadChanged.count(), 1);
    QCOMPARE(feed->property("unread").toInt(), 3);
}

void TestNotificationFeed::badTimelineInput()
{
    const QString megabyte = u"**"_s + QString(1'000'000, u'x');
    auto feed = makeFeed();
    feed->apply(pagerSettings());
    feed->baseline({
        raw(u"good1"_s, u"Goed"_s, 30),
        RawNotification{u"nodate"_s, flowOwner, std::nullopt, u"Zonder datum"_s, std::nullopt},
        RawNotification{u"baddate"_s, flowOwner, std::nullopt, u"Kapotte datum"_s, QDateTime()},
        RawNotification{QString(), QString(), QString(), QString(), std::nullopt},
        raw(u"huge"_s, megabyte, 20),
        raw(u"nested"_s, u"[[a](b)](c) `x"_s, 10),
        raw(u"prio"_s, u"Ambulance (Hollands Midden) met Prio 99999999999999999999999 \"x\""_s, 5),
        raw(u"prio0"_s, u"Ambulance (Hollands Midden) met Prio 0"_s, 4),
        raw(u"good2"_s, u"Ook goed"_s, 1),
    });
    // Undated entries are dated now; the empty one gives nothing; an unreadable priority is no pager line.
    QCOMPARE(ids(feed->items()), QStringList({u"nodate"_s, u"baddate"_s, u"good2"_s, u"prio0"_s, u"prio"_s,
                                              u"nested"_s, u"huge"_s, u"good1"_s}));
    QCOMPARE(feed->items().at(4).source, Source(Source::flow));
    QCOMPARE(feed->items().at(5).body, u"[a](c) `x"_s);
    QCOMPARE(feed->items().at(6).body.size(), megabyte.size());

    feed->ingest({
        RawNotification{u"late-nodate"_s, flowOwner, std::nullopt, u"Later zonder datum"_s, std::nullopt},
        raw(u"empty"_s, u" ** ** "_s),
        raw(u"good3"_s, u"Nog een"_s, 2),
    });
    QCOMPARE(feed->items().first().id, u"late-nodate"_s);
    QVERIFY(ids(feed->items()).contains(u"good3"_s));
    QVERIFY(NotificationSettings::shownIDs(store).contains(u"empty"_s));
    QCOMPARE(feed->unread(), 2);
}

QTEST_GUILESS_MAIN(TestNotificationFeed)
#include "tst_notificationfeed.moc"
