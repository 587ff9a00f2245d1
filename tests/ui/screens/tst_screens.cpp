#include "store/home/homefixture.h"
#include "ui/controls/capabilitywriter.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/hovergate.h"
#include "ui/screens/restscreen.h"
#include "ui/screens/resultsscreen.h"
#include "ui/screens/roomscreen.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

Hit hit(const QString &id, Hit::Target target = Hit::Target::device(u"x"_s))
{
    return Hit{.id = id, .target = std::move(target), .title = id};
}

QStringList texts(const QList<ListRow> &rows)
{
    QStringList lines;
    for (const ListRow &row : rows) {
        switch (row.kind) {
        case ListRow::Kind::Header:
            lines << row.header.title +
                         (row.header.trailing.isEmpty() ? QString() : u" | "_s + row.header.trailing);
            break;
        case ListRow::Kind::Row:
            lines << u"%1 %2%3"_s.arg(row.row.index).arg(row.key, row.row.selected ? u" *"_s : QString());
            break;
        case ListRow::Kind::Sensor:
            lines << u"- "_s + row.key;
            break;
        }
    }
    return lines;
}

QStringList texts(const RowsModel &model)
{
    return texts(model.rows());
}

RoomScope scope(bool withLights, QList<RoomSection> sections)
{
    return RoomScope{.zoneID = u"z"_s,
                     .name = u"Woonkamer"_s,
                     .lightsTotal = withLights ? 2 : 0,
                     .sections = std::move(sections)};
}

// A store over a home of twelve rooms with one lamp each (nine tiles and three extra rooms), two
// favourite sockets as modes and three moods as scenes.
struct RestFixture {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeRestClient> rest = std::make_shared<FakeRestClient>(clock);
    std::unique_ptr<HomeStore> store;

    RestFixture()
    {
        using namespace DutchHome;
        rest->home.zones.append(zone(u"huis"_s, u"Huis"_s, std::nullopt, u"home"_s));
        for (int i = 0; i < 12; ++i) {
            const QString id = u"kamer%1"_s.arg(i, 2, 10, QChar(u'0'));
            rest->home.zones.append(zone(id, u"Kamer %1"_s.arg(i, 2, 10, QChar(u'0')), u"huis"_s));
            rest->home.devices.append(onoffLight(u"lamp"_s + id, u"Lamp "_s + id, id, i % 2 == 0));
        }
        rest->home.devices.append(device(u"a"_s, u"Afwezig"_s, u"huis"_s, u"socket"_s, {onoff(false)}));
        rest->home.devices.append(device(u"n"_s, u"Nacht"_s, u"huis"_s, u"socket"_s, {onoff(true)}));
        rest->home.favorites.deviceIDs = {u"a"_s, u"n"_s};
        rest->home.moods = {mood(u"m1"_s, u"Avond"_s), mood(u"m2"_s, u"Diner"_s), mood(u"m3"_s, u"Film"_s)};
        SettingsStore defaults(u"screens"_s);
        defaults.remove(HomeStore::recentKey);
        store = std::make_unique<HomeStore>(rest, nullptr, nullptr, defaults, HomeStore::Options{clock});
        awaitTask(store->start());
        store->panelDidAppear();
    }
};

} // namespace

// The screens' decisions over a loaded store: which lines they show, what a click, a hover and a
// keyboard move do, and how the overview's focus becomes the store's selection.
class ScreensTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resultHeadings_data();
    void resultHeadings();
    void linesOverEarlierLinesEqualFreshOnes();
    void resultsFollowTheStore();
    void resultsCountWhatWasFound();
    void hoverSelectsOnlyAfterThePointerMoved();
    void clickDismissesOnlyForFlowsAndMoods();
    void roomIndicesSkipSensors();
    void roomLooks();
    void roomViewOverTheStore();
    void aDraggedRowShowsWhereTheDragIs();
    void restLook_data();
    void restLook();
    void restFocusIsTheSelection();
    void restFocusStaysOnItsTile_data();
    void restFocusStaysOnItsTile();
    void aRowTheSelectionFollowsComesIntoView();
    void hubChangesReachTheOverviewPaced();
};

