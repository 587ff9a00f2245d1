#include "paletterig.h"
#include "ui/controls/controlrowview.h"
#include "ui/palette/keymonitor.h"

#include <cmath>
#include <QKeyEvent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QString modeName(HomeStore::Mode mode)
{
    switch (mode) {
    case HomeStore::Mode::Rest:
        return u"overview"_s;
    case HomeStore::Mode::Results:
        return u"results"_s;
    case HomeStore::Mode::Room:
        return u"room"_s;
    case HomeStore::Mode::Notifications:
        return u"notifications"_s;
    }
    return {};
}

QString focusName(const std::optional<TileFocus> &focus)
{
    if (!focus)
        return u"-"_s;
    const QString kinds[] = {u"scene"_s, u"room"_s, u"mode"_s};
    return kinds[int(focus->kind)] + u' ' + QString::number(focus->index);
}

// Everything a key can change that a person would notice, and what the palette asked of the shell.
struct Snapshot {
    QMap<QString, QString> fields;
    QMap<QString, int> counters;
    QStringList writes;
    QMap<QString, double> dims;

    static Snapshot of(const PaletteRig &rig)
    {
        const HomeStore &store = *rig.store;
        Snapshot s;
        s.fields[u"mode"_s] = modeName(store.mode());
        s.fields[u"query"_s] = u'"' + store.query() + u'"';
        s.fields[u"selection"_s] = QString::number(store.selection());
        s.fields[u"detail"_s] = store.detailDeviceID().value_or(u"-"_s);
        s.fields[u"tile"_s] = focusName(rig.palette->rest()->focus());
        s.fields[u"control"_s] = QString::number(rig.palette->controlFocus());
        const std::optional<GuardGate::Armed> &armed = rig.palette->gate()->armed();
        s.fields[u"armed"_s] =
            armed ? armed->capabilityID + u'=' + GuardGate::describe(armed->value) : u"-"_s;
        s.fields[u"alarm cursor"_s] =
            rig.palette->gate()->cursor(*store.device(u"alarm"_s), u"homealarm_state"_s).value_or(u"-"_s);
        s.counters[u"dismissed"_s] = rig.dismissed;
        s.counters[u"settings"_s] = rig.settings;
        s.counters[u"banners cleared"_s] = rig.bannerClears;
        s.counters[u"search focused"_s] = rig.focusRequests;
        s.counters[u"quit"_s] = rig.quits;
        s.counters[u"reloaded"_s] = int(rig.rest->calls.count(u"devices"_s));
        s.counters[u"feed"_s] = int(store.notifications()->items().size());
        s.counters[u"flows started"_s] = int(rig.rest->startedFlows.size());
        s.counters[u"moods set"_s] = int(rig.rest->activatedMoods.size());
        s.writes = rig.writes();
        for (const Device &device : store.devices()) {
            if (const std::optional<double> level = device.dimLevel())
                s.dims[device.id] = *level;
        }
        s.dims[u"room"_s] = store.roomDimLevel();
        return s;
    }

    // What changed from before to this, in a fixed order.
    QString since(const Snapshot &before) const
    {
        QStringList changes;
        for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
            if (before.fields.value(it.key()) != it.value())
                changes << it.key() + u' ' + before.fields.value(it.key()) + u'>' + it.value();
        }
        for (auto it = counters.cbegin(); it != counters.cend(); ++it) {
            const int by = it.value() - before.counters.value(it.key());
            if (by != 0)
                changes << it.key() + (by == 1 ? QString() : u' ' + QString::number(by));
        }
        // A batch of writes goes out in no fixed order.
        QStringList sent = writes.mid(before.writes.size());
        sent.sort();
        for (const QString &write : sent)
            changes << u"hub "_s + write;
        for (auto it = dims.cbegin(); it != dims.cend(); ++it) {
            if (std::abs(before.dims.value(it.key()) - it.value()) > 1e-9)
                changes << u"dim "_s + it.key() + u' ' + QString::number(before.dims.value(it.key())) + u'>' +
                               QString::number(it.value());
        }
        return changes.join(u", "_s);
    }
};

// A control of each kind that steps, with sane ranges, then with what a hub can get wrong.
QList<Device> steppedDevices()
{
    using namespace ControlDevices;
    Device panel = device(u"proef"_s, u"other"_s, {u"slider"_s, u"color"_s, u"thermostat"_s},
                          {number(u"dim"_s, 0.4, 0, 1), number(u"volume_set"_s, 20, 10, 30),
                           number(u"windowcoverings_set"_s, 0, 0, 1), number(u"light_temperature"_s, 0.3),
                           number(u"light_hue"_s, 0.6), number(u"light_saturation"_s, 1.0),
                           number(u"target_temperature"_s, 21, 5, 30)});
    panel.name = u"Proefpaneel"_s;
    Device broken =
        device(u"kapot"_s, u"other"_s, {u"slider"_s, u"color"_s, u"thermostat"_s},
               {number(u"dim"_s, 0.5, 1, 0), number(u"volume_set"_s, 50, 10, 30),
                cap(u"light_hue"_s, Kind::number, std::nullopt), number(u"target_temperature"_s, 21, 5, 30),
                number(u"target_temperature.boven"_s, 21, 30, 5)});
    broken.capabilities.at(u"target_temperature"_s).value.reset();
    broken.name = u"Proefkapot"_s;
    Device endless =
        device(u"raar"_s, u"other"_s, {u"slider"_s, u"color"_s},
               {number(u"dim"_s, 0.5, std::nan(""), 1), number(u"light_temperature"_s, 0.5, 0, INFINITY),
                number(u"light_saturation"_s, std::nan("")), number(u"light_hue"_s, -INFINITY)});
    endless.name = u"Proefraar"_s;
    for (Device *made : {&panel, &broken, &endless})
        made->zoneID = u"kantoor"_s;
    return {panel, broken, endless};
}

constexpr auto none = Qt::NoModifier;
constexpr auto ctrl = Qt::ControlModifier;
constexpr auto shift = Qt::ShiftModifier;
constexpr auto alt = Qt::AltModifier;

} // namespace

