#include "ui/modechiplook.h"
#include "ui/scenechiplook.h"
#include "ui/screens/chipsmodel.h"
#include "ui/screens/tilesmodel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<Room> rooms(const QString &ids)
{
    QList<Room> list;
    for (const QChar id : ids)
        list.append(Room{.id = QString(id), .name = u"Kamer "_s + id});
    return list;
}

QString keys(const TilesModel &model)
{
    QString text;
    for (int row = 0; row < model.rowCount(); ++row)
        text += model.data(model.index(row), TilesModel::KeyRole).toString();
    return text;
}

// Every structural signal a model sends, in order, as short words.
struct ModelLog {
    explicit ModelLog(QAbstractItemModel *model)
    {
        QObject::connect(model, &QAbstractItemModel::rowsInserted, [this](const QModelIndex &, int a, int b) {
            lines << u"insert %1-%2"_s.arg(a).arg(b);
        });
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, [this](const QModelIndex &, int a, int b) {
            lines << u"remove %1-%2"_s.arg(a).arg(b);
        });
        QObject::connect(model, &QAbstractItemModel::rowsMoved,
                         [this](const QModelIndex &, int a, int, const QModelIndex &, int to) {
                             lines << u"move %1>%2"_s.arg(a).arg(to);
                         });
        QObject::connect(model, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex &a, const QModelIndex &b) {
                             lines << u"change %1-%2"_s.arg(a.row()).arg(b.row());
                         });
        QObject::connect(model, &QAbstractItemModel::modelReset, [this] { lines << u"reset"_s; });
    }
    QStringList lines;
};

} // namespace

// The keyed list models under Qt's model tester while their rows change.
class ScreenModelsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reordering_data();
    void reordering();
    void randomChanges();
    void oneRoomChangesOneRow();
    void repeatedKeysKeepTheFirst();
    void sceneShortcutsFollowTheirPlace();
    void modeChipsChangeInPlace();
    void keptLooksMatchFreshOnes();
};

void ScreenModelsTest::reordering_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("signals_");
    QTest::newRow("fill") << ""
                          << "abc" << QStringList{u"insert 0-2"_s};
    QTest::newRow("insert between") << "abe"
                                    << "abcde" << QStringList{u"insert 2-3"_s};
    QTest::newRow("remove a run") << "abcde"
                                  << "ae" << QStringList{u"remove 1-3"_s};
    QTest::newRow("remove apart") << "abcde"
                                  << "bd" << QStringList{u"remove 4-4"_s, u"remove 2-2"_s, u"remove 0-0"_s};
    QTest::newRow("last to first") << "abcd"
                                   << "dabc" << QStringList{u"move 3>0"_s};
    QTest::newRow("swap") << "abcd"
                          << "abdc" << QStringList{u"move 3>2"_s};
    QTest::newRow("replace all") << "abc"
                                 << "xyz" << QStringList{u"remove 0-2"_s, u"insert 0-2"_s};
    QTest::newRow("empty out") << "abc"
                               << "" << QStringList{u"remove 0-2"_s};
    QTest::newRow("same") << "abc"
                          << "abc" << QStringList();
    QTest::newRow("mixed") << "abcdef"
                           << "fxbd"
                           << QStringList{u"remove 4-4"_s, u"remove 2-2"_s, u"remove 0-0"_s, u"move 2>0"_s,
                                          u"insert 1-1"_s};
}

void ScreenModelsTest::reordering()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, signals_);
    TilesModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setRooms(rooms(from), -1);
    ModelLog log(&model);
    QSignalSpy count(&model, &KeyedListModel::countChanged);
    model.setRooms(rooms(to), -1);
    QCOMPARE(keys(model), to);
    QCOMPARE(log.lines, signals_);
    QCOMPARE(count.size(), from.size() == to.size() ? 0 : 1);
}

void ScreenModelsTest::randomChanges()
{
    TilesModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    ModelLog log(&model);
    QRandomGenerator random(18);
    const QString alphabet = u"abcdefghijklmnopqrstuvwxyz"_s;
    for (int round = 0; round < 300; ++round) {
        QString next = alphabet;
        for (qsizetype i = next.size() - 1; i > 0; --i)
            std::swap(next[i], next[random.bounded(int(i) + 1)]);
        next.truncate(random.bounded(alphabet.size() + 1));
        QList<Room> target = rooms(next);
        for (Room &room : target)
            room.lightsOn = random.bounded(2);
        model.setRooms(target, random.bounded(-1, int(target.size())));
        QCOMPARE(keys(model), next);
        for (int row = 0; row < model.rowCount(); ++row)
            QCOMPARE(model.tiles().at(row).room.lightsOn, target.at(row).lightsOn);
    }
    QVERIFY(!log.lines.contains(u"reset"_s));
}

void ScreenModelsTest::oneRoomChangesOneRow()
{
    TilesModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QList<Room> list = rooms(u"abcd"_s);
    model.setRooms(list, 0);
    ModelLog log(&model);
    list[2].lightsOn = 1;
    list[2].lightsTotal = 2;
    model.setRooms(list, 0);
    QCOMPARE(log.lines, QStringList{u"change 2-2"_s});
    QCOMPARE(model.data(model.index(2), TilesModel::LookRole).value<RoomTileLook>().statusLine,
             u"1 van 2 aan"_s);

    log.lines.clear();
    model.setRooms(list, 3); // the focus moves: two tiles redraw
    QCOMPARE(log.lines, (QStringList{u"change 0-0"_s, u"change 3-3"_s}));
}

