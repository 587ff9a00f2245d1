#include "awaittask.h"
#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"
#include "homey/realtime/homeysocket.h"
#include "homey/rest/homeyclient.h"
#include "manualclock.h"
#include "pictures.h"
#include "pinnedlook.h"
#include "store/home/homestore.h"
#include "ui/controls/guardgate.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/hovergate.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/palette/keymonitor.h"
#include "ui/palette/onboardingroot.h"
#include "ui/palette/palettecontroller.h"
#include "ui/panelvisibility.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <functional>
#include <QDir>
#include <QGuiApplication>
#include <QJsonObject>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;
using namespace Pictures;

namespace {

constexpr int width = 760;
constexpr int height = 540;

// The visible items of that object name under root.
QList<QQuickItem *> named(QQuickItem *root, const QString &name)
{
    QList<QQuickItem *> found;
    if (!root->isVisible())
        return found;
    if (root->objectName() == name)
        found << root;
    for (QQuickItem *child : root->childItems())
        found << named(child, name);
    return found;
}

// The whole panel over the demo home on the fake hub, live over its realtime socket, in an offscreen
// window whose key presses go through the key monitor as in the program.
class Panel {
public:
    // The palette's own waits (the level bar's write period, the guard's) run on clock.
    explicit Panel(Motion *motion, std::shared_ptr<Clock> clock = Clock::system())
    {
        std::optional<QJsonObject> home = FakeHub::readHomeFile(FakeHub::demoHomePath());
        m_hub.setHome(home.value_or(QJsonObject()));
        if (!m_hub.listen()) {
            error = u"the fake hub does not listen"_s;
            return;
        }
        m_realtime = new FakeRealtime(&m_hub);
        const HomeyEndpoint endpoint{m_hub.baseURL(), u"hub"_s, std::nullopt};
        auto socket = std::make_shared<HomeySocket>(endpoint, m_hub.token());
        auto client = std::make_shared<HomeyClient>(endpoint, m_hub.token(), socket);
        SettingsStore defaults(u"paletteshots"_s);
        defaults.remove(HomeStore::recentKey);
        defaults.remove(u"notify.shownIDs"_s);
        store = std::make_unique<HomeStore>(client, socket, nullptr, defaults);
        awaitTask(store->start());
        store->panelDidAppear();
        // The pointer was last seen far away: a move over the panel counts as the hand's.
        hoverGate.reset();
        hoverGate.notePointer(QPointF(-1000, -1000), QPointF(-1000, -1000));
        hoverGate.watch(&m_window);

        PaletteController::Actions actions;
        actions.onDismiss = [this] { ++dismissed; };
        palette = std::make_unique<PaletteController>(store.get(), nullptr, u"Ctrl+Alt+Space"_s, &hoverGate,
                                                      std::move(actions), nullptr, std::move(clock));
        onboarding = std::make_unique<OnboardingRoot>(store.get(), OnboardingRoot::Actions(), false);

        QQmlComponent component(&m_engine);
        component.setData("import Quorvane.Ui\nPanelRoot {}\n", QUrl(u"qrc:/panel.qml"_s));
        m_root.reset(qobject_cast<QQuickItem *>(
            component.createWithInitialProperties({{u"onboarding"_s, QVariant::fromValue(onboarding.get())},
                                                   {u"controller"_s, QVariant::fromValue(palette.get())},
                                                   {u"motion"_s, QVariant::fromValue(motion)}})));
        if (!m_root) {
            error = component.errorString();
            return;
        }
        m_monitor = std::make_unique<KeyMonitor>(
            m_root.get(), [this](int key, Qt::KeyboardModifiers modifiers, const QString &text, bool repeat) {
                return onboarding->screen() == OnboardingRoot::Screen::Palette &&
                       palette->handleKey(key, modifiers, text, repeat);
            });
        m_window.setColor(Theme::surface());
        m_root->setParentItem(m_window.contentItem());
        m_root->setSize(QSizeF(width, height));
        m_window.resize(width, height);
        m_window.show();
        m_window.requestActivate();
        if (!QTest::qWaitForWindowActive(&m_window))
            error = u"the window does not become active"_s;
    }
    ~Panel()
    {
        m_monitor.reset();
        m_root.reset();
        onboarding.reset();
        palette.reset();
        store.reset();
    }

