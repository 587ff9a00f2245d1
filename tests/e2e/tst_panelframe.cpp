#include "cursorname.h"
#include "panelwindow.h"

using namespace PanelWindow;

namespace {

// Drags with the left button held, in five steps. The window manager starts from where the pointer is
// when the program hands it the gesture: the program is given time to take the press, and the first
// step, before the hand goes on.
void drag(const QPoint &from, const QPoint &by)
{
    movePointer(from);
    EndToEnd::run(u"xdotool"_s, {u"mousedown"_s, u"1"_s});
    QTest::qWait(250);
    for (int step = 1; step <= 5; ++step) {
        movePointer(from + by * step / 5);
        QTest::qWait(step == 1 ? 250 : 30);
    }
    EndToEnd::run(u"xdotool"_s, {u"mouseup"_s, u"1"_s});
}

} // namespace

// The real program's panel resized from its edges and moved by its search row, by hand, under a window
// manager (run-e2e-monitors.sh), and shown again where it was left.
class TstPanelFrame : public PanelWindowCase {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void resizedAndMovedByHandAndRemembered()
    {
        const QList<QRect> screens = monitors();
        QVERIFY(!screens.isEmpty());
        Copy &copy = start({}, hubEnvironment());
        QVERIFY(QTest::qWaitFor([&] { return copy.logged(u"verbinding: Live verbonden."_s); }, patience));
        movePointer(screens.at(0).center());
        copy.signal(SIGUSR1);
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"key=true"_s), 1, patience);
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = panelWindow(copy)).isEmpty(), patience);
        QRect expected = outerFrame(window);

        // The pointer says where the panel can be taken: the resize arrows on its edges, the plain arrow
        // on the search row above the field.
        const QList<std::pair<QPoint, QString>> cursors{
            {expected.topLeft() + QPoint(200, 10), u"left_ptr"_s},
            {QPoint(expected.right() - 1, expected.center().y()), u"size_hor"_s},
            {QPoint(expected.center().x(), expected.bottom() - 1), u"size_ver"_s},
            {expected.topLeft() + QPoint(1, 1), u"size_fdiag"_s},
            {expected.topRight() + QPoint(-1, 1), u"size_bdiag"_s},
            {expected.bottomLeft() + QPoint(10, -1), u"size_bdiag"_s},
        };
        for (const auto &[point, name] : cursors) {
            movePointer(point);
            QTRY_COMPARE_WITH_TIMEOUT(cursorName(), name, 10000);
        }

        // Each step of the hand shows on screen and is remembered at once.
        const auto follows = [&](const QString &what) {
            (void)QTest::qWaitFor([&] { return outerFrame(window) == expected && savedFrame() == expected; },
                                  10000);
            const QRect shown = outerFrame(window);
            const std::optional<QRect> saved = savedFrame();
            if (shown == expected && saved == expected)
                return QString();
            return what + u": expected at "_s + text(expected) + u", shown at "_s + text(shown) +
                   u", saved "_s + (saved ? text(*saved) : u"nothing"_s);
        };
        drag(QPoint(expected.right() - 1, expected.center().y()), QPoint(100, 0));
        expected.adjust(0, 0, 100, 0);
        QString problem = follows(u"the right edge"_s);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        drag(expected.topLeft() + QPoint(1, 1), QPoint(-60, -40));
        expected.adjust(-60, -40, 0, 0);
        problem = follows(u"the top-left corner"_s);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // Above the search field. The move begins once the pointer really moved, at the first step.
        drag(expected.topLeft() + QPoint(200, 10), QPoint(150, 80));
        expected.translate(120, 64);
        problem = follows(u"the search row"_s);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        drag(expected.bottomRight() - QPoint(1, 1), QPoint(-400, -300));
        expected.setSize(QSize(620, 420));
        problem = follows(u"the bottom-right corner past the smallest size"_s);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // The window manager held the keys while it moved and resized: that was no loss of focus.
        QCOMPARE(copy.count(u"panel: verborgen"_s), 0);

        press({u"Escape"_s});
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"panel: verborgen ("_s), 1, patience);
        QCOMPARE(savedFrame(), std::optional<QRect>(expected));
        QTest::qWait(2 * 250);
        copy.signal(SIGUSR1);
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"key=true"_s), 2, patience);
        QTRY_VERIFY_WITH_TIMEOUT(!(window = panelWindow(copy)).isEmpty(), patience);
        QCOMPARE(text(outerFrame(window)), text(expected));
    }
};

QTEST_GUILESS_MAIN(TstPanelFrame)
#include "tst_panelframe.moc"
