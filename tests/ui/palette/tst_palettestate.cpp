#include "paletterig.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/palette/paletteproblem.h"
#include "ui/panelvisibility.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// The search row's end: "hot key Ctrl+Alt+Space", or "clear esc", "esc".
QString trailingOf(const SearchRowLook &look)
{
    QStringList parts;
    if (look.showsClear)
        parts << u"clear"_s;
    if (look.showsEscape)
        parts << look.escapeCap.text;
    if (look.showsHotKey)
        parts << u"hot key "_s + look.hotKeyLabel;
    return parts.join(u' ');
}

// A shown panel whose dot breathes, with the palette following its beat.
struct Breathing {
    PanelVisibility visibility;
    MotionPreference preference{std::nullopt, nullptr};
    Motion motion{&visibility, &preference};
    QSignalSpy beats{&motion, &Motion::beatChanged};

    explicit Breathing(PaletteController &palette)
    {
        visibility.set(true);
        palette.followBeat(&motion);
    }
};

} // namespace

// What the palette shows in each state: its key hints, the search row's prompt, chip and end, the
// problem banner; and how it follows the store.
class PaletteStateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachState_data();
    void eachState();
    void hintsShowKeysTheLinuxWay();
    void problem_data();
    void problem();
    void aDismissedBannerWaitsForTheQueryOrTheConnection();
    void theStripFollowsTheOpenDevice();
    void typingClosesTheStripAndStartsAtTheTop();
    void tabIsOfferedOnlyWhereItOpensControls();
    void whatOnlyDrawsWaitsForTheShow();
    void aBurstOfNotificationsCountsAtAPace();
    void aNotificationSharesTheBreathsFrame();
    void aLampSwitchedAtTheHubSharesTheBreathsFrame();
};

