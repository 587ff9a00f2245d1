#pragma once

#include "base/async/clock.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <QString>

// Opens or closes the panel for the hot key and the tray icon. A press or click that itself made the
// panel hide (focus lost, a click outside) must not reopen it at once: within a quarter second after any
// hide, a toggle does nothing.
class PanelToggle {
public:
    struct Panel {
        std::function<bool()> isVisible;
        std::function<void()> show;
        std::function<void(const QString &reason)> hide;
    };

    static constexpr std::chrono::milliseconds reopenDelay{250};

    explicit PanelToggle(Panel panel, std::shared_ptr<Clock> clock = Clock::system());

    // To be called after every hide of the panel, whatever its reason.
    void noteHidden();
    void toggle();

private:
    Panel m_panel;
    std::shared_ptr<Clock> m_clock;
    std::optional<Clock::TimePoint> m_lastHide;
};
