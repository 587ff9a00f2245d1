#include "panelwindow.h"

using namespace PanelWindow;

namespace {

// "Lamp bij de kast", the best match for "lamp" in the demo home, switched.
const QString bestMatchWrite =
    u"PUT /api/manager/devices/device/9c794b0f-e3a9-5e67-8aee-102724f8346b/capability/onoff"_s;

} // namespace

// The real program's panel on two monitors side by side, under a window manager that puts each window
// in a frame of its own (run-e2e-monitors.sh).
class TstPanelMonitors : public PanelWindowCase {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void opensUnderThePointerAndRemembersWhereItWas()
    {
        const QList<QRect> screens = monitors();
        QCOMPARE(screens.size(), 2);
        Copy &copy = start({}, hubEnvironment());
        QVERIFY(QTest::qWaitFor([&] { return copy.logged(u"verbinding: Live verbonden."_s); }, patience));

        // Left, right, left, right, left: each show follows the pointer, whatever the last one saved.
        // The hot key shows it on the right, the signal on the left.
        const QList<QRect> order{screens.at(0), screens.at(1), screens.at(0), screens.at(1), screens.at(0)};
        for (int show = 1; show <= order.size(); ++show) {
            const QRect monitor = order.at(show - 1);
            const QString where =
                u"show %1 on the monitor at %2,%3"_s.arg(show).arg(monitor.x()).arg(monitor.y());
            movePointer(monitor.center());
            if (monitor == screens.at(1)) {
                // A toggle right after a hide is taken for the press that hid the panel.
                QTest::qWait(2 * 250);
                press({u"ctrl+alt+space"_s});
            } else {
                copy.signal(SIGUSR1);
            }
            // Key focus, at once or at the second try, comes only once the window manager has placed it.
            QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"key=true"_s), show, patience);
            QString window;
            QTRY_VERIFY_WITH_TIMEOUT(!(window = panelWindow(copy)).isEmpty(), patience);
            const QRect frame = outerFrame(window);
            QVERIFY2(monitor.contains(frame), qPrintable(where + u": the panel is at "_s + text(frame)));

            // The pointer rests over the panel while results come up under it: a resting pointer takes no
            // row, so Return runs the best match. Qt finds the row under it from the panel's place.
            EndToEnd::run(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"120"_s, u"lamp"_s});
            QTest::qWait(500);
            press({u"Return"_s});
            QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"panel: verborgen ("_s), show, patience);
            QTRY_COMPARE_WITH_TIMEOUT(writes().size(), show, patience);
            QVERIFY2(writes().constLast() == bestMatchWrite,
                     qPrintable(where + u": "_s + writes().constLast()));
            // Saved a moment after the hide: writes of the settings are gathered before they go to disk.
            std::optional<QRect> saved;
            (void)QTest::qWaitFor([&] { return (saved = savedFrame()) == frame; }, patience);
            QVERIFY2(saved == frame, qPrintable(where + u": shown at "_s + text(frame) + u", saved "_s +
                                                (saved ? text(*saved) : u"nothing"_s)));
        }
    }
};

QTEST_GUILESS_MAIN(TstPanelMonitors)
#include "tst_panelmonitors.moc"
