#pragma once

#include "endtoend.h"

#include <optional>
#include <QMargins>
#include <QRect>

// The panel's window as the X server and xdotool see it, for the tests that run under a window manager
// (run-e2e-monitors.sh).
namespace PanelWindow {

// The display's monitors as xrandr lists them: " 0: +*DUMMY0 1280/339x800/212+0+0  DUMMY0".
inline QList<QRect> monitors()
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
inline QRect outerFrame(const QString &window)
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

inline QString text(const QRect &r)
{
    return u"%1,%2 %3x%4"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

inline void movePointer(const QPoint &point)
{
    EndToEnd::run(u"xdotool"_s, {u"mousemove"_s, QString::number(point.x()), QString::number(point.y())});
}

} // namespace PanelWindow

class PanelWindowCase : public EndToEndCase {
protected:
    // The panel's window while it is mapped; empty otherwise. The tray icon is the copy's only other
    // window, and far smaller.
    static QString panelWindow(const Copy &copy)
    {
        for (const QString &window : mappedWindows(copy)) {
            if (PanelWindow::outerFrame(window).width() >= 620)
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
};
