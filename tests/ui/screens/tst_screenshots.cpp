#include "awaittask.h"
#include "fakehub/fakehub.h"
#include "homey/rest/homeyclient.h"
#include "pinnedlook.h"
#include "store/home/homestore.h"
#include "ui/controls/capabilitywriter.h"
#include "ui/controls/controlstripmodel.h"
#include "ui/controls/guardgate.h"
#include "ui/hovergate.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"
#include "ui/screens/restscreen.h"
#include "ui/screens/resultsscreen.h"
#include "ui/screens/roomscreen.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <QDir>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;

namespace {

// The panel's content area below the search row and the status bar, above the key hints.
constexpr int width = 760;
constexpr int height = 420;

// The three screens stacked as the palette stacks them; the open device's control strip goes in the
// slot under its row, as the palette puts it there.
const char *const stage = R"(import QtQuick
import Quorvane.Ui
Rectangle {
    id: stage
    required property RestScreen rest
    required property ResultsScreen results
    required property RoomScreen room
    required property Motion motion
    property ControlStripModel stripModel: null
    property int mode: 0
    color: Theme.surface
    property Component strip: Item {
        id: holder
        readonly property bool mine: stage.stripModel !== null && parent !== null
                                     && stage.stripModel.deviceID === parent.deviceID
        implicitHeight: stripLoader.item ? stripLoader.item.implicitHeight : 0
        Loader {
            id: stripLoader
            width: holder.width
            active: holder.mine
            sourceComponent: ControlStrip { objectName: "controlStrip"; rows: stage.stripModel; motion: stage.motion }
        }
    }
    RestView { anchors.fill: parent; visible: stage.mode === 0; screen: stage.rest; motion: stage.motion }
    ResultsList {
        anchors.fill: parent; visible: stage.mode === 1
        screen: stage.results; motion: stage.motion; controlStrip: stage.strip
    }
    RoomView {
        anchors.fill: parent; visible: stage.mode === 2
        screen: stage.room; motion: stage.motion; controlStrip: stage.strip
    }
})";

QColor over(const QColor &top, const QColor &bottom)
{
    const double a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + bottom.redF() * (1 - a)),
                            float(top.greenF() * a + bottom.greenF() * (1 - a)),
                            float(top.blueF() * a + bottom.blueF() * (1 - a)));
}

bool near(const QColor &actual, const QColor &expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

#define COMPARE_COLOR(image, point, expected, tolerance)                                                     \
    do {                                                                                                     \
        const QColor got_ = (image).pixelColor(point);                                                       \
        QVERIFY2(near(got_, expected, tolerance),                                                            \
                 qPrintable(u"at %1,%2: got %3, expected about %4"_s.arg((point).x())                        \
                                .arg((point).y())                                                            \
                                .arg(got_.name(), QColor(expected).name())));                                \
    } while (false)

// Pixels inside rect clearly brighter than the surface: drawn text.
int inked(const QImage &image, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixelColor(x, y).lightness() > 110;
    return count;
}

// Every visible text under root that is cut short with an ellipsis.
QStringList truncatedTexts(QQuickItem *root)
{
    QStringList cut;
    if (!root->isVisible())
        return cut;
    if (root->property("truncated").toBool())
        cut << root->property("text").toString();
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children)
        cut << truncatedTexts(child);
    return cut;
}

QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (root->objectName() == name && root->isVisible())
        return root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// The texts of every visible text item under root.
QStringList shownTexts(QQuickItem *root)
{
    QStringList texts;
    if (!root->isVisible())
        return texts;
    if (const QVariant text = root->property("text"); text.isValid())
        texts << text.toString();
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children)
        texts << shownTexts(child);
    return texts;
}

// The first visible item under root drawn by the QML type of that name.
QQuickItem *findType(QQuickItem *root, const char *type)
{
    if (root->isVisible() && QByteArray(root->metaObject()->className()).startsWith(type))
        return root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = findType(child, type))
            return found;
    }
    return nullptr;
}

