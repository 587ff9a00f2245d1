#include "app/palettepanel.h"
#include "app/panelcontroller.h"
#include "app/settings.h"
#include "logcapture.h"
#include "manualclock.h"
#include "ports/windowmanager.h"
#include "ui/hovergate.h"
#include "ui/movearea.h"
#include "ui/panelvisibility.h"
#include "ui/windowgesture.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A window manager that has put every window at one frame, or cannot say where.
class FakeWindowManager final : public WindowManager {
public:
    void skipTaskbar(QWindow *) override { ++skipped; }
    bool knowsFrames() const override { return true; }
    std::optional<QRect> frame(QWindow *) const override { return placed; }

    int skipped = 0;
    std::optional<QRect> placed;
};

} // namespace

// The panel on the offscreen platform, whose one screen is 800 x 800.
class TstPanelController : public QObject {
    Q_OBJECT

    std::shared_ptr<ManualClock> m_clock;
    std::unique_ptr<PanelController> m_panel;
    int m_shows = 0;
    int m_hides = 0;
    std::shared_ptr<FakeWindowManager> m_windowManager;
    std::chrono::milliseconds m_mapFocusWait = PanelController::Options().mapFocusWait;

    PanelController &make(bool offscreen = false, bool autoHides = true, bool remembersFrame = true,
                          bool compositorPlaces = false)
    {
        PanelController::Options options;
        options.offscreen = offscreen;
        options.autoHidesOnFocusLoss = autoHides;
        options.remembersFrame = remembersFrame;
        options.compositorPlaces = compositorPlaces;
        options.clock = m_clock;
        options.mapFocusWait = m_mapFocusWait;
        options.windowManager = m_windowManager;
        m_panel = std::make_unique<PanelController>(options);
        m_panel->onShow = [this] { ++m_shows; };
        m_panel->onHide = [this] { ++m_hides; };
        m_panel->setContent(new QQuickItem);
        return *m_panel;
    }

private Q_SLOTS:
    void init()
    {
        SettingsStore::flushAll(); // a write of the last test may still be on its way to the file
        QFile::remove(Settings::defaults().filePath());
        m_clock = std::make_shared<ManualClock>();
        m_mapFocusWait = PanelController::Options().mapFocusWait;
        m_shows = m_hides = 0;
        m_windowManager.reset();
    }
    void cleanup() { m_panel.reset(); }

    void showPlacesAndHideRemembers()
    {
        PanelController &panel = make();
        LogCapture log;
        panel.show();
        QVERIFY(panel.isVisible());
        QVERIFY(panel.visibility()->isVisible());
        QCOMPARE(m_shows, 1);
        // Centred, 14 % of 800 below the top, in Qt's coordinates.
        QCOMPARE(log.lines(), QStringList{u"panel: getoond, zichtbaar=true frame=20,112 760x540"_s});

        panel.window()->setPosition(30, 40);
        m_clock->advance(5s);
        panel.hide(u"esc"_s);
        QVERIFY(!panel.isVisible());
        QVERIFY(!panel.visibility()->isVisible());
        QCOMPARE(m_hides, 1);
        QCOMPARE(panel.lastAutoHide(), m_clock->now());
        QCOMPARE(Settings::panelFrame(), QRectF(30, 40, 760, 540));
        QCOMPARE(log.lines().constLast(), u"panel: verborgen (esc)"_s);

        // Hiding a hidden panel does nothing at all.
        log.clear();
        m_clock->advance(5s);
        panel.hide(u"toggle"_s);
        QVERIFY(log.lines().isEmpty());
        QCOMPARE(m_hides, 1);
        QCOMPARE(panel.lastAutoHide(), m_clock->now() - 5s);

        // The next show takes the remembered frame.
        panel.show();
        QCOMPARE(panel.window()->geometry(), QRect(30, 40, 760, 540));
    }