    // What the panel shows now, saved as <name>.png in the pictures' folder.
    QImage shoot(const QString &name)
    {
        m_window.grabWindow(); // lays out
        QImage image = m_window.grabWindow();
        const QString folder = QStringLiteral(QUORVANE_PALETTE_SHOTS_DIR);
        QDir().mkpath(folder);
        if (!image.save(folder + u'/' + name + u".png"_s))
            qWarning("cannot write %s.png", qPrintable(name));
        return image;
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&m_window, key, modifiers);
        QTest::qWait(20);
    }
    void typeText(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(&m_window, c.toLatin1());
        QTest::qWait(20);
    }
    void click(QPoint at) { QTest::mouseClick(&m_window, Qt::LeftButton, {}, at); }
    QQuickItem *item(const QString &name) const { return Pictures::find(m_root.get(), name); }
    QString fieldText(const QString &name) const
    {
        QQuickItem *field = item(name);
        return field ? field->property("text").toString() : u"(none)"_s;
    }
    // Capability writes that reached the hub, as "device capability".
    QStringList writes() const
    {
        QStringList lines;
        for (const FakeRequest &request : m_hub.requests()) {
            if (request.method == "PUT")
                lines << QString::fromUtf8(request.path());
        }
        return lines;
    }
    void failWrites() { m_hub.failPath(u"manager/devices/device/*"_s, 500); }
    // The live link drops and cannot come back: the panel goes on with what it last knew.
    void dropLiveLink()
    {
        m_realtime->setAcceptingLinks(false);
        m_realtime->closeLinks();
    }
    // The levels written to a device's capability, as their bodies spell them, in order.
    QStringList written(const QString &deviceID, const QString &capabilityID) const
    {
        static const QRegularExpression value(u"\"value\":([^,}]*)"_s);
        QStringList values;
        for (const FakeRequest &request : m_hub.requests()) {
            const QStringList path = request.segments();
            if (request.method == "PUT" && path.value(3) == deviceID && path.value(5) == capabilityID)
                values << value.match(QString::fromUtf8(request.body)).captured(1);
        }
        return values;
    }
    void clearWrites() { m_hub.clearRequests(); }
    // Lamps more in a zone, as the hub has them when the store loads the home again.
    void addLamps(const QString &zoneID, int count)
    {
        QJsonObject home = m_hub.home();
        QJsonObject devices = home.value(u"devices"_s).toObject();
        QJsonObject lamp;
        for (const QJsonValue &device : std::as_const(devices)) {
            if (device.toObject().value(u"class"_s) == u"light"_s)
                lamp = device.toObject();
        }
        for (int i = 0; i < count; ++i) {
            const QString id = u"extra-lamp-%1"_s.arg(i);
            lamp.insert(u"id"_s, id);
            lamp.insert(u"name"_s, u"Extra lamp %1"_s.arg(i));
            lamp.insert(u"zone"_s, zoneID);
            devices.insert(id, lamp);
        }
        home.insert(u"devices"_s, devices);
        m_hub.setHome(home);
        awaitTask(store->resync());
    }
    // The hub's writes as "<device name> <capability> <value as the body spells it>", sorted.
    QStringList writtenByName() const
    {
        static const QRegularExpression value(u"\"value\":([^,}]*)"_s);
        const QJsonObject devices = m_hub.home().value(u"devices"_s).toObject();
        QStringList lines;
        for (const FakeRequest &request : m_hub.requests()) {
            const QStringList path = request.segments();
            if (request.method == "PUT")
                lines << devices.value(path.value(3)).toObject().value(u"name"_s).toString() + u' ' +
                             path.value(5) + u' ' + value.match(QString::fromUtf8(request.body)).captured(1);
        }
        lines.sort();
        return lines;
    }
    // The column beside the selected results row's accessory where its Return key is drawn.
    QQuickItem *selectedVerbColumn() const
    {
        const QList<ListRow> &lines = palette->results()->rows()->rows();
        int selected = -1;
        for (int line = 0; line < lines.size(); ++line) {
            if (lines.at(line).kind == ListRow::Kind::Row && lines.at(line).row.selected)
                selected = line;
        }
        QQuickItem *list = item(u"resultsView"_s);
        if (!list || selected < 0)
            return nullptr;
        const QList<QQuickItem *> drawn = list->property("contentItem").value<QQuickItem *>()->childItems();
        for (QQuickItem *candidate : drawn) {
            if (candidate->isVisible() && candidate->property("index").toInt() == selected)
                return Pictures::find(candidate, u"verbColumn"_s);
        }
        return nullptr;
    }
    // What the selected results row draws beside its Return key: "⏎ aan".
    QString returnChip() const
    {
        QQuickItem *column = selectedVerbColumn();
        if (!column)
            return u"(selected row not drawn)"_s;
        QStringList texts;
        const std::function<void(QQuickItem *)> collect = [&](QQuickItem *at) {
            if (!at->isVisible())
                return;
            if (const QString text = at->property("text").toString(); !text.isEmpty())
                texts << text;
            for (QQuickItem *child : at->childItems())
                collect(child);
        };
        collect(column);
        return texts.join(u' ');
    }
    QQuickWindow *window() { return &m_window; }
    // Where the overview's focused room tile of this grid stands against the overview's visible part;
    // empty when it lies wholly inside.
    QString focusedTileOutOfView(QQuickItem *grid) const
    {
        QQuickItem *scroll = item(u"restScroll"_s);
        for (QQuickItem *tile : grid ? grid->childItems() : QList<QQuickItem *>()) {
            if (!scroll || !tile->property("selected").toBool())
                continue;
            const QRect at = sceneRect(tile);
            const QRect view = sceneRect(scroll);
            return view.contains(at) ? QString()
                                     : u"tile %1 to %2, view %3 to %4"_s.arg(at.top())
                                           .arg(at.bottom())
                                           .arg(view.top())
                                           .arg(view.bottom());
        }
        return u"no focused tile"_s;
    }
    // Where the selection (a results or room row, an overview tile or the button for the extra rooms)
    // stands against the visible part of the list or overview that shows it; empty when it lies wholly
    // inside.
    QString selectionOutOfView()
    {
        m_window.grabWindow(); // lays out
        QQuickItem *view = nullptr;
        QQuickItem *selected = nullptr;
        const PaletteController::Content content = palette->content();
        if (content == PaletteController::Content::Rest) {
            view = item(u"restScroll"_s);
            const std::optional<TileFocus> focus = palette->rest()->focus();
            if (!focus)
                return u"no focus"_s;
            if (focus->kind == TileFocus::Kind::More)
                selected = item(u"moreRoomsPlate"_s);
            if (focus->kind == TileFocus::Kind::Mode)
                view = item(u"modeBar"_s);
            const QString name = focus->kind == TileFocus::Kind::Scene  ? u"sceneChip"_s
                                 : focus->kind == TileFocus::Kind::Room ? u"roomTile"_s
                                                                        : u"modeChip"_s;
            for (QQuickItem *tile : view ? named(view, name) : QList<QQuickItem *>()) {
                if (tile->property("index").toInt() == focus->index)
                    selected = tile;
            }
        } else if (palette->room()->hasDimmer() && store->selection() == 0) {
            view = m_root.get();
            selected = item(u"allButton"_s); // the row for all the room's lamps stands above the list
        } else {
            const bool room = content == PaletteController::Content::Room;
            const QList<ListRow> &lines =
                (room ? palette->room()->rows() : palette->results()->rows())->rows();
            int line = -1;
            for (int at = 0; at < lines.size(); ++at) {
                if (lines.at(at).kind == ListRow::Kind::Row && lines.at(at).row.selected)
                    line = at;
            }
            view = item(room ? u"roomView"_s : u"resultsView"_s);
            // The list's own item for the line: a delegate it holds for reuse keeps an old index.
            QQuickItem *drawn = nullptr;
            if (view && line >= 0)
                QMetaObject::invokeMethod(view, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, drawn),
                                          Q_ARG(int, line));
            if (QQuickItem *hitLine = Pictures::find(drawn, u"hitLine"_s))
                selected = hitLine->childItems().value(0); // the row, without its controls
        }
        if (!view || !selected)
            return u"selection not drawn"_s;
        const QRect at = sceneRect(selected);
        const QRect shown = sceneRect(view).intersected(QRect(QPoint(0, 0), m_window.size()));
        return shown.contains(at) ? QString()
                                  : u"selection %1 to %2, view %3 to %4"_s.arg(at.top())
                                        .arg(at.bottom())
                                        .arg(shown.top())
                                        .arg(shown.bottom());
    }
    void resize(QSize size)
    {
        m_window.resize(size);
        m_root->setSize(size);
    }
    // The level bar of the results row in this line of the list.
    QQuickItem *rowBar(int line) const
    {
        QQuickItem *list = item(u"resultsView"_s);
        if (!list)
            return nullptr;
        const QList<QQuickItem *> lines = list->property("contentItem").value<QQuickItem *>()->childItems();
        for (QQuickItem *candidate : lines) {
            if (candidate->isVisible() && candidate->property("index").toInt() == line)
                return Pictures::find(candidate, u"rowLevelBar"_s);
        }
        return nullptr;
    }

    QString error;
    std::unique_ptr<HomeStore> store;
    HoverGate hoverGate;
    std::unique_ptr<PaletteController> palette;
    std::unique_ptr<OnboardingRoot> onboarding;
    int dismissed = 0;

private:
    FakeHub m_hub;
    FakeRealtime *m_realtime = nullptr; // the hub's
    QQmlEngine m_engine;
    QQuickWindow m_window;
    std::unique_ptr<QQuickItem> m_root;
    std::unique_ptr<KeyMonitor> m_monitor;
};

// The first line of the results that is a lit lamp's row, not selected; -1 for none.
int litUnselectedLamp(const PaletteController &palette)
{
    const QList<ListRow> &lines = palette.results()->rows()->rows();
    for (int line = 0; line < lines.size(); ++line) {
        const ResultRowLook &row = lines.at(line).row;
        if (lines.at(line).kind == ListRow::Kind::Row && !row.selected &&
            row.hit.accessory.dimmerLevel().value_or(0) > 0)
            return line;
    }
    return -1;
}

