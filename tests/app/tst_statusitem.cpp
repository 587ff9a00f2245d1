#include "app/hubsession.h"
#include "app/logreveal.h"
#include "app/onboarding.h"
#include "app/panelcontroller.h"
#include "app/settings.h"
#include "app/statusicon.h"
#include "app/statusitemcontroller.h"
#include "app/statusitemlook.h"
#include "awaittask.h"
#include "fakedesktop.h"
#include "logcapture.h"
#include "manualclock.h"
#include "store/notifications/notificationfeed.h"

#include <algorithm>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QCoro::Task<std::optional<QString>> someToken()
{
    co_return u"geheim"_s;
}

QCoro::Task<HomeyEndpoint> someHub()
{
    co_return HomeyEndpoint{QUrl(u"http://192.168.1.5"_s), u"hub-1"_s, u"Thuis"_s};
}

// A hub that does not answer, found out after `silence` on the clock.
QCoro::Task<HomeyIdentity> noAnswer(std::shared_ptr<ManualClock> clock, std::chrono::milliseconds silence)
{
    if (silence.count() > 0)
        co_await clock->sleep(silence, CancelToken());
    throw HomeyError::unreachable(u"192.168.1.5"_s);
}

} // namespace

// Runs twice: plainly, where there is no tray, and through run-xvfb.sh with an XEmbed tray host
// (QUORVANE_TRAY=1).
class TstStatusItem : public QObject {
    Q_OBJECT

    static bool withTray() { return qEnvironmentVariable("QUORVANE_TRAY") == u"1"_s; }

    // The message boxes on screen.
    static QList<QMessageBox *> shownBoxes()
    {
        QList<QMessageBox *> boxes;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
                boxes << box;
        }
        return boxes;
    }
    static QMessageBox *shownBox()
    {
        const QList<QMessageBox *> boxes = shownBoxes();
        return boxes.isEmpty() ? nullptr : boxes.constFirst();
    }

    static QAction *entry(QMenu *menu, const QString &startsWith)
    {
        for (QAction *action : menu->actions()) {
            if (action->text().startsWith(startsWith))
                return action;
        }
        return nullptr;
    }