// Every visible item under root drawn by the QML type of that name, in the order of the item tree.
QList<QQuickItem *> findAll(QQuickItem *root, const char *type)
{
    QList<QQuickItem *> found;
    if (!root->isVisible())
        return found;
    if (QByteArray(root->metaObject()->className()).startsWith(type))
        found << root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children)
        found << findAll(child, type);
    return found;
}

QRect sceneRect(const QQuickItem *item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height())).toAlignedRect();
}

QJsonObject demoHome()
{
    const std::optional<QJsonObject> home = FakeHub::readHomeFile(FakeHub::demoHomePath());
    return home.value_or(QJsonObject());
}

// One store over the fake hub serving a home, its three screens and the stage that draws them.
class Rig {
public:
    Rig(const QJsonObject &home, bool stallZones, Motion *motion)
        : m_visibility(), m_preference(true, nullptr)
    {
        if (!m_hub.listen()) {
            error = u"the fake hub does not listen"_s;
            return;
        }
        m_hub.setHome(home);
        if (stallZones)
            m_hub.stallPath(u"manager/zones/*"_s);
        auto client = std::make_shared<HomeyClient>(HomeyEndpoint{m_hub.baseURL(), u"hub"_s, std::nullopt},
                                                    m_hub.token(), nullptr);
        SettingsStore defaults(u"screenshots"_s);
        defaults.remove(HomeStore::recentKey);
        store = std::make_unique<HomeStore>(client, nullptr, nullptr, defaults);
        if (stallZones) {
            store->start(); // never finishes: the hub keeps the zones to itself
            if (!QTest::qWaitFor(
                    [&] { return store->connection().kind() == ConnectionState::Kind::loading; }))
                error = u"the store is not loading"_s;
        } else {
            awaitTask(store->start());
        }
        store->panelDidAppear();
        // The pointer was last seen far away: a move over the screen counts as the hand's.
        gate.reset();
        gate.notePointer(QPointF(-1000, -1000), QPointF(-1000, -1000));
        gate.watch(&m_window);
        rest = std::make_unique<RestScreen>(store.get());
        results = std::make_unique<ResultsScreen>(store.get(), &gate);
        room = std::make_unique<RoomScreen>(store.get(), &gate);

        QQmlComponent component(&m_engine);
        component.setData(stage, QUrl(u"qrc:/stage.qml"_s));
        if (!component.isReady()) {
            error = component.errorString();
            return;
        }
        m_root.reset(qobject_cast<QQuickItem *>(
            component.createWithInitialProperties({{u"rest"_s, QVariant::fromValue(rest.get())},
                                                   {u"results"_s, QVariant::fromValue(results.get())},
                                                   {u"room"_s, QVariant::fromValue(room.get())},
                                                   {u"motion"_s, QVariant::fromValue(motion)}})));
        if (!m_root) {
            error = component.errorString();
            return;
        }
        m_window.setColor(Theme::surface());
        m_root->setParentItem(m_window.contentItem());
        m_root->setSize(QSizeF(width, height));
        m_window.resize(width, height);
        m_window.show();
    }
    ~Rig()
    {
        m_root.reset();
        strip.reset();
        room.reset();
        results.reset();
        rest.reset();
        store.reset();
    }