QStringList hintTexts(const PaletteController &palette)
{
    QStringList texts;
    for (const KeyHint &hint : palette.hints().hints)
        texts << hint.keys.join(QString()) + u' ' + hint.what;
    return texts;
}

// A text cut short by its width.
bool cut(const QQuickItem *text)
{
    return text->property("truncated").toBool() || text->implicitWidth() > text->width();
}

} // namespace

// The panel drawn in each of its states over the demo home, driven by key presses on its window as a
// person would: offscreen, software renderer, reduced motion, one pinned font. Each picture is checked
// at known places and against the controller's texts; they stay in the build folder's palette/.
class PaletteShotsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void overview();
    void resultsWithTheLampsControls();
    void room();
    void anArmedUnlock();
    void theGarageDoorAndTheAlarmOfferTheirControls();
    void notifications();
    void problemBanner();
    void tokenScreen();
    void connectionScreens();
    void aRowSelectedByThePointerKeepsItsBarInPlace();
    void draggedBarsSendFewLevelsOnTheirGrid();
    void theAlarmsStripNamesItsMode();
    void theReturnChipSaysWhatReturnDoes_data();
    void theReturnChipSaysWhatReturnDoes();
    void aRowDrawsReturnOnlyWhereReturnActs_data();
    void aRowDrawsReturnOnlyWhereReturnActs();
    void theExtraRoomsAreReachedWithTheArrows();
    void backFromARoomItsTileIsWhollyInView();
    void aFocusedTileThatMovesIsBroughtIntoView();
    void theSelectionStaysInView_data();
    void theSelectionStaysInView();
    void aNewCountRewritesOneHint();
    void hintsOnlyForKeysThatWork();
    void aStripsTitlesAreWhole_data();
    void aStripsTitlesAreWhole();
    void aSlowLinkLeavesTheHeadlineWhole();

private:
    PinnedLook m_look;
};

void PaletteShotsTest::initTestCase()
{
    QVERIFY(m_look.pin());
}

// A binding loop leaves a size to whichever pass ran last, and Qt writes a warning for it on the
// user's terminal.
void PaletteShotsTest::init()
{
    QTest::failOnWarning(QRegularExpression(u"Binding loop"_s));
}

void PaletteShotsTest::overview()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    QCOMPARE(panel.store->connection(), ConnectionState::live());
    QCOMPARE(panel.palette->content(), PaletteController::Content::Rest);
    const QImage image = panel.shoot(u"palette-overview"_s);

    QVERIFY(!panel.item(u"problemBanner"_s));
    QQuickItem *prompt = panel.item(u"searchPrompt"_s);
    QVERIFY(prompt);
    QCOMPARE(prompt->property("text").toString(), u"Zoek een lamp, kamer of flow…"_s);
    QVERIFY(inked(image, sceneRect(prompt)) > 20);
    // The hot key's chip: the accent, faint, behind its label.
    QQuickItem *chip = panel.item(u"hotKeyChip"_s);
    QVERIFY(chip);
    const QRect chipRect = sceneRect(chip);
    COMPARE_COLOR(image, QPoint(chipRect.left() + 2, chipRect.center().y()),
                  over(Theme::fade(Theme::lit(), 0.16), Theme::surface()), 6);
    // The hint bar at the foot names the keys.
    QQuickItem *hints = panel.item(u"hintBar"_s);
    QVERIFY(hints);
    QCOMPARE(sceneRect(hints).bottom(), height - 1);
    QVERIFY(inked(image, sceneRect(hints), 70) > 200); // faint text
    QCOMPARE(hintTexts(*panel.palette), (QStringList{u"↑↓←→ kies"_s, u"⏎ open kamer"_s, u"␣ aan/uit"_s,
                                                     u"⌘←⌘→ dimmen"_s, u"⌘1 scene"_s}));
}

void PaletteShotsTest::resultsWithTheLampsControls()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    // Typed into the field through the window; Tab opens the controls and types nothing.
    panel.typeText(u"plafondlamp woon"_s);
    QCOMPARE(panel.store->query(), u"plafondlamp woon"_s);
    QCOMPARE(panel.palette->content(), PaletteController::Content::Results);
    const QImage results = panel.shoot(u"palette-results"_s);
    QCOMPARE(hintTexts(*panel.palette), (QStringList{u"↑↓ kies"_s, u"⏎ doe"_s, u"⌘⏎ doe, blijf"_s,
                                                     u"⇥ regel"_s, u"⌘←⌘→ dimmen"_s, u"esc terug"_s}));
    QVERIFY(inked(results, sceneRect(panel.item(u"hintBar"_s)), 70) > 200);
    QVERIFY(!panel.item(u"controlStrip"_s));
    panel.press(Qt::Key_Tab);
    QCOMPARE(panel.fieldText(u"searchField"_s), u"plafondlamp woon"_s);
    QVERIFY(panel.palette->strip());
    panel.press(Qt::Key_Down);
    const QImage image = panel.shoot(u"palette-results-strip"_s);

    QQuickItem *strip = panel.item(u"controlStrip"_s);
    QVERIFY(strip);
    const QRect area = sceneRect(strip);
    QVERIFY2(area.height() > 100, qPrintable(QString::number(area.height())));
    // The strip's plate, and its accent down the leading edge.
    COMPARE_COLOR(image, QPoint(area.right() - 4, area.top() + 4), Theme::surfaceHi(), 8);
    COMPARE_COLOR(image, QPoint(area.left() + 1, area.top() + 20), Theme::lit(), 10);
    QVERIFY(inked(image, area) > 300);
    // The dim bar has the focus: the arrows move it, Space does nothing there.
    QCOMPARE(hintTexts(*panel.palette),
             (QStringList{u"↑↓ component"_s, u"←→ bedienen"_s, u"esc regel dicht"_s}));
    QCOMPARE(panel.palette->strip()->focusedRow(), panel.palette->controlFocus());
}

void PaletteShotsTest::room()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.press(Qt::Key_Return); // the focused room tile
    QVERIFY(panel.store->room());
    QCOMPARE(panel.palette->content(), PaletteController::Content::Room);
    const QImage image = panel.shoot(u"palette-room"_s);

    QQuickItem *chip = panel.item(u"scopeChip"_s);
    QVERIFY(chip);
    QVERIFY(inked(image, sceneRect(chip)) > 20);
    QCOMPARE(panel.palette->search().chip.name, panel.store->room()->name);
    QCOMPARE(panel.item(u"searchPrompt"_s)->property("text").toString(), u"Filter in deze kamer…"_s);
    QVERIFY(!panel.item(u"hotKeyChip"_s));
    QCOMPARE(hintTexts(*panel.palette), (QStringList{u"↑↓ kies"_s, u"⏎ alles aan/uit"_s, u"␣ aan/uit"_s,
                                                     u"⌘←⌘→ kamer dimmen"_s, u"esc terug naar huis"_s}));
    QVERIFY(inked(image, sceneRect(panel.item(u"hintBar"_s)), 70) > 200);
    // Backspace in the empty field goes home.
    panel.press(Qt::Key_Backspace);
    QCOMPARE(panel.palette->content(), PaletteController::Content::Rest);
}

