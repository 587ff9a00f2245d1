#include "endtoend.h"

#include <optional>
#include <QMargins>
#include <QRect>

namespace {

// The display's monitors as xrandr lists them: " 0: +*DUMMY0 1280/339x800/212+0+0  DUMMY0".
QList<QRect> monitors()
{
    static const QRegularExpression geometry(u"(\\d+)/\\d+x(\\d+)/\\d+\\+(-?\\d+)\\+(-?\\d+)"_s);
    QList<QRect> found;
    for (const QString &line : EndToEnd::run(u"xrandr"_s, {u"--listmonitors"_s}).split(u'\n')) {
        const QRegularExpressionMatch m = geometry.match(line);
        if (m.hasMatch())
            found.append(QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
                               m.captured(2).toInt()));
    }
    std::sort(found.begin(), found.end(), [](const QRect &a, const QRect &b) { return a.x() < b.x(); });
    return found;
}

// Where a window is on the display, the window manager's borders around it included, as the X
// server tells xwininfo and xprop.
QRect outerFrame(const QString &window)
{
    const QString info = EndToEnd::run(u"xwininfo"_s, {u"-id"_s, window});
    const auto number = [&info](const QString &label) {
        const QRegularExpression pattern(QRegularExpression::escape(label) + u":\\s+(-?\\d+)"_s);
        return pattern.match(info).captured(1).toInt();
    };
    const QRect client(number(u"Absolute upper-left X"_s), number(u"Absolute upper-left Y"_s),
                       number(u"Width"_s), number(u"Height"_s));
    // "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"
    const QStringList extents = EndToEnd::run(u"xprop"_s, {u"-id"_s, window, u"_NET_FRAME_EXTENTS"_s})
                                    .section(u"= "_s, 1)
                                    .split(u", "_s);
    if (extents.size() != 4)
        return client;
    return client.marginsAdded(
        QMargins(extents.at(0).toInt(), extents.at(2).toInt(), extents.at(1).toInt(), extents.at(3).toInt()));
}

QString text(const QRect &r)
{
    return u"%1,%2 %3x%4"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// "Lamp bij de kast", the best match for "lamp" in the demo home, switched.
const QString bestMatchWrite =
    u"PUT /api/manager/devices/device/9c794b0f-e3a9-5e67-8aee-102724f8346b/capability/onoff"_s;

void movePointer(const QPoint &point)
{
    EndToEnd::run(u"xdotool"_s, {u"mousemove"_s, QString::number(point.x()), QString::number(point.y())});
}

} // namespace

// The real program's panel on two monitors side by side, under a window manager that puts each window
// in a frame of its own (run-e2e-monitors.sh).
class TstPanelMonitors : public EndToEndCase {
    Q_OBJECT

    // The panel's window while it is mapped; empty otherwise. The tray icon is the copy's only other
    // window, and far smaller.
    static QString panelWindow(const Copy &copy)
    {
        for (const QString &window : mappedWindows(copy)) {
            if (outerFrame(window).width() >= 620)
                return window;
        }
        return {};
    }
    // "panel.frame" = "{{x, y}, {w, h}}", as a rectangle.
    std::optional<QRect> savedFrame() const
    {
        static const QRegularExpression shape(u"^\\{\\{(-?\\d+), (-?\\d+)\\}, \\{(\\d+), (\\d+)\\}\\}$"_s);
        const QRegularExpressionMatch m =
            shape.match(settings().stringValue(u"panel.frame"_s).value_or(QString()));
        if (!m.hasMatch())
            return std::nullopt;
        return QRect(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                     m.captured(4).toInt());
    }

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void opensUnderThePointerAndRemembersWhereItWas()
    {
        const QList<QRect> screens = monitors();
        QCOMPARE(screens.size(), 2);
        Copy &copy = start({}, hubEnvironment());
        QVERIFY(QTest::qWaitFor([&] { return copy.logged(u"verbinding: Live verbonden."_s); }, patience));

        // Left, right, left, right, left: each show follows the pointer, whatever the last one saved.
        // The hot key shows it on the right, the signal on the left.
        const QList<QRect> order{screens.at(0), screens.at(1), screens.at(0), screens.at(1), screens.at(0)};
        for (int show = 1; show <= order.size(); ++show) {
            const QRect monitor = order.at(show - 1);
            const QString where =
                u"show %1 on the monitor at %2,%3"_s.arg(show).arg(monitor.x()).arg(monitor.y());
            movePointer(monitor.center());
            if (monitor == screens.at(1)) {
                // A toggle right after a hide is taken for the press that hid the panel.
                QTest::qWait(2 * 250);
                press({u"ctrl+alt+space"_s});
            } else {
                copy.signal(SIGUSR1);
            }
            // Key focus, at once or at the second try, comes only once the window manager has placed it.
            QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"key=true"_s), show, patience);
            QString window;
            QTRY_VERIFY_WITH_TIMEOUT(!(window = panelWindow(copy)).isEmpty(), patience);
            const QRect frame = outerFrame(window);
            QVERIFY2(monitor.contains(frame), qPrintable(where + u": the panel is at "_s + text(frame)));

            // The pointer rests over the panel while results come up under it: a resting pointer takes no
            // row, so Return runs the best match. Qt finds the row under it from the panel's place.
            EndToEnd::run(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"120"_s, u"lamp"_s});
            QTest::qWait(500);
            press({u"Return"_s});
            QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"panel: verborgen ("_s), show, patience);
            QTRY_COMPARE_WITH_TIMEOUT(writes().size(), show, patience);
            QVERIFY2(writes().constLast() == bestMatchWrite,
                     qPrintable(where + u": "_s + writes().constLast()));
            // Saved a moment after the hide: writes of the settings are gathered before they go to disk.
            std::optional<QRect> saved;
            (void)QTest::qWaitFor([&] { return (saved = savedFrame()) == frame; }, patience);
            QVERIFY2(saved == frame, qPrintable(where + u": shown at "_s + text(frame) + u", saved "_s +
                                                (saved ? text(*saved) : u"nothing"_s)));
        }
    }
};

QTEST_GUILESS_MAIN(TstPanelMonitors)
#include "tst_panelmonitors.moc"
