#include "app/statusitemcontroller.h"
#include "logcapture.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

using namespace Qt::StringLiterals;

// Runs twice: plainly, where there is no tray, and through run-xvfb.sh with an XEmbed tray host
// (QUORVANE_TRAY=1).
class TstStatusItem : public QObject {
    Q_OBJECT

    static bool withTray() { return qEnvironmentVariable("QUORVANE_TRAY") == u"1"_s; }

    static QAction *entry(QMenu *menu, const QString &startsWith)
    {
        for (QAction *action : menu->actions()) {
            if (action->text().startsWith(startsWith))
                return action;
        }
        return nullptr;
    }

private Q_SLOTS:
    void noTrayMeansNoIcon()
    {
        if (withTray())
            QSKIP("a tray host is running");
        LogCapture logged;
        QVERIFY(!StatusItemController::setUp(false, HotKeyCombo::standard()));
        const QStringList lines = logged.lines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(0).startsWith(u"!! FATAAL: "_s));
        QVERIFY(lines.at(1).startsWith(u"!! GEEN MENUBALK-ICOON: "_s));
        QCOMPARE(lines.at(2), u"!! verder zonder menubalk-icoon. De sneltoets blijft de ingang."_s);

        logged.clear();
        QVERIFY(!StatusItemController::setUp(true, HotKeyCombo::standard()));
        QCOMPARE(
            logged.lines(),
            QStringList{u"testmodus: geen statusitem (de menubalk blijft van de app van de gebruiker)"_s});
    }

    void iconAppearsInTheTrayWithItsMenu()
    {
        if (!withTray())
            QSKIP("needs run-xvfb.sh with a tray host");
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
        LogCapture logged;
        std::unique_ptr<StatusItemController> item =
            StatusItemController::setUp(false, HotKeyCombo::standard());
        QVERIFY(item);
        QCOMPARE(logged.lines(), QStringList{u"statusitem: ok (button=in de menubalk, zichtbaar=true)"_s});
        // Docked: the host has given the icon a place on the screen.
        QTRY_VERIFY_WITH_TIMEOUT(!item->trayIcon()->geometry().isEmpty(), 10000);

        item->apply(ConnectionState::live());
        item->applyUnread(150);
        QVERIFY(item->trayIcon()->toolTip().endsWith(u"\n150 ongelezen meldingen"_s));
        QVERIFY(entry(item->menu(), u"Meldingen (150)  (Ctrl+N)"_s));
        item->setHotKey(HotKeyCombo{40, HotKeyCombo::controlMask | HotKeyCombo::shiftMask});
        QVERIFY(entry(item->menu(), u"Paneel openen  (⌃⇧K)"_s));
        QVERIFY(item->trayIcon()->toolTip().startsWith(u"Quorvane is live.\n⌃⇧K opent het paneel."_s));

        QSignalSpy reconnect(item.get(), &StatusItemController::reconnectRequested);
        QAction *reconnectEntry = entry(item->menu(), u"Opnieuw verbinden"_s);
        QCOMPARE(reconnectEntry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        reconnectEntry->trigger();
        QCOMPARE(reconnect.size(), 1);
    }
};

QTEST_MAIN(TstStatusItem)
#include "tst_statusitem.moc"