    // The window manager's word on where the frame is, its borders included, is what is remembered; the
    // taskbar hint goes out before each show of a hidden panel, since a window manager drops it on a hide.
    void theWindowManagerSaysWhereThePanelIs()
    {
        m_windowManager = std::make_shared<FakeWindowManager>();
        PanelController &panel = make();
        panel.show();
        panel.show();
        QCOMPARE(m_windowManager->skipped, 1);
        // Not placed yet: nothing to remember.
        panel.hide(u"esc"_s);
        QVERIFY(!Settings::panelFrame());

        m_windowManager->placed = QRect(50, 60, 780, 570);
        m_clock->advance(5s);
        panel.show();
        QCOMPARE(m_windowManager->skipped, 2);
        panel.hide(u"esc"_s);
        QCOMPARE(Settings::panelFrame(), QRectF(50, 60, 780, 570));
    }

    // On Wayland the panel asks for its size alone, and holds it until the compositor has mapped it and
    // given it the keyboard (a tiling compositor floats it so); then it can be resized as anywhere. The
    // log names no place the compositor never told.
    void theCompositorPlacesThePanelAtItsOwnSize()
    {
        Settings::setPanelFrame(QRectF(100, 80, 800, 600));
        PanelController &panel = make(false, true, false, true);
        PalettePanel *window = panel.window();
        LogCapture log;
        panel.show();
        QCOMPARE(log.lines().constFirst(),
                 u"panel: getoond, zichtbaar=true, de compositor kiest de plek (gevraagde maat 800x600)"_s);
        QCOMPARE(window->minimumSize(), QSize(800, 600));
        QCOMPARE(window->maximumSize(), QSize(800, 600));
        QTRY_VERIFY(window->isActive());
        QCOMPARE(window->minimumSize(), QSize(620, 420));
        const QSize unlimited = QWindow().maximumSize();
        QCOMPARE(window->maximumSize(), unlimited);

        // Shown again while up: it stays resizable. Hidden and shown: it holds its size again.
        panel.show();
        QCOMPARE(window->maximumSize(), unlimited);
        panel.hide(u"esc"_s);
        QVERIFY(!window->holdsSize());
        m_clock->advance(5s);
        panel.show();
        QCOMPARE(window->maximumSize(), QSize(800, 600));
    }

    void offscreenIsNeverRemembered()
    {
        PanelController &panel = make(true);
        LogCapture log;
        panel.show();
        QCOMPARE(log.lines(), QStringList{u"panel: getoond, zichtbaar=true frame=-20000,-20000 760x540 "
                                          u"(--offscreen: buiten beeld, de gebruiker ziet niets)"_s});
        panel.window()->setPosition(-19000, -20000);
        panel.hide(u"esc"_s);
        QVERIFY(!Settings::panelFrame());
        // Not even where a window manager could pull the parked panel onto a screen.
        panel.show();
        panel.window()->setPosition(30, 40);
        panel.hide(u"esc"_s);
        QVERIFY(!Settings::panelFrame());
    }

    void escAndFocusLossHide_data()
    {
        QTest::addColumn<bool>("autoHides");
        QTest::newRow("auto-hide") << true;
        QTest::newRow("--keep-open") << false;
    }
    void escAndFocusLossHide()
    {
        QFETCH(bool, autoHides);
        PanelController &panel = make(false, autoHides);
        LogCapture log;
        panel.show();
        QTRY_VERIFY(panel.window()->isActive());

        // Another window taking key focus.
        QWindow other;
        other.show();
        QTRY_VERIFY(!panel.window()->isActive());
        QCOMPARE(panel.isVisible(), !autoHides);
        QCOMPARE(log.matching(u"panel: verborgen"_s),
                 autoHides ? QStringList{u"panel: verborgen (focus verloren)"_s} : QStringList());
        other.hide();

        // Shown again at once, before the window system has had its say about focus: a later loss still
        // counts.
        panel.show();
        panel.hide(u"esc"_s);
        panel.show();
        other.show();
        QTRY_COMPARE(panel.isVisible(), !autoHides);
        other.hide();

        panel.show();
        QTest::keyClick(panel.window(), Qt::Key_Escape);
        QVERIFY(!panel.isVisible());
        QCOMPARE(log.lines().constLast(), u"panel: verborgen (esc)"_s);
    }