void ScreensTest::resultHeadings_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("found");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("footer");
    QTest::newRow("one") << 1 << 1 << QStringList{u"BESTE MATCH | 1 resultaat"_s, u"0 h0 *"_s} << 1
                         << QString();
    QTest::newRow("two") << 2 << 2
                         << QStringList{u"BESTE MATCH | 2 resultaten"_s, u"0 h0 *"_s, u"RESULTATEN"_s,
                                        u"1 h1"_s}
                         << 2 << QString();
    QTest::newRow("thirty") << 30 << 30 << QStringList{u"BESTE MATCH | 30 resultaten"_s} << 30 << QString();
    QTest::newRow("thirty-one") << 31 << 31 << QStringList{u"BESTE MATCH | 31 resultaten"_s} << 30
                                << u"nog 1 resultaat, typ iets specifieker"_s;
    QTest::newRow("thirty-two") << 32 << 32 << QStringList{u"BESTE MATCH | 32 resultaten"_s} << 30
                                << u"nog 2 resultaten, typ iets specifieker"_s;
    // The store keeps thirty of what it found: the heading counts what was found, the footer the rest.
    QTest::newRow("thirty of forty") << 30 << 40 << QStringList{u"BESTE MATCH | 40 resultaten"_s} << 30
                                     << u"nog 10 resultaten, typ iets specifieker"_s;
    QTest::newRow("one of two") << 1 << 2 << QStringList{u"BESTE MATCH | 2 resultaten"_s, u"0 h0 *"_s} << 1
                                << u"nog 1 resultaat, typ iets specifieker"_s;
}

void ScreensTest::resultHeadings()
{
    QFETCH(int, count);
    QFETCH(int, found);
    QFETCH(QStringList, first);
    QFETCH(int, rows);
    QFETCH(QString, footer);
    QList<Hit> hits;
    for (int i = 0; i < count; ++i)
        hits << hit(u"h%1"_s.arg(i));
    const QStringList lines = texts(ResultsScreen::lines(hits, found, 0, std::nullopt));
    QCOMPARE(lines.mid(0, first.size()), first);
    QCOMPARE(lines.size() - (count > 1 ? 2 : 1), rows);
    QCOMPARE(ResultsScreen::footerText(found, count), footer);
}

// Rows kept from earlier lines are the rows made afresh, whatever changed in between.
void ScreensTest::linesOverEarlierLinesEqualFreshOnes()
{
    QList<Hit> hits;
    for (int i = 0; i < 5; ++i)
        hits << hit(u"h%1"_s.arg(i), Hit::Target::device(u"d%1"_s.arg(i)));
    QList<Hit> toggled = hits;
    toggled[2].accessory = Hit::Accessory::toggle(true);
    QList<Hit> swapped = hits;
    swapped.swapItemsAt(1, 3);
    const QList<Hit> fewer = hits.first(1);
    const QList<ListRow> earlier = ResultsScreen::lines(hits, hits.size(), 1, u"d3"_s);
    const auto check = [&](const QList<Hit> &next, int selection, const std::optional<QString> &expanded) {
        QCOMPARE(ResultsScreen::lines(next, next.size(), selection, expanded, earlier),
                 ResultsScreen::lines(next, next.size(), selection, expanded));
    };
    check(hits, 1, u"d3"_s);
    check(hits, 2, u"d3"_s);
    check(hits, 1, std::nullopt);
    check(toggled, 1, u"d3"_s);
    check(swapped, 1, u"d3"_s);
    check(fewer, 0, u"d3"_s);
    check(hits + hits.first(2), 1, u"d3"_s);
}

// The store keeps thirty of the forty spots it found: the heading says forty, the footer the ten left
// out, and both follow a spot more that comes in below the rows shown.
void ScreensTest::resultsCountWhatWasFound()
{
    DutchHome::Home home = DutchHome::home();
    const auto spot = [](int i) {
        return DutchHome::dimLight(u"spot%1"_s.arg(i), u"Spot %1"_s.arg(i), u"hal"_s, false, 0.5);
    };
    for (int i = 1; i <= 40; ++i)
        DutchHome::put(home.devices, spot(i));
    HomeFixture f(true, home);
    f.start();
    f.store->panelDidAppear();
    HoverGate gate;
    ResultsScreen screen(f.store.get(), &gate);
    f.store->setQuery(u"spot"_s);
    QCOMPARE(f.store->hits().size(), 30);
    QCOMPARE(texts(*screen.rows()).first(), u"BESTE MATCH | 40 resultaten"_s);
    QCOMPARE(screen.footer(), u"nog 10 resultaten, typ iets specifieker"_s);

    const QList<Hit> shown = f.store->hits();
    f.push(HomeyEvent::DeviceUpdated{spot(41)});
    QCOMPARE(f.store->hits(), shown);
    QTRY_COMPARE(texts(*screen.rows()).first(), u"BESTE MATCH | 41 resultaten"_s);
    QCOMPARE(screen.footer(), u"nog 11 resultaten, typ iets specifieker"_s);
}