// Every row of the palette's key map, in each state it applies to: whether the key is used (and so
// kept from the search field) and what it changes.
class PaletteKeysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keyMap_data();
    void keyMap();
    void returnShowsWhereItActs_data();
    void returnShowsWhereItActs();
    void spaceShowsWhereItActs_data();
    void spaceShowsWhereItActs();
    void eachHintNamesWhatItsKeyDoes_data();
    void eachHintNamesWhatItsKeyDoes();
    void escapeLadder();
    void anArmedWriteNeedsAFreshPressWithinTheWindow();
    void returnConfirmsTheWriteAClickArmed();
    void aHeldReturnConfirmsNothingHoweverItArrives();
    void aHeldKeyActsOnce_data();
    void aHeldKeyActsOnce();
    void arrowsStepTheFocusedControl_data();
    void arrowsStepTheFocusedControl();
    void choosingDisarmedWithTheArrowsAsksFirst();
    void aStepEndsAConfirmationStillWaiting();
};

void PaletteKeysTest::keyMap_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("consumed");
    QTest::addColumn<QString>("changes");

    const auto row = [](const char *name, const char *state, int key, Qt::KeyboardModifiers modifiers,
                        bool consumed, const QString &changes) {
        QTest::newRow(name) << QString::fromUtf8(state) << key << int(modifiers) << consumed << changes;
    };
    // Any mode.
    row("ctrl+n opens the list", "overview", Qt::Key_N, ctrl, true,
        u"mode overview>notifications, selection 5>0, search focused"_s);
    row("ctrl+n closes the list", "notifications", Qt::Key_N, ctrl, true,
        u"mode notifications>overview, selection 0>5, search focused"_s);
    row("n alone is typed", "overview", Qt::Key_N, none, false, u""_s);
    row("ctrl+alt+n is no chord", "overview", Qt::Key_N, ctrl | alt, false, u""_s);
    // Ctrl+Q quits wherever the palette has the keyboard, as the tray menu says.
    row("ctrl+q quits", "overview", Qt::Key_Q, ctrl, true, u"quit"_s);
    row("ctrl+q quits from a room", "room", Qt::Key_Q, ctrl, true, u"quit"_s);
    row("ctrl+q quits from a strip", "strip", Qt::Key_Q, ctrl, true, u"quit"_s);
    row("ctrl+q quits while a write is armed", "armed", Qt::Key_Q, ctrl, true, u"quit"_s);
    row("ctrl+q quits from the list", "notifications filtered", Qt::Key_Q, ctrl, true, u"quit"_s);
    row("q alone is typed", "results", Qt::Key_Q, none, false, u""_s);
    row("ctrl+shift+q does not quit", "overview", Qt::Key_Q, ctrl | shift, false, u""_s);
    row("ctrl+alt+q does not quit", "overview", Qt::Key_Q, ctrl | alt, false, u""_s);

    // The overview.
    row("overview ctrl+r", "overview", Qt::Key_R, ctrl, true, u"reloaded"_s);
    row("overview r", "overview", Qt::Key_R, none, false, u""_s);
    row("overview return on a room", "overview", Qt::Key_Return, none, true,
        u"mode overview>room, selection 5>0, search focused, dim room 0>0.4"_s);
    row("overview enter on a scene", "overview scene", Qt::Key_Enter, none, true,
        u"dismissed, flows started"_s);
    row("overview ctrl+return on a scene", "overview scene", Qt::Key_Return, ctrl, true, u"flows started"_s);
    row("overview return on a mode", "overview mode", Qt::Key_Return, none, true,
        u"hub koffie onoff false"_s);
    row("overview ctrl+comma", "overview", Qt::Key_Comma, ctrl, true, u"settings"_s);
    row("overview comma", "overview", Qt::Key_Comma, none, false, u""_s);
    row("overview tab", "overview", Qt::Key_Tab, none, true, u""_s);
    row("overview space on a room", "overview", Qt::Key_Space, none, true,
        u"hub plafond onoff false, hub staande onoff false"_s);
    row("overview space on a scene", "overview scene", Qt::Key_Space, none, true, u"flows started"_s);
    row("overview shift+space", "overview", Qt::Key_Space, shift, false, u""_s);
    row("overview backspace", "overview", Qt::Key_Backspace, none, false, u""_s);
    row("overview escape hides", "overview", Qt::Key_Escape, none, true, u"dismissed"_s);
    row("overview ctrl+right dims the lamps on", "overview", Qt::Key_Right, ctrl, true,
        u"hub plafond dim 0.45, dim plafond 0.4>0.45"_s);
    row("overview ctrl+shift+left", "overview", Qt::Key_Left, ctrl | shift, true,
        u"hub plafond dim 0.15, dim plafond 0.4>0.15"_s);
    // The kitchen's only dimmable lamp is off: nothing to nudge, and nothing is switched on.
    row("overview ctrl+right on a room with its lamps off", "overview dark room", Qt::Key_Right, ctrl, true,
        u""_s);
    row("overview right", "overview", Qt::Key_Right, none, true, u"selection 5>6, tile room 0>room 1"_s);
    row("overview left at the edge", "overview", Qt::Key_Left, none, true, u""_s);
    row("overview shift+right", "overview", Qt::Key_Right, shift, false, u""_s);
    row("overview down", "overview", Qt::Key_Down, none, true, u"selection 5>8, tile room 0>room 3"_s);
    row("overview up", "overview", Qt::Key_Up, none, true, u"selection 5>0, tile room 0>scene 0"_s);
    row("overview ctrl+1", "overview", Qt::Key_1, ctrl, true, u"flows started"_s);
    row("overview ctrl+shift+2", "overview", Qt::Key_At, ctrl | shift, true, u"moods set"_s);
    row("overview ctrl+9 past the scenes", "overview", Qt::Key_9, ctrl, true, u""_s);
    row("overview ctrl+0", "overview", Qt::Key_0, ctrl, false, u""_s);
    row("overview 1 alone", "overview", Qt::Key_1, none, false, u""_s);
    row("overview ctrl+alt+1", "overview", Qt::Key_1, ctrl | alt, false, u""_s);

    // Results.
    row("results return", "results", Qt::Key_Return, none, true, u"dismissed, hub plafond onoff false"_s);
    row("results shift+return", "results", Qt::Key_Return, shift, true,
        u"dismissed, hub plafond onoff false"_s);
    row("results ctrl+return stays", "results", Qt::Key_Return, ctrl, true, u"hub plafond onoff false"_s);
    row("results ctrl+shift+return stays", "results", Qt::Key_Return, ctrl | shift, true,
        u"hub plafond onoff false"_s);
    row("results return on a lock", "results lock", Qt::Key_Return, none, true, u"detail ->voordeur"_s);
    row("results return with the dim verb", "results dim", Qt::Key_Return, none, true, u"detail ->plafond"_s);
    row("results tab opens the strip", "results", Qt::Key_Tab, none, true, u"detail ->plafond"_s);
    row("results space is typed", "results", Qt::Key_Space, none, false, u""_s);
    row("results backspace", "results", Qt::Key_Backspace, none, false, u""_s);
    row("results escape clears", "results", Qt::Key_Escape, none, true,
        u"mode results>overview, query \"plafondlamp\">\"\", selection 0>5, search focused"_s);
    row("results ctrl+right dims", "results", Qt::Key_Right, ctrl, true,
        u"hub plafond dim 0.45, dim plafond 0.4>0.45"_s);
    // Not the lamps of the overview's focused room, hidden behind the results.
    row("results ctrl+right on a lock", "results lock", Qt::Key_Right, ctrl, true, u""_s);
    row("results left moves the cursor", "results", Qt::Key_Left, none, false, u""_s);
    row("results down", "results lock", Qt::Key_Down, none, true, u""_s);
    row("results ctrl+r", "results", Qt::Key_R, ctrl, true, u"reloaded"_s);

    // A room.
    row("room return on all lamps", "room", Qt::Key_Return, none, true,
        u"dismissed, hub plafond onoff false, hub staande onoff false, dim room 0.4>0"_s);
    row("room return on a device", "room device", Qt::Key_Return, none, true,
        u"dismissed, hub lees onoff true, dim room 0.4>0.6"_s);
    row("room ctrl+return on a device", "room device", Qt::Key_Return, ctrl, true,
        u"hub lees onoff true, dim room 0.4>0.6"_s);
    row("room space on all lamps", "room", Qt::Key_Space, none, true,
        u"hub plafond onoff false, hub staande onoff false, dim room 0.4>0"_s);
    row("room space on a device", "room device", Qt::Key_Space, none, true,
        u"hub lees onoff true, dim room 0.4>0.6"_s);
    row("room space in a filter", "room filtered", Qt::Key_Space, none, false, u""_s);
    row("room backspace leaves", "room", Qt::Key_Backspace, none, true,
        u"mode room>overview, selection 0>5, search focused, dim room 0.4>0"_s);
    row("room backspace in a filter", "room filtered", Qt::Key_Backspace, none, false, u""_s);
    row("room ctrl+backspace", "room", Qt::Key_Backspace, ctrl, false, u""_s);
    row("room tab on all lamps", "room", Qt::Key_Tab, none, true, u""_s);
    row("room tab on a device", "room device", Qt::Key_Tab, none, true, u"detail ->lees"_s);
    row("room ctrl+left dims the room", "room", Qt::Key_Left, ctrl, true,
        u"hub lees dim 0.35, hub lees onoff true, hub plafond dim 0.35, dim lees 0.8>0.35, dim plafond 0.4>0.35, dim room 0.4>0.35"_s);
    row("room ctrl+left dims the device", "room device", Qt::Key_Left, ctrl, true,
        u"hub lees dim 0.75, hub lees onoff true, dim lees 0.8>0.75, dim room 0.4>0.575"_s);
    row("room right", "room", Qt::Key_Right, none, false, u""_s);
    row("room down", "room", Qt::Key_Down, none, true, u"selection 0>1"_s);
    row("room up at the top", "room", Qt::Key_Up, none, true, u""_s);
    row("room escape leaves", "room", Qt::Key_Escape, none, true,
        u"mode room>overview, selection 0>5, search focused, dim room 0.4>0"_s);

    // The open control strip of a lamp.
    row("strip return toggles", "strip", Qt::Key_Return, none, true, u"hub plafond onoff false"_s);
    row("strip space toggles", "strip", Qt::Key_Space, none, true, u"hub plafond onoff false"_s);
    row("strip down", "strip", Qt::Key_Down, none, true, u"control 0>1"_s);
    row("strip up at the top", "strip", Qt::Key_Up, none, true, u""_s);
    row("strip right on the switch", "strip", Qt::Key_Right, none, true, u""_s);
    row("strip ctrl+right", "strip", Qt::Key_Right, ctrl, true, u""_s);
    row("strip tab closes", "strip", Qt::Key_Tab, none, true, u"detail plafond>-"_s);
    row("strip escape closes", "strip", Qt::Key_Escape, none, true, u"detail plafond>-"_s);
    row("strip space on a lock arms", "strip lock", Qt::Key_Space, none, true,
        u"armed ->locked=bool(false)"_s);
    row("strip return on a lock arms", "strip lock", Qt::Key_Return, none, true,
        u"armed ->locked=bool(false)"_s);
    row("alarm right moves the cursor", "alarm", Qt::Key_Right, none, true,
        u"alarm cursor armed>partially_armed"_s);
    row("alarm ctrl+shift+right", "alarm", Qt::Key_Right, ctrl | shift, true,
        u"alarm cursor armed>partially_armed"_s);
    row("alarm return sets the mode under the cursor", "alarm", Qt::Key_Return, none, true,
        u"hub alarm homealarm_state armed"_s);

    // An armed write.
    row("armed return confirms", "armed", Qt::Key_Return, none, true,
        u"armed locked=bool(false)>-, hub voordeur locked false"_s);
    row("armed held return does not", "armed", Qt::Key_Return, none, true, u""_s);
    row("armed escape disarms", "armed", Qt::Key_Escape, none, true, u"armed locked=bool(false)>-"_s);
    row("armed down moves and disarms", "armed", Qt::Key_Down, none, true,
        u"armed locked=bool(false)>-, control 0>1"_s);

    // The notifications list.
    row("list return", "notifications", Qt::Key_Return, none, true, u""_s);
    row("list enter", "notifications", Qt::Key_Enter, none, true, u""_s);
    row("list tab", "notifications", Qt::Key_Tab, none, true, u""_s);
    row("list ctrl+comma", "notifications", Qt::Key_Comma, ctrl, true, u"settings"_s);
    row("list comma", "notifications", Qt::Key_Comma, none, false, u""_s);
    row("list shift+space", "notifications", Qt::Key_Space, shift, true, u""_s);
    row("list space", "notifications", Qt::Key_Space, none, true, u""_s);
    row("list space in a filter", "notifications filtered", Qt::Key_Space, none, false, u""_s);
    row("list backspace leaves", "notifications", Qt::Key_Backspace, none, true,
        u"mode notifications>overview, selection 0>5"_s);
    row("list ctrl+backspace clears", "notifications", Qt::Key_Backspace, ctrl, true,
        u"banners cleared, feed -3"_s);
    row("list backspace in a filter", "notifications filtered", Qt::Key_Backspace, none, false, u""_s);
    row("list alt+backspace", "notifications", Qt::Key_Backspace, alt, false, u""_s);
    row("list escape leaves", "notifications", Qt::Key_Escape, none, true,
        u"mode notifications>overview, selection 0>5, search focused"_s);
    row("list escape clears the filter", "notifications filtered", Qt::Key_Escape, none, true,
        u"query \"was\">\"\", search focused"_s);
    row("list left", "notifications", Qt::Key_Left, none, true, u""_s);
    row("list left in a filter", "notifications filtered", Qt::Key_Left, none, false, u""_s);
    row("list down", "notifications", Qt::Key_Down, none, true, u"selection 0>1"_s);
    row("list up at the top", "notifications", Qt::Key_Up, none, true, u""_s);
    row("list ctrl+r", "notifications", Qt::Key_R, ctrl, false, u""_s);
    row("list ctrl+1", "notifications", Qt::Key_1, ctrl, false, u""_s);
}

