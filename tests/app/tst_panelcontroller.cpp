#include "app/palettepanel.h"
#include "app/panelcontroller.h"
#include "app/settings.h"
#include "logcapture.h"
#include "manualclock.h"
#include "ui/panelvisibility.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// The panel on the offscreen platform, whose one screen is 800 x 800.
class TstPanelController : public QObject {
    Q_OBJECT

    std::shared_ptr<ManualClock> m_clock;
    std::unique_ptr<PanelController> m_panel;
    int m_shows = 0;
    int m_hides = 0;

    PanelController &make(bool offscreen = false, bool autoHides = true)
    {
        PanelController::Options options;
        options.offscreen = offscreen;
        options.autoHidesOnFocusLoss = autoHides;
        options.clock = m_clock;
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
        m_shows = m_hides = 0;
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
        QCOMPARE(log.lines().constLast(), u"!! snapshot: het paneel heeft geen contentView"_s);
    }
};

QTEST_MAIN(TstPanelController)
#include "tst_panelcontroller.moc"