    // The screen the store is on, drawn and saved as <name>.png in the pictures' folder.
    QImage shoot(const QString &name)
    {
        const HomeStore::Mode mode = store->mode();
        m_root->setProperty("mode", mode == HomeStore::Mode::Rest      ? 0
                                    : mode == HomeStore::Mode::Results ? 1
                                                                       : 2);
        m_window.grabWindow(); // lays out
        QImage image = m_window.grabWindow();
        const QString folder = QStringLiteral(QUORVANE_SCREENS_DIR);
        QDir().mkpath(folder);
        if (!image.save(folder + u'/' + name + u".png"_s))
            qWarning("cannot write %s.png", qPrintable(name));
        return image;
    }
    // Opens the controls of the device under its row, as the palette does for the store's open detail.
    ControlStripModel *openStrip(const QString &deviceID)
    {
        store->setDetailDeviceID(deviceID);
        strip = std::make_unique<ControlStripModel>(
            store.get(), deviceID, CapabilityWriter::storeBacked(store.get()), &guard, nullptr);
        m_root->setProperty("stripModel", QVariant::fromValue(strip.get()));
        return strip.get();
    }
    QQuickItem *item(const QString &name) { return findItem(m_root.get(), name); }
    // What the hub now holds for one capability of a device.
    QJsonValue served(const QString &deviceID, const QString &capability) const
    {
        return m_hub.device(deviceID)
            .value(u"capabilitiesObj"_s)
            .toObject()
            .value(capability)
            .toObject()
            .value(u"value"_s);
    }
    void click(QPoint at) { QTest::mouseClick(&m_window, Qt::LeftButton, {}, at); }
    // Capability writes that reached the hub.
    int writes() const
    {
        const QList<FakeRequest> requests = m_hub.requests();
        return int(std::count_if(requests.begin(), requests.end(),
                                 [](const FakeRequest &request) { return request.method == "PUT"; }));
    }

    QString error; // empty when the rig stands
    std::unique_ptr<HomeStore> store;
    HoverGate gate;
    GuardGate guard;
    std::unique_ptr<ControlStripModel> strip;
    std::unique_ptr<RestScreen> rest;
    std::unique_ptr<ResultsScreen> results;
    std::unique_ptr<RoomScreen> room;

private:
    FakeHub m_hub;
    PanelVisibility m_visibility;
    MotionPreference m_preference;
    QQmlEngine m_engine;
    QQuickWindow m_window;
    std::unique_ptr<QQuickItem> m_root;
};

} // namespace

// The panel's three screens over the demo home, drawn offscreen with the software renderer, reduced
// motion and one pinned font. Each picture is checked at known places and against the screens' own
// texts; all of them stay in the build folder's screens/ for a person to look at.
class ScreenshotsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void overviewWhileLoading();
    void overviewWithoutRooms();
    void overviewWithRooms();
    void overviewScrollsToTheFocusedRoom();
    void everyModeIsWhollyInView();
    void resultsWithAnOpenLamp();
    void aLevelBarTakesItsOwnClick();
    void nothingFound();
    void theNothingFoundExamplesWorkOnTheDemoHome();
    void livingRoom();

private:
    PinnedLook m_look;
};

void ScreenshotsTest::initTestCase()
{
    QVERIFY(m_look.pin());
}