void PaletteKeysTest::keyMap()
{
    QFETCH(QString, state);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, consumed);
    QFETCH(QString, changes);

    PaletteRig rig;
    rig.prepare(state);
    const Snapshot before = Snapshot::of(rig);
    const bool held = QByteArray(QTest::currentDataTag()).contains("held");
    const bool used = rig.key(key, Qt::KeyboardModifiers(modifiers), held);
    rig.clock->advance(500ms); // dims coalesce, moods and flows answer
    const QString got = (used ? u"used: "_s : u"passed: "_s) + Snapshot::of(rig).since(before);
    QCOMPARE(got, (consumed ? u"used: "_s : u"passed: "_s) + changes);
}

void PaletteKeysTest::returnShowsWhereItActs_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("rowShows");
    QTest::addColumn<bool>("hintShows");
    QTest::addColumn<bool>("acts");

    QTest::newRow("results on a lamp") << u"results"_s << int(none) << true << true << true;
    QTest::newRow("results ctrl+return on a lamp") << u"results"_s << int(ctrl) << true << true << true;
    QTest::newRow("results on a room with lamps") << u"results room"_s << int(none) << true << true << true;
    QTest::newRow("results on a flow") << u"results flow"_s << int(none) << true << true << true;
    QTest::newRow("results on a lock") << u"results lock"_s << int(none) << true << true << true;
    // The hall has no lamp: switching its lamps changes nothing, whatever the verb.
    QTest::newRow("results on a room without lamps")
        << u"results lampless room"_s << int(none) << false << false << false;
    QTest::newRow("results ctrl+return on a room without lamps")
        << u"results lampless room"_s << int(ctrl) << false << false << false;
    QTest::newRow("results on a room without lamps, switched on")
        << u"results lampless room on"_s << int(none) << false << false << false;
    QTest::newRow("room on a lamp") << u"room device"_s << int(none) << true << true << true;
    QTest::newRow("room on all lamps") << u"room"_s << int(none) << false << true << true;
    QTest::newRow("room, nothing left") << u"room none"_s << int(none) << false << false << false;
    // With a device's controls open Return works the focused control, not the row.
    QTest::newRow("controls on a level") << u"strip level"_s << int(none) << false << false << false;
    QTest::newRow("controls on a lock") << u"strip lock"_s << int(none) << false << true << true;
    QTest::newRow("controls on a switch") << u"strip"_s << int(none) << false << false << true;
}