void PaletteStateTest::eachState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QStringList>("hints");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("chip");
    QTest::addColumn<QString>("trailing");

    const QString search = u"Zoek een lamp, kamer of flow…"_s;
    const QString inRoom = u"Filter in deze kamer…"_s;
    QTest::newRow("overview on a room")
        << u"overview"_s << QStringList{u"↑↓←→ kies"_s,   u"⏎ open kamer"_s, u"␣ aan/uit"_s,
                                        u"⌘←⌘→ dimmen"_s, u"⌘1 scene"_s,     u"⌘N 2 meldingen"_s}
        << search << QString() << u"hot key Ctrl+Alt+Space"_s;
    QTest::newRow("overview on a scene")
        << u"overview scene"_s
        << QStringList{u"↑↓←→ kies"_s, u"⏎ doe"_s, u"␣ starten"_s, u"⌘1 scene"_s, u"⌘N 2 meldingen"_s}
        << search << QString() << u"hot key Ctrl+Alt+Space"_s;
    QTest::newRow("overview on a mode")
        << u"overview mode"_s
        << QStringList{u"↑↓←→ kies"_s, u"⏎ doe"_s, u"␣ aan/uit"_s, u"⌘1 scene"_s, u"⌘N 2 meldingen"_s}
        << search << QString() << u"hot key Ctrl+Alt+Space"_s;
    QTest::newRow("overview, one unread")
        << u"overview one unread"_s << QStringList{u"↑↓←→ kies"_s,   u"⏎ open kamer"_s, u"␣ aan/uit"_s,
                                                   u"⌘←⌘→ dimmen"_s, u"⌘1 scene"_s,     u"⌘N 1 melding"_s}
        << search << QString() << u"hot key Ctrl+Alt+Space"_s;
    QTest::newRow("overview, all read")
        << u"overview all read"_s
        << QStringList{u"↑↓←→ kies"_s, u"⏎ open kamer"_s, u"␣ aan/uit"_s, u"⌘←⌘→ dimmen"_s, u"⌘1 scene"_s}
        << search << QString() << u"hot key Ctrl+Alt+Space"_s;
    // A flow has no controls to open and nothing to dim.
    QTest::newRow("results on a flow")
        << u"results flow"_s << QStringList{u"↑↓ kies"_s, u"⏎ doe"_s, u"⌘⏎ doe, blijf"_s, u"esc terug"_s}
        << search << QString() << u"clear Esc"_s;
    QTest::newRow("results on a lamp")
        << u"results"_s << QStringList{u"↑↓ kies"_s, u"⏎ doe"_s,       u"⌘⏎ doe, blijf"_s,
                                       u"⇥ regel"_s, u"⌘←⌘→ dimmen"_s, u"esc terug"_s}
        << search << QString() << u"clear Esc"_s;
    // Nothing found: no row to choose, run or open.
    QTest::newRow("results, nothing found")
        << u"results none"_s << QStringList{u"esc terug"_s} << search << QString() << u"clear Esc"_s;
    // Return would switch the lamps of a room that has none: it is not offered.
    QTest::newRow("results on a room without lamps")
        << u"results lampless room"_s << QStringList{u"↑↓ kies"_s, u"esc terug"_s} << search << QString()
        << u"clear Esc"_s;
    QTest::newRow("results on a lock")
        << u"results lock"_s
        << QStringList{u"↑↓ kies"_s, u"⏎ doe"_s, u"⌘⏎ doe, blijf"_s, u"⇥ regel"_s, u"esc terug"_s} << search
        << QString() << u"clear Esc"_s;
    QTest::newRow("room on all lamps") << u"room"_s
                                       << QStringList{u"↑↓ kies"_s, u"⏎ alles aan/uit"_s, u"␣ aan/uit"_s,
                                                      u"⌘←⌘→ kamer dimmen"_s, u"esc terug naar huis"_s}
                                       << inRoom << u"Woonkamer"_s << u"Esc"_s;
    QTest::newRow("room on a lamp") << u"room device"_s
                                    << QStringList{u"↑↓ kies"_s,     u"⏎ doe"_s,   u"␣ aan/uit"_s,
                                                   u"⌘←⌘→ dimmen"_s, u"⇥ regel"_s, u"esc terug naar huis"_s}
                                    << inRoom << u"Woonkamer"_s << u"Esc"_s;
    QTest::newRow("room, nothing left")
        << u"room none"_s << QStringList{u"esc wis filter"_s} << inRoom << u"Hal"_s << u"clear Esc"_s;
    // Space types into the filter: it is not offered. Escape empties the filter before it leaves.
    QTest::newRow("room filtered") << u"room filtered"_s
                                   << QStringList{u"↑↓ kies"_s, u"⏎ alles aan/uit"_s, u"⌘←⌘→ kamer dimmen"_s,
                                                  u"esc wis filter"_s}
                                   << inRoom << u"Woonkamer"_s << u"clear Esc"_s;
    QTest::newRow("strip on a switch")
        << u"strip"_s << QStringList{u"↑↓ component"_s, u"␣ aan/uit"_s, u"esc regel dicht"_s} << search
        << QString() << u"clear Esc"_s;
    QTest::newRow("strip on a level")
        << u"strip level"_s << QStringList{u"↑↓ component"_s, u"←→ bedienen"_s, u"esc regel dicht"_s}
        << search << QString() << u"clear Esc"_s;
    QTest::newRow("strip on a lock") << u"strip lock"_s
                                     << QStringList{u"↑↓ component"_s, u"⏎ doen"_s, u"esc regel dicht"_s}
                                     << search << QString() << u"clear Esc"_s;
    QTest::newRow("strip on alarm modes")
        << u"alarm"_s << QStringList{u"↑↓ component"_s, u"←→ kies stand"_s, u"⏎ zet"_s, u"esc regel dicht"_s}
        << search << QString() << u"clear Esc"_s;
    QTest::newRow("armed") << u"armed"_s << QStringList{u"⏎ bevestig"_s, u"esc toch niet"_s} << search
                           << QString() << u"clear Esc"_s;
    QTest::newRow("notifications") << u"notifications"_s
                                   << QStringList{u"↑↓ lees"_s, u"⌘⌫ wis alles"_s, u"esc terug"_s}
                                   << u"Filter je meldingen…"_s << u"Meldingen"_s << u"Esc"_s;
    QTest::newRow("notifications filtered")
        << u"notifications filtered"_s << QStringList{u"↑↓ lees"_s, u"⌘⌫ wis alles"_s, u"esc wis filter"_s}
        << u"Filter je meldingen…"_s << u"Meldingen"_s << u"clear Esc"_s;
}

void PaletteStateTest::eachState()
{
    QFETCH(QString, state);
    QFETCH(QStringList, hints);
    QFETCH(QString, prompt);
    QFETCH(QString, chip);
    QFETCH(QString, trailing);

    PaletteRig rig;
    rig.prepare(state);
    QCOMPARE(rig.hintTexts(), hints);
    const SearchRowLook &search = rig.palette->search();
    QCOMPARE(search.prompt, prompt);
    QCOMPARE(search.showsChip ? search.chip.name : QString(), chip);
    QCOMPARE(trailingOf(search), trailing);
    // The bell stands in the row except in the list it opens.
    QCOMPARE(search.showsBell, !state.startsWith(u"notifications"_s));
}

