#include "homefixture.h"
#include "homestoreprobe.h"
#include "logcapture.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Counts = Announcements::Counts;

namespace {

// The Dutch home with count dimmable spots in the hall.
DutchHome::Home withSpots(int count)
{
    DutchHome::Home home = DutchHome::home();
    for (int i = 1; i <= count; ++i)
        DutchHome::put(home.devices,
                       DutchHome::dimLight(u"spot%1"_s.arg(i), u"Spot %1"_s.arg(i), u"hal"_s, false, 0.5));
    return home;
}

const auto titles = [](const QList<Hit> &hits) { return DutchHome::fields(hits, &Hit::title); };

HomeyNotification notification(const QString &id, HomeyNotification::Source source, const QString &title,
                               const QString &body, std::optional<int> priority = std::nullopt)
{
    return {.id = id, .source = source, .title = title, .body = body, .priority = priority};
}

const QList<HomeyNotification> notifications{
    notification(u"a"_s, HomeyNotification::Source::p2000, u"Ambulance"_s, u"Brand Leiden"_s, 1),
    notification(u"b"_s, HomeyNotification::Source::flow, u"Wasmachine"_s, u"Klaar"_s),
    notification(u"c"_s, HomeyNotification::Source::p2000, u"Politie"_s, u"Leiden"_s, 2)};

} // namespace