// The selected row's Return key and the hint bar's promise Return only where it does something, as the
// key map decides it; the ordinary rows keep theirs.
void PaletteKeysTest::returnShowsWhereItActs()
{
    QFETCH(QString, state);
    QFETCH(int, modifiers);
    QFETCH(bool, rowShows);
    QFETCH(bool, hintShows);
    QFETCH(bool, acts);

    PaletteRig rig;
    rig.prepare(state);
    QCOMPARE(rig.rowShowsReturn(), rowShows);
    const QString key = modifiers == ctrl ? u"⌘⏎"_s : u"⏎"_s;
    bool hinted = false;
    for (const KeyHint &hint : rig.palette->hints().hints)
        hinted = hinted || hint.keys == QStringList{key};
    QCOMPARE(hinted, hintShows);

    const Snapshot before = Snapshot::of(rig);
    QVERIFY(rig.key(Qt::Key_Return, Qt::KeyboardModifiers(modifiers)));
    rig.clock->advance(500ms);
    const QString changes = Snapshot::of(rig).since(before);
    QVERIFY2(changes.isEmpty() != acts, qPrintable(changes));
}

void PaletteKeysTest::spaceShowsWhereItActs_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("hintShows");
    QTest::addColumn<bool>("consumed");
    QTest::addColumn<bool>("acts");

    QTest::newRow("overview on a room with lamps") << u"overview"_s << true << true << true;
    QTest::newRow("overview on a scene") << u"overview scene"_s << true << true << true;
    QTest::newRow("overview on a mode") << u"overview mode"_s << true << true << true;
    // The hall has no lamp: there is nothing for Space to switch, and it is kept from the field.
    QTest::newRow("overview on a room without lamps")
        << u"overview lampless room"_s << false << true << false;
    QTest::newRow("overview on the lamp without a switch")
        << u"overview switchless lamp"_s << false << true << false;
    QTest::newRow("room on all lamps") << u"room"_s << true << true << true;
    QTest::newRow("room on a lamp") << u"room device"_s << true << true << true;
    QTest::newRow("room on a button") << u"room button"_s << true << true << true;
    QTest::newRow("room on a lock") << u"room lock"_s << false << true << false;
    QTest::newRow("room, all lamps without a switch") << u"room switchless lamp"_s << false << true << false;
    // A filter takes the space as text.
    QTest::newRow("room filtered") << u"room filtered"_s << false << false << false;
    QTest::newRow("results") << u"results"_s << false << false << false;
    QTest::newRow("controls on a switch") << u"strip"_s << true << true << true;
    QTest::newRow("controls on a level") << u"strip level"_s << false << true << false;
    // Return is the key offered for a lock; Space works it all the same.
    QTest::newRow("controls on a lock") << u"strip lock"_s << false << true << true;
}