void PaletteStateTest::hintsShowKeysTheLinuxWay()
{
    PaletteRig rig;
    rig.prepare(u"notifications"_s);
    QStringList caps;
    for (const KeyHint &hint : rig.palette->hints().hints) {
        for (const QVariant &cap : hint.caps())
            caps << cap.value<KeyCapLook>().text;
    }
    QCOMPARE(caps, (QStringList{u"↑"_s, u"↓"_s, u"Ctrl+Backspace"_s, u"Esc"_s}));
    QCOMPARE(rig.palette->hints().trailing, u"Ctrl+,"_s);
    QCOMPARE(rig.palette->search().bell.tooltip, u"Meldingen (Ctrl+N)"_s);
}

void PaletteStateTest::problem_data()
{
    QTest::addColumn<ConnectionState>("connection");
    QTest::addColumn<std::optional<HomeyError>>("error");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("detail");

    const auto failed = ConnectionState::failed(u"Homey weigert de sleutel."_s, u"Plak een nieuwe."_s);
    const auto degraded = ConnectionState::degraded(u"Socket dicht."_s);
    const std::optional<HomeyError> unauthorized = HomeyError::unauthorized();
    QTest::newRow("a failure wins over an error")
        << failed << unauthorized << u"Homey weigert de sleutel."_s << u"Plak een nieuwe."_s;
    QTest::newRow("an error wins over a lost link")
        << degraded << unauthorized << unauthorized->errorDescription()
        << u"Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s;
    // The lost link is said once, in the store's words.
    const QString lostLink = u"We tonen de laatst bekende stand en proberen opnieuw te verbinden. Ctrl+R "
                             u"haalt alles nu op."_s;
    for (const QString &text : {u"De live-verbinding viel weg: ping verlopen"_s,
                                u"De live-verbinding viel weg. We proberen opnieuw te verbinden."_s,
                                u"Geen live-verbinding. De gegevens zijn van het laatste ophaalmoment."_s})
        QTest::addRow("a lost link: %s", qPrintable(text))
            << ConnectionState::degraded(text) << std::optional<HomeyError>() << text << lostLink;
    QTest::newRow("live") << ConnectionState::live() << std::optional<HomeyError>() << QString() << QString();
    QTest::newRow("offline")
        << ConnectionState::live() << std::optional(HomeyError::offline())
        << HomeyError::offline().errorDescription()
        << u"Verbind je computer met hetzelfde netwerk als je Homey en probeer opnieuw."_s;
}

void PaletteStateTest::problem()
{
    QFETCH(ConnectionState, connection);
    QFETCH(std::optional<HomeyError>, error);
    QFETCH(QString, title);
    QFETCH(QString, detail);

    const std::optional<PaletteProblem> problem = PaletteProblem::of(connection, error);
    QCOMPARE(problem.has_value(), !title.isEmpty());
    if (problem) {
        QCOMPARE(problem->title, title);
        QCOMPARE(problem->detail, detail);
    }
}