private Q_SLOTS:
    // Without a tray the notice comes at the first start only, in the desktop's words; its "Toon logboek"
    // says where the log is when nothing on the computer can show it.
    void noTrayMeansNoIconAndANoticeOnce()
    {
        if (withTray())
            QSKIP("a tray host is running");
        Settings::defaults().remove(Settings::noTrayNoticeShownKey);
        const HotKeyCombo ctrlShiftK{40, HotKeyCombo::controlMask | HotKeyCombo::shiftMask};
        LogCapture logged;
        const auto noTray = std::make_shared<FakeSystemTray>();
        QVERIFY(!StatusItemController::setUp(false, noTray, ctrlShiftK)->trayIcon());
        QCOMPARE(logged.lines(),
                 (QStringList{
                     u"!! statusitem: deze desktop heeft (nog) geen systeemvak: geen "
                     u"StatusNotifierItem-host op de sessiebus en geen XEmbed-systeemvak op het scherm."_s,
                     u"!! GEEN SYSTEEMVAK-ICOON: Quorvane wacht op een systeemvak. Verschijnt er een, "
                     u"bijvoorbeeld als het paneel van je desktop later start, dan komt het icoon er "
                     u"vanzelf in."_s,
                     u"systeemvak: melding getoond, eenmalig"_s,
                     u"!! verder zonder systeemvak-icoon. De sneltoets blijft de ingang."_s}));
        QPointer<QMessageBox> notice = shownBox();
        QVERIFY(notice);
        QCOMPARE(notice->text(), u"Quorvane kon geen systeemvak-icoon plaatsen"_s);
        const QString text = notice->informativeText();
        QVERIFY(text.startsWith(u"Je desktop biedt geen systeemvak aan.\n\n"_s));
        QVERIFY(text.contains(u"Quorvane draait wél: Ctrl+Shift+K opent het paneel nog steeds."_s));
        QVERIFY(text.endsWith(u"Het volledige logboek staat in:\n"_s + Log::fileURL()));
        for (const QString &foreign : {u"QSystemTrayIcon"_s, u"menubalk"_s, u"\u2303"_s})
            QVERIFY2(!text.contains(foreign), qPrintable(foreign));
        QVERIFY(Settings::noTrayNoticeShown());

        // No file manager, no opener on the path.
        const QTemporaryDir nothing;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(nothing.path()));
        logged.clear();
        const QList<QAbstractButton *> buttons = notice->buttons();
        const auto showLog = std::find_if(buttons.begin(), buttons.end(), [](QAbstractButton *button) {
            return button->text() == u"Toon logboek"_s;
        });
        QVERIFY(showLog != buttons.end());
        QTest::mouseClick(*showLog, Qt::LeftButton);
        qputenv("PATH", path);
        QTRY_VERIFY(!notice || !notice->isVisible());
        QPointer<QMessageBox> told = shownBox();
        QVERIFY(told);
        QCOMPARE(told->text(), LogReveal::unshownText());
        QVERIFY(told->text().endsWith(Log::fileURL()));
        QCOMPARE(logged.matching(u"!! logboek tonen: "_s).size(), 1);
        told->close();

        logged.clear();
        QVERIFY(!StatusItemController::setUp(false, noTray, ctrlShiftK)->trayIcon());
        QVERIFY(logged.lines().contains(u"systeemvak: de melding hierover is al eens getoond"_s));
        QVERIFY(!shownBox());

        logged.clear();
        QVERIFY(!StatusItemController::setUp(true, nullptr, HotKeyCombo::standard()));
        QCOMPARE(
            logged.lines(),
            QStringList{u"testmodus: geen statusitem (het systeemvak blijft van de app van de gebruiker)"_s});
    }

    // Under Wayland no global hot key can work: the notice and the log say what opens the panel instead.
    void noTrayWithoutAHotKeyPointsToASecondStart()
    {
        if (withTray())
            QSKIP("a tray host is running");
        Settings::defaults().remove(Settings::noTrayNoticeShownKey);
        LogCapture logged;
        QVERIFY(!StatusItemController::setUp(false, std::make_shared<FakeSystemTray>(), std::nullopt)
                     ->trayIcon());
        QCOMPARE(logged.lines().constLast(),
                 u"!! verder zonder systeemvak-icoon. Een tweede start van 'quorvane' toont het paneel."_s);
        QPointer<QMessageBox> notice = shownBox();
        QVERIFY(notice);
        const QString text = notice->informativeText();
        QVERIFY(text.contains(u"Quorvane draait wél: een tweede start van quorvane toont het paneel. "_s));
        QVERIFY(
            text.contains(u"koppel daarom in de instellingen van je desktop een sneltoets aan de opdracht "
                          u"quorvane."_s));
        for (const QString &promise : {u"Ctrl+"_s, u"nog steeds"_s, u"sneltoets blijft"_s})
            QVERIFY2(!text.contains(promise), qPrintable(promise));
        notice->close();
    }

    // A tray that comes after the start, on the session bus or over XEmbed, gets the icon with the state,
    // count and hot key of that moment, and the log says so once; the start's notice is not repeated.
    void aTrayThatComesLaterGetsTheIcon_data()
    {
        QTest::addColumn<SystemTray::Kind>("kind");
        QTest::addColumn<QString>("line");
        QTest::newRow("session bus")
            << SystemTray::Kind::statusNotifier
            << u"statusitem: systeemvak verschenen (StatusNotifierItem op de sessiebus), "
               u"het icoon staat er nu in"_s;
        QTest::newRow("XEmbed") << SystemTray::Kind::xembed
                                << u"statusitem: systeemvak verschenen (XEmbed), het icoon staat er nu in"_s;
    }
    void aTrayThatComesLaterGetsTheIcon()
    {
        QFETCH(SystemTray::Kind, kind);
        QFETCH(QString, line);
        Settings::defaults().remove(Settings::noTrayNoticeShownKey);
        const auto tray = std::make_shared<FakeSystemTray>();
        LogCapture logged;
        std::unique_ptr<StatusItemController> item =
            StatusItemController::setUp(false, tray, HotKeyCombo::standard());
        QVERIFY(!item->trayIcon());
        QPointer<QMessageBox> notice = shownBox();
        QVERIFY(notice);
        item->apply(ConnectionState::live());
        item->applyUnread(3);
        tray->change(SystemTray::Kind::none);
        QVERIFY(!item->trayIcon());

        logged.clear();
        tray->change(kind);
        QSystemTrayIcon *icon = item->trayIcon();
        QVERIFY(icon);
        QVERIFY(icon->isVisible());
        QCOMPARE(icon->contextMenu(), item->menu());
        QCOMPARE(icon->toolTip(),
                 StatusItemLook::of(ConnectionState::live(), 3, HotKeyCombo::standard()).tooltip);
        QVERIFY(icon->icon().pixmap(22).toImage() ==
                StatusIcon::drawAt(u"house.fill"_s, 1.0, u"3"_s, 22).toImage());
        // Docked, the icon follows the state as before.
        item->apply(ConnectionState::connecting());
        QCOMPARE(icon->toolTip(),
                 StatusItemLook::of(ConnectionState::connecting(), 3, HotKeyCombo::standard()).tooltip);
        tray->change(kind);
        QCOMPARE(item->trayIcon(), icon);
        QCOMPARE(logged.lines(), QStringList{line});
        QCOMPARE(shownBoxes(), QList<QMessageBox *>{notice.data()});
        notice->close();
    }

    void iconAppearsInTheTrayWithItsMenu()
    {
        if (!withTray())
            QSKIP("needs run-xvfb.sh with a tray host");
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 60000);
        LogCapture logged;
        std::unique_ptr<StatusItemController> item = StatusItemController::setUp(
            false, std::make_shared<FakeSystemTray>(SystemTray::Kind::xembed), HotKeyCombo::standard());
        QVERIFY(item);
        QCOMPARE(logged.lines(), QStringList{u"statusitem: ok (button=in het systeemvak, zichtbaar=true)"_s});
        // Docked: the host has given the icon a place on the screen.
        QTRY_VERIFY_WITH_TIMEOUT(!item->trayIcon()->geometry().isEmpty(), 60000);

        item->apply(ConnectionState::live());
        item->applyUnread(150);
        QVERIFY(item->trayIcon()->toolTip().endsWith(u"\n150 ongelezen meldingen"_s));
        QVERIFY(entry(item->menu(), u"Meldingen (150)  (Ctrl+N)"_s));
        item->setHotKey(HotKeyCombo{40, HotKeyCombo::controlMask | HotKeyCombo::shiftMask});
        QVERIFY(entry(item->menu(), u"Paneel openen  (Ctrl+Shift+K)"_s));
        QVERIFY(
            item->trayIcon()->toolTip().startsWith(u"Quorvane is live.\nCtrl+Shift+K opent het paneel."_s));

        // The icon is drawn anew only when its picture changes: not for the same state again, nor for a
        // count past the badge's 99, which only the tooltip tells. The first count of a burst is drawn at
        // once and the last when the interval is over; a new state and no count at once.
        QTRY_VERIFY(!item->trayIcon()->icon().isNull());
        // Until the burst's interval is over, whenever a busy machine lets it end.
        const QTimer *interval = item->findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(interval);
        QTRY_VERIFY_WITH_TIMEOUT(!interval->isActive(), 60000);
        const qint64 drawn = item->trayIcon()->icon().cacheKey();
        item->apply(ConnectionState::live());
        item->applyUnread(151);
        QCOMPARE(item->trayIcon()->icon().cacheKey(), drawn);
        QVERIFY(item->trayIcon()->toolTip().endsWith(u"\n151 ongelezen meldingen"_s));
        const auto shows = [&](const QString &badge) {
            return item->trayIcon()->icon().pixmap(22).toImage() ==
                   StatusIcon::drawAt(u"house.fill"_s, 1.0, badge, 22).toImage();
        };
        QVERIFY(shows(u"99"_s));
        for (int unread : {3, 4, 5})
            item->applyUnread(unread);
        QVERIFY(shows(u"3"_s));
        QVERIFY(item->trayIcon()->toolTip().endsWith(u"\n5 ongelezen meldingen"_s));
        QTRY_VERIFY_WITH_TIMEOUT(shows(u"5"_s), 60000);
        // All read: the badge goes at once.
        item->applyUnread(0);
        QVERIFY(shows(QString()));
        const qint64 read = item->trayIcon()->icon().cacheKey();
        item->apply(ConnectionState::connecting());
        QVERIFY(item->trayIcon()->icon().cacheKey() != read);

        QSignalSpy reconnect(item.get(), &StatusItemController::reconnectRequested);
        QAction *reconnectEntry = entry(item->menu(), u"Opnieuw verbinden"_s);
        QCOMPARE(reconnectEntry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        reconnectEntry->trigger();
        QCOMPARE(reconnect.size(), 1);
    }

    // The tooltip follows the session, which tells a start that is tried again by itself from one that
    // has not begun, and from the person's own retry under way: the tray says what the problem screen
    // says.
    void theTooltipSaysThatAFailedStartKeepsTrying()
    {
        if (!withTray())
            QSKIP("needs run-xvfb.sh with a tray host");
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 60000);
        std::unique_ptr<StatusItemController> item = StatusItemController::setUp(
            false, std::make_shared<FakeSystemTray>(SystemTray::Kind::xembed), HotKeyCombo::standard());
        QVERIFY(item);
        const auto clock = std::make_shared<ManualClock>();
        HubSession::Options options;
        options.services.token = [] { return someToken(); };
        options.services.endpoint = [] { return someHub(); };
        auto silence = std::make_shared<std::chrono::milliseconds>(0);
        options.services.validate = [clock, silence](QUrl, QString) { return noAnswer(clock, *silence); };
        options.store.clock = clock;
        Onboarding onboarding;
        PanelController::Options panelOptions;
        panelOptions.clock = clock;
        PanelController panel(panelOptions);
        NotificationFeed feed(SettingsStore(u"ai.velkor.quorvane.test"_s));
        HubSession session(std::move(options), &onboarding, &panel, &feed);
        item->follow(&session);
        QCOMPARE(item->trayIcon()->toolTip(),
                 u"Quorvane. Nog niet verbonden.\nCtrl+Alt+Space opent het paneel."_s);
        awaitTask(session.boot());
        const QString keepsTrying = u"Geen verbinding met je Homey.\nQuorvane blijft het proberen."_s;
        QCOMPARE(item->trayIcon()->toolTip(), keepsTrying);

        *silence = std::chrono::seconds(6);
        session.reconnect();
        ManualClock::settle();
        QCOMPARE(item->trayIcon()->toolTip(), u"Quorvane verbindt met je Homey…"_s);
        clock->advance(*silence);
        ManualClock::settle();
        QCOMPARE(item->trayIcon()->toolTip(), keepsTrying);
    }
};

QTEST_MAIN(TstStatusItem)
#include "tst_statusitem.moc"