    void focusLostToAMoveOrResize()
    {
        PanelController &panel = make();
        QWindow other;
        const auto takeFocus = [](QWindow &window) {
            window.show();
            window.requestActivate();
            return QTest::qWaitForWindowActive(&window);
        };
        const auto startGesture = [&panel] {
            QEvent started(WindowGesture::startedType());
            QCoreApplication::sendEvent(panel.window(), &started);
        };
        panel.show();
        QVERIFY(takeFocus(*panel.window()));
        startGesture();
        m_clock->advance(900ms);
        // The window manager holds the keys while it moves or resizes the panel.
        QVERIFY(takeFocus(other));
        QTest::qWait(50);
        QVERIFY(panel.isVisible());
        // It gives them back when the button comes up; a loss after that is real.
        QVERIFY(takeFocus(*panel.window()));
        QVERIFY(takeFocus(other));
        QTRY_VERIFY(!panel.isVisible());

        // A loss long after the gesture began is not the window manager's.
        panel.show();
        QVERIFY(takeFocus(*panel.window()));
        startGesture();
        m_clock->advance(1100ms);
        QVERIFY(takeFocus(other));
        QTRY_VERIFY(!panel.isVisible());
    }

    void edgesShowTheResizeCursor()
    {
        PanelController &panel = make();
        panel.show();
        QWindow *window = panel.window();
        const auto cursorAt = [window](QPoint point) {
            QTest::mouseMove(window, point);
            return window->cursor().shape();
        };
        QCOMPARE(cursorAt({380, 270}), Qt::ArrowCursor);
        QCOMPARE(cursorAt({380, 2}), Qt::SizeVerCursor);
        QCOMPARE(cursorAt({2, 300}), Qt::SizeHorCursor);
        QCOMPARE(cursorAt({757, 537}), Qt::SizeFDiagCursor);
        QCOMPARE(cursorAt({757, 3}), Qt::SizeBDiagCursor);
        QCOMPARE(cursorAt({380, 270}), Qt::ArrowCursor);
        // The edges go where the panel's do.
        window->resize(770, 600);
        QTRY_COMPARE(panel.content()->width(), 770.0);
        QCOMPARE(cursorAt({767, 300}), Qt::SizeHorCursor);
        QCOMPARE(cursorAt({757, 300}), Qt::ArrowCursor);
    }

    void pressesOffTheEdgesReachTheContent()
    {
        PanelController &panel = make();
        auto *area = new MoveArea(panel.content());
        area->setSize(panel.content()->size());
        QSignalSpy taps(area, &MoveArea::tapped);
        panel.show();
        QWindow *window = panel.window();
        QTest::mouseClick(window, Qt::LeftButton, {}, {380, 270});
        QCOMPARE(taps.size(), 1);
        // Nothing can resize the panel here (no window manager): the edge's press goes on to what is under
        // it.
        QTest::mouseClick(window, Qt::LeftButton, {}, {2, 270});
        QCOMPARE(taps.size(), 2);
        // A hand that only clicks moves a pixel; one that drags is no tap.
        QTest::mousePress(window, Qt::LeftButton, {}, {300, 30});
        QTest::mouseMove(window, {302, 31});
        QTest::mouseRelease(window, Qt::LeftButton, {}, {302, 31});
        QCOMPARE(taps.size(), 3);
        QTest::mousePress(window, Qt::LeftButton, {}, {300, 30});
        QTest::mouseMove(window, {340, 30});
        QTest::mouseRelease(window, Qt::LeftButton, {}, {340, 30});
        QCOMPARE(taps.size(), 3);
    }

    // Each show, not only the first, makes a pointer resting where the panel appears wait for a real move
    // before a row that slides under it may take the selection.
    void aRestingPointerSelectsNothingAtEveryShow()
    {
        PanelController &panel = make();
        HoverGate *gate = panel.hoverGate();
        QWindow *window = panel.window();
        const QPoint resting(380, 270);
        for (int show = 1; show <= 3; ++show) {
            panel.show();
            QTest::mouseMove(window, resting);
            QVERIFY2(!gate->admitHover(), qPrintable(u"show %1"_s.arg(show)));
            QTest::mouseMove(window, resting + QPoint(1, 1));
            QVERIFY2(!gate->admitHover(), qPrintable(u"show %1"_s.arg(show)));
            // The hand moves the pointer away and back: from now on a hover selects.
            QTest::mouseMove(window, resting + QPoint(40, 30));
            QTest::mouseMove(window, resting);
            QVERIFY2(gate->admitHover(), qPrintable(u"show %1"_s.arg(show)));
            panel.hide(u"esc"_s);
            m_clock->advance(1s);
        }
    }

