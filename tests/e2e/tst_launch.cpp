#include "servedcase.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSet>

using namespace Qt::StringLiterals;
using EndToEnd::run;

namespace {

const QString settingsTitle = u"^Quorvane, instellingen$"_s;

// The process's sockets that are internet sockets, by inode.
QSet<QString> internetSockets(qint64 pid)
{
    QSet<QString> own;
    const QDir fds(u"/proc/"_s + QString::number(pid) + u"/fd"_s);
    static const QRegularExpression socket(u"^socket:\\[(\\d+)\\]$"_s);
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        const QRegularExpressionMatch match =
            socket.match(QFile::symLinkTarget(fds.filePath(fd)).section(u'/', -1));
        if (match.hasMatch())
            own.insert(match.captured(1));
    }
    QSet<QString> internet;
    for (const QString &table : {u"tcp"_s, u"tcp6"_s, u"udp"_s, u"udp6"_s, u"raw"_s, u"raw6"_s}) {
        QFile file(u"/proc/net/"_s + table);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList fields = lines.at(i).simplified().split(u' ');
            if (fields.size() > 9 && own.contains(fields.at(9)))
                internet.insert(fields.at(9));
        }
    }
    return internet;
}

} // namespace

// The program started on the display and session bus that run-e2e.sh provides: what it logs as it comes
// up, the tray, the hot key, a second start and the settings window.
class TstLaunch : public ServedCase {
    Q_OBJECT

private Q_SLOTS:
    void launchLinesComeInOrderAndTheHubFollows()
    {
        Copy &copy = start({}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        const QStringList messages = copy.messages();
        const QStringList order{
            QString(58, QChar(0x2500)),
            u"Quorvane "_s,
            u"logboek: "_s,
            u"sneltoets uit instellingen: "_s,
            u"activatiebeleid: achtergrondprogramma, draait door zonder open venster"_s,
            u"statusitem: ok (button=in het systeemvak, zichtbaar=true)"_s,
            u"hotkey: Ctrl+Alt+Space geregistreerd, status 0."_s,
            u"panel: prewarmed (760x540)"_s,
            u"SIGUSR1-handler actief: "_s,
            u"SIGUSR2-handler actief: "_s,
            u"meldingen: bureaubladmeldingen beschikbaar"_s,
            u"opstarten klaar. statusitem=ok hotkey=geregistreerd panel=prewarmed"_s,
            u"verbinding: Live verbonden."_s,
        };
        qsizetype at = -1;
        for (const QString &start : order) {
            const auto found = std::find_if(messages.begin() + at + 1, messages.end(),
                                            [&](const QString &m) { return m.startsWith(start); });
            QVERIFY2(found != messages.end(), qPrintable(start));
            at = found - messages.begin();
        }
        QVERIFY(messages.filter(u"!! "_s).isEmpty());
    }

    void noHomeyMakesNoNetworkConnection()
    {
        Copy &copy = start({u"--no-homey"_s, u"--offscreen"_s, u"--show"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar."_s), patience);
        QVERIFY(!snapshot(copy, snapshotPath()).isNull());
        QVERIFY(copy.logged(u"panel: getoond, zichtbaar=true frame=-20000,-20000 760x540 "
                            u"(--offscreen: buiten beeld, de gebruiker ziet niets)"_s));
        QVERIFY(copy.logged(u"Homey-verbinding: uit (--no-homey)."_s));
        QCOMPARE(internetSockets(copy.pid()), QSet<QString>());
        QVERIFY(m_hub->requests().isEmpty());
    }

    void aSecondStartShowsTheFirstCopysPanel()
    {
        Copy &first = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"opstarten klaar."_s), patience);
        QVERIFY(visibleWindows(first).isEmpty());

        Copy &second = start({});
        QVERIFY(EndToEnd::ended(second.process()));
        QCOMPARE(second.process()->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"SIGUSR1 ontvangen: paneel tonen"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"panel: getoond, zichtbaar=true"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(first).size() == 1, patience);
        // A tool window that stays out of the taskbar.
        const QString state =
            run(u"xprop"_s, {u"-id"_s, visibleWindows(first).constFirst(), u"_NET_WM_STATE"_s});
        QVERIFY2(state.contains(u"_NET_WM_STATE_SKIP_TASKBAR"_s), qPrintable(state));
    }

    void hotKeyTogglesThePanel()
    {
        Copy &copy = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar."_s), patience);
        press({u"ctrl+alt+space"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: getoond, zichtbaar=true"_s), patience);
        QCOMPARE(copy.count(u"hotkey: gevuurd"_s), 1);
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(copy).size() == 1, patience);

        // Twice in a row: the first press hides the panel, the second comes too soon after that hide to
        // open it again.
        press({u"ctrl+alt+space"_s, u"ctrl+alt+space"_s});
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"hotkey: gevuurd"_s), 3, patience);
        QCOMPARE(copy.count(u"panel: verborgen (toggle)"_s), 1);
        QCOMPARE(copy.count(u"panel: getoond"_s), 1);
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(copy).isEmpty(), patience);
    }

    void trayIconAppearsAndItsClickTogglesThePanel_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("afterClick");
        QTest::newRow("into the tray") << QStringList{u"--no-homey"_s} << u"panel: getoond, zichtbaar=true"_s;
        // The icon registers after the panel is on screen; it docks all the same.
        QTest::newRow("shown at start")
            << QStringList{u"--no-homey"_s, u"--show"_s} << u"panel: verborgen (toggle)"_s;
    }
    void trayIconAppearsAndItsClickTogglesThePanel()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, afterClick);
        Copy &copy = start(arguments);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar. statusitem=ok"_s), patience);
        // Docked: the tray host has mapped the icon's window.
        QString icon;
        QTRY_VERIFY_WITH_TIMEOUT(!(icon = trayIcon(copy)).isEmpty(), patience);
        run(u"xdotool"_s,
            {u"mousemove"_s, u"--sync"_s, u"--window"_s, icon, u"4"_s, u"4"_s, u"click"_s, u"1"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(afterClick), patience);
    }

    // A right click on the tray icon opens its menu at once, with the panel up as with the panel
    // hidden. The panel stays up under the menu, and has the keyboard again once the menu is closed.
    void trayIconsRightClickOpensItsMenu_data()
    {
        QTest::addColumn<bool>("panelUp");
        QTest::newRow("panel hidden") << false;
        QTest::newRow("panel up") << true;
    }
    void trayIconsRightClickOpensItsMenu()
    {
        QFETCH(bool, panelUp);
        Copy &copy =
            start(panelUp ? QStringList{u"--no-homey"_s, u"--show"_s} : QStringList{u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar. statusitem=ok"_s), patience);
        QString icon;
        QTRY_VERIFY_WITH_TIMEOUT(!(icon = trayIcon(copy)).isEmpty(), patience);
        if (panelUp)
            QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        // The menu is the one window of ours, the tray icon apart, that no window manager would frame.
        const auto menus = [&copy] {
            QStringList found = visibleWindows(copy);
            found.removeIf([](const QString &window) {
                return !run(u"xwininfo"_s, {u"-id"_s, window}).contains(u"Override Redirect State: yes"_s);
            });
            return found;
        };
        QCOMPARE(menus().size(), 0);
        run(u"xdotool"_s,
            {u"mousemove"_s, u"--sync"_s, u"--window"_s, icon, u"4"_s, u"4"_s, u"click"_s, u"3"_s});
        QTRY_COMPARE_WITH_TIMEOUT(menus().size(), 1, patience);
        if (panelUp)
            QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: blijft staan; het menu van Quorvane"_s), patience);
        QCOMPARE(menus().size(), 1);
        QCOMPARE(visibleWindows(copy).size(), panelUp ? 2 : 1);

        press({u"Escape"_s});
        QTRY_COMPARE_WITH_TIMEOUT(menus().size(), 0, patience);
        if (panelUp)
            QTRY_VERIFY_WITH_TIMEOUT(
                copy.logged(u"panel: het menu is dicht, het paneel heeft de toetsen weer"_s), patience);
        QCOMPARE(visibleWindows(copy).size(), panelUp ? 1 : 0);
        QCOMPARE(copy.count(u"panel: verborgen"_s), 0);
    }

    void settingsSwitchOpensTheSettingsWindow()
    {
        Copy &copy = start({u"--no-homey"_s, u"--settings"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"instellingen geopend"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(showsWindow(copy, settingsTitle), patience);
    }

    // No window manager here, so no close button: Escape closes the window, and Ctrl+W once the
    // panel's Ctrl+, has opened it again.
    void escapeAndCtrlWCloseTheSettingsWindow()
    {
        Copy &copy = start({u"--no-homey"_s, u"--settings"_s});
        const auto focused = [&] {
            const QString window = this->window(copy, settingsTitle);
            return !window.isEmpty() && run(u"xdotool"_s, {u"getwindowfocus"_s}) == window;
        };
        QTRY_VERIFY_WITH_TIMEOUT(focused(), patience);
        press({u"Escape"_s});
        QTRY_VERIFY_WITH_TIMEOUT(!showsWindow(copy, settingsTitle), patience);

        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        press({u"ctrl+comma"_s});
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"instellingen geopend"_s), 2, patience);
        QTRY_VERIFY_WITH_TIMEOUT(focused(), patience);
        press({u"ctrl+w"_s});
        QTRY_VERIFY_WITH_TIMEOUT(!showsWindow(copy, settingsTitle), patience);
        QCOMPARE(copy.process()->state(), QProcess::Running);
    }

    // The tray menu's "Stop Quorvane" names Ctrl+Q: it ends the run from the panel and from the settings
    // window alike, as the menu entry does, with the log's last line written; Caps Lock changes nothing.
    void ctrlQEndsTheRun_data()
    {
        QTest::addColumn<bool>("settingsWindow");
        QTest::addColumn<bool>("capsLock");
        QTest::newRow("panel") << false << false;
        QTest::newRow("settings window") << true << false;
        QTest::newRow("panel, caps lock on") << false << true;
        QTest::newRow("settings window, caps lock on") << true << true;
    }
    void ctrlQEndsTheRun()
    {
        QFETCH(bool, settingsWindow);
        QFETCH(bool, capsLock);
        Copy *started = nullptr;
        if (settingsWindow) {
            started = &start({u"--no-homey"_s, u"--settings"_s});
            const auto focused = [&] {
                const QString window = this->window(*started, settingsTitle);
                return !window.isEmpty() && run(u"xdotool"_s, {u"getwindowfocus"_s}) == window;
            };
            QTRY_VERIFY_WITH_TIMEOUT(focused(), patience);
        } else {
            started = openPanel();
            QVERIFY(started);
        }
        Copy &copy = *started;
        // The display outlives the test: Caps Lock goes off again whatever the outcome.
        const auto capsOff = qScopeGuard([&] {
            if (capsLock)
                press({u"Caps_Lock"_s});
        });
        press(capsLock ? QStringList{u"Caps_Lock"_s, u"ctrl+q"_s} : QStringList{u"ctrl+q"_s});
        QVERIFY(EndToEnd::ended(copy.process()));
        QCOMPARE(copy.process()->exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.process()->exitCode(), 0);
        QCOMPARE(copy.messages().constLast(), u"Quorvane stopt."_s);
    }
};

QTEST_GUILESS_MAIN(TstLaunch)
#include "tst_launch.moc"