// What the panel shows (the hits of a query, the open room, the notification list, and the one selection
// that moves over them), what the store announces and when, the rebuilds that wait for the panel, and the
// recently used rows.
class TestHomeStorePanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void queryFindsAtMostThirtyAndKeepsItsVerb()
    {
        HomeFixture f(true, withSpots(40));
        f.start();
        f.store->setQuery(u"spot"_s);
        QCOMPARE(f.store->mode(), HomeStore::Mode::Results);
        QCOMPARE(f.store->hits().size(), 30);
        // All that was found counts, not only what is kept.
        QCOMPARE(f.store->matchCount(), 40);

        f.store->setQuery(u"plafondlamp 40"_s);
        QCOMPARE(f.store->hits().value(0).title, u"Plafondlamp"_s);
        QCOMPARE(HomeStoreProbe::verb(*f.store), SearchVerb::setDim(0.4));
        QCOMPARE(f.store->matchCount(), f.store->hits().size());

        // Blanks are no search; back at rest the verb is gone too.
        f.store->setQuery(u" \t "_s);
        QCOMPARE(f.store->mode(), HomeStore::Mode::Rest);
        QVERIFY(f.store->hits().isEmpty());
        QCOMPARE(f.store->matchCount(), 0);
        QVERIFY(!HomeStoreProbe::verb(*f.store));

        // In a room the typed text filters the room's rows and keeps no verb.
        f.store->setQuery(u"plafondlamp aan"_s);
        QCOMPARE(HomeStoreProbe::verb(*f.store), SearchVerb::on());
        f.store->enterScope(u"woonkamer"_s);
        f.store->setQuery(u"plafondlamp 40"_s);
        QVERIFY(f.store->hits().isEmpty());
        QVERIFY(!HomeStoreProbe::verb(*f.store));
        QCOMPARE(titles(f.store->roomHits()), QStringList(u"Plafondlamp"_s));
    }

    void roomRowsBySection()
    {
        HomeFixture f;
        f.start();
        f.store->panelDidAppear();
        LogCapture log;
        f.store->enterScope(u"woonkamer"_s);
        QCOMPARE(log.matching(u"scope: "_s),
                 QStringList(u"scope: ingezoomd op Woonkamer (room=gebouwd, 5 rijen)"_s));
        const RoomScope room = *f.store->room();
        QStringList sections;
        for (const RoomSection &section : room.sections)
            sections.append(section.title() + u": "_s + titles(section.hits).join(u", "_s));
        // The switch named like a mood is no light of the room; the thermometer shows its reading's name.
        QCOMPARE(sections,
                 (QStringList{u"Licht: Leeslamp, Plafondlamp, Staande lamp"_s, u"Media: Televisie"_s,
                              u"Overig: Film avond"_s, u"Sensoren: Thermometer"_s}));
        QCOMPARE(room.sections.last().hits.value(0).subtitle, u"measure_temperature"_s);
        QCOMPARE(titles(f.store->roomHits()), (QStringList{u"Leeslamp"_s, u"Plafondlamp"_s, u"Staande lamp"_s,
                                                           u"Televisie"_s, u"Film avond"_s}));
        QCOMPARE(room.dimmableCount, 2);
        QCOMPARE(f.store->roomDimLevel(), 0.4);

        // The dimmer level is the mean of the dimmable lights that are on.
        f.change(u"plafond"_s, u"dim"_s, CapabilityValue::fromNumber(0.2));
        f.change(u"lees"_s, u"dim"_s, CapabilityValue::fromNumber(0.6));
        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(true));
        QCOMPARE(f.store->roomDimLevel(), 0.4);

        // Typing keeps the room's own matches; the header still counts the whole room.
        f.store->setQuery(u"lamp"_s);
        QCOMPARE(titles(f.store->roomHits()),
                 (QStringList{u"Leeslamp"_s, u"Plafondlamp"_s, u"Staande lamp"_s}));
        QCOMPARE(f.store->room()->sections.size(), 1);
        QCOMPARE(f.store->room()->deviceCount, room.deviceCount);

        f.store->exitScope();
        f.store->exitScope();
        QCOMPARE(log.matching(u"scope: "_s).mid(1), QStringList(u"scope: verlaten (Woonkamer)"_s));
        QVERIFY(!f.store->room());
        QVERIFY(f.store->query().isEmpty());
    }

    void roomEdges()
    {
        HomeFixture f(true, withSpots(260));
        f.start();
        LogCapture log;
        f.store->enterScope(u"zolder"_s);
        QVERIFY(f.store->room()->sections.isEmpty());
        f.store->enterScope(u"badkamer"_s);
        QCOMPARE(f.store->roomHits().value(0).subtitle, u"Niet bereikbaar"_s);

        // The room filter takes the room's devices from one search of 250.
        f.store->enterScope(u"hal"_s);
        f.store->setQuery(u"spot"_s);
        QCOMPARE(f.store->roomHits().size(), 250);

        // A room gone from the hub closes at the next rebuild, named by its id.
        f.rest->home.zones.removeIf([](const Zone &zone) { return zone.id == u"hal"; });
        f.store->resync();
        f.clock->advance(0ms);
        QVERIFY(!f.store->scopeZoneID());
        QCOMPARE(log.matching(u"scope: "_s),
                 (QStringList{u"scope: ingezoomd op Zolder (room=gebouwd, 0 rijen)"_s,
                              u"scope: ingezoomd op Badkamer (room=gebouwd, 1 rijen)"_s,
                              u"scope: ingezoomd op Hal (room=gebouwd, 262 rijen)"_s,
                              u"scope: verlaten (hal)"_s}));
    }

    void zoneByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("zoneID");
        QTest::newRow("containment in name order") << u"kamer"_s << u"s2"_s;
        QTest::newRow("exact before contained") << u"WOONKAMER"_s << u"wk"_s;
        QTest::newRow("containment ignores case") << u"KAMER 1"_s << u"s10"_s;
        QTest::newRow("not trimmed") << u"zolder "_s << QString();
        QTest::newRow("none") << u"garage"_s << QString();
    }
    void zoneByName()
    {
        QFETCH(QString, name);
        QFETCH(QString, zoneID);
        DutchHome::Home home;
        DutchHome::put(home.zones, DutchHome::zone(u"s10"_s, u"Slaapkamer 10"_s, std::nullopt));
        DutchHome::put(home.zones, DutchHome::zone(u"s2"_s, u"Slaapkamer 2"_s, std::nullopt));
        DutchHome::put(home.zones, DutchHome::zone(u"wk2"_s, u"Woonkamer 2"_s, std::nullopt));
        DutchHome::put(home.zones, DutchHome::zone(u"wk"_s, u"Woonkamer"_s, std::nullopt));
        DutchHome::put(home.zones, DutchHome::zone(u"z"_s, u"Zolder"_s, std::nullopt));
        HomeFixture f(false, home);
        f.start();
        QCOMPARE(f.store->zoneID(name).value_or(QString()), zoneID);
    }

    void restRowsAndFocus()
    {
        HomeFixture f;
        f.start();
        const RestState &rest = f.store->rest();
        const int scenes = int(rest.scenes.size());
        const int rooms = int(rest.rooms.size());
        QCOMPARE(f.store->restRowCount(), scenes + rooms + int(rest.modes.size()));
        f.store->setSelection(scenes);
        QCOMPARE(f.store->restFocus(), (HomeStore::RestFocus{HomeStore::RestFocus::Kind::Room, 0}));
        QCOMPARE(f.store->selectedHit(), f.store->roomHit(rest.rooms.first()));
        QCOMPARE(f.store->selectedHit()->id, u"room:"_s + rest.rooms.first().id);
        f.store->moveSelection(1000);
        QCOMPARE(f.store->restFocus(), (HomeStore::RestFocus{HomeStore::RestFocus::Kind::Mode, 0}));
        QCOMPARE(f.store->selectedHit(), rest.modes.last());

        // In a room with lights the room itself comes first, as its dimmer.
        f.store->enterScope(u"woonkamer"_s);
        QCOMPARE(f.store->selectedHit(), f.store->scopeHit());
        QCOMPARE(f.store->scopeHit()->subtitle, u"2 van 3 aan"_s);
        f.store->moveSelection(1);
        QCOMPARE(f.store->selectedHit()->title, u"Leeslamp"_s);
        f.store->toggleDetail();
        QCOMPARE(f.store->detailDeviceID(), u"lees"_s);
        f.store->toggleDetail();
        QVERIFY(!f.store->detailDeviceID());
    }

    void selectionStaysOnARow_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("narrowing");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("results") << u"results"_s << 9 << u"leeslamp"_s << 1;
        QTest::newRow("room") << u"room"_s << 6 << u"lamp"_s << 4;
        QTest::newRow("notifications") << u"notifications"_s << 3 << u"brand"_s << 1;
        QTest::newRow("nothing found") << u"results"_s << 9 << u"onvindbaar"_s << 0;
        QTest::newRow("rest") << u"rest"_s << 13 << QString() << 13;
    }
    void selectionStaysOnARow()
    {
        QFETCH(QString, mode);
        QFETCH(int, rows);
        QFETCH(QString, narrowing);
        QFETCH(int, rowsAfter);
        HomeFixture f;
        f.start();
        f.store->notifications()->setItems(notifications);
        if (mode == u"results")
            f.store->setQuery(u"lamp"_s);
        else if (mode == u"room")
            f.store->enterScope(u"woonkamer"_s);
        else if (mode == u"notifications")
            f.store->enterNotifications();

        f.store->moveSelection(-1);
        QCOMPARE(f.store->selection(), 0);
        f.store->moveSelection(100);
        QCOMPARE(f.store->selection(), rows - 1);
        f.store->moveSelection(1);
        QCOMPARE(f.store->selection(), rows - 1);
        if (!narrowing.isEmpty())
            f.store->setQuery(narrowing);
        QCOMPARE(f.store->selection(), std::max(rowsAfter - 1, 0));
        f.store->moveSelection(1);
        QCOMPARE(f.store->selection(), std::max(rowsAfter - 1, 0));

        // A selection set out of range comes back at the next rebuild.
        f.store->setSelection(-3);
        f.store->setQuery(narrowing + u' ');
        QCOMPARE(f.store->selection(), 0);
    }

    // The rows ranked or refreshed again, or a room's filter cleared, move the selection along with its
    // row; where that row is gone, or a search narrows or widens, it keeps its place. Whoever hears of
    // the new rows finds the selection on them already.
    void selectionFollowsItsRow_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>(
            "expected");                // the row selected after the change; none: the one in its place
        QTest::addColumn<int>("index"); // where the selection then is, where the test knows it
        // "lamp": the lamps that are on first; the one used last climbs above the other dark ones.
        QTest::newRow("results, a use ranks the row higher")
            << u"results"_s << u"device:lamp10"_s << u"use"_s << u"device:lamp10"_s << -1;
        QTest::newRow("results, the row is gone")
            << u"results"_s << u"device:lamp10"_s << u"delete lamp10"_s << QString() << -1;
        QTest::newRow("room, lamps come above")
            << u"room woonkamer"_s << u"device:tv"_s << u"add lamps"_s << u"device:tv"_s << 7;
        QTest::newRow("room, its first lamps bring the dimmer row")
            << u"room hal"_s << u"device:voordeur"_s << u"add lamps"_s << u"device:voordeur"_s << 5;
        QTest::newRow("room, the dimmer row stays the dimmer row")
            << u"room woonkamer"_s << u"room:woonkamer"_s << u"add lamps"_s << u"room:woonkamer"_s << 0;
        QTest::newRow("overview, a room climbs above")
            << u"rest keuken"_s << u"room:kantoor"_s << u"add lamps"_s << u"room:kantoor"_s << -1;
        // "room <zone> <filter>": the row chosen among the filtered ones; "type <text>": the field then.
        QTest::newRow("room, the filter cleared at once")
            << u"room woonkamer tele"_s << u"device:tv"_s << u"type"_s << u"device:tv"_s << 4;
        QTest::newRow("room, the filter left blank")
            << u"room woonkamer tele"_s << u"device:tv"_s << u"type \t "_s << u"device:tv"_s << 4;
        QTest::newRow("room, the first row of a filter cleared")
            << u"room woonkamer staande"_s << u"device:staande"_s << u"type"_s << u"device:staande"_s << 3;
        // Still a search: the palette starts it from the top, so the store follows no row.
        QTest::newRow("room, the filter widened")
            << u"room woonkamer plafond"_s << u"device:plafond"_s << u"type lamp"_s << QString() << -1;
    }
    void selectionFollowsItsRow()
    {
        QFETCH(QString, mode);
        QFETCH(QString, selected);
        QFETCH(QString, change);
        QFETCH(QString, expected);
        QFETCH(int, index);
        HomeFixture f;
        f.start();
        f.store->panelDidAppear();
        if (mode == u"results")
            f.store->setQuery(u"lamp"_s);
        else if (mode.startsWith(u"room "_s))
            f.store->enterScope(mode.section(u' ', 1, 1));
        if (mode.startsWith(u"room "_s) && !mode.section(u' ', 2).isEmpty())
            f.store->setQuery(mode.section(u' ', 2));
        const auto selectedID = [&] {
            const std::optional<Hit> hit = f.store->selectedHit();
            return hit ? hit->id : QString();
        };
        for (int row = 0; selectedID() != selected; ++row) {
            QVERIFY2(row < 20, qPrintable(selected));
            f.store->setSelection(row);
        }
        const int before = f.store->selection();
        QStringList heard;
        for (const auto signal : {&HomeStore::hitsChanged, &HomeStore::roomHitsChanged,
                                  &HomeStore::roomChanged, &HomeStore::restChanged})
            connect(f.store.get(), signal, this, [&] { heard << selectedID(); });

        if (change == u"use") {
            awaitTask(f.store->run(*f.store->selectedHit()));
        } else if (change.startsWith(u"type"_s)) {
            f.store->setQuery(change.mid(5));
        } else if (change.startsWith(u"delete "_s)) {
            f.push(HomeyEvent::DeviceDeleted{change.section(u' ', 1)});
        } else {
            // Three dark lamps that sort first in the room; in the overview the kitchen then counts the
            // most devices.
            const QString zoneID = mode.section(u' ', 1, 1);
            for (const QString &id : {u"a1"_s, u"a2"_s, u"a3"_s})
                f.push(HomeyEvent::DeviceUpdated{DutchHome::onoffLight(id, u"Aa "_s + id, zoneID, false)});
        }
        if (expected.isEmpty()) {
            QCOMPARE(f.store->selection(), before);
            QVERIFY(selectedID() != selected);
            return;
        }
        QCOMPARE(selectedID(), expected);
        if (index >= 0)
            QCOMPARE(f.store->selection(), index);
        else
            QVERIFY2(f.store->selection() != before, "the row stayed in its place: nothing to follow");
        heard.removeDuplicates();
        QCOMPARE(heard, QStringList(expected));
    }

    void notificationList()
    {
        HomeFixture f;
        f.start();
        NotificationFeed &feed = *f.store->notifications();
        feed.setItems(notifications);
        feed.setUnread(2);
        f.store->enterScope(u"keuken"_s);
        f.store->setDetailDeviceID(u"keukenlamp"_s);
        LogCapture log;

        f.store->enterNotifications();
        f.store->enterNotifications();
        QCOMPARE(log.lines(), QStringList(u"meldingen: geopend (3 in de lijst, 2 ongelezen)"_s));
        QCOMPARE(feed.unread(), 0);
        QCOMPARE(f.store->mode(), HomeStore::Mode::Notifications);
        QVERIFY(!f.store->room());
        QVERIFY(!f.store->detailDeviceID());
        QVERIFY(!f.store->selectedHit());

        const auto ids = [&] {
            return DutchHome::fields(f.store->notificationRows(), &HomeyNotification::id);
        };
        f.store->setQuery(u"  "_s);
        QCOMPARE(ids(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
        f.store->setQuery(u"P2000"_s);
        QCOMPARE(ids(), (QStringList{u"a"_s, u"c"_s}));
        f.store->setQuery(u"leiden  prio 1"_s);
        QCOMPARE(ids(), QStringList(u"a"_s));
        f.store->setQuery(u"wasmachine brand"_s);
        QVERIFY(ids().isEmpty());

        f.store->exitNotifications();
        QCOMPARE(f.store->mode(), HomeStore::Mode::Rest);
        QVERIFY(f.store->query().isEmpty());
        QCOMPARE(log.lines().size(), 1);
    }

    void newStoreIsIdleAndAsksNothing()
    {
        HomeFixture f;
        QCOMPARE(f.store->connection(), ConnectionState::idle());
        QVERIFY(f.rest->calls.isEmpty());
        QVERIFY(f.store->notifications());

        NotificationFeed shared(f.defaults);
        HomeStore second(f.rest, nullptr, &shared, f.defaults, {f.clock});
        QCOMPARE(second.notifications(), &shared);
    }

    void announcesOnlyRealChanges()
    {
        HomeFixture f;
        f.start();
        Announcements announced(f.store.get());

        f.store->setQuery(u"lamp"_s);
        QCOMPARE(announced.take(),
                 (Counts{{u"query"_s, 1}, {u"hits"_s, 1}, {u"matchCount"_s, 1}, {u"mode"_s, 1}}));
        f.store->setQuery(u"lamp"_s);
        f.store->setSelection(0);
        f.store->moveSelection(-1);
        QCOMPARE(announced.take(), Counts{});
        f.store->moveSelection(2);
        QCOMPARE(announced.take(), (Counts{{u"selection"_s, 1}}));

        f.store->enterScope(u"woonkamer"_s);
        QCOMPARE(announced.take(), (Counts{{u"scopeZoneID"_s, 1},
                                           {u"room"_s, 1},
                                           {u"roomHits"_s, 1},
                                           {u"query"_s, 1},
                                           {u"hits"_s, 1},
                                           {u"matchCount"_s, 1},
                                           {u"selection"_s, 1},
                                           {u"mode"_s, 1},
                                           {u"recent"_s, 1}}));
        f.store->enterScope(u"nergens"_s);
        QCOMPARE(announced.take(), Counts{});
        f.store->exitScope();
        QCOMPARE(announced.take(),
                 (Counts{{u"scopeZoneID"_s, 1}, {u"room"_s, 1}, {u"roomHits"_s, 1}, {u"mode"_s, 1}}));

        f.store->enterNotifications();
        f.store->enterNotifications();
        QCOMPARE(announced.take(), (Counts{{u"showsNotifications"_s, 1}, {u"mode"_s, 1}}));
        f.store->exitNotifications();
        QCOMPARE(announced.take(), (Counts{{u"showsNotifications"_s, 1}, {u"mode"_s, 1}}));

        // A reload of an unchanged home: the state goes through loading and back, and lastError,
        // which has no equality, is announced although it stays empty.
        f.store->resync();
        QCOMPARE(announced.take(), (Counts{{u"connection"_s, 2}, {u"lastError"_s, 1}}));
        f.push(HomeyEvent::Connected{}); // live already; its reload as above
        QCOMPARE(announced.take(), (Counts{{u"connection"_s, 2}, {u"lastError"_s, 2}}));
    }

    // A reload announces each list the hub changed, once; a write of the value a capability already has
    // is still a change of the device.
    void reloadAnnouncesWhatChanged()
    {
        HomeFixture f;
        f.start();
        f.rest->home.zones.first().name += u" oud"_s;
        f.rest->home.devices.first().name += u" oud"_s;
        f.rest->home.flows.append(DutchHome::flow(u"nacht"_s, u"Nachtstand"_s));
        f.rest->home.moods.append(DutchHome::mood(u"rust"_s, u"Rust"_s));
        f.rest->home.system.firmware = u"12.1.0"_s;
        f.rest->home.energy = {300, 0, 300};
        Announcements announced(f.store.get());
        f.store->resync();
        const Counts counts = announced.take();
        for (const QString &name :
             {u"devices"_s, u"zones"_s, u"flows"_s, u"moods"_s, u"system"_s, u"energy"_s})
            QVERIFY2(counts.value(name) == 1, qPrintable(name));

        f.store->setDetailDeviceID(u"tv"_s);
        f.store->setDetailDeviceID(u"tv"_s);
        awaitTask(f.store->setCapability(u"lees"_s, u"onoff"_s, *f.value(u"lees"_s, u"onoff"_s)));
        QCOMPARE(announced.take(),
                 (Counts{{u"detailDeviceID"_s, 1}, {u"devices"_s, 1}, {u"lastError"_s, 1}}));
    }

    void hiddenChangesWaitForThePanel()
    {
        HomeFixture f;
        f.start();
        f.store->setQuery(u"leeslamp"_s);
        const RestState rest = f.store->rest();
        const QList<Hit> hits = f.store->hits();
        Announcements announced(f.store.get());

        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(true));
        f.change(u"lees"_s, u"dim"_s, CapabilityValue::fromNumber(0.3));
        QCOMPARE(f.store->rest(), rest);
        QCOMPARE(f.store->hits(), hits);
        QCOMPARE(announced.take(), (Counts{{u"devices"_s, 2}, {u"eventCount"_s, 2}}));

        f.store->panelDidAppear();
        QCOMPARE(announced.take(), (Counts{{u"rest"_s, 1}, {u"hits"_s, 1}}));
        QCOMPARE(f.store->rest().lightsOnTotal, rest.lightsOnTotal + 1);
        f.store->panelDidDisappear();
        f.store->panelDidAppear();
        QCOMPARE(announced.take(), Counts{});

        // Shown, a change is drawn at once.
        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(false));
        QCOMPARE(announced.take(),
                 (Counts{{u"devices"_s, 1}, {u"eventCount"_s, 1}, {u"rest"_s, 1}, {u"hits"_s, 1}}));
    }

    // Drawn ahead of a show, the hidden panel sees what a show would bring; after it the store is hidden
    // again, and a change waits for the panel as before.
    void drawingAheadCatchesUpAndStaysHidden()
    {
        HomeFixture f;
        f.start();
        const RestState rest = f.store->rest();
        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(true));
        QCOMPARE(f.store->rest(), rest);
        QSignalSpy visibility(f.store.get(), &HomeStore::panelVisibleChanged);

        std::optional<int> drawnLightsOn;
        f.store->drawAhead([&] {
            QVERIFY(f.store->isPanelVisible());
            drawnLightsOn = f.store->rest().lightsOnTotal;
        });
        QCOMPARE(drawnLightsOn, rest.lightsOnTotal + 1);
        QVERIFY(!f.store->isPanelVisible());
        QCOMPARE(visibility.size(), 2);

        const RestState drawn = f.store->rest();
        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(false));
        QCOMPARE(f.store->rest(), drawn);
        f.store->panelDidAppear();
        QCOMPARE(f.store->rest().lightsOnTotal, rest.lightsOnTotal);

        // Shown, drawing ahead draws what is there and leaves the panel shown.
        visibility.clear();
        bool drawnShown = false;
        f.store->drawAhead([&] { drawnShown = f.store->isPanelVisible(); });
        QVERIFY(drawnShown);
        QVERIFY(f.store->isPanelVisible());
        QCOMPARE(visibility.size(), 0);
    }

    // Each hold ends with a rebuild, hidden or not, whoever else still holds.
    void heldBatchesRebuildAsTheyEnd()
    {
        HomeFixture f;
        f.start();
        const int lightsOn = f.store->rest().lightsOnTotal;
        f.store->holdBatch(100);
        f.store->holdBatch(200);
        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(true));
        f.clock->advance(100ms);
        QCOMPARE(f.store->rest().lightsOnTotal, lightsOn + 1);
        f.change(u"tuinlamp"_s, u"onoff"_s, CapabilityValue::fromBool(true));
        f.clock->advance(100ms);
        QCOMPARE(f.store->rest().lightsOnTotal, lightsOn + 2);

        f.change(u"tuinlamp"_s, u"onoff"_s, CapabilityValue::fromBool(false));
        f.store->holdBatch(0);
        f.clock->advance(0ms);
        QCOMPARE(f.store->rest().lightsOnTotal, lightsOn + 1);
    }

    void recentUsesReadBack_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("entries");
        QTest::newRow("numbers") << u"m:{\"room:keuken\":\"1767603600\",\"device:lees\":\"1767603660.5\"}"_s
                                 << 2;
        QTest::newRow("one text") << u"m:{\"room:keuken\":\"1767603600\",\"device:lees\":\"gisteren\"}"_s
                                  << 0;
        QTest::newRow("broken") << u"m:{\"room:keuken\":"_s << 0;
        QTest::newRow("not a map") << u"s:room:keuken"_s << 0;
        QTest::newRow("beyond any date") << u"m:{\"room:keuken\":\"1e300\"}"_s << 0;
    }
    void recentUsesReadBack()
    {
        QFETCH(QString, stored);
        QFETCH(int, entries);
        HomeFixture f;
        QSettings(f.defaults.filePath(), QSettings::IniFormat).setValue(HomeStore::recentKey, stored);
        HomeStore store(f.rest, nullptr, nullptr, f.defaults, {f.clock});
        QCOMPARE(store.recent().size(), entries);
        if (entries > 0)
            QCOMPARE(store.recent().value(u"device:lees"_s),
                     QDateTime(QDate(2026, 1, 5), QTime(9, 1, 0, 500), Qt::UTC));
    }

    // The map is cut only once it holds more than two hundred uses; the user defaults hold what it holds.
    void recentIsCutOnlyAboveTwoHundred_data()
    {
        QTest::addColumn<int>("others");
        QTest::addColumn<bool>("usedBefore");
        QTest::addColumn<int>("kept");
        QTest::newRow("the 200th") << 199 << false << 200;
        QTest::newRow("a known one among 200") << 199 << true << 200;
        QTest::newRow("the 201st") << 200 << false << 100;
    }
    void recentIsCutOnlyAboveTwoHundred()
    {
        QFETCH(int, others);
        QFETCH(bool, usedBefore);
        QFETCH(int, kept);
        HomeFixture f;
        QMap<QString, double> stored;
        const double start = double(f.clock->wallNow().toSecsSinceEpoch()) - 1000.0;
        for (int i = 0; i < others; ++i)
            stored.insert(u"device:d%1"_s.arg(i), start + i);
        if (usedBefore)
            stored.insert(u"room:keuken"_s, start - 1);
        f.defaults.setValue(HomeStore::recentKey, stored);
        f.reopen();
        f.start();
        f.store->enterScope(u"keuken"_s);
        QCOMPARE(f.store->recent().size(), kept);
        QVERIFY(f.store->recent().contains(u"room:keuken"_s));
        QCOMPARE(f.defaults.doubleMapValue(HomeStore::recentKey).value_or(QMap<QString, double>()).size(),
                 kept);
    }

    void recentUsesKeepTheNewestHundred()
    {
        HomeFixture f;
        QMap<QString, double> stored;
        const double start = double(f.clock->wallNow().toSecsSinceEpoch()) - 1000.0;
        for (int i = 0; i < 200; ++i)
            stored.insert(u"device:d%1"_s.arg(i), start + i);
        f.defaults.setValue(HomeStore::recentKey, stored);
        f.reopen();
        f.start();
        QCOMPARE(f.store->recent().size(), 200);

        // One more cuts to the hundred newest, the new one among them; using it again adds nothing.
        f.store->enterScope(u"keuken"_s);
        QCOMPARE(f.store->recent().size(), 100);
        QVERIFY(f.store->recent().contains(u"room:keuken"_s));
        QVERIFY(f.store->recent().contains(u"device:d199"_s));
        QVERIFY(!f.store->recent().contains(u"device:d100"_s));
        f.clock->advance(5s);
        f.store->enterScope(u"keuken"_s);
        QCOMPARE(f.store->recent().size(), 100);
        QCOMPARE(f.store->recent().value(u"room:keuken"_s), f.clock->wallNow());

        const RecentUses remembered = f.store->recent();
        f.reopen();
        QCOMPARE(f.store->recent(), remembered);
    }
};

QTEST_GUILESS_MAIN(TestHomeStorePanel)
#include "tst_homestorepanel.moc"
