#include "endtoend.h"

#include <csignal>

using namespace Qt::StringLiterals;
using EndToEnd::run;

// The real program on a display without a tray host (through run-xvfb.sh), as on a desktop without one.
class TstNoTray : public EndToEndCase {
    Q_OBJECT

    // The copy's windows on the screen that are dialogs: the notice is one, the panel is not.
    static int dialogs(const Copy &copy)
    {
        int count = 0;
        for (const QString &window : visibleWindows(copy)) {
            if (run(u"xprop"_s, {u"-id"_s, window, u"_NET_WM_WINDOW_TYPE"_s}).contains(u"_DIALOG"_s))
                ++count;
        }
        return count;
    }

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void theNoticeComesAtTheFirstStartOnly()
    {
        Copy &first = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"opstarten klaar. statusitem=ONTBREEKT"_s), patience);
        QVERIFY(first.logged(u"systeemvak: melding getoond, eenmalig"_s));
        QTRY_COMPARE_WITH_TIMEOUT(dialogs(first), 1, patience);
        QVERIFY(settings().boolReading(u"tray.noticeShown"_s));
        first.process()->terminate();
        QVERIFY(first.process()->waitForFinished(patience));

        Copy &second = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(second.logged(u"opstarten klaar. statusitem=ONTBREEKT"_s), patience);
        QVERIFY(second.logged(u"systeemvak: de melding hierover is al eens getoond"_s));
        // The panel, asked for after the launch: once it is on the screen, anything the launch showed
        // is there too.
        second.signal(SIGUSR1);
        QTRY_COMPARE_WITH_TIMEOUT(visibleWindows(second).size(), 1, patience);
        QCOMPARE(dialogs(second), 0);
    }
};

QTEST_GUILESS_MAIN(TstNoTray)
#include "tst_notray.moc"