void PaletteShotsTest::anArmedUnlock()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.typeText(u"voordeur"_s);
    panel.press(Qt::Key_Return); // a lock opens its controls and the panel stays
    QCOMPARE(panel.dismissed, 0);
    QVERIFY(panel.palette->strip());
    panel.press(Qt::Key_Return);
    QVERIFY(panel.palette->gate()->hasArmed());
    QVERIFY(panel.writes().isEmpty());
    const QImage image = panel.shoot(u"palette-armed"_s);

    QCOMPARE(hintTexts(*panel.palette), (QStringList{u"⏎ bevestig"_s, u"esc toch niet"_s}));
    QVERIFY(inked(image, sceneRect(panel.item(u"controlStrip"_s))) > 200);
    panel.press(Qt::Key_Return);
    QTRY_COMPARE(panel.writes().size(), 1);
    QVERIFY(panel.writes().first().endsWith(u"/capability/locked"_s));
    QCOMPARE(panel.dismissed, 0);
}

// Every guarded control of the demo home can be worked from the keyboard: the garage door opens only on
// a second press and closes on the first; the alarm arms at once and disarms on a second press.
void PaletteShotsTest::theGarageDoorAndTheAlarmOfferTheirControls()
{
    const QString garageDoor = u"b63c1ef8-5849-5802-b181-2fcb8273b04e"_s;
    const QString alarm = u"8bd7d042-7e65-5e2c-b474-6af25a7de380"_s;
    {
        Panel panel(m_look.motion.get());
        QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
        panel.typeText(u"garagedeur"_s);
        panel.press(Qt::Key_Return);
        QVERIFY(panel.palette->strip());
        QCOMPARE(panel.palette->strip()->deviceID(), garageDoor);
        QCOMPARE(panel.palette->strip()->rows(),
                 (QList<ControlRow>{ControlRow::single(ControlRow::Kind::Action, u"garagedoor_closed"_s)}));
        panel.shoot(u"palette-garage-door"_s);
        panel.press(Qt::Key_Return);
        QVERIFY(panel.palette->gate()->hasArmed());
        QVERIFY(panel.writes().isEmpty());
        panel.press(Qt::Key_Return);
        QTRY_COMPARE(panel.written(garageDoor, u"garagedoor_closed"_s), QStringList{u"false"_s});
        // Open now: the same key closes it, at the first press.
        QTRY_COMPARE(panel.store->device(garageDoor)->capability(u"garagedoor_closed"_s)->value,
                     std::optional(CapabilityValue::fromBool(false)));
        panel.press(Qt::Key_Return);
        QTRY_COMPARE(panel.written(garageDoor, u"garagedoor_closed"_s), (QStringList{u"false"_s, u"true"_s}));
    }
    {
        Panel panel(m_look.motion.get());
        QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
        panel.typeText(u"alarmsysteem"_s);
        panel.press(Qt::Key_Return);
        QVERIFY(panel.palette->strip());
        QCOMPARE(panel.palette->strip()->deviceID(), alarm);
        QCOMPARE(panel.palette->strip()->rows(),
                 (QList<ControlRow>{ControlRow::single(ControlRow::Kind::ArmMode, u"homealarm_state"_s)}));
        panel.shoot(u"palette-alarm"_s);
        // The cursor starts on the current mode, disarmed; left of it is armed.
        panel.press(Qt::Key_Left);
        panel.press(Qt::Key_Return);
        QTRY_COMPARE(panel.written(alarm, u"homealarm_state"_s), QStringList{u"\"armed\""_s});
        panel.press(Qt::Key_Right);
        panel.press(Qt::Key_Return);
        QVERIFY(panel.palette->gate()->hasArmed());
        QCOMPARE(panel.written(alarm, u"homealarm_state"_s).size(), 1);
        panel.press(Qt::Key_Return);
        QTRY_COMPARE(panel.written(alarm, u"homealarm_state"_s),
                     (QStringList{u"\"armed\""_s, u"\"disarmed\""_s}));
    }
}

void PaletteShotsTest::notifications()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.press(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(panel.palette->content(), PaletteController::Content::Notifications);
    QVERIFY(!panel.palette->notifications()->isEmpty());
    QCOMPARE(panel.fieldText(u"searchField"_s), QString()); // the chord typed nothing
    const QImage image = panel.shoot(u"palette-notifications"_s);

    QQuickItem *title = panel.item(u"notificationsTitle"_s);
    QVERIFY(title);
    QCOMPARE(title->property("text").toString(), u"MELDINGEN"_s);
    QVERIFY(inked(image, sceneRect(title), 70) > 20);
    QVERIFY(!panel.item(u"bell"_s));
    QCOMPARE(hintTexts(*panel.palette), (QStringList{u"↑↓ lees"_s, u"⌘⌫ wis alles"_s, u"esc terug"_s}));
    QVERIFY(inked(image, sceneRect(panel.item(u"hintBar"_s)), 70) > 100);
    // The first row is selected: the selection plate, and the accent stripe on its leading edge.
    QQuickItem *list = panel.item(u"notificationsView"_s);
    QVERIFY(list);
    const QRect rows = sceneRect(list);
    const int firstRowMiddle = rows.top() + 20;
    COMPARE_COLOR(image, QPoint(rows.left() + 1, firstRowMiddle), Theme::lit(), 12);
    COMPARE_COLOR(image, QPoint(rows.center().x() + 60, rows.top() + 3),
                  over(Theme::selection(), Theme::surface()), 6);

    // A filter that matches nothing: the empty state under the same header.
    panel.typeText(u"zzqx"_s);
    QVERIFY(panel.palette->notifications()->isEmpty());
    const QImage empty = panel.shoot(u"palette-notifications-empty"_s);
    QQuickItem *emptyState = panel.item(u"notificationsEmpty"_s);
    QVERIFY(emptyState);
    QVERIFY(inked(empty, sceneRect(emptyState)) > 100);
    QVERIFY(!panel.item(u"clearAll"_s));
    panel.press(Qt::Key_Escape);
    panel.press(Qt::Key_Escape);
    QCOMPARE(panel.palette->content(), PaletteController::Content::Rest);
}

void PaletteShotsTest::problemBanner()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.failWrites();
    panel.typeText(u"plafondlamp woon"_s);
    panel.press(Qt::Key_Return, Qt::ControlModifier);
    QTRY_VERIFY(panel.palette->hasProblem());
    const QImage image = panel.shoot(u"palette-problem"_s);

    QQuickItem *banner = panel.item(u"problemBanner"_s);
    QVERIFY(banner);
    const QRect area = sceneRect(banner);
    COMPARE_COLOR(image, QPoint(area.left() + 1, area.center().y()), Theme::alarm(), 10);
    QVERIFY(inked(image, area) > 200);
    panel.palette->dismissProblem();
    QTRY_VERIFY(!panel.item(u"problemBanner"_s));
}