void ScreenModelsTest::repeatedKeysKeepTheFirst()
{
    TilesModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QList<Room> list = rooms(u"abab"_s);
    list[2].name = u"tweede"_s;
    model.setRooms(list, -1);
    QCOMPARE(keys(model), u"ab"_s);
    QCOMPARE(model.tiles().at(0).room.name, u"Kamer a"_s);
}

void ScreenModelsTest::sceneShortcutsFollowTheirPlace()
{
    ChipsModel model(ChipsModel::Kind::scenes);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QList<Hit> scenes;
    for (int i = 0; i < 12; ++i)
        scenes.append(Hit{.id = u"mood:%1"_s.arg(i), .title = u"Scene %1"_s.arg(i)});
    model.setHits(scenes, -1);
    QCOMPARE(model.rowCount(), ChipsModel::maxScenes);

    scenes.removeFirst(); // every scene moves up a place and takes the next digit; a tenth comes in
    ModelLog log(&model);
    model.setHits(scenes, -1);
    QCOMPARE(model.rowCount(), 9);
    QCOMPARE(log.lines.first(), u"remove 0-0"_s);
    QCOMPARE(log.lines.count(u"insert 8-8"_s), 1);
    for (int row = 0; row < 9; ++row) {
        const auto look = model.data(model.index(row), ChipsModel::LookRole).value<SceneChipLook>();
        QCOMPARE(look.title, u"Scene %1"_s.arg(row + 1));
        QCOMPARE(look.shortcut.text, u"Ctrl+%1"_s.arg(row + 1));
    }
}

// The lit lamps among the modes change with every lamp switched at the hub: a chip takes its new lamp
// in place, and only the end of the row grows or shrinks.
void ScreenModelsTest::modeChipsChangeInPlace()
{
    ChipsModel model(ChipsModel::Kind::modes);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto lamps = [](const QString &names) {
        QList<Hit> hits;
        for (const QChar name : names)
            hits.append(Hit{.id = u"device:"_s + name, .title = u"Lamp "_s + name});
        return hits;
    };
    const auto titles = [&model] {
        QString shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown += model.data(model.index(row), ChipsModel::LookRole).value<ModeChipLook>().title.back();
        return shown;
    };
    QSignalSpy count(&model, &KeyedListModel::countChanged);
    model.setHits(lamps(u"abcd"_s), 1);

    ModelLog log(&model);
    model.setHits(lamps(u"acde"_s), 1); // b went out, e came in at the end
    QCOMPARE(log.lines, QStringList({u"change 1-1"_s, u"change 2-2"_s, u"change 3-3"_s}));
    QCOMPARE(titles(), u"acde"_s);
    log.lines.clear();
    model.setHits(lamps(u"ab"_s), 0);
    QCOMPARE(log.lines, QStringList({u"change 0-0"_s, u"change 1-1"_s, u"remove 2-3"_s}));
    QCOMPARE(titles(), u"ab"_s);
    log.lines.clear();
    model.setHits(lamps(u"abxyz"_s), 0);
    QCOMPARE(log.lines, QStringList({u"insert 2-4"_s}));
    QCOMPARE(titles(), u"abxyz"_s);
    QCOMPARE(count.size(), 3);
}

// Rows and chips that did not change keep their look: after any run of changes every look must be what
// a model filled afresh would show.
void ScreenModelsTest::keptLooksMatchFreshOnes()
{
    TilesModel tiles;
    ChipsModel modes(ChipsModel::Kind::modes);
    QRandomGenerator random(27);
    QList<Room> list = rooms(u"abcdefgh"_s);
    QList<Hit> hits;
    for (int i = 0; i < 5; ++i)
        hits.append(Hit{.id = u"mode:%1"_s.arg(i), .title = u"Modus %1"_s.arg(i)});
    for (int round = 0; round < 200; ++round) {
        Room &room = list[random.bounded(int(list.size()))];
        room.lightsTotal = 2;
        room.lightsOn = random.bounded(3);
        if (round % 50 == 49)
            std::swap(list[0], list[list.size() - 1]);
        hits[random.bounded(int(hits.size()))].title = random.bounded(2) ? u"Thuis"_s : u"Weg"_s;
        const int selected = random.bounded(-1, 8);
        tiles.setRooms(list, selected);
        modes.setHits(hits, selected % 5);

        TilesModel freshTiles;
        freshTiles.setRooms(list, selected);
        ChipsModel freshModes(ChipsModel::Kind::modes);
        freshModes.setHits(hits, selected % 5);
        for (int row = 0; row < tiles.rowCount(); ++row) {
            const RoomTileLook kept = tiles.tiles().at(row).look;
            const RoomTileLook fresh = freshTiles.tiles().at(row).look;
            QCOMPARE(kept.statusLine, fresh.statusLine);
            QCOMPARE(kept.selected, fresh.selected);
            QCOMPARE(kept.glowLevel, fresh.glowLevel);
        }
        for (int row = 0; row < modes.rowCount(); ++row) {
            const auto kept = modes.data(modes.index(row), ChipsModel::LookRole).value<ModeChipLook>();
            const auto fresh =
                freshModes.data(freshModes.index(row), ChipsModel::LookRole).value<ModeChipLook>();
            QCOMPARE(kept.title, fresh.title);
            QCOMPARE(kept.selected, fresh.selected);
            QCOMPARE(kept.borderColor, fresh.borderColor);
        }
    }
}

QTEST_MAIN(ScreenModelsTest)
#include "tst_screenmodels.moc"
