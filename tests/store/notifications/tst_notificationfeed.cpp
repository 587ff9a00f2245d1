#include "logcapture.h"
#include "store/notifications/notificationfeed.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <sys/inotify.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using Source = HomeyNotification::Source;

namespace {

const QDateTime start(QDate(2025, 3, 14), QTime(9, 0), Qt::UTC);
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
           u" \"A1 Dorpsstraat\" op Dorpsstraat te "_s + city;
}

QStringList ids(const QList<HomeyNotification> &items)
{
    QStringList result;
    for (const HomeyNotification &item : items)
        result << item.id;
    return result;
}

// Counts how often a file is written to disk from now on. A settings file is written as a new file put
// in place of the old one, so each write ends in a create or a rename under the file's name.
class DiskWrites {
public:
    explicit DiskWrites(const QString &path) : m_name(QFile::encodeName(QFileInfo(path).fileName()))
    {
        const QString folder = QFileInfo(path).absolutePath();
        QDir().mkpath(folder);
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_MOVED_TO | IN_CREATE);
    }
    ~DiskWrites() { ::close(m_fd); }
    DiskWrites(const DiskWrites &) = delete;
    DiskWrites &operator=(const DiskWrites &) = delete;

    int count()
    {
        alignas(inotify_event) char buffer[8192];
        ssize_t n;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->len > 0 && m_name == event->name)
                    ++m_count;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return m_count;
    }

private:
    QByteArray m_name;
    int m_fd = -1;
    int m_count = 0;
};

} // namespace

class TestNotificationFeed : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void emptyBaseline();
    void baselineCollectsHistoryQuietly();
    void regionDerivedOnce();
    void ingestAddsEachNewIDOnce();
    void seenIDsAreWrittenOncePerIngest();
    void unreadThroughAddMarkReadAndClear();
    void fullListKeepsTheNewestByDate();
    void bannerAge_data();
    void bannerAge();
    void noBannerWithoutPushOrBeforeBaseline();
    void seenIDsSurviveRestartAndStayAThousand();
    void filters_data();
    void filters();
    void applySavesOnlyChanges();
    void incidents();
    void badTimelineInput();

private:
    struct Pushed {
        HomeyNotification notification;
        bool timeSensitive;
    };
    std::unique_ptr<NotificationFeed> makeFeed(const QSet<QString> &regions = {});

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

std::unique_ptr<NotificationFeed> TestNotificationFeed::makeFeed(const QSet<QString> &regions)
{
    auto feed =
        std::make_unique<NotificationFeed>(store, [this](const HomeyNotification &n, bool timeSensitive) {
            pushed << Pushed{n, timeSensitive};
        });
    feed->setClock([this] { return now; });
    if (!regions.isEmpty()) {
        NotificationSettings settings = NotificationSettings::standard();
        settings.p2000Regions = regions;
        feed->apply(settings);
    }
    return feed;
}