void PaletteShotsTest::tokenScreen()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    OnboardingRoot::Facts facts;
    facts.showing = true;
    facts.hasToken = true;
    facts.message = u"De Homey weigert deze sleutel."_s;
    panel.onboarding->setFacts(facts);
    QTest::qWait(20);
    // Keys go to the field here, the palette's map among them.
    panel.typeText(u"geheim 12"_s);
    panel.press(Qt::Key_Backspace);
    QCOMPARE(panel.onboarding->token(), u"geheim 1"_s);
    QQuickItem *field = panel.item(u"tokenField"_s);
    QVERIFY(field);
    QVERIFY(!field->property("displayText").toString().contains(u"geheim"_s));
    QCOMPARE(panel.store->query(), QString());
    const QImage image = panel.shoot(u"onboarding-token"_s);

    QQuickItem *message = panel.item(u"onboardingMessage"_s);
    QVERIFY(message);
    QCOMPARE(message->property("color").value<QColor>().rgba(), Theme::alarm().rgba());
    QQuickItem *save = panel.item(u"saveButton"_s);
    QVERIFY(save);
    COMPARE_COLOR(image, sceneRect(save).topLeft() + QPoint(4, 4), Theme::lit(), 10);

    panel.click(sceneRect(panel.item(u"forgetButton"_s)).center());
    QVERIFY(panel.onboarding->confirmsForget());
    const QImage confirm = panel.shoot(u"onboarding-forget"_s);
    QVERIFY(inked(confirm, sceneRect(panel.item(u"confirmForget"_s))) > 20);
}

void PaletteShotsTest::connectionScreens()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    OnboardingRoot::Facts facts;
    facts.busy = true;
    panel.onboarding->setFacts(facts);
    QTest::qWait(20);
    QImage image = panel.shoot(u"onboarding-connecting"_s);
    QCOMPARE(panel.item(u"problemTitle"_s)->property("text").toString(), u"Verbinding maken met je Homey"_s);
    QVERIFY(!panel.item(u"retryButton"_s));
    QVERIFY(!panel.item(u"problemHintBar"_s)); // no key works on it yet

    facts.connectionProblem = u"Geen Homey gevonden op dit netwerk."_s;
    panel.onboarding->setFacts(facts);
    QTest::qWait(20);
    image = panel.shoot(u"onboarding-problem"_s);
    QCOMPARE(panel.item(u"problemTitle"_s)->property("text").toString(), u"Geen verbinding met je Homey"_s);
    QQuickItem *text = panel.item(u"problemText"_s);
    QCOMPARE(text->property("text").toString(), u"Geen Homey gevonden op dit netwerk."_s);
    QVERIFY(inked(image, sceneRect(text)) > 100);
    QQuickItem *retry = panel.item(u"retryButton"_s);
    QVERIFY(retry);
    COMPARE_COLOR(image, sceneRect(retry).topLeft() + QPoint(4, 4), Theme::lit(), 10);
    // At its foot the keys that work there, clear of the advice and the buttons.
    QQuickItem *bar = panel.item(u"problemHintBar"_s);
    QVERIFY(bar);
    QVERIFY(findText(bar, u"opnieuw proberen"_s));
    QVERIFY(inked(image, sceneRect(bar), 70) > 200);
    QQuickItem *configure = panel.item(u"configureButton"_s);
    for (QQuickItem *above : {text, retry, configure})
        QVERIFY(!sceneRect(bar).intersects(sceneRect(above)));
    // The ring follows the button the keys move to.
    QVERIFY(retry->property("hasKeyboard").toBool());
    QVERIFY(panel.onboarding->handleKey(Qt::Key_Tab, Qt::NoModifier, false));
    QTRY_VERIFY(configure->property("hasKeyboard").toBool());
    QVERIFY(!retry->property("hasKeyboard").toBool());
    QVERIFY(findText(bar, u"API-sleutel wijzigen"_s));
    panel.shoot(u"onboarding-problem-configure"_s);
    QVERIFY(!panel.item(u"problemKeepsTrying"_s));

    facts.retrying = true;
    panel.onboarding->setFacts(facts);
    QTest::qWait(20);
    image = panel.shoot(u"onboarding-problem-retrying"_s);
    QQuickItem *keepsTrying = panel.item(u"problemKeepsTrying"_s);
    QVERIFY(keepsTrying);
    QCOMPARE(keepsTrying->property("text").toString(), u"Quorvane blijft het op de achtergrond proberen."_s);
    QVERIFY(inked(image, sceneRect(keepsTrying), 70) > 50); // faint text
    QVERIFY(!sceneRect(bar).intersects(sceneRect(keepsTrying)));
    // While another screen is up the palette takes no keys.
    panel.press(Qt::Key_N, Qt::ControlModifier);
    QVERIFY(!panel.store->showsNotifications());
}

// The pointer rests on the level bar of a row that is not selected: the row takes the selection, its
// Return key appears, and a click there still sets the lamp's level instead of switching the lamp.
void PaletteShotsTest::aRowSelectedByThePointerKeepsItsBarInPlace()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.typeText(u"lamp"_s);
    const int line = litUnselectedLamp(*panel.palette);
    QVERIFY(line >= 0);
    const ResultRowLook row = panel.palette->results()->rows()->rows().at(line).row;
    const QString lamp = *row.hit.deviceID();
    panel.shoot(u"palette-row-before-hover"_s);
    QQuickItem *bar = panel.rowBar(line);
    QVERIFY(bar);
    const QRect before = sceneRect(bar);

    QTest::mouseMove(panel.window(), before.center());
    QTRY_COMPARE(panel.store->selection(), row.index);
    panel.shoot(u"palette-row-hovered"_s);
    QCOMPARE(sceneRect(panel.rowBar(line)), before);
    panel.clearWrites();
    panel.click(before.center());
    QTRY_COMPARE(panel.written(lamp, u"dim"_s).size(), 1);
    QTest::qWait(200);
    QCOMPARE(panel.written(lamp, u"onoff"_s), QStringList());

    // In a room the "Alle lampen" row's bar, its title and its key caps keep their place too.
    QTest::mouseMove(panel.window(), QPoint(width / 2, 20)); // over the search row, out of the way
    panel.press(Qt::Key_Escape);
    panel.press(Qt::Key_Return); // the focused room tile
    QVERIFY(panel.store->room());
    panel.press(Qt::Key_Down);
    QCOMPARE(panel.store->selection(), 1);
    panel.shoot(u"palette-room-before-hover"_s);
    QQuickItem *roomBar = panel.item(u"roomDimmerBar"_s);
    QVERIFY(roomBar);
    const QRect roomBefore = sceneRect(roomBar);
    QTest::mouseMove(panel.window(), roomBefore.center() + QPoint(0, 1));
    QTRY_COMPARE(panel.store->selection(), 0);
    panel.shoot(u"palette-room-hovered"_s);
    QCOMPARE(sceneRect(panel.item(u"roomDimmerBar"_s)), roomBefore);
}

