#include "ui/screens/tilenavigation.h"

#include <QTest>

using Focus = std::optional<TileFocus>;
using Shape = TileNavigation::Shape;

Q_DECLARE_METATYPE(Focus)
Q_DECLARE_METATYPE(TileNavigation::Shape)

namespace QTest {
template <> char *toString(const Focus &focus)
{
    if (!focus)
        return qstrdup("none");
    static const char *const kinds[] = {"scene", "room", "mode", "more"};
    const QByteArray text =
        QByteArray(kinds[int(focus->kind)]) + '(' + QByteArray::number(focus->index) + ')';
    return qstrdup(text.constData());
}
} // namespace QTest

class TileNavigationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void columnsFromWidth_data();
    void columnsFromWidth();
    void move_data();
    void move();
};

void TileNavigationTest::columnsFromWidth_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("columns");
    QTest::newRow("panel") << 760.0 << 3;
    QTest::newRow("narrow") << 500.0 << 2;
    QTest::newRow("raised to two") << 400.0 << 2;
    QTest::newRow("wide") << 1100.0 << 5;
    QTest::newRow("lowered to five") << 1300.0 << 5;
    QTest::newRow("exactly four") << 846.0 << 4;
    QTest::newRow("nothing") << 0.0 << 2;
    QTest::newRow("not a number") << std::nan("") << 2;
    QTest::newRow("endless") << HUGE_VAL << 5;
}

void TileNavigationTest::columnsFromWidth()
{
    QFETCH(double, width);
    QFETCH(int, columns);
    QCOMPARE(TileNavigation::columns(width), columns);
}

void TileNavigationTest::move_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<Focus>("from");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<Focus>("to");

    const auto scene = TileFocus::scene;
    const auto room = TileFocus::room;
    const auto mode = TileFocus::mode;
    const Shape seven(2, 7, 3, 3); // rows of rooms: 0-2, 3-5, 6
    const Shape noModes(2, 7, 0, 3);

    QTest::newRow("room 4 down past the grid") << seven << Focus(room(4)) << 0 << 1 << Focus(mode(1));
    QTest::newRow("room 5 down, mode by column") << seven << Focus(room(5)) << 0 << 1 << Focus(mode(2));
    QTest::newRow("room 4 down without modes") << noModes << Focus(room(4)) << 0 << 1 << Focus(room(6));
    QTest::newRow("room 1 down a row") << seven << Focus(room(1)) << 0 << 1 << Focus(room(4));
    QTest::newRow("mode 2 up to the last row") << seven << Focus(mode(2)) << 0 << -1 << Focus(room(6));
    QTest::newRow("mode 0 up") << seven << Focus(mode(0)) << 0 << -1 << Focus(room(6));
    QTest::newRow("mode down stays") << seven << Focus(mode(1)) << 0 << 1 << Focus(mode(1));
    QTest::newRow("room 2 right wraps a row") << seven << Focus(room(2)) << 1 << 0 << Focus(room(3));
    QTest::newRow("room 0 left stays") << seven << Focus(room(0)) << -1 << 0 << Focus(room(0));
    QTest::newRow("last room right stays") << seven << Focus(room(6)) << 1 << 0 << Focus(room(6));
    QTest::newRow("dx wins over dy") << seven << Focus(room(3)) << 1 << 1 << Focus(room(4));
    QTest::newRow("room 1 up, five scenes")
        << Shape(5, 7, 3, 3) << Focus(room(1)) << 0 << -1 << Focus(scene(1));
    QTest::newRow("room 1 up, one scene")
        << Shape(1, 7, 3, 3) << Focus(room(1)) << 0 << -1 << Focus(scene(0));
    QTest::newRow("room 1 up, no scenes") << Shape(0, 7, 3, 3) << Focus(room(1)) << 0 << -1 << Focus(room(1));
    QTest::newRow("room 4 up a row") << seven << Focus(room(4)) << 0 << -1 << Focus(room(1));
    QTest::newRow("scene up stays") << seven << Focus(scene(1)) << 0 << -1 << Focus(scene(1));
    QTest::newRow("scene 7 down, 3 rooms")
        << Shape(9, 3, 4, 3) << Focus(scene(7)) << 0 << 1 << Focus(room(2));
    QTest::newRow("scene down, only modes")
        << Shape(9, 0, 4, 3) << Focus(scene(7)) << 0 << 1 << Focus(mode(0));
    QTest::newRow("scene down, nothing below")
        << Shape(9, 0, 0, 3) << Focus(scene(7)) << 0 << 1 << Focus(scene(7));
    QTest::newRow("mode up, only scenes")
        << Shape(2, 0, 4, 3) << Focus(mode(3)) << 0 << -1 << Focus(scene(1));
    QTest::newRow("scene right stops at the last") << seven << Focus(scene(1)) << 1 << 0 << Focus(scene(1));
    QTest::newRow("mode left") << seven << Focus(mode(2)) << -1 << 0 << Focus(mode(1));
    QTest::newRow("no arrow") << seven << Focus(room(4)) << 0 << 0 << Focus(room(4));
    QTest::newRow("no focus takes the first room") << seven << Focus() << 0 << 1 << Focus(room(0));
    QTest::newRow("no focus, no rooms") << Shape(2, 0, 0, 3) << Focus() << -1 << 0 << Focus(scene(0));
    QTest::newRow("no focus, only modes") << Shape(0, 0, 2, 3) << Focus() << 0 << -1 << Focus(mode(0));
    QTest::newRow("nothing at all") << Shape(0, 0, 0, 3) << Focus() << 1 << 0 << Focus();
    QTest::newRow("zero columns act as one")
        << Shape(0, 3, 0, 0) << Focus(room(0)) << 0 << 1 << Focus(room(1));
    QTest::newRow("a huge step is clamped") << seven << Focus(room(2)) << INT_MAX << 0 << Focus(room(6));
    QTest::newRow("a huge step back") << seven << Focus(room(2)) << INT_MIN << 0 << Focus(room(0));

    // The button for the extra rooms stands between the grid and the modes.
    const Focus more(TileFocus::more());
    const Shape withMore(2, 7, 3, 3, true);
    QTest::newRow("last row down to the button") << withMore << Focus(room(4)) << 0 << 1 << more;
    QTest::newRow("a room above a room still goes down a row")
        << withMore << Focus(room(1)) << 0 << 1 << Focus(room(4));
    QTest::newRow("button up to the last room") << withMore << more << 0 << -1 << Focus(room(6));
    QTest::newRow("button down to the modes") << withMore << more << 0 << 1 << Focus(mode(0));
    QTest::newRow("button down, no modes") << Shape(2, 7, 0, 3, true) << more << 0 << 1 << more;
    QTest::newRow("button sideways stays") << withMore << more << 1 << 0 << more;
    QTest::newRow("a mode up to the button") << withMore << Focus(mode(2)) << 0 << -1 << more;
    QTest::newRow("scene down, only the button")
        << Shape(2, 0, 3, 3, true) << Focus(scene(1)) << 0 << 1 << more;
    QTest::newRow("button up, only scenes") << Shape(2, 0, 3, 3, true) << more << 0 << -1 << Focus(scene(0));
    QTest::newRow("no focus, only the button") << Shape(0, 0, 0, 3, true) << Focus() << 0 << 1 << more;
}

void TileNavigationTest::move()
{
    QFETCH(Shape, shape);
    QFETCH(Focus, from);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(Focus, to);
    QCOMPARE(TileNavigation::move(from, dx, dy, shape), to);
}

QTEST_APPLESS_MAIN(TileNavigationTest)
#include "tst_tilenavigation.moc"