// The hint bar offers Space only where the key map has it change something.
void PaletteKeysTest::spaceShowsWhereItActs()
{
    QFETCH(QString, state);
    QFETCH(bool, hintShows);
    QFETCH(bool, consumed);
    QFETCH(bool, acts);

    // A lamp that only dims, alone in the attic: the room has a lamp, but none with a switch.
    Device lamp = ControlDevices::device(u"zolderspot"_s, u"light"_s, {u"slider"_s},
                                         {ControlDevices::number(u"dim"_s, 0.5, 0, 1)});
    lamp.name = u"Zolderspot"_s;
    lamp.zoneID = u"zolder"_s;
    PaletteRig rig({lamp});
    if (state == u"overview switchless lamp") {
        const int attic = rig.roomIndex(u"zolder"_s);
        QVERIFY(attic >= 0);
        rig.palette->rest()->setFocus(TileFocus::room(attic));
    } else if (state == u"room switchless lamp") {
        rig.enterRoom(u"zolder"_s);
        QVERIFY(rig.store->room() && rig.store->room()->lightsTotal == 1);
        QCOMPARE(rig.store->selection(), 0); // the room's own row
    } else {
        rig.prepare(state);
    }
    bool hinted = false;
    for (const KeyHint &hint : rig.palette->hints().hints)
        hinted = hinted || hint.keys == QStringList{u"␣"_s};
    QCOMPARE(hinted, hintShows);

    const Snapshot before = Snapshot::of(rig);
    const QStringList recent = rig.store->recent().keys();
    QCOMPARE(rig.key(Qt::Key_Space), consumed);
    rig.clock->advance(500ms);
    const QString changes = Snapshot::of(rig).since(before);
    QVERIFY2(changes.isEmpty() != acts, qPrintable(changes));
    if (!acts) // not even remembered as used
        QCOMPARE(rig.store->recent().keys(), recent);
}

