#include "endtoend.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;
using EndToEnd::run;

// The real program on a headless Wayland compositor without a tray (through run-e2e-wayland.sh): natively
// on Wayland, and as an X11 client of XWayland with the environment stripped of Wayland's variables.
class TstWayland : public EndToEndCase {
    Q_OBJECT

    static constexpr auto rememberedFrame = "{{100, 80}, {800, 600}}";

    // The copy's windows the compositor shows.
    static int shownWindows(const Copy &copy)
    {
        const QJsonObject tree =
            QJsonDocument::fromJson(run(u"swaymsg"_s, {u"-t"_s, u"get_tree"_s}).toUtf8()).object();
        int count = 0;
        const std::function<void(const QJsonObject &)> walk = [&](const QJsonObject &node) {
            if (node.value(u"pid"_s).toInteger() == copy.pid() && node.value(u"visible"_s).toBool())
                ++count;
            for (const QString &children : {u"nodes"_s, u"floating_nodes"_s}) {
                for (const QJsonValue &child : node.value(children).toArray())
                    walk(child.toObject());
            }
        };
        walk(tree);
        return count;
    }
    // A key pressed on the compositor's keyboard, to whatever window has it. wtype types what comes on
    // its input when that is no terminal: it gets none.
    static void press(const QString &key)
    {
        QProcess wtype;
        wtype.setStandardInputFile(QProcess::nullDevice());
        wtype.start(u"wtype"_s, {u"-k"_s, key});
        QVERIFY(wtype.waitForFinished(patience));
    }

    // What the log promises about a hot key: no grab, no hot key as the way in, and one word of Wayland.
    static void promisesNoHotKey(Copy &copy)
    {
        QCOMPARE(copy.count(u"Wayland"_s), 1);
        QVERIFY(copy.logged(u"!! hotkey: Wayland laat geen globale sneltoets toe."_s));
        QVERIFY(!copy.logged(u"geregistreerd"_s));
        QVERIFY(!copy.logged(u"De sneltoets blijft de ingang"_s));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(setUpStage());
        settings().setValue(u"panel.frame"_s, QString::fromLatin1(rememberedFrame));
    }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void nativeRunShowsHidesAndAnswersASecondStart()
    {
        const QMap<QString, QString> wayland{{u"QT_QPA_PLATFORM"_s, u"wayland"_s}};
        Copy &copy = start({u"--no-homey"_s}, wayland);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar. statusitem=ONTBREEKT"_s), patience);
        promisesNoHotKey(copy);

        QProcess *second = launch(QStringLiteral(QUORVANE_BINARY), {}, wayland);
        QVERIFY(second->waitForFinished(patience));
        QCOMPARE(second->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        QVERIFY(!copy.logged(u"!! panel: "_s));
        QTRY_COMPARE_WITH_TIMEOUT(shownWindows(copy), 2, patience);

        press(u"Escape"_s);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen (actie uitgevoerd of esc)"_s), patience);
        QTRY_COMPARE_WITH_TIMEOUT(shownWindows(copy), 1, patience);
        // Where the compositor put the panel, and at which size, is its own business.
        QCOMPARE(settings().stringValue(u"panel.frame"_s), QString::fromLatin1(rememberedFrame));
    }

    void xWaylandRunKeepsThePanelUpUnderTheNotice()
    {
        const QString display = qEnvironmentVariable("QUORVANE_XWAYLAND_DISPLAY");
        if (display.isEmpty())
            QSKIP("XWayland did not start");
        Copy &copy = start({u"--no-homey"_s, u"--show"_s}, {{u"QT_QPA_PLATFORM"_s, u"xcb"_s},
                                                            {u"DISPLAY"_s, display},
                                                            {u"WAYLAND_DISPLAY"_s, QString()},
                                                            {u"XDG_SESSION_TYPE"_s, QString()}});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key="_s), patience);
        promisesNoHotKey(copy);
        // The notice maps after the panel and takes the keyboard; the panel stays.
        QTRY_COMPARE_WITH_TIMEOUT(shownWindows(copy), 2, patience);
        QTest::qWait(1000);
        QVERIFY(!copy.logged(u"panel: verborgen"_s));

        // Closed the way a window manager closes a window (which of the two has the compositor's
        // keyboard meanwhile varies): the panel stays and Esc reaches it.
        run(u"swaymsg"_s, {u"[window_type=\"dialog\"] kill"_s});
        QTRY_COMPARE_WITH_TIMEOUT(shownWindows(copy), 1, patience);
        QVERIFY(!copy.logged(u"panel: verborgen"_s));
        press(u"Escape"_s);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen (actie uitgevoerd of esc)"_s), patience);
        QCOMPARE(settings().stringValue(u"panel.frame"_s), QString::fromLatin1(rememberedFrame));
    }
};

QTEST_GUILESS_MAIN(TstWayland)
#include "tst_wayland.moc"