// A fast drag along a results row's bar sends a few levels and ends on the last one; a click on a
// control strip's bar goes out on the capability's grid, not as the fraction of a pixel.
void PaletteShotsTest::draggedBarsSendFewLevelsOnTheirGrid()
{
    // The drag's pace is the clock's, not the machine's: a move every 8 ms, as a quick hand makes them.
    auto clock = std::make_shared<ManualClock>();
    Panel panel(m_look.motion.get(), clock);
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.typeText(u"lamp"_s);
    const int line = litUnselectedLamp(*panel.palette);
    QVERIFY(line >= 0);
    const QString lamp = *panel.palette->results()->rows()->rows().at(line).row.hit.deviceID();
    panel.shoot(u"palette-row-drag"_s);
    QQuickItem *bar = panel.rowBar(line);
    QVERIFY(bar);
    const QRect area = sceneRect(bar);
    panel.clearWrites();
    QTest::mousePress(panel.window(), Qt::LeftButton, {}, QPoint(area.left() + 2, area.center().y()));
    for (int step = 1; step <= 20; ++step) {
        QTest::mouseMove(panel.window(),
                         QPoint(area.left() + 2 + step * area.width() / 30, area.center().y()));
        clock->advance(std::chrono::milliseconds(8));
    }
    const QPoint end(area.left() + area.width() * 3 / 4, area.center().y());
    QTest::mouseRelease(panel.window(), Qt::LeftButton, {}, end);
    // The period after the last write ends, the level the drag ended on goes out, and its own period
    // ends with nothing left to send.
    clock->advance(2 * LevelCoalescer::defaultPeriod);
    const auto endedOnRelease = [&] {
        const QStringList levels = panel.written(lamp, u"dim"_s);
        return !levels.isEmpty() && std::abs(levels.last().toDouble() - 0.75) < 0.03 &&
               panel.store->device(lamp)->dimLevel() == levels.last().toDouble();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(endedOnRelease(), qPrintable(panel.written(lamp, u"dim"_s).join(u", "_s)),
                              30000);
    const QStringList levels = panel.written(lamp, u"dim"_s);
    QVERIFY2(levels.size() <= 4, qPrintable(levels.join(u", "_s)));

    // The selected lamp's controls, and a click on its dim bar a few pixels in.
    panel.press(Qt::Key_Tab);
    QVERIFY(panel.palette->strip());
    const QString opened = panel.palette->strip()->deviceID();
    panel.shoot(u"palette-strip-bar"_s);
    QQuickItem *stripBar = panel.item(u"stripLevelBar"_s);
    QVERIFY(stripBar);
    const QRect strip = sceneRect(stripBar);
    panel.clearWrites();
    panel.click(QPoint(strip.left() + 17, strip.center().y()));
    QTRY_COMPARE(panel.written(opened, u"dim"_s).size(), 1);
    static const QRegularExpression hundredths(u"^(0|1|0\\.\\d\\d?)$"_s);
    QVERIFY2(hundredths.match(panel.written(opened, u"dim"_s).first()).hasMatch(),
             qPrintable(panel.written(opened, u"dim"_s).first()));
}

// The alarm's controls say the mode by the name its row gives it, not by the hub's id for it.
void PaletteShotsTest::theAlarmsStripNamesItsMode()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.typeText(u"alarmsysteem"_s);
    panel.press(Qt::Key_Return); // a guarded device opens its controls
    QVERIFY(panel.palette->strip());
    const QImage image = panel.shoot(u"palette-alarm-strip"_s);
    QQuickItem *strip = panel.item(u"controlStrip"_s);
    QVERIFY(strip);
    QVERIFY(!findText(strip, u"disarmed"_s));
    QQuickItem *mode = findText(strip, u"Uitgeschakeld"_s);
    QVERIFY(mode);
    QVERIFY(inked(image, sceneRect(mode), 70) > 10);
}

// Keys that would do nothing are not offered: with nothing found there is no row to run, and in a room
// without a dimmable lamp Ctrl+Left and Ctrl+Right dim nothing.
void PaletteShotsTest::hintsOnlyForKeysThatWork()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.typeText(u"zzqx"_s);
    QVERIFY(panel.palette->results()->isEmpty());
    const QImage nothing = panel.shoot(u"palette-nothing-found"_s);
    QCOMPARE(hintTexts(*panel.palette), QStringList{u"esc terug"_s});
    QVERIFY(inked(nothing, sceneRect(panel.item(u"hintBar"_s)), 70) > 20);

    panel.press(Qt::Key_Escape);
    const int garage = [&] {
        const QList<Room> rooms = panel.palette->rest()->visibleRooms();
        for (int i = 0; i < rooms.size(); ++i) {
            if (rooms.at(i).name == u"Garage"_s)
                return i;
        }
        return -1;
    }();
    QVERIFY(garage >= 0);
    for (int step = 0; step < garage; ++step)
        panel.press(Qt::Key_Right);
    QCOMPARE(panel.palette->rest()->focus(), TileFocus::room(garage));
    panel.press(Qt::Key_Return);
    QVERIFY(panel.store->room());
    QCOMPARE(panel.store->room()->dimmableCount, 0);
    QCOMPARE(panel.store->selection(), 0); // the row for all its lamps
    panel.shoot(u"palette-room-no-dimmer"_s);
    QQuickItem *keys = panel.item(u"roomDimKeys"_s);
    QVERIFY(keys);
    QCOMPARE(keys->opacity(), 0.0);
    QVERIFY(!hintTexts(*panel.palette).join(u' ').contains(u"dimmen"_s));
}

void PaletteShotsTest::theReturnChipSaysWhatReturnDoes_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("chip");
    QTest::addColumn<QStringList>("writes");
    // The reading lamp is off, the living room's ceiling lamp on.
    QTest::newRow("a level for a dark lamp")
        << u"leeslamp 40"_s << u"⏎ 40%"_s << QStringList{u"Leeslamp dim 0.4"_s, u"Leeslamp onoff true"_s};
    QTest::newRow("a level for a room")
        << u"woonkamer 30"_s << u"⏎ 30%"_s
        << QStringList{u"Lamp bij de kast dim 0.3"_s, u"Leeslamp dim 0.3"_s, u"Leeslamp onoff true"_s,
                       u"Plafondlamp woonkamer dim 0.3"_s};
    QTest::newRow("on") << u"leeslamp aan"_s << u"⏎ aan"_s << QStringList{u"Leeslamp onoff true"_s};
    QTest::newRow("off") << u"plafondlamp woonkamer uit"_s << u"⏎ uit"_s
                         << QStringList{u"Plafondlamp woonkamer onoff false"_s};
    QTest::newRow("dim opens the controls") << u"plafondlamp woonkamer dim"_s << u"⏎ toon"_s << QStringList();
}

// The word beside Return on the selected row names what Return then does with a verb typed after the
// name: the lamp or room goes to the typed level, on or off, or its controls open.
void PaletteShotsTest::theReturnChipSaysWhatReturnDoes()
{
    QFETCH(QString, query);
    QFETCH(QString, chip);
    QFETCH(QStringList, writes);
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.typeText(query);
    QCOMPARE(panel.store->query(), query);
    panel.shoot(u"palette-return-chip-"_s + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
    QCOMPARE(panel.returnChip(), chip);
    panel.clearWrites();
    panel.press(Qt::Key_Return);
    QTRY_COMPARE(panel.writtenByName(), writes);
    QCOMPARE(bool(panel.palette->strip()), writes.isEmpty());
}

void PaletteShotsTest::aRowDrawsReturnOnlyWhereReturnActs_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("controls"); // Tab opens the row's controls first
    QTest::addColumn<QString>("chip");
    QTest::newRow("a room with lamps") << u"woonkamer"_s << false << u"⏎ uit"_s;
    QTest::newRow("a dark lamp") << u"leeslamp"_s << false << u"⏎ aan"_s;
    // The storeroom has no lamp: Return would switch nothing.
    QTest::newRow("a room without lamps") << u"berging"_s << false << QString();
    QTest::newRow("a room without lamps, switched on") << u"berging aan"_s << false << QString();
    // Return works the control that has the keyboard, not the row.
    QTest::newRow("a lamp with its controls open") << u"leeslamp"_s << true << QString();
}

