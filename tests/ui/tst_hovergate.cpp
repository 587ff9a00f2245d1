#include "ui/hovergate.h"

#include <QMouseEvent>
#include <QTest>
#include <QWindow>

// Where the pointer rests when the panel opens: a report at 500,450 on the screen, 240,320 in the panel.
class HoverGateTest : public QObject {
    Q_OBJECT

    static constexpr QPointF restingGlobal{500, 450};
    static constexpr QPointF restingLocal{240, 320};

private Q_SLOTS:
    void hoverNeedsARealMove_data();
    void hoverNeedsARealMove();
    void showingAgainNeedsAnotherMove();
    void selectionSourceIsReadOnce();
    void theWindowsEventsAreTheReports();
};

void HoverGateTest::hoverNeedsARealMove_data()
{
    QTest::addColumn<QPointF>("global");
    QTest::addColumn<QPointF>("local");
    QTest::addColumn<bool>("admitted");
    QTest::newRow("resting") << restingGlobal << restingLocal << false;
    QTest::newRow("exactly 2 on both axes") << QPointF(502, 448) << QPointF(242, 318) << false;
    QTest::newRow("3 to the right") << QPointF(503, 450) << QPointF(243, 320) << true;
    QTest::newRow("3 up") << QPointF(500, 447) << QPointF(240, 317) << true;
    QTest::newRow("a fraction past 2") << QPointF(500, 452.5) << QPointF(240, 322.5) << true;
    // The compositor put the panel 18 lower than asked, under the resting pointer.
    QTest::newRow("window moved under the pointer") << restingGlobal << QPointF(240, 302) << false;
    // XWayland's idea of the pointer's place on the screen caught up with where the window is.
    QTest::newRow("screen place corrected") << QPointF(500, 468) << restingLocal << false;
    QTest::newRow("moved along with a correction") << QPointF(505, 473) << QPointF(245, 325) << true;
}

void HoverGateTest::hoverNeedsARealMove()
{
    QFETCH(QPointF, global);
    QFETCH(QPointF, local);
    QFETCH(bool, admitted);
    HoverGate gate;
    gate.reset();
    gate.notePointer(restingGlobal, restingLocal);
    gate.notePointer(global, local);
    QCOMPARE(gate.admitHover(), admitted);
    QCOMPARE(gate.fromMouse(), admitted);
}

void HoverGateTest::showingAgainNeedsAnotherMove()
{
    HoverGate gate;
    gate.reset();
    // Nothing reported yet: the first report is where the pointer rests, whatever came before.
    QVERIFY(!gate.admitHover());
    gate.notePointer(QPointF(0, 0), QPointF(0, 0));
    QVERIFY(!gate.admitHover());
    gate.notePointer(QPointF(10, 10), QPointF(10, 10));
    QVERIFY(gate.admitHover());
    // Once moved, a row sliding under the pointer back at the origin may take the selection.
    gate.notePointer(QPointF(0, 0), QPointF(0, 0));
    QVERIFY(gate.admitHover());

    gate.reset();
    QVERIFY(!gate.moved());
    QVERIFY(!gate.fromMouse());
    gate.notePointer(QPointF(10, 10), QPointF(10, 10));
    QVERIFY(!gate.admitHover());
    gate.notePointer(QPointF(14, 10), QPointF(14, 10));
    QVERIFY(gate.admitHover());
}

void HoverGateTest::selectionSourceIsReadOnce()
{
    HoverGate gate;
    gate.reset();
    gate.notePointer(QPointF(0, 0), QPointF(0, 0));
    gate.notePointer(QPointF(5, 5), QPointF(5, 5));
    QVERIFY(gate.admitHover());
    QVERIFY(gate.takeFromMouse());
    QVERIFY(!gate.takeFromMouse());

    QVERIFY(gate.admitHover());
    gate.noteKey();
    QVERIFY(!gate.takeFromMouse());
}

void HoverGateTest::theWindowsEventsAreTheReports()
{
    QWindow window;
    window.setGeometry(260, 112, 760, 540); // where the panel is believed to be
    HoverGate gate;
    gate.watch(&window);
    gate.reset();
    const auto move = [&window](QPointF local, QPointF global) {
        QMouseEvent event(QEvent::MouseMove, local, local, global, Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
    };
    // XWayland reports the entry at its stale idea of the pointer's place, then moves it to where it
    // rests; the window then turns out to sit 18 lower than believed.
    QEnterEvent enter(QPointF(540, 320), QPointF(540, 320), QPointF(640, 400));
    QCoreApplication::sendEvent(&window, &enter);
    move(restingLocal, restingGlobal);
    QVERIFY(!gate.admitHover());
    move(restingLocal + QPointF(0, 18), restingGlobal);
    QVERIFY(!gate.admitHover());
    move(restingLocal + QPointF(10, 0), restingGlobal + QPointF(10, 0));
    QVERIFY(gate.admitHover());

    // Events of another window say nothing about this one.
    gate.reset();
    QWindow other;
    QMouseEvent elsewhere(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), QPointF(1, 1), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&other, &elsewhere);
    move(restingLocal, restingGlobal);
    QVERIFY(!gate.admitHover());
}

QTEST_MAIN(HoverGateTest)
#include "tst_hovergate.moc"
