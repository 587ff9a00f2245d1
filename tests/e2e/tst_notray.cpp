#include "endtoend.h"
#include "fakestatusnotifierwatcher.h"

#include <csignal>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace Qt::StringLiterals;
using EndToEnd::run;

// The real program on a display without a tray host (through run-xvfb.sh), as on a desktop without one,
// and as on one whose tray comes later.
class TstNoTray : public EndToEndCase {
    Q_OBJECT

    // A session bus of the test's own, with no service on it until the test serves one.
    struct PrivateBus {
        static inline const QString connectionName = u"tray-bus"_s;
        QProcess daemon;
        QString address;

        QDBusConnection connection() const { return QDBusConnection(connectionName); }
        ~PrivateBus()
        {
            QDBusConnection::disconnectFromBus(connectionName);
            daemon.terminate();
            daemon.waitForFinished(patience);
        }
    };
    static std::unique_ptr<PrivateBus> startBus()
    {
        auto bus = std::make_unique<PrivateBus>();
        bus->daemon.start(u"dbus-daemon"_s, {u"--config-file="_s + QStringLiteral(QUORVANE_SOURCE_DIR) +
                                                 u"/tests/support/session-bus.conf"_s,
                                             u"--nofork"_s, u"--print-address"_s});
        QDeadlineTimer deadline(patience);
        while (!bus->daemon.canReadLine() && bus->daemon.state() != QProcess::NotRunning &&
               !deadline.hasExpired())
            bus->daemon.waitForReadyRead(100);
        bus->address = QString::fromUtf8(bus->daemon.readLine()).trimmed();
        if (bus->address.isEmpty() ||
            !QDBusConnection::connectToBus(bus->address, PrivateBus::connectionName).isConnected())
            return nullptr;
        return bus;
    }

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

