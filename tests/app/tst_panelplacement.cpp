#include "app/panelplacement.h"

#include <QTest>

using namespace Qt::StringLiterals;
using PanelPlacement::Screen;

Q_DECLARE_METATYPE(std::optional<QRectF>)

class TstPanelPlacement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void targetFrame_data()
    {
        QTest::addColumn<bool>("offscreen");
        QTest::addColumn<std::optional<QRectF>>("saved");
        QTest::addColumn<QRectF>("visible");
        QTest::addColumn<QRectF>("expected");

        const QRectF laptop(0, 25, 1440, 875);
        // Centred; the top edge 14 % of the visible height below the visible area's top.
        QTest::newRow("default") << false << std::optional<QRectF>() << laptop
                                 << QRectF(340, 25 + 122.5, 760, 540);
        QTest::newRow("short screen: at least 80 below the top")
            << false << std::optional<QRectF>() << QRectF(0, 0, 1000, 400) << QRectF(120, 80, 760, 540);
        QTest::newRow("saved frame is kept")
            << false << std::optional(QRectF(100, 200, 700, 500)) << laptop << QRectF(100, 200, 700, 500);
        QTest::newRow("sticking out right: moved left, size kept")
            << false << std::optional(QRectF(780, 200, 760, 540)) << laptop << QRectF(680, 200, 760, 540);
        QTest::newRow("sticking out at the bottom: moved up")
            << false << std::optional(QRectF(100, 600, 760, 540)) << laptop << QRectF(100, 360, 760, 540);
        QTest::newRow("larger than the screen: top and right edges win")
            << false << std::optional(QRectF(-50, 10, 1600, 1000)) << laptop << QRectF(-160, 25, 1600, 1000);
        QTest::newRow("below the minimum: grown")
            << false << std::optional(QRectF(100, 200, 500, 300)) << laptop << QRectF(100, 200, 620, 420);
        QTest::newRow("saved on another screen: default placement")
            << false << std::optional(QRectF(2000, 200, 760, 540)) << laptop << QRectF(340, 147.5, 760, 540);
        QTest::newRow("offscreen") << true << std::optional<QRectF>() << laptop
                                   << QRectF(-20000, -20000, 760, 540);
        QTest::newRow("offscreen keeps the saved size") << true << std::optional(QRectF(100, 200, 700, 500))
                                                        << laptop << QRectF(-20000, -20000, 700, 500);
    }
    void targetFrame()
    {
        QFETCH(bool, offscreen);
        QFETCH(std::optional<QRectF>, saved);
        QFETCH(QRectF, visible);
        QFETCH(QRectF, expected);
        const Screen screen{visible.adjusted(0, -25, 0, 0), visible};
        QCOMPARE(PanelPlacement::targetFrame(offscreen, saved, screen), expected);
    }

    void screenUnderThePointer()
    {
        const QList<Screen> screens{{QRectF(0, 0, 1440, 900), QRectF(0, 25, 1440, 875)},
                                    {QRectF(1440, 0, 1920, 1080), QRectF(1440, 0, 1920, 1040)}};
        // The left and top edges belong to a screen, the right and bottom edges to the next.
        QCOMPARE(PanelPlacement::screenUnder(QPointF(1440, 0), screens, 0)->frame, screens[1].frame);
        QCOMPARE(PanelPlacement::screenUnder(QPointF(1439.5, 899), screens, 1)->frame, screens[0].frame);
        // Nowhere: the primary screen, else the first.
        QCOMPARE(PanelPlacement::screenUnder(QPointF(-5, -5), screens, 1)->frame, screens[1].frame);
        QCOMPARE(PanelPlacement::screenUnder(QPointF(0, 950), screens, -1)->frame, screens[0].frame);
        QVERIFY(!PanelPlacement::screenUnder(QPointF(0, 0), {}, 0));
        QCOMPARE(PanelPlacement::targetFrame(false, std::nullopt, std::nullopt), QRectF(0, 0, 760, 540));
    }

    void rectString()
    {
        QCOMPARE(PanelPlacement::rectString(QRectF(10.7, -20.2, 760.9, 540.5)), u"10,-20 760x540"_s);
        QCOMPARE(PanelPlacement::rectString(QRectF(-20000, -20000, 760, 540)), u"-20000,-20000 760x540"_s);
    }
};

QTEST_APPLESS_MAIN(TstPanelPlacement)
#include "tst_panelplacement.moc"
