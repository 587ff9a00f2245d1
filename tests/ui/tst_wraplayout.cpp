#include "ui/wraplayout.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTest>

using namespace Qt::StringLiterals;

using Sizes = QList<QSizeF>;
using Places = QList<QPointF>;

class WrapLayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void arithmetic_data();
    void arithmetic();
    void placesItsChildren();
};

void WrapLayoutTest::arithmetic_data()
{
    QTest::addColumn<Sizes>("sizes");
    QTest::addColumn<double>("width");
    QTest::addColumn<QSizeF>("measured");
    QTest::addColumn<Places>("places");
    const double unbounded = WrapLayout::unbounded;
    QTest::newRow("no children") << Sizes{} << 100.0 << QSizeF(0, 0) << Places{};
    QTest::newRow("third child wraps")
        << Sizes{{40, 10}, {40, 12}, {40, 10}} << 100.0 << QSizeF(86, 28) << Places{{0, 0}, {46, 0}, {0, 18}};
    QTest::newRow("unbounded keeps one line") << Sizes{{40, 10}, {40, 10}, {40, 10}} << unbounded
                                              << QSizeF(132, 10) << Places{{0, 0}, {46, 0}, {92, 0}};
    QTest::newRow("ending exactly at the edge stays")
        << Sizes{{40, 10}, {54, 10}} << 100.0 << QSizeF(100, 10) << Places{{0, 0}, {46, 0}};
    QTest::newRow("a wide child stands alone") << Sizes{{30, 10}, {120, 20}, {30, 10}} << 100.0
                                               << QSizeF(100, 52) << Places{{0, 0}, {0, 16}, {0, 42}};
    QTest::newRow("a wide first child is not pushed down")
        << Sizes{{120, 20}} << 100.0 << QSizeF(100, 20) << Places{{0, 0}};
}

void WrapLayoutTest::arithmetic()
{
    QFETCH(Sizes, sizes);
    QFETCH(double, width);
    QFETCH(QSizeF, measured);
    QFETCH(Places, places);
    QCOMPARE(WrapLayout::measure(sizes, width, 6, 6), measured);
    QCOMPARE(WrapLayout::place(sizes, QRectF(0, 0, width, 0), 6, 6), places);
    // Placing inside bounds that do not start at the origin shifts every child alike.
    Places shifted;
    for (const QPointF &p : places)
        shifted << p + QPointF(5, 7);
    QCOMPARE(WrapLayout::place(sizes, QRectF(5, 7, width, 0), 6, 6), shifted);
}

// The item lays out its visible children at their implicit size and learns its height from the width.
void WrapLayoutTest::placesItsChildren()
{
    qmlRegisterType<WrapLayout>("WrapTest", 1, 0, "WrapLayout");
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(R"(import QtQuick
import WrapTest
WrapLayout {
    width: 100
    Rectangle { implicitWidth: 40; implicitHeight: 10 }
    Rectangle { implicitWidth: 40; implicitHeight: 12 }
    Rectangle { implicitWidth: 30; implicitHeight: 10; visible: false }
    Rectangle { implicitWidth: 40; implicitHeight: 10 }
})",
                      QUrl::fromLocalFile(u"/wrap.qml"_s));
    std::unique_ptr<QObject> object(component.create());
    auto *layout = qobject_cast<WrapLayout *>(object.get());
    QVERIFY2(layout, qPrintable(component.errorString()));
    QQuickWindow window;
    layout->setParentItem(window.contentItem());
    window.resize(120, 60);
    window.show();
    window.grabWindow();
    const QList<QQuickItem *> children = layout->childItems();
    QCOMPARE(children[1]->position(), QPointF(46, 0));
    QCOMPARE(children[3]->position(), QPointF(0, 18));
    QCOMPARE(children[3]->size(), QSizeF(40, 10));
    QCOMPARE(layout->implicitHeight(), 28.0);
}

QTEST_MAIN(WrapLayoutTest)
#include "tst_wraplayout.moc"