    // The copy's windows as the X server stacks them, the topmost first.
    static QStringList stacked(const Copy &copy)
    {
        const QStringList mine = visibleWindows(copy);
        QStringList order;
        static const QRegularExpression child(u"^\\s+(0x[0-9a-f]+) "_s);
        for (const QString &line : run(u"xwininfo"_s, {u"-root"_s, u"-children"_s}).split(u'\n')) {
            const QRegularExpressionMatch m = child.match(line);
            if (m.hasMatch() && mine.contains(QString::number(m.captured(1).toUInt(nullptr, 16))))
                order << QString::number(m.captured(1).toUInt(nullptr, 16));
        }
        return order;
    }
    static bool isDialog(const QString &window)
    {
        return run(u"xprop"_s, {u"-id"_s, window, u"_NET_WM_WINDOW_TYPE"_s}).contains(u"_DIALOG"_s);
    }

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    // A tray that comes while the first copy runs gets its icon (trayer takes in a window of ours, or the
    // watcher on the bus hears from our process), and brings no second notice. On the bus the watcher may
    // come before the panel that hosts the icons, as at a login.
    void theNoticeComesAtTheFirstStartOnly_data()
    {
        QTest::addColumn<QString>("lateTray");
        QTest::addColumn<bool>("hostLater");
        QTest::addColumn<QString>("arrival");
        const QString onBus = u"statusitem: systeemvak verschenen (StatusNotifierItem op de sessiebus), het "
                              u"icoon staat er nu in"_s;
        QTest::newRow("no tray comes") << QString() << false << QString();
        QTest::newRow("an XEmbed tray comes")
            << u"trayer"_s << false
            << u"statusitem: systeemvak verschenen (XEmbed), het icoon staat er nu in"_s;
        QTest::newRow("a tray on the session bus comes") << u"dbus-daemon"_s << false << onBus;
        QTest::newRow("a watcher comes, then its host") << u"dbus-daemon"_s << true << onBus;
    }
    void theNoticeComesAtTheFirstStartOnly()
    {
        QFETCH(QString, lateTray);
        QFETCH(bool, hostLater);
        QFETCH(QString, arrival);
        if (!lateTray.isEmpty() && QStandardPaths::findExecutable(lateTray).isEmpty())
            QSKIP(qPrintable(lateTray + u" is not installed (scripts/install-deps)"_s));
        std::unique_ptr<PrivateBus> bus;
        QMap<QString, QString> onBus;
        if (lateTray == u"dbus-daemon"_s) {
            bus = startBus();
            QVERIFY(bus);
            onBus.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus->address);
        }
        Copy &first = start({u"--no-homey"_s}, onBus);
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"opstarten klaar. statusitem=ONTBREEKT"_s), patience);
        QVERIFY(first.logged(u"systeemvak: melding getoond, eenmalig"_s));
        QTRY_COMPARE_WITH_TIMEOUT(dialogs(first), 1, patience);
        QVERIFY(settings().boolReading(u"tray.noticeShown"_s));

        QProcess *trayer = nullptr;
        FakeStatusNotifierWatcher watcher;
        if (lateTray == u"trayer"_s) {
            trayer = launch(u"trayer"_s,
                            {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--widthtype"_s, u"pixel"_s,
                             u"--width"_s, u"200"_s, u"--height"_s, u"24"_s},
                            {});
            QTRY_VERIFY_WITH_TIMEOUT(!trayIcon(first).isEmpty(), patience);
        } else if (bus) {
            watcher.host = !hostLater;
            QVERIFY(watcher.serve(bus->connection()));
            if (hostLater) {
                // The copy has seen the watcher without a host, and puts no icon there.
                QTRY_VERIFY_WITH_TIMEOUT(watcher.hostAsked > 0, patience);
                QVERIFY(watcher.registrations.isEmpty());
                watcher.registerHost();
            }
            QTRY_COMPARE_WITH_TIMEOUT(watcher.registrations.size(), 1, patience);
            const QString sender = watcher.registrations.constFirst().sender;
            QCOMPARE(qint64(bus->connection().interface()->servicePid(sender).value()), first.pid());
            QDBusInterface item(watcher.registrations.constFirst().service, u"/StatusNotifierItem"_s,
                                u"org.kde.StatusNotifierItem"_s, bus->connection());
            QCOMPARE(item.property("Status").toString(), u"Active"_s);
        }
        if (!lateTray.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(first.logged(arrival), patience);
            QCOMPARE(first.count(u"statusitem: systeemvak verschenen"_s), 1);
            QCOMPARE(first.count(u"systeemvak: melding"_s), 1);
            QCOMPARE(dialogs(first), 1);
        }
        first.process()->terminate();
        QVERIFY(EndToEnd::ended(first.process()));
        // The second start finds no tray again.
        bus.reset();
        if (trayer) {
            trayer->terminate();
            QVERIFY(EndToEnd::ended(trayer));
            QTRY_VERIFY_WITH_TIMEOUT(
                run(u"xdotool"_s, {u"search"_s, u"--classname"_s, u"^trayer$"_s}).isEmpty(), patience);
        }

        Copy &second = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(second.logged(u"opstarten klaar. statusitem=ONTBREEKT"_s), patience);
        QVERIFY(second.logged(u"systeemvak: de melding hierover is al eens getoond"_s));
        // The panel, asked for after the launch: once it is on the screen, anything the launch showed
        // is there too.
        second.signal(SIGUSR1);
        QTRY_COMPARE_WITH_TIMEOUT(visibleWindows(second).size(), 1, patience);
        QCOMPARE(dialogs(second), 0);
    }

    // Asked for at the start, the panel shows after the notice: the notice comes in front of it with
    // the keyboard, and the panel takes the keyboard back once it is closed.
    void theNoticeComesInFrontOfThePanel()
    {
        Copy &copy = start({u"--no-homey"_s, u"--show"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key="_s), patience);
        QTRY_COMPARE_WITH_TIMEOUT(stacked(copy).size(), 2, patience);
        const auto noticeOnTop = [&copy] {
            const QStringList order = stacked(copy);
            return order.size() == 2 && isDialog(order.at(0)) && !isDialog(order.at(1)) &&
                   run(u"xdotool"_s, {u"getwindowfocus"_s}) == order.at(0);
        };
        QTRY_VERIFY_WITH_TIMEOUT(noticeOnTop(), patience);

        run(u"xdotool"_s, {u"key"_s, u"Escape"_s});
        QTRY_VERIFY_WITH_TIMEOUT(
            copy.logged(u"panel: de melding is dicht, het paneel heeft de toetsen weer"_s), patience);
        QCOMPARE(dialogs(copy), 0);
        run(u"xdotool"_s, {u"key"_s, u"Escape"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen (actie uitgevoerd of esc)"_s), patience);
    }

    // The notice's "Toon logboek" where the desktop's opener stays until the file manager it started is
    // closed (no file manager service on the bus): the run still ends cleanly, and the opener it ends
    // on the way is no failure to report.
    void quittingWhileTheOpenerStillRunsEndsCleanly()
    {
        const QString bin = m_folder->filePath(u"bin"_s);
        QVERIFY(QDir().mkpath(bin));
        const QString asked = bin + u"/asked"_s;
        QFile opener(bin + u"/xdg-open"_s);
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1.part' && mv '%1.part' '%1'\n"
                                    "exec sleep 600\n")
                         .arg(asked)
                         .toUtf8());
        opener.close();
        QVERIFY(opener.setPermissions(opener.permissions() | QFile::ExeOwner));

        Copy &copy = start({u"--no-homey"_s}, {{u"PATH"_s, bin + u':' + qEnvironmentVariable("PATH")}});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"systeemvak: melding getoond, eenmalig"_s), patience);
        const auto noticeFocused = [&copy] {
            const QStringList windows = visibleWindows(copy);
            return windows.size() == 1 && isDialog(windows.constFirst()) &&
                   run(u"xdotool"_s, {u"getwindowfocus"_s}) == windows.constFirst();
        };
        QTRY_VERIFY_WITH_TIMEOUT(noticeFocused(), patience);
        // Return presses "Toon logboek".
        run(u"xdotool"_s, {u"key"_s, u"Return"_s});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(asked), patience);
        QFile folder(asked);
        QVERIFY(folder.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(folder.readAll()), home() + u"/state/Quorvane"_s);

        copy.process()->terminate();
        QVERIFY(EndToEnd::ended(copy.process()));
        QCOMPARE(copy.process()->exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.process()->exitCode(), 0);
        QCOMPARE(copy.messages().constLast(), u"Quorvane stopt."_s);
        QCOMPARE(copy.messages().filter(u"logboek tonen"_s), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstNoTray)
#include "tst_notray.moc"