void ScreenshotsTest::overviewWhileLoading()
{
    Rig rig(demoHome(), true, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    QVERIFY(rig.rest->look().loading);
    QCOMPARE(rig.rest->look().roomsHeader.trailing, QString());
    const QImage image = rig.shoot(u"overview-loading"_s);

    QQuickItem *grid = rig.item(u"skeletonGrid"_s);
    QVERIFY(grid);
    const QRect tiles = sceneRect(grid);
    QCOMPARE(tiles.left(), 14);
    QVERIFY2(tiles.height() >= 3 * 80, qPrintable(QString::number(tiles.height()))); // three rows of three
    // Inside the first placeholder, between its bars: the faint plate, no text.
    const QPoint plate(tiles.left() + 120, tiles.top() + 45);
    COMPARE_COLOR(image, plate, over(Theme::fade(Theme::surfaceTile(), 0.6), Theme::surface()), 3);
    QCOMPARE(inked(image, tiles), 0);
}

void ScreenshotsTest::overviewWithoutRooms()
{
    QJsonObject home = demoHome();
    home.remove(u"devices"_s);
    Rig rig(home, false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    QVERIFY(rig.rest->look().showsEmptyRooms);
    QCOMPARE(rig.rest->look().emptyTitle, u"Nog geen kamers gevonden."_s);
    QCOMPARE(rig.rest->look().roomsHeader.trailing, u"alles uit"_s);
    const QImage image = rig.shoot(u"overview-no-rooms"_s);

    QQuickItem *title = rig.item(u"emptyRoomsTitle"_s);
    QVERIFY(title);
    QVERIFY(inked(image, sceneRect(title)) > 100);
    QVERIFY(!rig.item(u"roomGrid"_s));
}

void ScreenshotsTest::overviewWithRooms()
{
    Rig rig(demoHome(), false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    const QList<TilesModel::Tile> &tiles = rig.rest->rooms()->tiles();
    QVERIFY(tiles.size() >= 6);
    QVERIFY(tiles.first().selected);
    QVERIFY(!rig.rest->look().loading && !rig.rest->look().showsEmptyRooms);
    QVERIFY(rig.rest->look().roomsHeader.trailing.endsWith(u" lampen aan"_s));
    const QImage image = rig.shoot(u"overview"_s);

    QQuickItem *grid = rig.item(u"roomGrid"_s);
    QVERIFY(grid);
    // Names that fit their tile are never cut short, whatever fraction of a pixel they measure.
    QCOMPARE(truncatedTexts(grid), QStringList());
    const QRect area = sceneRect(grid);
    // The focused first tile carries the accent along its leading edge.
    COMPARE_COLOR(image, QPoint(area.left() + 1, area.top() + 40), Theme::lit(), 10);
    QVERIFY(rig.item(u"modeBar"_s));

    // A lamp switched at the hub reaches what its tile shows, name and count included. (A lamp that
    // stands for a scene is not counted: switch lamps until the count moves.)
    const Room first = tiles.first().room;
    const QString before = tiles.first().look.statusLine;
    QStringList lamps;
    for (const Device &device : rig.store->devices()) {
        if (device.zoneID == first.id && device.deviceClass == u"light" && device.onoffKey())
            lamps << device.id;
    }
    lamps.sort();
    for (const QString &id : std::as_const(lamps)) {
        const Device lamp = rig.store->devices().value(id);
        rig.store->apply(HomeyEvent::Capability{id, *lamp.onoffKey(),
                                                CapabilityValue::fromBool(!lamp.isOn().value_or(false))});
        if (rig.rest->rooms()->tiles().first().look.statusLine != before)
            break;
    }
    const QString status = rig.rest->rooms()->tiles().first().look.statusLine;
    QVERIFY(status != before);
    rig.shoot(u"overview-after-a-lamp"_s);
    QList<QQuickItem *> shown = grid->childItems();
    shown.removeIf([](const QQuickItem *child) { return child->height() < 80; });
    QVERIFY(!shown.isEmpty());
    const QStringList texts = shownTexts(shown.first());
    QVERIFY2(texts.contains(status) && texts.contains(first.name), qPrintable(texts.join(u" | "_s)));
}

void ScreenshotsTest::overviewScrollsToTheFocusedRoom()
{
    Rig rig(demoHome(), false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    const int extra = int(rig.store->rest().moreRooms.size());
    QVERIFY(extra >= 1);
    QCOMPARE(rig.rest->look().moreRoomsText, u"+ %1 kamers"_s.arg(extra));
    rig.rest->toggleMoreRooms();
    QCOMPARE(rig.rest->look().moreRoomsText, u"Minder kamers"_s);
    const int last = int(rig.rest->rooms()->count()) - 1;
    QCOMPARE(last, 8 + extra);
    const QImage top = rig.shoot(u"overview-more-rooms-top"_s);
    QQuickItem *grid = rig.item(u"roomGrid"_s);
    QQuickItem *modes = rig.item(u"modeBar"_s);
    QVERIFY(grid && modes);
    QList<QQuickItem *> tiles = grid->childItems();
    tiles.removeIf([](const QQuickItem *child) { return child->height() < 80; });
    QCOMPARE(tiles.size(), last + 1);

    // Below the fold a lit tile's bar and glow stay hidden; none of them shows through the mode bar.
    const int fold = sceneRect(modes).top();
    int hiddenBars = 0;
    for (int i = 0; i <= last; ++i) {
        const QRect tile = sceneRect(tiles.at(i));
        const QPoint bar(tile.left() + 12, tile.top() + 9);
        if (rig.rest->rooms()->tiles().at(i).room.lightsOn == 0 || bar.y() < fold || bar.y() >= height)
            continue;
        ++hiddenBars;
        const QColor seen = top.pixelColor(bar);
        QVERIFY2(seen.red() < seen.blue() + 30,
                 qPrintable(u"tile %1 shows through: %2"_s.arg(i).arg(seen.name())));
    }
    QVERIFY(hiddenBars >= 1);

    // The last tile lies below the fold until it takes the focus.
    rig.rest->setFocus(TileFocus::room(last));
    const QImage image = rig.shoot(u"overview-more-rooms"_s);
    const QRect tile = sceneRect(tiles.at(last));
    QVERIFY2(tile.top() >= 0 && tile.bottom() < height - 40,
             qPrintable(u"%1-%2"_s.arg(tile.top()).arg(tile.bottom())));
    COMPARE_COLOR(image, QPoint(tile.left() + 1, tile.center().y()), Theme::lit(), 10);
}

// Six modes do not fit one line at the panel's width: the focused last one is still wholly drawn, with
// its accent, and so is every other.
void ScreenshotsTest::everyModeIsWhollyInView()
{
    Rig rig(demoHome(), false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    const int modes = int(rig.store->rest().modes.size());
    QVERIFY(modes >= 6);
    rig.rest->setFocus(TileFocus::mode(modes - 1));
    const QImage image = rig.shoot(u"overview-modes"_s);
    const QList<QQuickItem *> chips = findAll(rig.item(u"modeBar"_s), "ModeChip");
    QCOMPARE(chips.size(), modes);
    const QRect panel(0, 0, width, height);
    for (const QQuickItem *chip : chips)
        QVERIFY2(panel.contains(sceneRect(chip)),
                 qPrintable(u"right edge %1"_s.arg(sceneRect(chip).right())));
    const QRect focused = sceneRect(chips.last());
    COMPARE_COLOR(image, QPoint(focused.left() + 1, focused.center().y()), Theme::lit(), 10);
    // The bar still sits under the rooms, and above the panel's foot.
    QVERIFY(sceneRect(rig.item(u"modeBar"_s)).bottom() < height);
}

void ScreenshotsTest::resultsWithAnOpenLamp()
{
    Rig rig(demoHome(), false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    rig.store->setQuery(u"lamp"_s);
    const QList<Hit> hits = rig.store->hits();
    QVERIFY(hits.size() > 5);
    // The second lamp is selected and its controls are open.
    const int lamp = 1;
    const std::optional<QString> lampID = hits.at(lamp).deviceID();
    QVERIFY(lampID);
    rig.store->setSelection(lamp);
    const ControlStripModel *controls = rig.openStrip(*lampID);
    const QList<ListRow> &rows = rig.results->rows()->rows();
    QCOMPARE(rows.at(0).header.title, u"BESTE MATCH"_s);
    QCOMPARE(rows.at(0).header.trailing, u"%1 resultaten"_s.arg(hits.size()));
    QCOMPARE(rows.at(2).header.title, u"RESULTATEN"_s);
    QVERIFY(rows.at(3).row.selected && rows.at(3).row.expanded);
    // The lamp's controls: its switch first, then its level bar.
    const std::optional<Device> device = rig.store->device(*lampID);
    QVERIFY(device && device->onoffKey() && device->dimKey());
    QCOMPARE(controls->deviceName(), hits.at(lamp).title);
    QVERIFY(controls->rowCount() >= 2);
    QCOMPARE(controls->rows().at(0).id(), u"toggle:"_s + *device->onoffKey());
    QCOMPARE(controls->rows().at(1).id(), u"slider:"_s + *device->dimKey());
    const QImage image = rig.shoot(u"results-lamp"_s);

    QQuickItem *strip = rig.item(u"controlStrip"_s);
    QVERIFY(strip);
    const QRect area = sceneRect(strip);
    QVERIFY(area.height() > 40);
    // The strip hangs directly under the selected row, whose accent runs on into it, square at the bottom.
    const int rowBottom = area.top() - 1;
    COMPARE_COLOR(image, QPoint(area.left() + 1, rowBottom), Theme::lit(), 10);
    const QPoint inRow(area.left() + 300, rowBottom - 4);
    COMPARE_COLOR(image, inRow, over(Theme::selection(), Theme::surface()), 3);
    COMPARE_COLOR(image, QPoint(area.left() + 1, area.center().y()), Theme::lit(), 10);
    COMPARE_COLOR(image, QPoint(area.left() + 8, area.top() + 4), Theme::surfaceHi(), 3);
    // Its rows are drawn: the titles and the lamp's switch.
    QVERIFY(inked(image, area) > 100);
}

void ScreenshotsTest::aLevelBarTakesItsOwnClick()
{
    Rig rig(demoHome(), false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    // A dimmer row of the results, then the room dimmer: a click on the bar sets the level, and the row
    // that holds the bar does not run as well.
    rig.store->setQuery(u"lamp bij de kast"_s);
    const Hit first = rig.store->hits().first();
    QCOMPARE(first.accessory.kind(), Hit::Accessory::Kind::dimmer);
    rig.shoot(u"results-bar"_s);
    QQuickItem *row = findType(rig.item(u"resultsView"_s), "ResultRow");
    QVERIFY(row);
    QSignalSpy rowTapped(row->findChild<QObject *>(u"rowTap"_s),
                         SIGNAL(tapped(QEventPoint, Qt::MouseButton)));
    QQuickItem *bar = findType(row, "GlowBar");
    QVERIFY(bar);
    const QRect rect = sceneRect(bar);
    rig.click(QPoint(rect.left() + rect.width() / 4, rect.center().y()));
    QTRY_COMPARE(rig.writes(), 1);
    QCOMPARE(rowTapped.size(), 0);
    QVERIFY(std::abs(rig.store->device(*first.deviceID())->dimLevel().value_or(0) - 0.25) < 0.05);

    rig.store->setQuery(QString());
    rig.store->enterScope(*rig.store->zoneID(u"Woonkamer"_s));
    rig.shoot(u"room-bar"_s);
    QQuickItem *dimmer = findType(rig.item(u"roomView"_s)->parentItem()->parentItem(), "RoomDimmerRow");
    QVERIFY(dimmer);
    QSignalSpy dimmerTapped(dimmer->findChild<QObject *>(u"rowTap"_s),
                            SIGNAL(tapped(QEventPoint, Qt::MouseButton)));
    const QRect roomBar = sceneRect(findType(dimmer, "GlowBar"));
    rig.click(QPoint(roomBar.left() + roomBar.width() / 2, roomBar.center().y()));
    QCOMPARE(dimmerTapped.size(), 0);
    QTRY_VERIFY(std::abs(rig.store->roomDimLevel() - 0.5) < 0.02);
}

void ScreenshotsTest::nothingFound()
{
    Rig rig(demoHome(), false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    rig.store->setQuery(u"zzqx"_s);
    QVERIFY(rig.results->isEmpty());
    QCOMPARE(rig.results->empty().title, u"Niets gevonden voor \u201czzqx\u201d"_s);
    const QImage image = rig.shoot(u"results-nothing"_s);

    QQuickItem *title = rig.item(u"emptyTitle"_s);
    QVERIFY(title);
    const QRect text = sceneRect(title);
    QVERIFY(std::abs(text.center().x() - width / 2) < 4);
    QVERIFY(inked(image, text) > 100);
    QVERIFY(!rig.item(u"resultsView"_s));
}

// The help under "nothing found" gives examples to type: each one, on the demo home that a first run
// shows, finds a lamp, and Return sets that lamp to the level typed after it.
void ScreenshotsTest::theNothingFoundExamplesWorkOnTheDemoHome()
{
    Rig rig(demoHome(), false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    rig.store->setQuery(u"zzqx"_s);
    QVERIFY(rig.results->isEmpty());
    const QString help = rig.results->empty().text;
    static const QRegularExpression quoted(u"\u201c([^\u201d]+)\u201d"_s);
    QStringList examples;
    for (const QRegularExpressionMatch &match : quoted.globalMatch(help))
        examples << match.captured(1);
    QVERIFY2(!examples.isEmpty(), qPrintable(help));

    static const QRegularExpression trailingLevel(u"\\s(\\d{1,3})$"_s);
    for (const QString &example : std::as_const(examples)) {
        const QRegularExpressionMatch level = trailingLevel.match(example);
        QVERIFY2(level.hasMatch(), qPrintable(example));
        rig.store->setQuery(example);
        const std::optional<Hit> hit = rig.store->selectedHit();
        QVERIFY2(hit && hit->target.kind() == Hit::Target::Kind::device, qPrintable(example));
        const std::optional<Device> lamp = rig.store->device(hit->target.id());
        QVERIFY(lamp);
        QCOMPARE(lamp->deviceClass, u"light"_s);
        const std::optional<QString> dim = lamp->dimKey();
        QVERIFY2(dim, qPrintable(lamp->name));
        awaitTask(rig.store->run(*hit));
        QTRY_COMPARE(rig.served(lamp->id, *dim).toDouble(-1), level.captured(1).toDouble() / 100);
        if (const std::optional<QString> onoff = lamp->onoffKey())
            QCOMPARE(rig.served(lamp->id, *onoff), QJsonValue(true));
    }
}

void ScreenshotsTest::livingRoom()
{
    Rig rig(demoHome(), false, m_look.motion.get());
    QVERIFY2(rig.error.isEmpty(), qPrintable(rig.error));
    const std::optional<QString> zone = rig.store->zoneID(u"Woonkamer"_s);
    QVERIFY(zone);
    rig.store->enterScope(*zone);
    QCOMPARE(rig.room->header().name, u"Woonkamer"_s);
    QVERIFY(rig.room->hasDimmer());
    QVERIFY(rig.room->dimmer().selected);
    QCOMPARE(rig.room->rows()->rows().first().header.title, u"LICHT"_s);
    const QImage image = rig.shoot(u"room-woonkamer"_s);

    QQuickItem *list = rig.item(u"roomView"_s);
    QVERIFY(list);
    const QRect rows = sceneRect(list);
    // The "Alle lampen" row above the list holds the selection: accent on its edge, selection plate beside
    // it.
    const int middle = rows.top() - 6 - 23;
    COMPARE_COLOR(image, QPoint(6 + 1, middle), Theme::lit(), 10);
    QVERIFY(inked(image, QRect(0, 0, width, rows.top() - 52)) > 100); // the header names the room
    QVERIFY(inked(image, rows) > 500);

    // A click on "alles uit" switches the lamps that are on, once: the row around it does not run too.
    QQuickItem *all = rig.item(u"allButton"_s);
    QVERIFY(all);
    const int lampsOn = rig.room->header().lamps.section(u' ', 0, 0).toInt();
    QVERIFY(lampsOn >= 1);
    rig.click(sceneRect(all).center());
    QTRY_COMPARE(rig.writes(), lampsOn);
    QTest::qWait(200);
    QCOMPARE(rig.writes(), lampsOn);
    QTRY_COMPARE(rig.store->room()->lightsOn, 0);
}

QTEST_MAIN(ScreenshotsTest)
#include "tst_screenshots.moc"