void PaletteStateTest::aDismissedBannerWaitsForTheQueryOrTheConnection()
{
    // Without a realtime link the store shows its home, degraded.
    PaletteRig rig;
    QVERIFY(rig.palette->hasProblem());
    QCOMPARE(rig.palette->problem().title,
             u"Geen live-verbinding. De gegevens zijn van het laatste ophaalmoment."_s);
    rig.palette->dismissProblem();
    QVERIFY(!rig.palette->hasProblem());

    // A failed write neither changes the query nor the connection: still hidden.
    rig.rest->fail(u"setCapability"_s, HomeyError::http(500, u"/api/manager/devices"_s));
    rig.type(u"plafondlamp"_s);
    rig.palette->dismissProblem();
    rig.key(Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(rig.store->lastError());
    QVERIFY(!rig.palette->hasProblem());

    rig.type(u"plafondlam"_s);
    QVERIFY(rig.palette->hasProblem());
    QCOMPARE(rig.palette->problem().title, rig.store->lastError()->errorDescription());
    QCOMPARE(rig.palette->problem().recovery,
             u"Probeer het opnieuw. Blijft het fout gaan, herstart dan je Homey."_s);
    rig.palette->retry();
    QCOMPARE(rig.reconnects, 1);
}

void PaletteStateTest::theStripFollowsTheOpenDevice()
{
    PaletteRig rig;
    QSignalSpy changed(rig.palette.get(), &PaletteController::stripChanged);
    rig.open(u"voordeur"_s);
    QPointer<ControlStripModel> first = rig.palette->strip();
    QVERIFY(first);
    QCOMPARE(first->deviceID(), u"voordeur"_s);
    QCOMPARE(first->focusedRow(), rig.palette->controlFocus());
    rig.key(Qt::Key_Down);
    QCOMPARE(first->focusedRow(), 1);

    // Another device: a new strip, focused on its first control, the old one gone after the views let go.
    rig.store->setDetailDeviceID(u"alarm"_s);
    QVERIFY(rig.palette->strip() != first);
    QCOMPARE(rig.palette->strip()->deviceID(), u"alarm"_s);
    QCOMPARE(rig.palette->controlFocus(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    rig.key(Qt::Key_Escape);
    QVERIFY(!rig.palette->strip());
    QCOMPARE(changed.size(), 3);
}

void PaletteStateTest::typingClosesTheStripAndStartsAtTheTop()
{
    PaletteRig rig;
    rig.enterRoom(u"woonkamer"_s);
    rig.key(Qt::Key_Down);
    rig.key(Qt::Key_Tab);
    QVERIFY(rig.store->detailDeviceID());
    rig.type(u"l"_s);
    QCOMPARE(rig.store->selection(), 0);
    QVERIFY(!rig.store->detailDeviceID());
    QVERIFY(!rig.palette->strip());

    // A letter more ranks the rows anew: the selection stays at the top, not with the row that was there.
    rig.key(Qt::Key_Escape);
    rig.key(Qt::Key_Escape);
    rig.type(u"b"_s);
    const QString top = rig.store->selectedHit()->id;
    rig.type(u"be"_s);
    const QList<Hit> hits = rig.store->hits();
    const auto moved = std::find_if(hits.begin(), hits.end(), [&](const Hit &hit) { return hit.id == top; });
    QVERIFY2(moved != hits.begin() && moved != hits.end(), qPrintable(top)); // still there, further down
    QCOMPARE(rig.store->selection(), 0);
}

// A device the hub describes without a capability has no controls: Tab is neither offered nor opens an empty
// strip.
void PaletteStateTest::tabIsOfferedOnlyWhereItOpensControls()
{
    Device bare = ControlDevices::device(u"kaal"_s, u"other"_s, {}, {});
    bare.name = u"Kale brug"_s;
    bare.zoneID = u"hal"_s;
    PaletteRig rig({bare});
    rig.type(u"kale brug"_s);
    QCOMPARE(rig.store->selectedHit()->deviceID(), std::optional(u"kaal"_s));
    QVERIFY(!rig.hintTexts().contains(u"⇥ regel"_s));
    rig.key(Qt::Key_Tab);
    QVERIFY(!rig.store->detailDeviceID());

    rig.type(u"voordeur"_s);
    QVERIFY(rig.hintTexts().contains(u"⇥ regel"_s));
}

// While the panel is hidden the bell and the list stand still, however the feed changes; the show
// catches them up at once, with one announcement.
void PaletteStateTest::whatOnlyDrawsWaitsForTheShow()
{
    PaletteRig rig;
    NotificationFeed *feed = rig.store->notifications();
    const auto arrive = [feed](const QString &id) {
        feed->setItems(QList{PaletteRig::notification(id, u"Nieuw"_s, false)} + feed->items());
        feed->setUnread(feed->unread() + 1);
    };
    rig.store->panelDidDisappear();
    QSignalSpy searchChanged(rig.palette.get(), &PaletteController::searchChanged);
    QSignalSpy bellChanged(rig.palette.get(), &PaletteController::bellChanged);
    for (const QString &id : {u"n4"_s, u"n5"_s, u"n6"_s})
        arrive(id);
    QCOMPARE(bellChanged.size(), 0);
    QCOMPARE(rig.palette->bell().count, u"2"_s);
    rig.store->panelDidAppear();
    QCOMPARE(bellChanged.size(), 1);
    QCOMPARE(rig.palette->bell().count, u"5"_s);
    // Only the bell moved: the rest of the search row keeps its bindings.
    QCOMPARE(searchChanged.size(), 0);

    // The open list: no row comes in while nobody sees it.
    rig.store->enterNotifications();
    QAbstractItemModel *rows = rig.palette->notifications()->rows();
    QAbstractItemModelTester tester(rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(rows, &QAbstractItemModel::rowsInserted);
    rig.store->panelDidDisappear();
    arrive(u"n7"_s);
    QCOMPARE(inserted.size(), 0);
    rig.store->panelDidAppear();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(rows->rowCount(), 7);
}

// The hub's notifications in a burst: the first shows in the bell at once, the next ones wait for the
// pace and then show together; the person's own change of the count shows at once.
void PaletteStateTest::aBurstOfNotificationsCountsAtAPace()
{
    PaletteRig rig({}, true);
    QCOMPARE(rig.palette->bell().count, u"2"_s);
    QSignalSpy bellChanged(rig.palette.get(), &PaletteController::bellChanged);
    const auto arrive = [&rig](const QString &id) {
        rig.realtime->push(HomeyEvent::NotificationCreated{
            {id, u"homey:manager:flow"_s, u"Flow"_s, u"Klaar"_s, QDateTime::currentDateTimeUtc()}});
        ManualClock::settle();
    };
    QElapsedTimer passed;
    passed.start();
    arrive(u"b1"_s);
    QCOMPARE(bellChanged.size(), 1);
    QCOMPARE(rig.palette->bell().count, u"3"_s);
    // Longer apart than two frames, well within the pace.
    QTest::qWait(60);
    arrive(u"b2"_s);
    arrive(u"b3"_s);
    QCOMPARE(rig.store->notifications()->unread(), 5);
    // Only where the machine kept up: past the pace the count may have caught up already, and b3 may
    // have come a pace after b2.
    const bool keptUp = passed.elapsed() < PaletteController::unreadPace.count();
    if (keptUp) {
        QCOMPARE(bellChanged.size(), 1);
        QCOMPARE(rig.palette->bell().count, u"3"_s);
    }
    QTRY_COMPARE(rig.palette->bell().count, u"5"_s);
    if (keptUp)
        QCOMPARE(bellChanged.size(), 2);

    const qsizetype changesBefore = bellChanged.size();
    rig.store->notifications()->markAllRead();
    QCOMPARE(bellChanged.size(), changesBefore + 1);
    QCOMPARE(rig.palette->bell().count, QString());
}

// While the panel breathes it draws a frame at every beat: the hub's notification changes the bell at
// the next beat rather than in a frame of its own. The person's own change shows at once, and without
// a beat nothing waits for one.
void PaletteStateTest::aNotificationSharesTheBreathsFrame()
{
    PaletteRig rig({}, true);
    Breathing breathing(*rig.palette);
    QVERIFY(breathing.motion.beats());
    QSignalSpy &beats = breathing.beats;
    qsizetype beatsAtBell = -1;
    QObject::connect(rig.palette.get(), &PaletteController::bellChanged, [&] { beatsAtBell = beats.size(); });
    const auto arrive = [&rig](const QString &id) {
        rig.realtime->push(HomeyEvent::NotificationCreated{
            {id, u"homey:manager:flow"_s, u"Flow"_s, u"Klaar"_s, QDateTime::currentDateTimeUtc()}});
        ManualClock::settle();
    };

    const qsizetype beatsBefore = beats.size();
    arrive(u"b1"_s);
    QTRY_COMPARE(rig.palette->bell().count, u"3"_s);
    QVERIFY2(beatsAtBell > beatsBefore, "the bell changed outside a beat");

    beatsAtBell = -1;
    rig.store->notifications()->markAllRead();
    QCOMPARE(rig.palette->bell().count, QString());

    // Without a beat to wait for, the next one shows as the pace allows.
    breathing.preference.setDesktopReduced(true);
    QVERIFY(!breathing.motion.beats());
    const qsizetype beatsReduced = beats.size();
    arrive(u"b2"_s);
    QTRY_COMPARE(rig.palette->bell().count, u"1"_s);
    QCOMPARE(beats.size(), beatsReduced);
}

// The overview follows the beat as the bell does: a lamp switched at the hub shows at the next beat.
void PaletteStateTest::aLampSwitchedAtTheHubSharesTheBreathsFrame()
{
    PaletteRig rig({}, true);
    Breathing breathing(*rig.palette);
    QSignalSpy &beats = breathing.beats;
    qsizetype beatsAtTiles = -1;
    QObject::connect(rig.palette->rest()->rooms(), &QAbstractItemModel::dataChanged,
                     [&] { beatsAtTiles = beats.size(); });

    const qsizetype beatsBefore = beats.size();
    rig.realtime->push(HomeyEvent::Capability{u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(true)});
    ManualClock::settle();
    QTRY_VERIFY(beatsAtTiles >= 0);
    QVERIFY2(beatsAtTiles > beatsBefore, "the room's tile changed outside a beat");
}

QTEST_MAIN(PaletteStateTest)
#include "tst_palettestate.moc"