// The row as drawn: the selected row shows its Return key, and its word, only where Return acts on it;
// elsewhere the column stays bare.
void PaletteShotsTest::aRowDrawsReturnOnlyWhereReturnActs()
{
    QFETCH(QString, query);
    QFETCH(bool, controls);
    QFETCH(QString, chip);
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.typeText(query);
    if (controls) {
        panel.press(Qt::Key_Tab);
        QVERIFY(panel.palette->strip());
    }
    const std::optional<Hit> hit = panel.store->selectedHit();
    QVERIFY(hit);
    QVERIFY(hit->title.startsWith(query.section(u' ', 0, 0), Qt::CaseInsensitive));
    const QImage image = panel.shoot(u"palette-row-return-"_s +
                                     QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
    QCOMPARE(panel.returnChip(), chip);
    QQuickItem *column = panel.selectedVerbColumn();
    QVERIFY(column);
    const int ink = inked(image, sceneRect(column), 70);
    QVERIFY2(chip.isEmpty() ? ink == 0 : ink > 40, qPrintable(QString::number(ink)));
}

// The button under the grid that shows the rooms beyond the first nine takes the arrows' focus like a
// tile, Return on it does what a click does, and the rooms it shows are reached from there.
void PaletteShotsTest::theExtraRoomsAreReachedWithTheArrows()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    RestScreen *rest = panel.palette->rest();
    const QList<Room> extra = panel.store->rest().moreRooms;
    QVERIFY(!extra.isEmpty());
    const qsizetype first = rest->visibleRooms().size();
    for (int press = 0; press < 10 && rest->focus() != TileFocus::more(); ++press)
        panel.press(Qt::Key_Down);
    QCOMPARE(rest->focus(), TileFocus::more());
    QCOMPARE(hintTexts(*panel.palette), (QStringList{u"↑↓←→ kies"_s, u"⏎ meer kamers"_s, u"⌘1 scene"_s}));
    const QImage focused = panel.shoot(u"palette-more-rooms-focused"_s);
    QQuickItem *plate = panel.item(u"moreRoomsPlate"_s);
    QVERIFY(plate);
    const QRect area = sceneRect(plate);
    COMPARE_COLOR(focused, QPoint(area.left() + 2, area.center().y()),
                  over(Theme::selection(), Theme::surface()), 8);

    panel.press(Qt::Key_Return);
    QVERIFY(rest->moreRoomsShown());
    QCOMPARE(rest->visibleRooms().size(), first + extra.size());
    QCOMPARE(rest->focus(), TileFocus::more());
    QCOMPARE(hintTexts(*panel.palette).value(1), u"⏎ minder kamers"_s);
    panel.shoot(u"palette-more-rooms-shown"_s);
    // Up from the button is the last of the rooms it showed.
    panel.press(Qt::Key_Up);
    panel.press(Qt::Key_Return);
    QVERIFY(panel.store->room());
    QCOMPARE(panel.store->room()->zoneID, extra.last().id);
}

// A new unread count changes the text of the one hint that shows it: the bar keeps every hint and key
// cap it has drawn instead of making them all again.
void PaletteShotsTest::aNewCountRewritesOneHint()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.store->notifications()->setUnread(1);
    QQuickItem *bar = panel.item(u"hintBar"_s);
    QVERIFY(bar);
    QTRY_VERIFY(findText(bar, u"1 melding"_s));
    QList<QPointer<QQuickItem>> drawn;
    const std::function<void(QQuickItem *)> collect = [&](QQuickItem *item) {
        drawn.append(item);
        for (QQuickItem *child : item->childItems())
            collect(child);
    };
    collect(bar);

    panel.store->notifications()->setUnread(2);
    QTRY_VERIFY(findText(bar, u"2 meldingen"_s));
    QTest::qWait(20); // what the bar let go of is deleted later
    for (const QPointer<QQuickItem> &item : drawn)
        QVERIFY(item);
    QVERIFY(!findText(bar, u"1 melding"_s));
    QVERIFY(inked(panel.shoot(u"palette-two-unread"_s), sceneRect(findText(bar, u"2 meldingen"_s)), 70) > 10);
}

// Long Dutch titles of the demo home: the title column makes room for them at the panel's size, and
// the controls of all the strip's rows still line up.
void PaletteShotsTest::aStripsTitlesAreWhole_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("alongside"); // a shorter title in the same strip, if any
    QTest::newRow("thermostat") << u"thermostaat woon"_s << u"Ingestelde temperatuur"_s << QString();
    QTest::newRow("heater") << u"handdoekradiator"_s << u"Ingestelde temperatuur"_s << u"Aangezet"_s;
    QTest::newRow("second output") << u"dubbele wandlamp"_s << u"Aangezet (uitgang 2)"_s << u"Aangezet"_s;
}

void PaletteShotsTest::aStripsTitlesAreWhole()
{
    QFETCH(QString, query);
    QFETCH(QString, title);
    QFETCH(QString, alongside);
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.typeText(query);
    panel.press(Qt::Key_Tab);
    QVERIFY(panel.palette->strip());
    panel.shoot(u"palette-strip-"_s + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));

    QQuickItem *strip = panel.item(u"controlStrip"_s);
    QVERIFY(strip);
    QQuickItem *text = findText(strip, title);
    QVERIFY(text);
    QVERIFY2(!cut(text), qPrintable(u"%1 of %2"_s.arg(text->width()).arg(text->implicitWidth())));
    if (!alongside.isEmpty()) {
        QQuickItem *other = findText(strip, alongside);
        QVERIFY(other);
        QCOMPARE(other->width(), text->width());
    }
}

// "Vertraagd" is wider than "Live": the headline beside it still reads whole at the panel's size.
void PaletteShotsTest::aSlowLinkLeavesTheHeadlineWhole()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    panel.dropLiveLink();
    QTRY_COMPARE_WITH_TIMEOUT(panel.store->connection().kind(), ConnectionState::Kind::degraded, 10000);
    QTRY_COMPARE(panel.palette->statusBar().label, u"Vertraagd"_s);
    const QImage image = panel.shoot(u"palette-slow-link"_s);

    QQuickItem *headline = panel.item(u"statusHeadline"_s);
    QVERIFY(headline);
    QCOMPARE(headline->property("text").toString(), panel.store->rest().headline);
    QVERIFY2(!cut(headline), qPrintable(u"%1 of %2"_s.arg(headline->width()).arg(headline->implicitWidth())));
    QVERIFY(inked(image, sceneRect(headline), 70) > 100);
}

