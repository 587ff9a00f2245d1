#include "endtoend.h"
#include "waylandpointer.h"

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
    static inline const QMap<QString, QString> native{{u"QT_QPA_PLATFORM"_s, u"wayland"_s}};
    // The compositor's one output, as run-e2e-wayland.sh sets it up.
    static constexpr QSize output{1280, 800};

    // One of the copy's windows that the compositor shows, as its tree says.
    struct Shown {
        QString name;
        QRect rect;
        bool floating = false;
        bool focused = false;
        // "dialog", "utility", ... for a window of XWayland; empty for a Wayland one.
        QString windowType;
    };
    // The copy's windows the compositor shows, floating ones in their stacking order, the topmost last.
    static QList<Shown> shown(const Copy &copy)
    {
        const QJsonObject tree =
            QJsonDocument::fromJson(run(u"swaymsg"_s, {u"-t"_s, u"get_tree"_s}).toUtf8()).object();
        QList<Shown> found;
        const std::function<void(const QJsonObject &, bool)> walk = [&](const QJsonObject &node,
                                                                        bool floating) {
            if (node.value(u"pid"_s).toInteger() == copy.pid() && node.value(u"visible"_s).toBool()) {
                const QJsonObject rect = node.value(u"rect"_s).toObject();
                found.append(
                    {node.value(u"name"_s).toString(),
                     QRect(rect.value(u"x"_s).toInt(), rect.value(u"y"_s).toInt(),
                           rect.value(u"width"_s).toInt(), rect.value(u"height"_s).toInt()),
                     floating, node.value(u"focused"_s).toBool(),
                     node.value(u"window_properties"_s).toObject().value(u"window_type"_s).toString()});
            }
            for (const QJsonValue &child : node.value(u"nodes"_s).toArray())
                walk(child.toObject(), floating);
            for (const QJsonValue &child : node.value(u"floating_nodes"_s).toArray())
                walk(child.toObject(), true);
        };
        walk(tree, false);
        return found;
    }
    static int shownWindows(const Copy &copy) { return int(shown(copy).size()); }
    // A key pressed on the compositor's keyboard, to whatever window has it. wtype types what comes on
    // its input when that is no terminal: it gets none.
    static void press(const QString &key)
    {
        QProcess wtype;
        wtype.setStandardInputFile(QProcess::nullDevice());
        wtype.start(u"wtype"_s, {u"-k"_s, key});
        QVERIFY(wtype.waitForFinished(patience));
    }

    // Text typed on the compositor's keyboard, as a person types it.
    static void type(const QString &text)
    {
        QProcess wtype;
        wtype.setStandardInputFile(QProcess::nullDevice());
        wtype.start(u"wtype"_s, {u"-d"_s, u"60"_s, text});
        QVERIFY(wtype.waitForFinished(patience));
    }
    // The environment of a copy that reaches the compositor through XWayland only.
    static QMap<QString, QString> throughXWayland(const QString &display)
    {
        return {{u"QT_QPA_PLATFORM"_s, u"xcb"_s},
                {u"DISPLAY"_s, display},
                {u"WAYLAND_DISPLAY"_s, QString()},
                {u"XDG_SESSION_TYPE"_s, QString()}};
    }
    // The demo home's device of that name; empty for none.
    QString deviceNamed(const QString &name) const
    {
        const QJsonObject devices = m_hub->home().value(u"devices"_s).toObject();
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            if (it.value().toObject().value(u"name"_s).toString() == name)
                return it.key();
        }
        return {};
    }
    // The rows the panel lists now, as the copy's picture of it reports them.
    static QString listedRows(Copy &copy)
    {
        const int before = copy.count(u"snapshot-toestand: "_s);
        copy.signal(SIGUSR2);
        if (!QTest::qWaitFor([&] { return copy.count(u"snapshot-toestand: "_s) > before; }, patience))
            return {};
        return copy.messages().filter(u"snapshot-toestand: "_s).constLast();
    }

    // A chord on the compositor's keyboard: the modifier held around the key.
    static void chord(const QString &modifier, const QString &key)
    {
        QProcess wtype;
        wtype.setStandardInputFile(QProcess::nullDevice());
        wtype.start(u"wtype"_s, {u"-M"_s, modifier, u"-k"_s, key, u"-m"_s, modifier});
        QVERIFY(wtype.waitForFinished(patience));
    }
    // Two windows of the copy up, floating, and the notice (the one that is not the panel) on top of the
    // panel with the compositor's keyboard.
    static bool noticeInFront(const Copy &copy)
    {
        const QList<Shown> windows = shown(copy);
        return windows.size() == 2 && windows.at(0).floating && windows.at(1).floating &&
               windows.at(1).rect.width() < 620 && windows.at(1).focused;
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
        Copy &copy = start({u"--no-homey"_s}, native);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar. statusitem=ONTBREEKT"_s), patience);
        promisesNoHotKey(copy);

        QProcess *second = launch(QStringLiteral(QUORVANE_BINARY), {}, native);
        QVERIFY(EndToEnd::ended(second));
        QCOMPARE(second->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        QVERIFY(!copy.logged(u"!! panel: "_s));
        // The notice about the tray, up since the start, comes in front of the panel with the keyboard;
        // Esc closes it, and the next Esc reaches the panel.
        QTRY_VERIFY_WITH_TIMEOUT(noticeInFront(copy), patience);
        press(u"Escape"_s);
        QTRY_VERIFY_WITH_TIMEOUT(
            copy.logged(u"panel: de melding is dicht, het paneel heeft de toetsen weer"_s), patience);
        QCOMPARE(shownWindows(copy), 1);
        press(u"Escape"_s);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen (actie uitgevoerd of esc)"_s), patience);
        QTRY_COMPARE_WITH_TIMEOUT(shownWindows(copy), 0, patience);
        // Where the compositor put the panel, and at which size, is its own business.
        QCOMPARE(settings().stringValue(u"panel.frame"_s), QString::fromLatin1(rememberedFrame));
    }

    // What a user does on a Wayland desktop: the panel floats at its own size where sway would tile it,
    // takes what is typed, and Ctrl+, opens the settings window.
    void nativePanelFloatsTakesTypingAndOpensTheSettings()
    {
        settings().setValue(u"tray.noticeShown"_s, true);
        Copy &copy = start({u"--no-homey"_s}, native);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar. statusitem=ONTBREEKT"_s), patience);
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        QVERIFY(copy.logged(
            u"panel: getoond, zichtbaar=true, de compositor kiest de plek (gevraagde maat 800x600)"_s));
        QVERIFY(!copy.logged(u"frame="_s));
        QTRY_COMPARE_WITH_TIMEOUT(shownWindows(copy), 1, patience);
        const Shown panel = shown(copy).constFirst();
        QVERIFY(panel.floating);
        QCOMPARE(panel.rect.size(), QSize(800, 600));

        type(u"lamp"_s);
        QTRY_VERIFY_WITH_TIMEOUT(listedRows(copy).contains(u"query=\"lamp\""_s), patience);

        chord(u"ctrl"_s, u"comma"_s);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"instellingen geopend"_s), patience);
        const auto settingsShown = [&copy] {
            const QList<Shown> windows = shown(copy);
            return std::any_of(windows.begin(), windows.end(), [](const Shown &window) {
                return window.name == u"Quorvane, instellingen"_s;
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(settingsShown(), patience);
    }

    void xWaylandRunKeepsThePanelUpUnderTheNotice()
    {
        const QString display = qEnvironmentVariable("QUORVANE_XWAYLAND_DISPLAY");
        if (display.isEmpty())
            QSKIP("XWayland did not start");
        Copy &copy = start({u"--no-homey"_s, u"--show"_s}, throughXWayland(display));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key="_s), patience);
        promisesNoHotKey(copy);
        // The notice, shown before the panel, comes in front of it with the keyboard; the panel stays.
        QTRY_VERIFY_WITH_TIMEOUT(noticeInFront(copy), patience);
        QCOMPARE(shown(copy).constFirst().windowType, u"utility"_s);
        QVERIFY(!copy.logged(u"panel: verborgen"_s));

        // Closed the way a window manager closes a window: the panel stays, takes the keyboard back, and
        // Esc reaches it.
        run(u"swaymsg"_s, {u"[window_type=\"dialog\"] kill"_s});
        QTRY_VERIFY_WITH_TIMEOUT(
            copy.logged(u"panel: de melding is dicht, het paneel heeft de toetsen weer"_s), patience);
        QCOMPARE(shownWindows(copy), 1);
        QVERIFY(!copy.logged(u"panel: verborgen"_s));
        press(u"Escape"_s);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen (actie uitgevoerd of esc)"_s), patience);
        QCOMPARE(settings().stringValue(u"panel.frame"_s), QString::fromLatin1(rememberedFrame));
    }

    // The panel opens under a pointer that rests over a lower row of the results to come; the compositor
    // puts the panel a little lower than asked. The user types and presses Return: the best match runs.
    void xWaylandRestingPointerLeavesTheBestMatchSelected()
    {
        const QString display = qEnvironmentVariable("QUORVANE_XWAYLAND_DISPLAY");
        if (display.isEmpty())
            QSKIP("XWayland did not start");
        WaylandPointer pointer;
        QVERIFY2(pointer.open(), qPrintable(pointer.error()));
        // Where the remembered frame puts the fifth row of results or so; the notice about the tray was
        // read at an earlier start.
        const QPoint resting(500, 410);
        QVERIFY2(pointer.moveTo(resting, output), qPrintable(pointer.error()));
        settings().setValue(u"tray.noticeShown"_s, true);
        QMap<QString, QString> environment = throughXWayland(display);
        environment.insert(hubEnvironment());
        Copy &copy = start({}, environment);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);

        type(u"lamp"_s);
        QTRY_VERIFY_WITH_TIMEOUT(listedRows(copy).contains(u"query=\"lamp\""_s), patience);
        const QString best = listedRows(copy).section(u"rijen=["_s, 1).section(u", "_s, 0, 0);
        QVERIFY2(!deviceNamed(best).isEmpty(), qPrintable(best));
        // The hand on the mouse twitches a pixel: the window system reports the pointer over the row. The
        // compositor has taken the move in, and hands it to XWayland ahead of the key that follows.
        QVERIFY2(pointer.moveTo(resting + QPoint(1, 0), output), qPrintable(pointer.error()));
        press(u"Return"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!writes().isEmpty(), patience);
        QVERIFY2(writes().constFirst().startsWith(u"PUT /api/manager/devices/device/"_s + deviceNamed(best) +
                                                  u"/capability/"_s),
                 qPrintable(writes().join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TstWayland)
#include "tst_wayland.moc"