    void toggleKeepsAFreshHideClosed()
    {
        PanelController &panel = make();
        panel.show();
        panel.toggle();
        QVERIFY(!panel.isVisible());
        m_clock->advance(200ms);
        panel.toggle();
        QVERIFY(!panel.isVisible());
        m_clock->advance(100ms);
        panel.toggle();
        QVERIFY(panel.isVisible());
    }

    void prewarmDrawsWithoutShowing()
    {
        PanelController &panel = make();
        LogCapture log;
        panel.prewarm();
        QCOMPARE(log.lines(), QStringList{u"panel: prewarmed (760x540)"_s});
        QVERIFY(!panel.isVisible());
        QVERIFY(!panel.visibility()->isVisible());
        QCOMPARE(m_shows, 0);
        QVERIFY(!Settings::panelFrame());
    }

    void snapshot()
    {
        QTemporaryDir folder;
        PanelController &panel = make(true);
        LogCapture log;
        const QString path = folder.filePath(u"panel.png"_s);
        panel.show();
        QVERIFY(panel.snapshot(path));
        QCOMPARE(QImage(path).size(), QSize(760, 540));
        QCOMPARE(log.lines().constLast(), u"snapshot: 760x540 px geschreven naar "_s + path);

        const QString nowhere = folder.filePath(u"missing/panel.png"_s);
        QVERIFY(!panel.snapshot(nowhere));
        QVERIFY(log.lines().constLast().startsWith(u"!! snapshot: schrijven mislukt: "_s));
        QVERIFY(!QFile::exists(nowhere));

        panel.setContent(nullptr);
        QVERIFY(!panel.snapshot(path));
        QCOMPARE(log.lines().constLast(),
                 u"!! snapshot: het paneel heeft geen inhoud, er is niets te fotograferen"_s);
    }