void PaletteKeysTest::eachHintNamesWhatItsKeyDoes_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("hint"); // the hint bar's hint for the key, or its caps alone for none
    QTest::addColumn<QString>("changes");

    const auto row = [](const char *name, const char *state, int key, Qt::KeyboardModifiers modifiers,
                        const QString &hint, const QString &changes) {
        QTest::newRow(name) << QString::fromUtf8(state) << key << int(modifiers) << hint << changes;
    };
    const QString dimKeys = u"⌘←⌘→"_s;
    // The overview's tiles.
    row("space starts a scene", "overview scene", Qt::Key_Space, none, u"␣ starten"_s, u"flows started"_s);
    row("space switches a mode", "overview mode", Qt::Key_Space, none, u"␣ aan/uit"_s,
        u"hub koffie onoff false"_s);
    row("space switches a room's lamps", "overview", Qt::Key_Space, none, u"␣ aan/uit"_s,
        u"hub plafond onoff false, hub staande onoff false"_s);
    row("ctrl+right dims a room's lamps that are on", "overview", Qt::Key_Right, ctrl, dimKeys + u" dimmen"_s,
        u"hub plafond dim 0.45, dim plafond 0.4>0.45"_s);
    row("ctrl+right on a room whose dimmable lamp is off", "overview dark room", Qt::Key_Right, ctrl, dimKeys,
        u""_s);
    row("ctrl+right on a room with lamps on that do not dim", "overview undimmable room", Qt::Key_Right, ctrl,
        dimKeys, u""_s);
    row("ctrl+right on a room without lamps", "overview lampless room", Qt::Key_Right, ctrl, dimKeys, u""_s);
    row("ctrl+right on a scene", "overview scene", Qt::Key_Right, ctrl, dimKeys, u""_s);
    // The results.
    row("results ctrl+right dims the lamp", "results", Qt::Key_Right, ctrl, dimKeys + u" dimmen"_s,
        u"hub plafond dim 0.45, dim plafond 0.4>0.45"_s);
    row("results ctrl+right on a lock", "results lock", Qt::Key_Right, ctrl, dimKeys, u""_s);
    row("results tab opens the controls", "results", Qt::Key_Tab, none, u"⇥ regel"_s, u"detail ->plafond"_s);
    row("results escape goes back", "results", Qt::Key_Escape, none, u"esc terug"_s,
        u"mode results>overview, query \"plafondlamp\">\"\", selection 0>5, search focused"_s);
    // A room.
    row("room ctrl+left dims the room", "room", Qt::Key_Left, ctrl, dimKeys + u" kamer dimmen"_s,
        u"hub lees dim 0.35, hub lees onoff true, hub plafond dim 0.35, dim lees 0.8>0.35, dim plafond 0.4>0.35, dim room 0.4>0.35"_s);
    row("room ctrl+left without a dimmable lamp", "room undimmable", Qt::Key_Left, ctrl, dimKeys, u""_s);
    row("room space on a guarded switch opens its controls", "room guarded switch", Qt::Key_Space, none,
        u"␣ regel"_s, u"detail ->garage"_s);
    row("room escape empties the filter", "room filtered", Qt::Key_Escape, none, u"esc wis filter"_s,
        u"query \"lamp\">\"\", search focused"_s);
    row("room escape leaves", "room", Qt::Key_Escape, none, u"esc terug naar huis"_s,
        u"mode room>overview, selection 0>5, search focused, dim room 0.4>0"_s);
    // The controls of a device.
    row("controls space switches", "strip", Qt::Key_Space, none, u"␣ aan/uit"_s,
        u"hub plafond onoff false"_s);
    row("controls right steps a level", "strip level", Qt::Key_Right, none, u"←→ bedienen"_s,
        u"hub plafond dim 0.45, dim plafond 0.4>0.45"_s);
    row("controls right on a level that cannot step", "strip reversed level", Qt::Key_Right, none, u"←→"_s,
        u""_s);
    row("controls space plays", "strip media", Qt::Key_Space, none, u"␣ speel af"_s,
        u"hub speaker speaker_playing true"_s);
    row("controls return runs an action", "strip action", Qt::Key_Return, none, u"⏎ uitvoeren"_s,
        u"hub sirene button true"_s);
    row("controls return on a lock", "strip lock", Qt::Key_Return, none, u"⏎ doen"_s,
        u"armed ->locked=bool(false)"_s);
    row("controls escape closes them", "strip", Qt::Key_Escape, none, u"esc regel dicht"_s,
        u"detail plafond>-"_s);
    row("an armed write's escape", "armed", Qt::Key_Escape, none, u"esc toch niet"_s,
        u"armed locked=bool(false)>-"_s);
    // The notifications list.
    row("list down", "notifications", Qt::Key_Down, none, u"↑↓ lees"_s, u"selection 0>1"_s);
    row("list down with nothing found", "notifications nothing found", Qt::Key_Down, none, u"↑↓"_s, u""_s);
    row("list escape empties the filter", "notifications filtered", Qt::Key_Escape, none, u"esc wis filter"_s,
        u"query \"was\">\"\", search focused"_s);
    row("list escape leaves", "notifications", Qt::Key_Escape, none, u"esc terug"_s,
        u"mode notifications>overview, selection 0>5, search focused"_s);
}

// Each hint of the bar, and each key cap of the focused control, comes with what its key does there:
// shown where the key changes something, in the words for what it changed, and nowhere else.
void PaletteKeysTest::eachHintNamesWhatItsKeyDoes()
{
    QFETCH(QString, state);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, hint);
    QFETCH(QString, changes);

    using namespace ControlDevices;
    // In the attic, out of the way of the other rooms: a switch that is guarded, a speaker, a button with
    // a quick action and a level whose range the hub gave backwards.
    Device garage = device(u"garage"_s, u"garagedoor"_s, {u"toggle"_s}, {boolean(u"onoff"_s, false)});
    garage.name = u"Garagedeur"_s;
    Device speakers = speaker();
    speakers.name = u"Luidspreker"_s;
    Device siren = device(u"sirene"_s, u"other"_s, {u"button"_s}, {boolean(u"button"_s, false)});
    siren.name = u"Sirene"_s;
    siren.uiQuickAction = u"button"_s;
    Device broken = device(u"kapot"_s, u"other"_s, {u"slider"_s}, {number(u"dim"_s, 0.5, 1, 0)});
    broken.name = u"Proefkapot"_s;
    QList<Device> extra;
    for (Device *made : {&garage, &speakers, &siren, &broken}) {
        made->zoneID = u"zolder"_s;
        if (state.endsWith(made->id == u"garage"_s    ? u"guarded switch"_s
                           : made->id == u"speaker"_s ? u"media"_s
                           : made->id == u"sirene"_s  ? u"action"_s
                                                      : u"reversed level"_s))
            extra << *made;
    }
    PaletteRig rig(extra);
    if (state == u"overview undimmable room") {
        rig.palette->rest()->setFocus(TileFocus::room(rig.roomIndex(u"kantoor"_s)));
    } else if (state == u"room undimmable") {
        rig.enterRoom(u"kantoor"_s);
    } else if (state == u"room guarded switch") {
        rig.enterRoom(u"zolder"_s);
        rig.selectDevice(u"garage"_s);
    } else if (state.startsWith(u"strip "_s) && !extra.isEmpty()) {
        rig.open(extra.constFirst().name);
    } else if (state == u"notifications nothing found") {
        rig.store->enterNotifications();
        rig.type(u"zzqx"_s);
    } else {
        rig.prepare(state);
    }
    rig.settle();

    const QString caps = hint.section(u' ', 0, 0);
    QString shown = caps;
    for (const QString &text : rig.hintTexts()) {
        if (text.section(u' ', 0, 0) == caps)
            shown = text;
    }
    QCOMPARE(shown, hint);
    // The focused control's own caps offer the same keys.
    QStringList rowCaps;
    if (const std::optional<QString> open = rig.store->detailDeviceID()) {
        const QList<ControlRow> rows = rig.palette->strip()->rows();
        rowCaps = ControlRowView::make(*rig.store->device(*open), rows.at(rig.palette->controlFocus()), true,
                                       rig.palette->gate(), nullptr)
                      .keyHints;
    }
    const bool offered = shown != caps;
    if (rig.store->detailDeviceID() && QStringList({u"␣"_s, u"⏎"_s, u"←→"_s}).contains(caps))
        QCOMPARE(rowCaps.contains(caps.left(1)), offered);

    const Snapshot before = Snapshot::of(rig);
    QVERIFY(rig.key(key, Qt::KeyboardModifiers(modifiers)));
    rig.clock->advance(500ms);
    const QString got = Snapshot::of(rig).since(before);
    QCOMPARE(got, changes);
    QCOMPARE(!got.isEmpty(), offered);
}

