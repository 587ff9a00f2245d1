#pragma once

#include <optional>
#include <QRect>

class QWindow;

// What the window manager knows and keeps of our windows that Qt neither sets nor tells. Implemented
// over X11 in src/platform.
class WindowManager {
public:
    virtual ~WindowManager() = default;

    // Keeps the window out of the taskbar and the pager. Call it before every show: a window manager
    // drops the hint when the window is hidden.
    virtual void skipTaskbar(QWindow *window) = 0;
    // True where frame() answers.
    virtual bool knowsFrames() const = 0;
    // The window's outer frame, the window manager's borders included, in Qt's global coordinates;
    // nullopt before the window manager has placed it, or when it cannot say.
    virtual std::optional<QRect> frame(QWindow *window) const = 0;
};