    // A notice of ours, or the tray icon's menu, taking the keyboard, after the panel had it or while
    // the panel is being shown, leaves the panel up; once it is gone the panel has the keyboard again.
    // Hiding the panel under the menu would close the menu too. Lent again, the log says so again.
    void aNoticeOrMenuOfOursLeavesThePanelUp_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("panelFirst");
        QTest::addColumn<QString>("stays");
        QTest::addColumn<QString>("back");
        const QString noticeStays = u"panel: blijft staan; een melding van Quorvane heeft de toetsen"_s;
        const QString noticeBack = u"panel: de melding is dicht, het paneel heeft de toetsen weer"_s;
        const QString menuStays = u"panel: blijft staan; het menu van Quorvane heeft de toetsen"_s;
        const QString menuBack = u"panel: het menu is dicht, het paneel heeft de toetsen weer"_s;
        QTest::newRow("notice after the panel") << int(Qt::Dialog) << true << noticeStays << noticeBack;
        QTest::newRow("notice as the panel shows") << int(Qt::Dialog) << false << noticeStays << noticeBack;
        QTest::newRow("menu after the panel") << int(Qt::Popup) << true << menuStays << menuBack;
        QTest::newRow("menu as the panel shows") << int(Qt::Popup) << false << menuStays << menuBack;
    }
    void aNoticeOrMenuOfOursLeavesThePanelUp()
    {
        QFETCH(int, type);
        QFETCH(bool, panelFirst);
        QFETCH(QString, stays);
        QFETCH(QString, back);
        PanelController &panel = make();
        LogCapture log;
        QWindow notice;
        notice.setFlags(Qt::WindowFlags(type));
        const qsizetype ownChildren = notice.children().size();
        panel.show();
        if (panelFirst)
            QTRY_VERIFY(panel.window()->isActive());
        // Twice in one show, then once in the next.
        for (int round = 1; round <= 3; ++round) {
            if (round == 3) {
                panel.hide(u"esc"_s);
                panel.show();
                if (panelFirst)
                    QTRY_VERIFY(panel.window()->isActive());
            }
            notice.show();
            notice.requestActivate();
            QTRY_VERIFY(notice.isActive());
            QTRY_COMPARE_WITH_TIMEOUT(log.matching(stays).size(), round, 30000);
            // Past every wait for focus, nothing more.
            if (round == 1)
                QTest::qWait(2000);
            QVERIFY(panel.isVisible());
            QCOMPARE(log.matching(stays).size(), round);
            notice.hide();
            QTRY_VERIFY(panel.window()->isActive());
            QTRY_COMPARE(log.matching(back).size(), round);
        }
        // What takes the keys back is made once per window at a time: the menu lives as long as the
        // program.
        QVERIFY(notice.children().size() <= ownChildren + 1);
        QCOMPARE(log.matching(u"panel: verborgen"_s), QStringList{u"panel: verborgen (esc)"_s});
        QVERIFY(log.matching(u"!! panel"_s).isEmpty());
    }

    // A window system may show a notice and hand the keys straight back to the panel (sway through
    // XWayland does): the keys never left the panel, and the log does not say they did.
    void aNoticeThatHandsTheKeysBackSaysNothing()
    {
        PanelController &panel = make();
        LogCapture log;
        QWindow notice;
        notice.setFlags(Qt::Dialog);
        panel.show();
        QTRY_VERIFY(panel.window()->isActive());
        notice.show();
        notice.requestActivate();
        QTRY_VERIFY(notice.isActive());
        // Due after any check the panel set off as the notice took the keys: timers fire in the order
        // they are due, so once this one has, that check is done (coarse timers may be 5 % late).
        bool past = false;
        QTimer::singleShot(PanelController::Options().focusWait * 11 / 10 + 50ms, Qt::PreciseTimer,
                           [&past] { past = true; });
        panel.window()->requestActivate();
        QTRY_VERIFY(panel.window()->isActive());
        QTRY_VERIFY(past);
        QVERIFY(panel.isVisible());
        QVERIFY(log.matching(u"panel: blijft staan"_s).isEmpty());
    }

    // A window system may hand a newly mapped panel the keyboard late (Wayland takes up to half a
    // second): only one that never does is a failure worth a warning. On a display (run-xvfb.sh): the
    // offscreen platform hands it over at once, whatever the window allows.
    void lateFocusIsNoFailure_data()
    {
        QTest::addColumn<bool>("arrives");
        QTest::newRow("late") << true;
        QTest::newRow("never") << false;
    }
    void lateFocusIsNoFailure()
    {
        QFETCH(bool, arrives);
        if (QGuiApplication::platformName() == u"offscreen"_s)
            QSKIP("needs a display");
        // Late is past the wait for a raised panel's focus; for a panel mapped anew the wait is long
        // enough here that a busy machine's window system still comes in time.
        if (arrives)
            m_mapFocusWait = 60s;
        PanelController &panel = make();
        LogCapture log;
        panel.window()->setFlag(Qt::WindowDoesNotAcceptFocus, true);
        panel.show();
        QTest::qWait(int(2 * PanelController::Options().focusWait.count()));
        if (arrives) {
            panel.window()->setFlag(Qt::WindowDoesNotAcceptFocus, false);
            panel.window()->requestActivate();
        }
        QTRY_COMPARE_WITH_TIMEOUT(log.matching(u"panel: key="_s).size(), 1, 60000);
        QCOMPARE(log.matching(u"panel: key=true"_s).size(), arrives ? 1 : 0);
        QCOMPARE(log.matching(u"!! panel: "_s).size(), arrives ? 0 : 1);
        // The line says where typed keys went: with nothing else of ours on screen, a panel without the
        // keyboard leaves it to another program.
        const QString report = log.matching(u"panel: key="_s).constFirst();
        QVERIFY2(report.endsWith(arrives ? u" toetsenbord bij: het paneel"_s
                                         : u" toetsenbord bij: een ander programma (of niemand)"_s),
                 qPrintable(report));
    }

    // In a Wayland session the compositor decides where the panel goes and may impose its size: nothing
    // seen there is remembered, and the frame remembered before stays.
    void aWaylandSessionKeepsTheRememberedFrame()
    {
        const QRectF remembered(30, 40, 800, 600);
        Settings::setPanelFrame(remembered);
        PanelController &panel = make(false, true, false);
        panel.show();
        panel.window()->setGeometry(0, 0, 780, 790);
        panel.hide(u"esc"_s);
        QCOMPARE(Settings::panelFrame(), remembered);
    }
};

QTEST_MAIN(TstPanelController)
#include "tst_panelcontroller.moc"