void TestNotificationFeed::emptyBaseline()
{
    const LogCapture log;
    auto feed = makeFeed();
    feed->baseline({});
    QVERIFY(feed->items().isEmpty());
    QCOMPARE(feed->unread(), 0);
    QVERIFY(NotificationSettings::regionsInitialised(store));
    QCOMPARE(log.lines(),
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
    const LogCapture log;
    auto feed = makeFeed();
    QList<RawNotification> history = {
        raw(u"p1"_s, pagerLine(u"Hollands Midden"_s, 1), 50),
        raw(u"w1"_s, u"Het weer is veranderd: regen"_s, 40),
        raw(u"a1"_s, u"Anna is thuis"_s, 10, presenceOwner),
        raw(u"p2"_s, pagerLine(u"Hollands Midden"_s, 3), 30),
        raw(u"p3"_s, pagerLine(u"Twente"_s, 1), 20),
        raw(u"f1"_s, u"Alarm **aan**"_s, 5),
        raw(u"p4"_s, pagerLine(u"Hollands Midden"_s, 2, u"Katwijk"_s), 60),
        raw(u"f1"_s, u"Nog eens dezelfde"_s, 1),
    };
    for (int i = 0; i < 150; ++i)
        history << raw(u"e%1"_s.arg(i), u"Regel %1"_s.arg(i), 1000 - i);
    feed->baseline(history);

    // Region derived from the history, then used for the history itself; weather is off by default; the
    // repeated id is one row; only the newest hundred stay.
    QCOMPARE(feed->settings().p2000Regions, QSet<QString>{u"Hollands Midden"_s});
    QCOMPARE(NotificationSettings::load(store).p2000Regions, QSet<QString>{u"Hollands Midden"_s});
    QCOMPARE(feed->items().size(), 100);
    QCOMPARE(ids(feed->items()).first(5), QStringList({u"f1"_s, u"a1"_s, u"p1"_s, u"p4"_s, u"e149"_s}));
    QCOMPARE(feed->items().first().body, u"Alarm aan"_s);
    QCOMPARE(feed->items().last().id, u"e54"_s);
    for (const HomeyNotification &item : feed->items())
        QVERIFY(item.isRead);
    QCOMPARE(feed->unread(), 0);
    QVERIFY(pushed.isEmpty());
    QCOMPARE(NotificationSettings::shownIDs(store).size(), 157);
    QCOMPARE(NotificationSettings::shownIDs(store).mid(150),
             QStringList({u"p4"_s, u"p1"_s, u"w1"_s, u"p2"_s, u"p3"_s, u"a1"_s, u"f1"_s}));
    QCOMPARE(log.lines(),
             QStringList({
                 u"meldingen: P2000-regio afgeleid uit de eigen tijdlijn: \"Hollands Midden\""_s,
                 u"meldingen: waarvan 2 P2000 uit de geschiedenis (4 in de ruwe tijdlijn)."_s,
                 u"meldingen: beginstand 100 uit de tijdlijn (158 ruw), 0 ongelezen, geen banners. Push: "
                 "aan, bronnen flow,p2000,presence,system, P2000 t/m prio 2 in Hollands Midden."_s,
             }));
}

void TestNotificationFeed::regionDerivedOnce()
{
    const QList<RawNotification> history{raw(u"p1"_s, pagerLine(u"Twente"_s, 1), 10)};
    {
        // Regions already chosen: nothing derived, but the question is settled for good.
        auto feed = makeFeed({u"Utrecht"_s});
        feed->baseline(history);
        QCOMPARE(feed->settings().p2000Regions, QSet<QString>{u"Utrecht"_s});
        feed->apply(NotificationSettings::standard());
        auto again = makeFeed();
        again->baseline(history);
        QVERIFY(again->settings().p2000Regions.isEmpty());
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

void TestNotificationFeed::ingestAddsEachNewIDOnce()
{
    auto feed = makeFeed({u"Hollands Midden"_s});
    feed->baseline({raw(u"old"_s, u"Oud"_s, 600)});
    QSignalSpy itemsChanged(feed.get(), &NotificationFeed::itemsChanged);

    feed->ingest({raw(u"old"_s, u"Andere tekst"_s), raw(u"pager"_s, pagerLine(u"Hollands Midden"_s, 1))});
    QCOMPARE(ids(feed->items()), QStringList{u"old"_s});
    QCOMPARE(itemsChanged.count(), 0);
    // Live pager lines come from the device; the timeline copy is only remembered.
    QVERIFY(NotificationSettings::shownIDs(store).contains(u"pager"_s));

    // One id is one row, however often an answer repeats it.
    feed->ingest({raw(u"twice"_s, u"Een"_s, 2), raw(u"twice"_s, u"Twee"_s, 1), raw(u"twice"_s, u"Drie"_s)});
    QCOMPARE(ids(feed->items()), QStringList({u"twice"_s, u"old"_s}));
    QCOMPARE(feed->items().first().body, u"Een"_s);
    QCOMPARE(feed->unread(), 1);
    QCOMPARE(pushed.size(), 1);
    QCOMPARE(NotificationSettings::shownIDs(store).count(u"twice"_s), 1);
}

void TestNotificationFeed::seenIDsAreWrittenOncePerIngest()
{
    auto feed = makeFeed();
    feed->baseline({raw(u"old"_s, u"Oud"_s, 600)});
    DiskWrites writes(store.filePath());

    QList<RawNotification> answer;
    for (int i = 0; i < 20; ++i)
        answer << raw(u"n%1"_s.arg(i), u"Regel"_s, 100 - i);
    feed->ingest(answer);
    QCOMPARE(writes.count(), 1);
    QCOMPARE(NotificationSettings::shownIDs(SettingsStore(store.suite())).size(), 21);

    feed->ingest(answer);
    QCOMPARE(writes.count(), 1);
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
    const LogCapture log;
    feed->clear();
    QVERIFY(feed->items().isEmpty());
    QCOMPARE(feed->unread(), 0);
    feed->clear();
    QCOMPARE(log.lines(), QStringList{u"meldingen: lijst gewist (4 stuks)"_s});

    // Cleared entries never come back.
    feed->ingest({raw(u"n1"_s, u"Een"_s)});
    QVERIFY(feed->items().isEmpty());
}

void TestNotificationFeed::fullListKeepsTheNewestByDate()
{
    auto feed = makeFeed();
    feed->baseline({raw(u"b1"_s, u"Basis 1"_s, 100), raw(u"b2"_s, u"Basis 2"_s, 50)});
    // A late-arriving older entry goes below the newer ones; an equal date puts the newcomer first.
    feed->ingest({raw(u"late"_s, u"Laat"_s, 70)});
    feed->ingest({raw(u"same"_s, u"Tegelijk"_s, 50)});
    feed->ingest({raw(u"newest"_s, u"Nieuwst"_s, 1)});
    QCOMPARE(ids(feed->items()), QStringList({u"newest"_s, u"same"_s, u"b2"_s, u"late"_s, u"b1"_s}));

    // A full list drops its oldest item for a newer one, and the count still rises.
    QList<RawNotification> fill;
    for (int i = 0; i < 95; ++i)
        fill << raw(u"f%1"_s.arg(i), u"Vul"_s, 10);
    feed->ingest(fill);
    QCOMPARE(feed->items().size(), 100);
    QCOMPARE(feed->items().last().id, u"b1"_s);
    feed->ingest({raw(u"fresh"_s, u"Vers"_s)});
    QCOMPARE(feed->items().size(), 100);
    QCOMPARE(feed->items().last().id, u"late"_s);
    QCOMPARE(feed->unread(), 99);

    // An entry older than all of a full list is trimmed at once: not listed, not counted, no banner and
    // no line about its age.
    const LogCapture log;
    pushed.clear();
    QSignalSpy itemsChanged(feed.get(), &NotificationFeed::itemsChanged);
    feed->ingest({raw(u"recent"_s, u"Net niet"_s, 80), raw(u"ancient"_s, u"Heel oud"_s, 9000)});
    QCOMPARE(feed->items().size(), 100);
    QCOMPARE(feed->items().last().id, u"late"_s);
    QCOMPARE(feed->unread(), 99);
    QVERIFY(pushed.isEmpty());
    QVERIFY(log.lines().isEmpty());
    QCOMPARE(itemsChanged.count(), 0);
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
    const LogCapture log;
    feed->ingest({raw(u"n"_s, u"Deur open"_s, age)});
    QCOMPARE(feed->items().size(), 1);
    QCOMPARE(feed->unread(), 1);
    QCOMPARE(pushed.size(), banner ? 1 : 0);
    QCOMPARE(log.lines(), line.isEmpty() ? QStringList() : QStringList{line});
}

void TestNotificationFeed::noBannerWithoutPushOrBeforeBaseline()
{
    auto feed = makeFeed();
    LogCapture log;
    feed->ingest({raw(u"early"_s, u"Vroeg"_s), raw(u"early-old"_s, u"Vroeg en oud"_s, 4000)});
    QCOMPARE(feed->unread(), 2);
    QVERIFY(pushed.isEmpty());
    QVERIFY(log.lines().isEmpty());

    NotificationSettings settings = NotificationSettings::standard();
    settings.pushEnabled = false;
    feed->apply(settings);
    feed->baseline({});
    log.clear();
    feed->ingest({raw(u"fresh"_s, u"Vers"_s), raw(u"old"_s, u"Oud"_s, 4000)});
    QCOMPARE(feed->items().size(), 2);
    QCOMPARE(feed->unread(), 2);
    QVERIFY(pushed.isEmpty());
    QVERIFY(log.lines().isEmpty());

    settings.pushEnabled = true;
    settings.timeSensitiveForPrio1 = false;
    feed->apply(settings);
    feed->ingest({raw(u"next"_s, u"Volgende"_s)});
    QCOMPARE(pushed.size(), 1);
    QCOMPARE(pushed.first().timeSensitive, false);
}

void TestNotificationFeed::seenIDsSurviveRestartAndStayAThousand()
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

    QStringList stored;
    for (int i = 0; i < 1005; ++i)
        stored << u"id%1"_s.arg(i);
    stored << u"id3"_s; // a repeated id in a hand-edited file
    NotificationSettings::saveShownIDs(stored, store);
    feed = makeFeed();
    feed->baseline({});
    QCOMPARE(NotificationSettings::shownIDs(store).size(), 1000);
    QCOMPARE(NotificationSettings::shownIDs(store).first(), u"id5"_s);

    feed->ingest({raw(u"new"_s, u"Nieuw"_s), raw(u"id5"_s, u"Al gezien"_s)});
    const QStringList after = NotificationSettings::shownIDs(store);
    QCOMPARE(after.size(), 1000);
    QCOMPARE(after.first(), u"id6"_s);
    QCOMPARE(after.last(), u"new"_s);
    // The trimmed id is forgotten by the set as well.
    feed->ingest({raw(u"id5"_s, u"Vergeten"_s)});
    QCOMPARE(ids(feed->items()), QStringList({u"id5"_s, u"new"_s}));
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
    const Source pager = Source::p2000;
    const QSet<QString> hm{u"Hollands Midden"_s}, leiden{u"Leiden"_s}, none;
    const T region(u"Hollands Midden"_s);
    QTest::newRow("p2000 in region") << pager << P(2) << region << T() << hm << none << true;
    QTest::newRow("no regions chosen") << pager << P(1) << region << T() << none << none << false;
    QTest::newRow("no priority") << pager << P() << region << T() << hm << none << false;
    QTest::newRow("priority too high") << pager << P(3) << region << T() << hm << none << false;
    QTest::newRow("no region") << pager << P(1) << T() << T() << hm << none << false;
    QTest::newRow("other region") << pager << P(1) << T(u"Twente"_s) << T() << hm << none << false;
    QTest::newRow("region case counts")
        << pager << P(1) << T(u"hollands midden"_s) << T() << hm << none << false;
    QTest::newRow("city chosen") << pager << P(1) << region << T(u"Leiden"_s) << hm << leiden << true;
    QTest::newRow("other city") << pager << P(1) << region << T(u"Katwijk"_s) << hm << leiden << false;
    QTest::newRow("no city, cities chosen") << pager << P(1) << region << T() << hm << leiden << false;
    QTest::newRow("presence") << Source(Source::presence) << P() << T() << T() << none << none << true;
    QTest::newRow("weather is off") << Source(Source::weather) << P() << T() << T() << hm << none << false;
}

void TestNotificationFeed::filters()
{
    QFETCH(QSet<QString>, regions);
    QFETCH(QSet<QString>, cities);
    NotificationSettings settings = NotificationSettings::standard();
    settings.p2000Regions = regions;
    settings.p2000Cities = cities;
    auto feed = makeFeed();
    feed->apply(settings);
    HomeyNotification notification;
    notification.date = now;
    QFETCH(Source, source);
    QFETCH(std::optional<int>, priority);
    QFETCH(std::optional<QString>, region);
    QFETCH(std::optional<QString>, city);
    notification.source = source;
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
    feed->apply(quiet);
    QCOMPARE(settingsChanged.count(), 1);
    QCOMPARE(NotificationSettings::load(store), quiet);

    // Changed settings neither filter nor re-admit what is listed.
    feed->baseline({raw(u"a"_s, u"Anna is thuis"_s, 10, presenceOwner), raw(u"f"_s, u"Flow"_s, 5)});
    QCOMPARE(ids(feed->items()), QStringList{u"f"_s});
    feed->apply(NotificationSettings::standard());
    QCOMPARE(ids(feed->items()), QStringList{u"f"_s});
}

void TestNotificationFeed::incidents()
{
    auto feed = makeFeed({u"Hollands Midden"_s});
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
    QCOMPARE(NotificationSettings::shownIDs(store).size(), 2);

    // Not collected, so not remembered: once the region is chosen it comes in.
    NotificationSettings both = feed->settings();
    both.p2000Regions.insert(u"Twente"_s);
    feed->apply(both);
    feed->ingest(elsewhere);
    QCOMPARE(feed->items().size(), 2);
    QCOMPARE(feed->items().first().region, std::optional<QString>(u"Twente"_s));
}

void TestNotificationFeed::badTimelineInput()
{
    auto feed = makeFeed();
    feed->baseline({
        raw(u"good1"_s, u"Goed"_s, 30),
        RawNotification{u"nodate"_s, {}, std::nullopt, u"Zonder datum"_s, std::nullopt},
        RawNotification{u"baddate"_s, {}, std::nullopt, u"Kapotte datum"_s, QDateTime()},
        RawNotification{},
        raw(u"prio"_s, u"Ambulance (Hollands Midden) met Prio 99999999999999999999999 \"x\""_s, 5),
    });
    // Undated entries are dated now; the empty one gives nothing; an unreadable priority is no pager line.
    QCOMPARE(ids(feed->items()), QStringList({u"nodate"_s, u"baddate"_s, u"prio"_s, u"good1"_s}));
    QCOMPARE(feed->items().at(2).source, Source(Source::flow));

    feed->ingest({
        RawNotification{u"late-nodate"_s, {}, std::nullopt, u"Later zonder datum"_s, std::nullopt},
        raw(u"empty"_s, u" ** ** "_s),
    });
    QCOMPARE(ids(feed->items()).first(), u"late-nodate"_s);
    QVERIFY(NotificationSettings::shownIDs(store).contains(u"empty"_s));
    QCOMPARE(feed->unread(), 1);
}

QTEST_GUILESS_MAIN(TestNotificationFeed)
#include "tst_notificationfeed.moc"
