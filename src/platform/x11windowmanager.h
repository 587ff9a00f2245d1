#pragma once

#include "ports/windowmanager.h"

// The window manager over X11 (EWMH). Off X11 it keeps no hints and knows no frames.
class X11WindowManager final : public WindowManager {
public:
    void skipTaskbar(QWindow *window) override;
    bool knowsFrames() const override;
    std::optional<QRect> frame(QWindow *window) const override;
};
