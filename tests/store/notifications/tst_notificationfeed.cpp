#include "base/settingsfile.h"
#include "logcapture.h"
#include "store/notifications/notificationfeed.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <sys/inotify.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using Source = HomeyNotification::Source;
using Stored = QList<std::pair<QString, SettingsValue>>;

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

// Counts the writes of a file from now on. A settings file is written as a new file put in place of the
// old one, so each write ends in a create or a rename under its name.
class DiskWrites {
public:
    explicit DiskWrites(const QFileInfo &file) : m_name(QFile::encodeName(file.fileName()))
    {
        inotify_add_watch(m_fd, QFile::encodeName(file.absolutePath()).constData(), IN_MOVED_TO | IN_CREATE);
    }
    ~DiskWrites() { ::close(m_fd); }

    int count()
    {
        alignas(inotify_event) char buffer[8192];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                m_count += event->len > 0 && m_name == event->name;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return m_count;
    }

private:
    const QByteArray m_name;
    const int m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    int m_count = 0;
};

} // namespace

class TestNotificationFeed : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QFile::remove(store.filePath());
        now = start;
        pushed.clear();
    }

    void baselineCollectsHistoryQuietly()
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

    void regionDerivedOnce()
    {
        const QList<RawNotification> history{raw(u"p1"_s, pagerLine(u"Twente"_s, 1), 10)};
        {
            // An empty first load settles the question as well: nothing is derived from a later one.
            const LogCapture log;
            makeFeed()->baseline({});
            QCOMPARE(
                log.lines(),
                QStringList({
                    u"meldingen: waarvan 0 P2000 uit de geschiedenis (0 in de ruwe tijdlijn)."_s,
                    u"meldingen: beginstand 0 uit de tijdlijn (0 ruw), 0 ongelezen, geen banners. Push: aan, "
                    "bronnen flow,p2000,presence,system, P2000 t/m prio 2 in GEEN regio (dus geen "
                    "P2000-push)."_s,
                }));
            auto feed = makeFeed();
            feed->baseline(history);
            QVERIFY(feed->settings().p2000Regions.isEmpty());
        }
        QFile::remove(store.filePath());
        {
            // Regions already chosen: nothing derived.
            auto feed = makeFeed({u"Utrecht"_s});
            feed->baseline(history);
            QCOMPARE(feed->settings().p2000Regions, QSet<QString>{u"Utrecht"_s});
        }
        QFile::remove(store.filePath());
        auto feed = makeFeed();
        feed->baseline(history);
        QCOMPARE(feed->settings().p2000Regions, QSet<QString>{u"Twente"_s});
    }

    void ingestAddsEachNewIDOnceAndWritesOnce()
    {
        auto feed = makeFeed({u"Hollands Midden"_s});
        feed->baseline({raw(u"old"_s, u"Oud"_s, 600)});
        DiskWrites writes{QFileInfo(store.filePath())};

        // Seen ids are skipped whatever their text; live pager lines come from the device, so the timeline
        // copy is only remembered; one id is one row, however often an answer repeats it.
        const QList<RawNotification> answer = {
            raw(u"old"_s, u"Andere tekst"_s), raw(u"pager"_s, pagerLine(u"Hollands Midden"_s, 1)),
            raw(u"twice"_s, u"Een"_s, 2),     raw(u"twice"_s, u"Twee"_s, 1),
            raw(u"twice"_s, u"Drie"_s),       raw(u"n"_s, u"Nieuw"_s, 3)};
        feed->ingest(answer);
        QCOMPARE(ids(feed->items()), QStringList({u"twice"_s, u"n"_s, u"old"_s}));
        QCOMPARE(feed->items().first().body, u"Een"_s);
        QCOMPARE(feed->unread(), 2);
        QCOMPARE(pushed.size(), 2);
        QCOMPARE(NotificationSettings::shownIDs(store),
                 QStringList({u"old"_s, u"n"_s, u"twice"_s, u"pager"_s}));
        QCOMPARE(writes.count(), 1);

        QSignalSpy itemsChanged(feed.get(), &NotificationFeed::itemsChanged);
        feed->ingest(answer);
        QCOMPARE(itemsChanged.count(), 0);
        QCOMPARE(writes.count(), 1);
    }

    void unreadThroughAddMarkReadAndClear()
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

    void fullListKeepsTheNewestByDate()
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

    void banners_data()
    {
        QTest::addColumn<bool>("armed");
        QTest::addColumn<bool>("push");
        QTest::addColumn<qint64>("age");
        QTest::addColumn<bool>("banner");
        QTest::addColumn<QString>("line");
        const auto row = [](const char *name, bool armed, bool push, qint64 age, bool banner,
                            const QString &line = {}) {
            QTest::newRow(name) << armed << push << age << banner << line;
        };
        row("300 s", true, true, 300, true);
        row("301 s", true, true, 301, false, u"meldingen: \"Flow\" is 5"_s + ageLineEnd);
        row("an hour", true, true, 3600, false, u"meldingen: \"Flow\" is 60"_s + ageLineEnd);
        row("from the future", true, true, -120, true);
        row("push off", true, false, 0, false);
        row("push off, old", true, false, 3600, false);
        row("before the baseline", false, true, 0, false);
        row("before the baseline, old", false, true, 3600, false);
    }
    void banners()
    {
        QFETCH(bool, armed);
        QFETCH(bool, push);
        QFETCH(qint64, age);
        QFETCH(bool, banner);
        QFETCH(QString, line);
        auto feed = makeFeed();
        NotificationSettings settings = NotificationSettings::standard();
        settings.pushEnabled = push;
        settings.timeSensitiveForPrio1 = false;
        feed->apply(settings);
        if (armed)
            feed->baseline({});
        const LogCapture log;
        feed->ingest({raw(u"n"_s, u"Deur open"_s, age)});
        // Listed and counted in every case.
        QCOMPARE(feed->items().size(), 1);
        QCOMPARE(feed->unread(), 1);
        QCOMPARE(pushed.size(), banner ? 1 : 0);
        if (banner)
            QVERIFY(!pushed.first().timeSensitive && !pushed.first().notification.isRead);
        QCOMPARE(log.lines(), line.isEmpty() ? QStringList() : QStringList{line});
    }

    void seenIDsSurviveRestartAndStayAThousand()
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

    void seenIDsWrittenLaterMissNone()
    {
        // Within an event loop the list is written later, once for a burst; each read meanwhile and a
        // plain write of the key that replaced the waiting one must still see every id.
        auto feed = makeFeed();
        feed->baseline({});
        QList<QStringList> seen;
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            feed->ingest({raw(u"a"_s, u"A"_s)});
            feed->ingest({raw(u"b"_s, u"B"_s)});
            seen << NotificationSettings::shownIDs(store);
            feed->ingest({raw(u"c"_s, u"C"_s)});
            NotificationSettings::saveShownIDs(QStringList{u"x"_s}, store);
            feed->ingest({raw(u"d"_s, u"D"_s)});
            seen << NotificationSettings::shownIDs(store);
            loop.quit();
        });
        loop.exec();
        const QStringList all{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
        QCOMPARE(seen, QList<QStringList>({all.first(2), all}));
        SettingsFile::flushAll();
        QCOMPARE(NotificationSettings::shownIDs(SettingsStore(store.suite())), all);
    }

    void filters_data()
    {
        // Empty texts and priority 0 stand for absent; the chosen regions and cities are comma-separated.
        QTest::addColumn<Source>("source");
        QTest::addColumn<int>("priority");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("regions");
        QTest::addColumn<QString>("cities");
        QTest::addColumn<bool>("collected");

        const auto row = [](const char *name, Source source, int priority, const QString &region,
                            const QString &city, const QString &regions, const QString &cities,
                            bool collected) {
            QTest::newRow(name) << source << priority << region << city << regions << cities << collected;
        };
        const Source pager = Source::p2000;
        const QString hm = u"Hollands Midden"_s, none;
        row("p2000 in region", pager, 2, hm, none, hm, none, true);
        row("no regions chosen", pager, 1, hm, none, none, none, false);
        row("no priority", pager, 0, hm, none, hm, none, false);
        row("priority too high", pager, 3, hm, none, hm, none, false);
        row("no region", pager, 1, none, none, hm, none, false);
        row("region case counts", pager, 1, hm.toLower(), none, hm, none, false);
        row("city chosen", pager, 1, hm, u"Leiden"_s, hm, u"Leiden,Delft"_s, true);
        row("other city", pager, 1, hm, u"Katwijk"_s, hm, u"Leiden"_s, false);
        row("no city, cities chosen", pager, 1, hm, none, hm, u"Leiden"_s, false);
        row("presence", Source::presence, 0, none, none, none, none, true);
        row("weather is off", Source::weather, 0, none, none, hm, none, false);
    }
    void filters()
    {
        QFETCH(Source, source);
        QFETCH(int, priority);
        QFETCH(QString, region);
        QFETCH(QString, city);
        QFETCH(QString, regions);
        QFETCH(QString, cities);
        const auto present = [](const QString &text) {
            return text.isEmpty() ? std::nullopt : std::optional(text);
        };
        NotificationSettings settings = NotificationSettings::standard();
        settings.p2000Regions = NotificationSettings::split(regions);
        settings.p2000Cities = NotificationSettings::split(cities);
        auto feed = makeFeed();
        feed->apply(settings);
        HomeyNotification notification;
        notification.source = source;
        notification.priority = priority > 0 ? std::optional(priority) : std::nullopt;
        notification.region = present(region);
        notification.city = present(city);
        QTEST(feed->shouldCollect(notification), "collected");
    }

    void applySavesOnlyChanges()
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

    void incidents()
    {
        auto feed = makeFeed({u"Hollands Midden"_s});
        feed->baseline({});

        const auto pager = [](const QString &raw, const QString &region) {
            return P2000::Incident{raw, u"Ambulance"_s, 1, std::nullopt, region, u"Leiden"_s, {}, {}};
        };
        const P2000::Incident incident = pager(u"A1 Dorpsstraat Leiden"_s, u"Hollands Midden"_s);
        const P2000::Incident seeded = pager(u"A2 Kerkweg Leiden"_s, u"Hollands Midden"_s);
        const P2000::Incident elsewhere = pager(u"A1 Markt Hengelo"_s, u"Twente"_s);

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

    // The settings on their own.
    void load_data()
    {
        QTest::addColumn<Stored>("stored");
        QTest::addColumn<NotificationSettings>("expected");

        const NotificationSettings standard = NotificationSettings::standard();
        auto with = [&](auto change) {
            NotificationSettings settings = standard;
            change(settings);
            return settings;
        };
        QTest::newRow("empty store") << Stored{} << standard;
        QTest::newRow("empty source list") << Stored{{u"notify.sources"_s, QStringList()}}
                                           << with([](auto &s) { s.enabledSources.clear(); });
        QTest::newRow("unknown source skipped")
            << Stored{{u"notify.sources"_s, QStringList{u"bogus"_s, u"weather"_s, u"Weather"_s}}}
            << with([](auto &s) { s.enabledSources = {Source::weather}; });
        QTest::newRow("sources not a list") << Stored{{u"notify.sources"_s, u"weather"_s}} << standard;
        QTest::newRow("priority 0") << Stored{{u"notify.p2000.maxPriority"_s, qint64(0)}}
                                    << with([](auto &s) { s.p2000MaxPriority = 1; });
        QTest::newRow("priority 9") << Stored{{u"notify.p2000.maxPriority"_s, qint64(9)}}
                                    << with([](auto &s) { s.p2000MaxPriority = 5; });
        QTest::newRow("priority huge negative") << Stored{{u"notify.p2000.maxPriority"_s, -(qint64(1) << 40)}}
                                                << with([](auto &s) { s.p2000MaxPriority = 1; });
        QTest::newRow("priority 3") << Stored{{u"notify.p2000.maxPriority"_s, qint64(3)}}
                                    << with([](auto &s) { s.p2000MaxPriority = 3; });
        // Flags, regions and cities read back in the save test below.
        QTest::newRow("regions not a list") << Stored{{u"notify.p2000.regions"_s, u"Twente"_s}} << standard;
    }
    void load()
    {
        QFETCH(Stored, stored);
        for (const auto &[key, value] : stored)
            store.setValue(key, value);
        QTEST(NotificationSettings::load(store), "expected");
    }

    void saveWritesSortedUnclampedValuesAndReadsBack()
    {
        NotificationSettings settings = NotificationSettings::standard();
        settings.p2000MaxPriority = 9;
        settings.enabledSources = {Source::weather, Source::flow, Source::presence};
        settings.p2000Regions = {u"Zeeland"_s, u"Twente"_s, u"Amsterdam-Amstelland"_s};
        settings.p2000Cities = {u"b"_s, u"B"_s, u"a"_s};
        settings.pushEnabled = false;
        settings.timeSensitiveForPrio1 = false;
        settings.save(store);

        QCOMPARE(store.integerValue(u"notify.p2000.maxPriority"_s), std::optional<qint64>(9));
        QCOMPARE(store.stringListValue(u"notify.sources"_s),
                 std::optional<QStringList>({u"flow"_s, u"presence"_s, u"weather"_s}));
        QCOMPARE(store.stringListValue(u"notify.p2000.regions"_s),
                 std::optional<QStringList>({u"Amsterdam-Amstelland"_s, u"Twente"_s, u"Zeeland"_s}));
        QCOMPARE(store.stringListValue(u"notify.p2000.cities"_s),
                 std::optional<QStringList>({u"B"_s, u"a"_s, u"b"_s}));
        QCOMPARE(store.boolValue(u"notify.push"_s), std::optional<bool>(false));
        QCOMPARE(store.boolValue(u"notify.timeSensitive"_s), std::optional<bool>(false));

        // Read back, only the priority is brought into range.
        settings.p2000MaxPriority = 5;
        QCOMPARE(NotificationSettings::load(store), settings);
    }

    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSet<QString>>("expected");
        QTest::newRow("names") << u" Twente ,, Den Haag ,"_s << QSet<QString>{u"Twente"_s, u"Den Haag"_s};
        QTest::newRow("case kept") << u"twente,Twente"_s << QSet<QString>{u"twente"_s, u"Twente"_s};
        QTest::newRow("only commas and spaces") << u" , ,, "_s << QSet<QString>();
        QTest::newRow("empty") << QString() << QSet<QString>();
    }
    void split()
    {
        QFETCH(QString, text);
        QTEST(NotificationSettings::split(text), "expected");
    }

    void feedKeys()
    {
        QVERIFY(!NotificationSettings::regionsInitialised(store));
        store.setValue(u"notify.shownIDs"_s, u"a"_s);
        QCOMPARE(NotificationSettings::shownIDs(store), QStringList());

        NotificationSettings::markRegionsInitialised(store);
        NotificationSettings::saveShownIDs({u"b"_s, u"a"_s}, store);
        const SettingsStore later(store.suite());
        QVERIFY(NotificationSettings::regionsInitialised(later));
        QCOMPARE(NotificationSettings::shownIDs(later), QStringList({u"b"_s, u"a"_s}));
    }

private:
    struct Pushed {
        HomeyNotification notification;
        bool timeSensitive;
    };
    std::unique_ptr<NotificationFeed> makeFeed(const QSet<QString> &regions = {})
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

    SettingsStore store{u"feed"_s};
    QDateTime now = start;
    QList<Pushed> pushed;
};

QTEST_GUILESS_MAIN(TestNotificationFeed)
#include "tst_notificationfeed.moc"