// Backspace out of a room returns to the overview with the room's tile focused, and wholly in view where
// it was left: the overview must not have moved under it while the room was on show.
void PaletteShotsTest::backFromARoomItsTileIsWhollyInView()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    RestScreen *rest = panel.palette->rest();
    // The grid's last row, which the overview scrolls down to.
    panel.press(Qt::Key_Down);
    panel.press(Qt::Key_Down);
    QCOMPARE(rest->focus()->kind, TileFocus::Kind::Room);
    const QString room = rest->visibleRooms().at(rest->focus()->index).id;
    panel.shoot(u"palette-room-tile-low"_s);
    QVERIFY(panel.item(u"restScroll"_s)->property("contentY").toDouble() > 0);
    QQuickItem *grid = panel.item(u"roomGrid"_s); // found while it shows
    QCOMPARE(panel.focusedTileOutOfView(grid), QString());

    panel.press(Qt::Key_Return);
    QCOMPARE(panel.store->scopeZoneID(), room);
    panel.shoot(u"palette-room-entered"_s);
    panel.press(Qt::Key_Backspace);
    QCOMPARE(panel.palette->content(), PaletteController::Content::Rest);
    panel.shoot(u"palette-back-from-room"_s);
    QCOMPARE(rest->visibleRooms().at(rest->focus()->index).id, room);
    QCOMPARE(panel.focusedTileOutOfView(grid), QString());
}

// A rebuild of the overview that moves the focused room's tile keeps the focus on it, and brings it
// wholly into view in its new place.
void PaletteShotsTest::aFocusedTileThatMovesIsBroughtIntoView()
{
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    RestScreen *rest = panel.palette->rest();
    // The last of the extra rooms, at the foot of the grid.
    for (int press = 0; press < 10 && rest->focus() != TileFocus::more(); ++press)
        panel.press(Qt::Key_Down);
    panel.press(Qt::Key_Return);
    QVERIFY(rest->moreRoomsShown());
    rest->setFocus(TileFocus::room(int(rest->visibleRooms().size()) - 1));
    const QString room = rest->visibleRooms().at(rest->focus()->index).id;
    panel.shoot(u"palette-tile-before-climbing"_s);
    QVERIFY(panel.item(u"restScroll"_s)->property("contentY").toDouble() > 0);

    // The room that counts the most devices comes first.
    panel.addLamps(room, 20);
    QCOMPARE(rest->visibleRooms().value(0).id, room);
    QCOMPARE(rest->focus(), TileFocus::room(0));
    panel.shoot(u"palette-tile-climbed"_s);
    QCOMPARE(panel.focusedTileOutOfView(panel.item(u"roomGrid"_s)), QString());
}

void PaletteShotsTest::theSelectionStaysInView_data()
{
    // Steps, each followed by the check: "size <w> <h>" (the window), "type <text>", "down|up <n>" (that
    // many presses), "more" (down to the button for the extra rooms), "return", "ctrl+return", "lamps
    // <n>" (that many lamps more from the hub, in the open room or else the first).
    QTest::addColumn<QStringList>("steps");
    // The overview: Return on the button for the extra rooms leaves the focus on it, under them.
    QTest::newRow("the extra rooms opened") << QStringList{u"more"_s, u"return"_s};
    QTest::newRow("the extra rooms closed") << QStringList{u"more"_s, u"return"_s, u"return"_s};
    QTest::newRow("the extra rooms in a small window")
        << QStringList{u"size 620 420"_s, u"more"_s, u"return"_s, u"up 5"_s, u"down 5"_s, u"return"_s};
    // A narrower window puts the tiles on other lines; a lower one ends the view above them.
    QTest::newRow("a narrower overview") << QStringList{u"down 2"_s, u"size 620 540"_s};
    QTest::newRow("a lower overview") << QStringList{u"more"_s, u"size 760 420"_s};
    // The results: the keys move the selection, a use or the hub the rows under it.
    QTest::newRow("down the results") << QStringList{u"type lamp"_s, u"down 16"_s};
    QTest::newRow("the results in a small window")
        << QStringList{u"size 620 420"_s, u"type lamp"_s, u"down 16"_s, u"up 16"_s};
    QTest::newRow("a use ranks the row higher")
        << QStringList{u"type lamp"_s, u"down 12"_s, u"ctrl+return"_s};
    QTest::newRow("the hub's lamps come above the row")
        << QStringList{u"type lamp"_s, u"down 3"_s, u"lamps 10"_s};
    QTest::newRow("lower results") << QStringList{u"type lamp"_s, u"down 16"_s, u"size 760 420"_s};
    // A room: the living room, the overview's first tile.
    QTest::newRow("down a room") << QStringList{u"return"_s, u"down 12"_s};
    QTest::newRow("a room in a small window")
        << QStringList{u"size 620 420"_s, u"return"_s, u"down 12"_s, u"up 12"_s};
    QTest::newRow("the hub's lamps come above the room's row")
        << QStringList{u"return"_s, u"down 3"_s, u"lamps 10"_s};
    QTest::newRow("a lower room") << QStringList{u"return"_s, u"down 12"_s, u"size 760 420"_s};
}

// Whatever moves the selection, or the rows and tiles under it, or the window around them: the selected
// row, tile or button lies wholly inside the visible part of the list or overview after every step.
void PaletteShotsTest::theSelectionStaysInView()
{
    QFETCH(QStringList, steps);
    Panel panel(m_look.motion.get());
    QVERIFY2(panel.error.isEmpty(), qPrintable(panel.error));
    for (const QString &line : std::as_const(steps)) {
        const QStringList words = line.split(u' ');
        const QString &verb = words.first();
        const int count = words.size() > 1 ? words.at(1).toInt() : 1;
        const bool arrow = verb == u"down" || verb == u"up";
        for (int press = 0; press < (arrow ? count : 1); ++press) {
            if (verb == u"size") {
                panel.resize(QSize(count, words.at(2).toInt()));
            } else if (verb == u"type") {
                panel.typeText(words.at(1));
            } else if (arrow) {
                panel.press(verb == u"down" ? Qt::Key_Down : Qt::Key_Up);
            } else if (verb == u"more") {
                RestScreen *rest = panel.palette->rest();
                for (int tries = 0; tries < 10 && rest->focus() != TileFocus::more(); ++tries)
                    panel.press(Qt::Key_Down);
                QCOMPARE(rest->focus(), TileFocus::more());
            } else if (verb == u"return" || verb == u"ctrl+return") {
                panel.press(Qt::Key_Return, verb == u"return" ? Qt::NoModifier : Qt::ControlModifier);
            } else if (verb == u"lamps") {
                panel.addLamps(panel.store->scopeZoneID().value_or(panel.store->rest().rooms.first().id),
                               count);
            }
            QTRY_VERIFY2_WITH_TIMEOUT(panel.selectionOutOfView().isEmpty(),
                                      qPrintable(line + u": "_s + panel.selectionOutOfView()), 10000);
        }
    }
    panel.shoot(u"palette-in-view-"_s + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
}

QTEST_MAIN(PaletteShotsTest)
#include "tst_paletteshots.moc"
