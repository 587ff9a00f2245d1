#include "endtoend.h"

#include <csignal>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

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
        QVERIFY(copy.process()->waitForFinished(patience));
        QCOMPARE(copy.process()->exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.process()->exitCode(), 0);
        QCOMPARE(copy.messages().constLast(), u"Quorvane stopt."_s);
        QCOMPARE(copy.messages().filter(u"logboek tonen"_s), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstNoTray)
#include "tst_notray.moc"
