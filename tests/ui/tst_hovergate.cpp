#include "ui/hovergate.h"

#include <QTest>

class HoverGateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hoverNeedsARealMove_data();
    void hoverNeedsARealMove();
    void showingAgainNeedsAnotherMove();
    void selectionSourceIsReadOnce();
};

void HoverGateTest::hoverNeedsARealMove_data()
{
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<bool>("admitted");
    QTest::newRow("resting") << QPointF(100, 200) << false;
    QTest::newRow("exactly 2 on both axes") << QPointF(102, 198) << false;
    QTest::newRow("3 to the right") << QPointF(103, 200) << true;
    QTest::newRow("3 up") << QPointF(100, 197) << true;
    QTest::newRow("a fraction past 2") << QPointF(100, 202.5) << true;
}

void HoverGateTest::hoverNeedsARealMove()
{
    QFETCH(QPointF, pointer);
    QFETCH(bool, admitted);
    HoverGate gate;
    gate.reset(QPointF(100, 200));
    QCOMPARE(gate.admitHover(pointer), admitted);
    QCOMPARE(gate.fromMouse(), admitted);
}

void HoverGateTest::showingAgainNeedsAnotherMove()
{
    HoverGate gate;
    gate.reset(QPointF(0, 0));
    QVERIFY(gate.admitHover(QPointF(10, 10)));
    // Once moved, a row sliding under the pointer back at the origin may take the selection.
    QVERIFY(gate.admitHover(QPointF(0, 0)));

    gate.reset(QPointF(10, 10));
    QVERIFY(!gate.moved());
    QVERIFY(!gate.fromMouse());
    QVERIFY(!gate.admitHover(QPointF(10, 10)));
    QVERIFY(gate.admitHover(QPointF(14, 10)));
}

void HoverGateTest::selectionSourceIsReadOnce()
{
    HoverGate gate;
    gate.reset(QPointF(0, 0));
    QVERIFY(gate.admitHover(QPointF(5, 5)));
    QVERIFY(gate.takeFromMouse());
    QVERIFY(!gate.takeFromMouse());

    QVERIFY(gate.admitHover(QPointF(6, 6)));
    gate.noteKey();
    QVERIFY(!gate.takeFromMouse());
}

QTEST_GUILESS_MAIN(HoverGateTest)
#include "tst_hovergate.moc"
