#include "ui/windowedges.h"

#include <QTest>

// Which edges of a 760 x 540 window a point is on, and the cursor each gives.
class WindowEdgesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void edgesUnderThePoint_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<Qt::Edges>("edges");
        const Qt::Edges none;
        QTest::newRow("middle") << QPointF(380, 270) << none;
        QTest::newRow("just inside the left band") << QPointF(5.9, 270) << Qt::Edges(Qt::LeftEdge);
        QTest::newRow("just past the left band") << QPointF(6, 270) << none;
        QTest::newRow("right band") << QPointF(754, 270) << Qt::Edges(Qt::RightEdge);
        QTest::newRow("just before the right band") << QPointF(753.9, 270) << none;
        QTest::newRow("top band") << QPointF(380, 0) << Qt::Edges(Qt::TopEdge);
        QTest::newRow("bottom band") << QPointF(380, 539.5) << Qt::Edges(Qt::BottomEdge);
        // Along an edge, its corner reaches 16 in; the band stays 6 deep.
        QTest::newRow("top band near the left") << QPointF(15, 2) << (Qt::LeftEdge | Qt::TopEdge);
        QTest::newRow("top band past the corner") << QPointF(16, 2) << Qt::Edges(Qt::TopEdge);
        QTest::newRow("left band near the top") << QPointF(2, 15) << (Qt::LeftEdge | Qt::TopEdge);
        QTest::newRow("bottom band near the right") << QPointF(745, 536) << (Qt::RightEdge | Qt::BottomEdge);
        QTest::newRow("left band near the bottom") << QPointF(3, 525) << (Qt::LeftEdge | Qt::BottomEdge);
        QTest::newRow("left band above the bottom corner") << QPointF(3, 523) << Qt::Edges(Qt::LeftEdge);
        QTest::newRow("inside a corner square, off both bands") << QPointF(10, 10) << none;
        QTest::newRow("left of the window") << QPointF(-1, 270) << none;
        QTest::newRow("on the right border line") << QPointF(760, 270) << none;
    }
    void edgesUnderThePoint()
    {
        QFETCH(QPointF, point);
        QFETCH(Qt::Edges, edges);
        QCOMPARE(WindowEdges::at(point, QSizeF(760, 540)), edges);
    }

    void cursorForEachEdge_data()
    {
        QTest::addColumn<Qt::Edges>("edges");
        QTest::addColumn<Qt::CursorShape>("cursor");
        QTest::newRow("none") << Qt::Edges() << Qt::ArrowCursor;
        QTest::newRow("left") << Qt::Edges(Qt::LeftEdge) << Qt::SizeHorCursor;
        QTest::newRow("right") << Qt::Edges(Qt::RightEdge) << Qt::SizeHorCursor;
        QTest::newRow("top") << Qt::Edges(Qt::TopEdge) << Qt::SizeVerCursor;
        QTest::newRow("bottom") << Qt::Edges(Qt::BottomEdge) << Qt::SizeVerCursor;
        QTest::newRow("top-left") << (Qt::TopEdge | Qt::LeftEdge) << Qt::SizeFDiagCursor;
        QTest::newRow("bottom-right") << (Qt::BottomEdge | Qt::RightEdge) << Qt::SizeFDiagCursor;
        QTest::newRow("top-right") << (Qt::TopEdge | Qt::RightEdge) << Qt::SizeBDiagCursor;
        QTest::newRow("bottom-left") << (Qt::BottomEdge | Qt::LeftEdge) << Qt::SizeBDiagCursor;
    }
    void cursorForEachEdge()
    {
        QFETCH(Qt::Edges, edges);
        QFETCH(Qt::CursorShape, cursor);
        QCOMPARE(WindowEdges::cursorFor(edges), cursor);
    }
};

QTEST_APPLESS_MAIN(WindowEdgesTest)
#include "tst_windowedges.moc"