void PaletteKeysTest::escapeLadder()
{
    // In the hall, filtered to the front door, its controls open and the unlock armed.
    PaletteRig rig;
    rig.enterRoom(u"hal"_s);
    rig.type(u"voor"_s);
    QCOMPARE(rig.store->selectedHit()->deviceID(), u"voordeur"_s);
    rig.key(Qt::Key_Tab);
    rig.key(Qt::Key_Return);
    QVERIFY(rig.palette->gate()->hasArmed());

    const auto step = [&] {
        const bool used = rig.key(Qt::Key_Escape);
        return u"%1 %2 \"%3\" %4 %5"_s
            .arg(used && rig.palette->gate()->hasArmed() ? u"armed"_s : u"-"_s,
                 rig.store->detailDeviceID().value_or(u"-"_s), rig.store->query(),
                 rig.store->scopeZoneID().value_or(u"-"_s))
            .arg(rig.dismissed);
    };
    QCOMPARE(step(), u"- voordeur \"voor\" hal 0"_s);
    QCOMPARE(step(), u"- - \"voor\" hal 0"_s);
    QCOMPARE(step(), u"- - \"\" hal 0"_s);
    QCOMPARE(step(), u"- - \"\" - 0"_s);
    QCOMPARE(step(), u"- - \"\" - 1"_s);
    QVERIFY(rig.writes().isEmpty());
}

void PaletteKeysTest::anArmedWriteNeedsAFreshPressWithinTheWindow()
{
    PaletteRig rig;
    rig.open(u"voordeur"_s);
    rig.key(Qt::Key_Return);
    rig.clock->advance(GuardGate::window);
    QVERIFY(!rig.palette->gate()->hasArmed());
    // Too late: the next press arms again, and only a fresh press after it sends.
    rig.key(Qt::Key_Return);
    QVERIFY(rig.writes().isEmpty());
    rig.key(Qt::Key_Return, Qt::NoModifier, true);
    rig.key(Qt::Key_Space, Qt::NoModifier, true);
    QVERIFY(rig.writes().isEmpty());
    rig.clock->advance(3900ms);
    rig.key(Qt::Key_Return);
    QCOMPARE(rig.writes(), QStringList{u"voordeur locked false"_s});
    QCOMPARE(rig.dismissed, 0);
}

void PaletteKeysTest::returnConfirmsTheWriteAClickArmed()
{
    // The keyboard sits on the lock; the unlatch button was clicked. Return sends the unlatch, not a new
    // unlock of the focused row.
    PaletteRig rig;
    rig.open(u"voordeur"_s);
    ControlStripModel *strip = rig.palette->strip();
    QVERIFY(strip);
    QCOMPARE(strip->rows().at(rig.palette->controlFocus()).kind(), ControlRow::Kind::Lock);
    const int unlatch = int(strip->rows().size()) - 1;
    QCOMPARE(strip->rows().at(unlatch).kind(), ControlRow::Kind::OpenButton);
    strip->activate(unlatch);
    QCOMPARE(rig.palette->gate()->armed()->capabilityID, u"button_unlatch"_s);
    QCOMPARE(rig.hintTexts(), (QStringList{u"⏎ bevestig"_s, u"esc toch niet"_s}));
    rig.key(Qt::Key_Return);
    QCOMPARE(rig.writes(), QStringList{u"voordeur button_unlatch true"_s});
    QVERIFY(!rig.palette->gate()->hasArmed());
}

void PaletteKeysTest::aHeldReturnConfirmsNothingHoweverItArrives()
{
    // The panel's window, its keys handed to the palette as the running program does.
    PaletteRig rig;
    QQuickWindow window;
    QQuickItem view;
    view.setParentItem(window.contentItem());
    KeyMonitor monitor(&view,
                       [&](int key, Qt::KeyboardModifiers modifiers, const QString &text, bool repeat) {
                           return rig.palette->handleKey(key, modifiers, text, repeat);
                       });
    const auto send = [&](QEvent::Type type, quint64 at) {
        QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, 36, 0, 0);
        event.setTimestamp(at);
        QCoreApplication::sendEvent(&window, &event);
        rig.settle();
    };
    rig.open(u"voordeur"_s);
    send(QEvent::KeyPress, 1000);
    QVERIFY(rig.palette->gate()->hasArmed());
    // Held: the X server repeats it every 33 ms, and Qt passes each repeat on unmarked.
    for (quint64 at = 1250; at < 3500; at += 33) {
        send(QEvent::KeyRelease, at);
        send(QEvent::KeyPress, at);
    }
    QVERIFY(rig.writes().isEmpty());
    QVERIFY(rig.palette->gate()->hasArmed());
    send(QEvent::KeyRelease, 3600);
    send(QEvent::KeyPress, 3800);
    QCOMPARE(rig.writes(), QStringList{u"voordeur locked false"_s});
}

void PaletteKeysTest::aHeldKeyActsOnce_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("writes");

    // A held key repeats some thirty times a second; a lamp must not flicker with it.
    QTest::newRow("return on a strip's switch") << u"strip"_s << int(Qt::Key_Return) << int(none) << 1;
    QTest::newRow("space on a strip's switch") << u"strip"_s << int(Qt::Key_Space) << int(none) << 1;
    QTest::newRow("ctrl+return on a result") << u"results"_s << int(Qt::Key_Return) << int(ctrl) << 1;
    QTest::newRow("space on a room tile") << u"overview"_s << int(Qt::Key_Space) << int(none) << 2;
}