void ScreensTest::resultsFollowTheStore()
{
    WriteFixture f;
    f.store->panelDidAppear();
    HoverGate gate;
    ResultsScreen screen(f.store.get(), &gate);
    QAbstractItemModelTester tester(screen.rows(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(screen.rows(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(screen.rows(), &QAbstractItemModel::dataChanged);
    QSignalSpy inserts(screen.rows(), &QAbstractItemModel::rowsInserted);

    f.store->setQuery(u"zzqx"_s);
    QVERIFY(screen.isEmpty());
    QCOMPARE(screen.empty().title, u"Niets gevonden voor \u201czzqx\u201d"_s);

    f.store->setQuery(u"lamp"_s);
    QVERIFY(!screen.isEmpty());
    const QList<Hit> hits = f.store->hits();
    QVERIFY(hits.size() >= 3);
    QCOMPARE(texts(*screen.rows()).first(), u"BESTE MATCH | %1 resultaten"_s.arg(hits.size()));

    // A lamp that changes state elsewhere redraws its own row and nothing else.
    const auto lamp = std::find_if(hits.begin(), hits.end(), [](const Hit &h) {
        return h.deviceID() && h.accessory.kind() == Hit::Accessory::Kind::toggle;
    });
    QVERIFY(lamp != hits.end());
    const int row = screen.rows()->rowOf(lamp->id);
    const bool on = lamp->accessory.toggleState() == true;
    changes.clear();
    inserts.clear();
    awaitTask(f.store->setCapability(*lamp->deviceID(), u"onoff"_s, CapabilityValue::fromBool(!on)));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).value<QModelIndex>().row(), row);
    QVERIFY(inserts.isEmpty());
    QCOMPARE(screen.rows()->rows().at(row).row.hit.accessory.toggleState(), !on);

    // The open device's row runs on into its strip; an id that is no device opens nothing.
    f.store->setDetailDeviceID(*lamp->deviceID());
    QVERIFY(screen.rows()->rows().at(row).row.expanded);
    f.store->setDetailDeviceID(u"verdwenen"_s);
    QVERIFY(!screen.rows()->rows().at(row).row.expanded);
    QCOMPARE(resets.size(), 0);
}

void ScreensTest::hoverSelectsOnlyAfterThePointerMoved()
{
    WriteFixture f;
    f.store->panelDidAppear();
    HoverGate gate;
    ResultsScreen screen(f.store.get(), &gate);
    QSignalSpy scrolls(&screen, &ResultsScreen::scrollRequested);
    f.store->setQuery(u"lamp"_s);
    gate.reset();
    gate.notePointer(QPointF(100, 100), QPointF(40, 60));

    gate.notePointer(QPointF(102, 98), QPointF(42, 58)); // exactly 2 px: still resting
    screen.hover(2);
    QCOMPARE(f.store->selection(), 0);
    gate.notePointer(QPointF(103, 100), QPointF(43, 60));
    screen.hover(2);
    QCOMPARE(f.store->selection(), 2);
    QVERIFY(scrolls.isEmpty()); // a pointer selection never scrolls

    gate.noteKey();
    f.store->moveSelection(1);
    QCOMPARE(scrolls.size(), 1);
    QCOMPARE(scrolls.at(0).at(0).toInt(), screen.rows()->rowOf(f.store->hits().at(3).id));

    // The list shrank under the selection: nothing to scroll to, nothing breaks.
    f.store->setSelection(99);
    QCOMPARE(scrolls.size(), 1);
}

void ScreensTest::clickDismissesOnlyForFlowsAndMoods()
{
    WriteFixture f;
    f.store->panelDidAppear();
    ResultsScreen screen(f.store.get(), nullptr);
    QSignalSpy dismissed(&screen, &ResultsScreen::dismissRequested);

    f.store->setQuery(u"alles uit"_s);
    const QList<Hit> hits = f.store->hits();
    const auto flow = std::find_if(hits.begin(), hits.end(),
                                   [](const Hit &h) { return h.target.kind() == Hit::Target::Kind::flow; });
    QVERIFY(flow != hits.end());
    screen.activate(int(flow - hits.begin()));
    QTRY_COMPARE(f.rest->startedFlows, QStringList{flow->target.id()});
    QCOMPARE(dismissed.size(), 1);

    f.store->setQuery(u"bureaulamp"_s);
    QCOMPARE(f.store->hits().first().target, Hit::Target::device(u"bureau"_s));
    screen.activate(0);
    QTRY_VERIFY(!f.rest->writes.isEmpty());
    QCOMPARE(dismissed.size(), 1);
}

void ScreensTest::roomIndicesSkipSensors()
{
    using Kind = RoomSection::Kind;
    const QList<RoomSection> sections{{Kind::light, {hit(u"l1"_s), hit(u"l2"_s)}},
                                      {Kind::sensor, {hit(u"s1"_s), hit(u"s2"_s), hit(u"s3"_s)}},
                                      {Kind::climate, {hit(u"c1"_s)}}};
    const RoomScope lit = scope(true, sections);
    QCOMPARE(RoomScreen::selectionIndex(lit, u"c1"_s), 3);
    QCOMPARE(RoomScreen::selectionIndex(lit, u"s1"_s), std::nullopt);
    QCOMPARE(RoomScreen::scrollTarget(lit, 0), std::nullopt); // the "Alle lampen" row
    QCOMPARE(RoomScreen::scrollTarget(lit, 2), u"l2"_s);
    QCOMPARE(RoomScreen::scrollTarget(lit, 4), std::nullopt);
    QCOMPARE(texts(RoomScreen::lines(lit, 3, std::nullopt)),
             (QStringList{u"LICHT | 2"_s, u"1 l1"_s, u"2 l2"_s, u"SENSOREN | 3"_s, u"- s1"_s, u"- s2"_s,
                          u"- s3"_s, u"KLIMAAT"_s, u"3 c1 *"_s}));

    const RoomScope dark = scope(false, sections);
    QCOMPARE(RoomScreen::selectionIndex(dark, u"l1"_s), 0);
    QCOMPARE(RoomScreen::scrollTarget(dark, 0), u"l1"_s);
}

void ScreensTest::roomLooks()
{
    RoomScope room = scope(true, {});
    room.lightsOn = 0;
    room.deviceCount = 4;
    RoomDimmerLook dimmer = RoomDimmerLook::make(room, 0, false);
    QCOMPARE(dimmer.subtitle, u"Geen dimbare lampen"_s);
    QVERIFY(!dimmer.hasBar);
    // Ctrl+Left and Ctrl+Right dim nothing here: their caps stay away, selected or not.
    QVERIFY(!dimmer.showsDimKeys);
    QVERIFY(!RoomDimmerLook::make(room, 0, true).showsDimKeys);
    QCOMPARE(dimmer.allText, u"alles aan"_s);
    QCOMPARE(dimmer.allAccessibleName, u"Alle lampen aan"_s);
    QCOMPARE(dimmer.titleFont().weight(), QFont::Normal);

    room.lightsOn = 1;
    room.dimmableCount = 2;
    dimmer = RoomDimmerLook::make(room, 1.3, true);
    QCOMPARE(dimmer.subtitle, u"2 dimbaar"_s);
    QCOMPARE(dimmer.bar.value, 1.0);
    QCOMPARE(dimmer.percent, u"130%"_s); // the stale level as it stands, the bar within bounds
    QCOMPARE(dimmer.allText, u"alles uit"_s);
    QCOMPARE(dimmer.titleFont().weight(), QFont::DemiBold); // selected
    QCOMPARE(dimmer.dimDown.text, u"Ctrl+\u2190"_s);
    QVERIFY(dimmer.showsDimKeys);
    QVERIFY(!RoomDimmerLook::make(room, 1.3, false).showsDimKeys);
    QCOMPARE(RoomDimmerLook::stepped(0.98, 1), 1.0);
    QCOMPARE(RoomDimmerLook::stepped(0.03, -1), 0.0);

    room.temperature = 21.46;
    room.active = true;
    QCOMPARE(RoomHeaderLook::make(room).accessibleName,
             u"Woonkamer, 1 van 2 lampen aan, 4 bedienbare apparaten, 21,5 °C, er is beweging"_s);
    const RoomHeaderLook dark = RoomHeaderLook::make(scope(false, {}));
    QCOMPARE(dark.lamps, QString());
    QCOMPARE(dark.accessibleName, u"Woonkamer, 0 bedienbare apparaten"_s);
    // One of a thing is not "1 apparaten".
    RoomScope single = scope(false, {});
    single.deviceCount = 1;
    single.lightsTotal = 1;
    const RoomHeaderLook one = RoomHeaderLook::make(single);
    QCOMPARE(one.devices, u"1 apparaat"_s);
    QCOMPARE(one.accessibleName, u"Woonkamer, 0 van 1 lamp aan, 1 bedienbaar apparaat"_s);
}

void ScreensTest::roomViewOverTheStore()
{
    WriteFixture f;
    f.store->panelDidAppear();
    RoomScreen screen(f.store.get(), nullptr);
    QAbstractItemModelTester tester(screen.rows(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy scrolls(&screen, &RoomScreen::scrollRequested);
    f.store->enterScope(u"woonkamer"_s);
    QVERIFY(screen.isOpen() && screen.hasDimmer());
    const QStringList lines = texts(*screen.rows());
    QVERIFY2(lines.first().startsWith(u"LICHT"_s), qPrintable(lines.join(u'\n')));
    QVERIFY(lines.contains(u"- device:thermo"_s));
    QVERIFY(screen.dimmer().selected);

    // Every device row carries the index the store selects it by.
    for (const ListRow &row : screen.rows()->rows()) {
        if (row.kind != ListRow::Kind::Row)
            continue;
        f.store->setSelection(row.row.index);
        QCOMPARE(f.store->selectedHit()->id, row.key);
    }
    QVERIFY(!scrolls.isEmpty());
    scrolls.clear();
    f.store->setSelection(0);
    QVERIFY(scrolls.isEmpty()); // the "Alle lampen" row never scrolls

    // The button switches every lamp of the room and selects the room row.
    f.store->setSelection(2);
    screen.toggleAll();
    QCOMPARE(f.store->selection(), 0);
    QTRY_VERIFY(!f.rest->writes.isEmpty());
    for (const FakeRestClient::Write &write : f.rest->writes)
        QCOMPARE(write.value, CapabilityValue::fromBool(false));

    f.store->setQuery(u"zzqx"_s);
    QVERIFY(screen.isEmpty());
    QCOMPARE(screen.empty().title, u"Niets in Woonkamer heet \u201czzqx\u201d"_s);
}

// A drag on a lamp's bar sends its first level at once and the rest at most once a period; meanwhile
// the row shows the dragged level, which the store does not have yet.
void ScreensTest::aDraggedRowShowsWhereTheDragIs()
{
    WriteFixture f;
    f.rest->script(u"setCapability"_s, {10ms, std::nullopt});
    LevelCoalescer coalescer(CapabilityWriter::storeBacked(f.store.get()), f.clock);
    RoomScreen screen(f.store.get(), nullptr, &coalescer);
    QAbstractItemModelTester tester(screen.rows(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.store->enterScope(u"woonkamer"_s);
    const auto shown = [&] {
        for (const ListRow &row : screen.rows()->rows()) {
            if (row.key == u"device:plafond"_s)
                return row.row.hit.accessory.dimmerLevel().value_or(-1);
        }
        return -1.0;
    };
    for (const double level : {0.5, 0.6, 0.7})
        screen.scrub(u"plafond"_s, level);
    f.clock->advance(10ms);
    QCOMPARE(f.writes(), QStringList{u"plafond dim 0.5"_s});
    QCOMPARE(f.store->device(u"plafond"_s)->dimLevel(), 0.5);
    QCOMPARE(shown(), 0.7);
    screen.release(u"plafond"_s, 0.72);
    QCOMPARE(shown(), 0.72);
    f.clock->advance(200ms);
    QCOMPARE(f.writes(), (QStringList{u"plafond dim 0.5"_s, u"plafond dim 0.72"_s}));
    QCOMPARE(shown(), 0.72);
}

void ScreensTest::restLook_data()
{
    QTest::addColumn<bool>("withRooms");
    QTest::addColumn<ConnectionState>("connection");
    QTest::addColumn<bool>("loading");
    QTest::addColumn<QString>("trailing");
    QTest::newRow("connecting") << false << ConnectionState::connecting() << true << QString();
    QTest::newRow("loading") << false << ConnectionState::loading(u"Zones ophalen"_s) << true << QString();
    QTest::newRow("idle") << false << ConnectionState::idle() << true << QString();
    QTest::newRow("live, no rooms") << false << ConnectionState::live() << false << u"alles uit"_s;
    QTest::newRow("failed") << false << ConnectionState::failed(u"a"_s, u"b"_s) << false << u"alles uit"_s;
    QTest::newRow("degraded") << false << ConnectionState::degraded(u"a"_s) << false << u"alles uit"_s;
    QTest::newRow("rooms while loading")
        << true << ConnectionState::loading(u"x"_s) << false << u"3 lampen aan"_s;
    QTest::newRow("one lamp on") << true << ConnectionState::live() << false << u"1 lamp aan"_s;
}

void ScreensTest::restLook()
{
    QFETCH(bool, withRooms);
    QFETCH(ConnectionState, connection);
    QFETCH(bool, loading);
    QFETCH(QString, trailing);
    RestState rest;
    rest.moreRooms = {Room{.id = u"m"_s}};
    if (withRooms)
        rest.rooms = {Room{.id = u"r"_s}};
    rest.lightsOnTotal = 3;
    if (!withRooms)
        rest.lightsOnTotal = 0;
    if (QTest::currentDataTag() == QByteArray("one lamp on"))
        rest.lightsOnTotal = 1;
    const RestLook look = RestLook::make(rest, connection, false);
    QCOMPARE(look.loading, loading);
    QCOMPARE(look.roomsHeader.trailing, trailing);
    QCOMPARE(look.showsEmptyRooms, !loading && !withRooms);
    // Exactly one of the placeholders, the empty state and the tiles.
    QCOMPARE(int(look.loading) + int(look.showsEmptyRooms) + int(look.showsRoomGrid), 1);
    QCOMPARE(look.showsMoreRooms, !loading);
    QCOMPARE(look.skeletonDelays.size(), 9);

    if (!loading) {
        QCOMPARE(look.moreRoomsText, u"+ 1 kamer"_s);
        QCOMPARE(look.moreRoomsAccessibleName, u"Toon 1 kamer meer"_s);
        rest.moreRooms.append(Room{.id = u"n"_s});
        QCOMPARE(RestLook::make(rest, connection, false).moreRoomsText, u"+ 2 kamers"_s);
        rest.moreRooms.removeLast();
    }
    // Open extra rooms count as rooms shown.
    QVERIFY(!RestLook::make(rest, connection, true).showsEmptyRooms || loading);
}

void ScreensTest::restFocusIsTheSelection()
{
    RestFixture f;
    RestScreen screen(f.store.get());
    const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
    QAbstractItemModelTester scenes(screen.scenes(), mode);
    QAbstractItemModelTester rooms(screen.rooms(), mode);
    QAbstractItemModelTester modes(screen.modes(), mode);
    QSignalSpy resets(screen.rooms(), &QAbstractItemModel::modelReset);
    const RestState &rest = f.store->rest();
    QCOMPARE(rest.scenes.size(), 3);
    QCOMPARE(rest.rooms.size(), 9);
    QCOMPARE(rest.moreRooms.size(), 3);
    QCOMPARE(rest.modes.size(), 2);
    QCOMPARE(screen.look().scenesHeader.trailing, u"Ctrl+1 \u2013 Ctrl+3"_s);
    QCOMPARE(screen.look().moreRoomsText, u"+ 3 kamers"_s);

    // The overview opens on the first room.
    QCOMPARE(screen.focus(), TileFocus::room(0));
    QCOMPARE(f.store->selection(), 3);
    QVERIFY(screen.rooms()->tiles().at(0).selected);

    // Opening the extra rooms puts the modes behind them.
    screen.setFocus(TileFocus::mode(1));
    QCOMPARE(f.store->selection(), 3 + 9 + 1);
    screen.toggleMoreRooms();
    QCOMPARE(screen.look().moreRoomsText, u"Minder kamers"_s);
    QCOMPARE(screen.rooms()->count(), 12);
    QCOMPARE(f.store->selection(), 3 + 12 + 1);

    // Typing takes the selection; clearing the query gives it back to the focused tile.
    screen.setFocus(TileFocus::room(4));
    f.store->setQuery(u"lamp"_s);
    f.store->setSelection(0); // as the palette does when typing starts
    f.store->setQuery(QString());
    QTRY_COMPARE(f.store->selection(), 3 + 4);

    // A click on an extra room zooms into that room; leaving it gives the selection back again.
    screen.clickRoom(10);
    QCOMPARE(f.store->scopeZoneID(), screen.rooms()->tiles().at(10).room.id);
    QCOMPARE(screen.focus(), TileFocus::room(10));
    f.store->exitScope();
    QTRY_COMPARE(f.store->selection(), 3 + 10);
    screen.clickRoom(12); // no such tile
    QVERIFY(!f.store->scopeZoneID());

    // A fourth scene arrives: the focused room keeps its tile, and its index moves along.
    f.rest->home.moods.append(DutchHome::mood(u"m4"_s, u"Gasten"_s));
    awaitTask(f.store->resync());
    QCOMPARE(f.store->rest().scenes.size(), 4);
    QCOMPARE(screen.focus(), TileFocus::room(10));
    QCOMPARE(f.store->selection(), 4 + 10);
    QCOMPARE(screen.scenes()->count(), 4);
    QCOMPARE(resets.size(), 0);

    // A scene that goes while the results show is gone from the overview on return.
    f.store->setQuery(u"lamp"_s);
    f.rest->home.moods.removeLast();
    awaitTask(f.store->resync());
    f.store->setQuery(QString());
    QCOMPARE(screen.scenes()->count(), 3);
    QCOMPARE(screen.look().scenesHeader.trailing, u"Ctrl+1 \u2013 Ctrl+3"_s);
}

// The overview built again keeps the focus on the same scene, room or mode wherever it went; where that
// tile is gone, the focus keeps its place in the section.
void ScreensTest::restFocusStaysOnItsTile_data()
{
    QTest::addColumn<TileFocus>("focus");
    QTest::addColumn<QString>("change");
    QTest::addColumn<TileFocus>("expected");
    QTest::addColumn<QString>("tile"); // the focused tile's hit id after the change
    QTest::newRow("a room climbs above")
        << TileFocus::room(3) << u"kamer05 grows"_s << TileFocus::room(4) << u"room:kamer03"_s;
    QTest::newRow("the room goes") << TileFocus::room(3) << u"kamer03 goes"_s << TileFocus::room(3)
                                   << u"room:kamer04"_s;
    QTest::newRow("the rooms at the end go") << TileFocus::room(8) << u"kamer08 kamer09 kamer10 kamer11 go"_s
                                             << TileFocus::room(7) << u"room:kamer07"_s;
    QTest::newRow("a scene comes first")
        << TileFocus::scene(1) << u"a mood Aaa"_s << TileFocus::scene(2) << u"mood:m2"_s;
    QTest::newRow("a mode comes first")
        << TileFocus::mode(1) << u"a favourite first"_s << TileFocus::mode(2) << u"device:n"_s;
}

void ScreensTest::restFocusStaysOnItsTile()
{
    QFETCH(TileFocus, focus);
    QFETCH(QString, change);
    QFETCH(TileFocus, expected);
    QFETCH(QString, tile);
    RestFixture f;
    RestScreen screen(f.store.get());
    screen.setFocus(focus);
    QSignalSpy scrolls(&screen, &RestScreen::scrollRequested);
    using namespace DutchHome;
    if (change == u"kamer05 grows") {
        f.rest->home.devices.append(onoffLight(u"extra"_s, u"Extra"_s, u"kamer05"_s, false));
    } else if (change.endsWith(u" go"_s) || change.endsWith(u" goes"_s)) {
        const QStringList zoneIDs = change.split(u' ').mid(0, change.count(u' '));
        f.rest->home.devices.removeIf([&](const Device &device) { return zoneIDs.contains(device.zoneID); });
    } else if (change == u"a mood Aaa") {
        f.rest->home.moods.append(mood(u"m0"_s, u"Aaa"_s));
    } else {
        f.rest->home.devices.append(device(u"w"_s, u"Wasmachine"_s, u"huis"_s, u"socket"_s, {onoff(false)}));
        f.rest->home.favorites.deviceIDs.prepend(u"w"_s);
    }
    awaitTask(f.store->resync());
    QCOMPARE(screen.focus(), expected);
    QCOMPARE(f.store->selection(), screen.selectionIndex(expected));
    QCOMPARE(f.store->selectedHit()->id, tile);
    // A tile that moved is brought into view in its new place.
    QCOMPARE(scrolls.isEmpty(), expected == focus);
}

// A row the selection went along with to another place is brought into view, as little as it takes;
// the keyboard's own moves still centre theirs.
void ScreensTest::aRowTheSelectionFollowsComesIntoView()
{
    HomeFixture f;
    f.start();
    f.store->panelDidAppear();
    HoverGate gate;
    ResultsScreen results(f.store.get(), &gate);
    RoomScreen room(f.store.get(), &gate);
    QSignalSpy centred(&results, &RowScreen::scrollRequested);
    QSignalSpy revealed(&results, &RowScreen::revealRequested);
    f.store->setQuery(u"lamp"_s);
    gate.noteKey();
    while (f.store->selectedHit()->id != u"device:lamp10"_s && f.store->selection() < 20)
        f.store->moveSelection(1);
    QCOMPARE(revealed.size(), 0);
    const qsizetype moves = centred.size();
    QVERIFY(moves > 0);

    // A use ranks the row higher.
    awaitTask(f.store->run(*f.store->selectedHit()));
    QCOMPARE(f.store->selectedHit()->id, u"device:lamp10"_s);
    QCOMPARE(revealed.size(), 1);
    QCOMPARE(revealed.at(0).at(0).toInt(), results.rows()->rowOf(u"device:lamp10"_s));
    QCOMPARE(centred.size(), moves);

    // In a room, lamps from the hub that come above the selected row: the refresh they wait for reveals
    // the row in the place it then has.
    QSignalSpy roomRevealed(&room, &RowScreen::revealRequested);
    f.store->enterScope(u"woonkamer"_s);
    while (f.store->selectedHit()->id != u"device:tv"_s && f.store->selection() < 20)
        f.store->moveSelection(1);
    QCOMPARE(roomRevealed.size(), 0);
    const int line = room.rows()->rowOf(u"device:tv"_s);
    for (const QString &id : {u"a1"_s, u"a2"_s})
        f.push(HomeyEvent::DeviceUpdated{DutchHome::onoffLight(id, u"Aa "_s + id, u"woonkamer"_s, false)});
    const auto lastRevealed = [&] { return roomRevealed.isEmpty() ? -1 : roomRevealed.last().at(0).toInt(); };
    QTRY_COMPARE(lastRevealed(), room.rows()->rowOf(u"device:tv"_s));
    QCOMPARE(room.rows()->rowOf(u"device:tv"_s), line + 2);
}

QTEST_MAIN(ScreensTest)
// A burst of the hub's own changes reaches the overview at a pace, its last change included; a change
// that does not come from the hub's stream shows at once.
void ScreensTest::hubChangesReachTheOverviewPaced()
{
    HomeFixture f;
    f.start();
    f.store->panelDidAppear();
    RestScreen screen(f.store.get());
    const auto shown = [&] { return screen.roomsHeader().trailing; };
    const auto due = [&] { return RestScreen(f.store.get()).roomsHeader().trailing; };
    QStringList lamps;
    for (const Device &device : f.store->devices()) {
        if (device.deviceClass == u"light" && device.onoffKey())
            lamps << device.id;
    }
    lamps.sort();
    QVERIFY(lamps.size() >= 3);
    const auto toggle = [&](const QString &id) {
        const Device lamp = f.store->devices().value(id);
        return HomeyEvent::Capability{id, *lamp.onoffKey(), on(!lamp.isOn().value_or(false)), std::nullopt};
    };
    for (const QString &id : std::as_const(lamps))
        f.push(toggle(id));
    QTRY_COMPARE(shown(), due());

    f.push(toggle(lamps.at(0)));
    f.push(toggle(lamps.at(1)));
    f.store->apply(toggle(lamps.at(2)));
    QCOMPARE(shown(), due());
}

#include "tst_screens.moc"
