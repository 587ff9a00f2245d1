#include "app/hotkeycontrol.h"
#include "app/hotkeytester.h"
#include "app/paneltoggle.h"
#include "app/settings.h"
#include "fakedesktop.h"
#include "logcapture.h"
#include "manualclock.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

struct Panel {
    bool visible = false;
    int shows = 0;
    QStringList hides;
};

const HotKeyCombo ctrlShiftK{40, HotKeyCombo::controlMask | HotKeyCombo::shiftMask};
const HotKeyCombo ctrlShiftJ{38, HotKeyCombo::controlMask | HotKeyCombo::shiftMask};

} // namespace

class TstHotKeyControl : public QObject {
    Q_OBJECT

    std::shared_ptr<ManualClock> clock;
    FakeGrabber grabber;
    Panel panel;
    std::unique_ptr<PanelToggle> toggle;
    HotKeyTester tester;

    std::unique_ptr<HotKeyControl> control(bool testInstance = false)
    {
        return std::make_unique<HotKeyControl>(grabber, tester, *toggle, testInstance);
    }

private Q_SLOTS:
    void init()
    {
        Settings::defaults().remove(Settings::hotKeyCodeKey);
        Settings::defaults().remove(Settings::hotKeyModifiersKey);
        grabber = FakeGrabber();
        panel = Panel();
        clock = std::make_shared<ManualClock>();
        toggle = std::make_unique<PanelToggle>(PanelToggle::Panel{[this] { return panel.visible; },
                                                                  [this] {
                                                                      panel.visible = true;
                                                                      ++panel.shows;
                                                                  },
                                                                  [this](const QString &reason) {
                                                                      panel.visible = false;
                                                                      panel.hides << reason;
                                                                      toggle->noteHidden();
                                                                  }},
                                               clock);
    }

    void pressesTogglePanelOutsideTheQuarterSecondAfterAHide()
    {
        LogCapture logged;
        auto hotKey = control();
        hotKey->setUp();
        QCOMPARE(grabber.grabbed, HotKeyCombo::standard().x11Grab());
        grabber.press();
        QCOMPARE(panel.shows, 1);
        grabber.press();
        QCOMPARE(panel.hides, QStringList{u"toggle"_s});
        // The press that made the panel hide must not reopen it; a later one does.
        clock->advance(250ms);
        grabber.press();
        QCOMPARE(panel.shows, 1);
        clock->advance(1ms);
        grabber.press();
        QCOMPARE(panel.shows, 2);
        QCOMPARE(logged.matching(u"hotkey: gevuurd"_s).size(), 4);
    }

    void armedTesterTakesExactlyOnePress()
    {
        auto hotKey = control();
        hotKey->setUp();
        tester.arm();
        grabber.press();
        QVERIFY(tester.didFire());
        QCOMPARE(panel.shows, 0);
        grabber.press();
        QCOMPARE(panel.shows, 1);
    }

    void failedChangeKeepsTheOldCombination()
    {
        LogCapture logged;
        grabber.held = {'k'};
        auto hotKey = control();
        hotKey->setUp();
        QSignalSpy shown(hotKey.get(), &HotKeyControl::shownComboChanged);

        QVERIFY(!hotKey->changeHotKey(ctrlShiftK));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(grabber.grabbed, HotKeyCombo::standard().x11Grab());
        QCOMPARE(hotKey->shownCombo(), HotKeyCombo::standard());
        QVERIFY(logged.lines().contains(u"hotkey: registreren van Ctrl+Shift+K MISLUKT, status 10"_s));
        grabber.press();
        QCOMPARE(panel.shows, 1);

        QVERIFY(hotKey->changeHotKey(ctrlShiftJ));
        QCOMPARE(grabber.grabbed, ctrlShiftJ.x11Grab());
        // Says what a granted grab does show, not that it shows nothing.
        QCOMPARE(logged.lines().constLast(), u"hotkey: opnieuw geregistreerd op Ctrl+Shift+J (status 0: de "_s
                                             u"X-server weigerde hem niet; test hem in de instellingen)"_s);
        QCOMPARE(hotKey->shownCombo(), ctrlShiftJ);
    }

    void startWithoutAHotKeyCanStillGetOne()
    {
        LogCapture logged;
        grabber.held = {' '};
        auto hotKey = control();
        hotKey->setUp();
        QVERIFY(!hotKey->isRegistered());
        QCOMPARE(logged.lines().filter(u"!! hotkey: "_s),
                 QStringList{u"!! hotkey: Ctrl+Alt+Space kon NIET geregistreerd worden. Gebruik het "_s
                             u"systeemvak-icoon of kies een andere combinatie in de instellingen."_s});
        QVERIFY(!hotKey->changeHotKey(HotKeyCombo{200, HotKeyCombo::controlMask}));
        QVERIFY(hotKey->changeHotKey(ctrlShiftK));
        grabber.press();
        QCOMPARE(panel.shows, 1);
    }

    void noGrabWhereTheDesktopAllowsNone_data()
    {
        QTest::addColumn<bool>("testInstance");
        QTest::addColumn<bool>("ownCombination");
        QTest::addColumn<HotKeyGrabber::Availability>("availability");
        QTest::addColumn<QString>("line");
        QTest::newRow("test instance")
            << true << false << HotKeyGrabber::Availability::ready
            << u"testmodus: geen global hotkey (Ctrl+Alt+Space blijft van de app van de gebruiker)"_s;
        // The line names the user's own combination, the one their copy holds.
        QTest::newRow("test instance, a combination of the user's")
            << true << true << HotKeyGrabber::Availability::ready
            << u"testmodus: geen global hotkey (Ctrl+Shift+K blijft van de app van de gebruiker)"_s;
        QTest::newRow("wayland") << false << false << HotKeyGrabber::Availability::wayland
                                 << u"'quorvane' start"_s;
        QTest::newRow("no display") << false << false << HotKeyGrabber::Availability::noDisplay
                                    << u"geen X11-scherm"_s;
    }
    void noGrabWhereTheDesktopAllowsNone()
    {
        QFETCH(bool, testInstance);
        QFETCH(bool, ownCombination);
        QFETCH(HotKeyGrabber::Availability, availability);
        QFETCH(QString, line);
        if (ownCombination)
            Settings::setHotKey(ctrlShiftK);
        LogCapture logged;
        grabber.available = availability;
        auto hotKey = control(testInstance);
        hotKey->setUp();
        QVERIFY(!grabber.grabbed);
        QCOMPARE(logged.lines().size(), 1);
        QVERIFY(logged.lines().constFirst().contains(line));
    }
};

QTEST_GUILESS_MAIN(TstHotKeyControl)
#include "tst_hotkeycontrol.moc"