void PaletteKeysTest::aHeldKeyActsOnce()
{
    QFETCH(QString, state);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, writes);
    PaletteRig rig;
    rig.prepare(state);
    QVERIFY(rig.key(key, Qt::KeyboardModifiers(modifiers)));
    const QStringList first = rig.writes();
    QCOMPARE(first.size(), writes);
    for (int i = 0; i < 10; ++i)
        QVERIFY(rig.key(key, Qt::KeyboardModifiers(modifiers), true));
    QCOMPARE(rig.writes(), first);
}

void PaletteKeysTest::arrowsStepTheFocusedControl_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("written");

    const auto row = [](const char *name, const char *device, int row, int key,
                        Qt::KeyboardModifiers modifiers, const QString &written) {
        QTest::newRow(name) << QString::fromUtf8(device) << row << key << int(modifiers) << written;
    };
    const int left = Qt::Key_Left;
    const int right = Qt::Key_Right;
    // A bar steps by a twentieth of its range, or a quarter with Ctrl+Shift; the thermostat by half a
    // degree, or two.
    row("dim", "proefpaneel", 0, right, none, u"proef dim 0.45"_s);
    row("dim ctrl+shift", "proefpaneel", 0, right, ctrl | shift, u"proef dim 0.65"_s);
    row("volume over its own range", "proefpaneel", 1, right, none, u"proef volume_set 21"_s);
    row("colour temperature", "proefpaneel", 3, left, none, u"proef light_temperature 0.25"_s);
    row("hue", "proefpaneel", 4, right, none, u"proef light_hue 0.62"_s);
    row("saturation stays at the top", "proefpaneel", 5, right, none, u"proef light_saturation 1"_s);
    row("thermostat", "proefpaneel", 6, right, none, u"proef target_temperature 21.5"_s);
    row("thermostat ctrl+shift", "proefpaneel", 6, left, ctrl | shift, u"proef target_temperature 19"_s);
    row("shift alone is no step", "proefpaneel", 0, right, shift, u""_s);
    // What a hub gets wrong.
    row("a reversed range takes no step", "proefkapot", 0, right, none, u""_s);
    row("a value above the range comes back in", "proefkapot", 1, left, none, u"kapot volume_set 30"_s);
    row("no value starts at the bottom", "proefkapot", 2, right, none, u"kapot light_hue 0.02"_s);
    row("a thermostat without a value", "proefkapot", 3, right, none, u"kapot target_temperature 5.5"_s);
    row("a reversed thermostat", "proefkapot", 4, left, none, u""_s);
    row("a bottom that is no number", "proefraar", 0, right, none, u""_s);
    row("an endless top", "proefraar", 1, left, none, u""_s);
    row("an endless value starts at the bottom", "proefraar", 2, right, none, u"raar light_hue 0.02"_s);
    row("a value that is no number starts at the bottom", "proefraar", 3, right, none,
        u"raar light_saturation 0.05"_s);
}

void PaletteKeysTest::arrowsStepTheFocusedControl()
{
    QFETCH(QString, device);
    QFETCH(int, row);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, written);

    PaletteRig rig(steppedDevices());
    rig.open(device);
    for (int i = 0; i < row; ++i)
        rig.key(Qt::Key_Down);
    QCOMPARE(rig.palette->controlFocus(), row);
    const bool used = rig.key(key, Qt::KeyboardModifiers(modifiers));
    rig.clock->advance(500ms);
    QCOMPARE(used, modifiers != shift);
    QCOMPARE(rig.writes().join(u", "_s), written);
    QVERIFY(!rig.palette->gate()->hasArmed());
}

void PaletteKeysTest::choosingDisarmedWithTheArrowsAsksFirst()
{
    PaletteRig rig;
    rig.open(u"alarm"_s);
    const auto state = [&] {
        const std::optional<GuardGate::Armed> &armed = rig.palette->gate()->armed();
        return rig.palette->gate()->cursor(*rig.store->device(u"alarm"_s), u"homealarm_state"_s).value() +
               (armed ? u" armed "_s + GuardGate::describe(armed->value) : QString());
    };
    rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Right);
    QCOMPARE(state(), u"disarmed"_s);
    rig.key(Qt::Key_Return);
    QCOMPARE(state(), u"disarmed armed string(\"disarmed\")"_s);
    rig.key(Qt::Key_Return, Qt::NoModifier, true);
    // Moving away and back is a new choice: it asks again.
    rig.key(Qt::Key_Left);
    QCOMPARE(state(), u"partially_armed"_s);
    rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Return);
    QCOMPARE(state(), u"disarmed armed string(\"disarmed\")"_s);
    QVERIFY(rig.writes().isEmpty());
    rig.key(Qt::Key_Return);
    QCOMPARE(rig.writes(), QStringList{u"alarm homealarm_state disarmed"_s});
    QCOMPARE(state(), u"disarmed"_s);
}

void PaletteKeysTest::aStepEndsAConfirmationStillWaiting()
{
    // The unlatch button was clicked, then the keyboard stepped the bar: a Return after that is no
    // confirmation of the unlatch.
    Device door = ControlDevices::device(
        u"gang"_s, u"other"_s, {u"slider"_s, u"button"_s},
        {ControlDevices::number(u"dim"_s, 0.4, 0, 1), ControlDevices::boolean(u"button_unlatch"_s, false)});
    door.name = u"Ganglicht"_s;
    PaletteRig rig({door});
    rig.open(u"ganglicht"_s);
    ControlStripModel *strip = rig.palette->strip();
    QVERIFY(strip);
    QCOMPARE(strip->rows().at(1).kind(), ControlRow::Kind::OpenButton);
    strip->activate(1);
    QVERIFY(rig.palette->gate()->hasArmed());
    rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Return);
    rig.clock->advance(500ms);
    QCOMPARE(rig.writes(), QStringList{u"gang dim 0.45"_s});
    QVERIFY(!rig.palette->gate()->hasArmed());
}

QTEST_MAIN(PaletteKeysTest)
#include "tst_palettekeys.moc"
