#pragma once

#include <optional>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

// Where the panel goes, in Qt's global coordinates (origin top-left, y growing downwards).
namespace PanelPlacement {

inline constexpr QSizeF defaultSize{760, 540};
inline constexpr QSizeF minimumSize{620, 420};
// The parking place of "--offscreen" and of the prewarm: far outside every screen.
inline constexpr QPointF offscreenOrigin{-20000, -20000};
// A frame left of this lies off-screen on purpose and is never saved.
inline constexpr double offscreenLimit = -10000;

struct Screen {
    QRectF frame;
    QRectF visible; // without panels and docks
};

// The screen under the pointer: the first whose frame holds it (left and top edges inside, right and
// bottom edges outside), else the primary one, else the first; nullopt without screens.
std::optional<Screen> screenUnder(const QPointF &pointer, const QList<Screen> &screens, int primary);

// Offscreen: parked, with the saved size when there is one. A saved frame that overlaps the visible area
// keeps its size (at least the minimum) and is pushed inside it, the top and right edges winning when it
// does not fit. Otherwise 760 x 540, centred, its top edge 14 % of the visible height (at least 80)
// below the top of the visible area. Without any screen, the default size at the origin.
QRectF targetFrame(bool offscreen, const std::optional<QRectF> &saved, const std::optional<Screen> &screen);

// "x,y wxh", each number cut toward zero: "-20000,-20000 760x540".
QString rectString(const QRectF &frame);

} // namespace PanelPlacement
