#pragma once

#include "base/async/clock.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QString>
#include <QWindow>

class HoverGate;
class PalettePanel;
class PanelVisibility;
class WindowManager;

// Owner of the floating panel: where it goes and what it remembers of its frame, showing and hiding
// with a logged reason, the focus report after a show, a prewarm at start-up and a PNG snapshot.
class PanelController : public QObject {
    Q_OBJECT

public:
    struct Options {
        // "--offscreen": parked outside every screen and shown without key focus.
        bool offscreen = false;
        // False with "--keep-open": losing key focus leaves the panel up.
        bool autoHidesOnFocusLoss = true;
        std::shared_ptr<Clock> clock = Clock::system();
        // How long the window system may take to give the panel key focus, or to confirm it lost it.
        std::chrono::milliseconds focusWait{250};
        // The same for a panel it maps anew: a Wayland compositor can take half a second for that.
        std::chrono::milliseconds mapFocusWait{1500};
        // False in a Wayland session: the compositor decides where the panel goes and may impose its
        // size, so a frame seen there is not the user's and is not remembered.
        bool remembersFrame = true;
        // True on Wayland itself: the compositor alone decides where the panel goes, and a tiling one
        // floats it at its own size only when that size is fixed as it maps.
        bool compositorPlaces = false;
        // Keeps the panel out of the taskbar and says where its frame is; empty: only what Qt knows.
        std::shared_ptr<WindowManager> windowManager;
    };

    // A toggle this soon after any hide leaves the panel closed: the key or click that made it hide
    // must not open it again.
    static constexpr std::chrono::milliseconds toggleGrace{250};
    // A loss of key focus this soon after a move or resize of the panel began is the window manager
    // taking the keyboard for it (X11 window managers do, to end it with Esc); it gives it back when the
    // button comes up.
    static constexpr std::chrono::milliseconds gestureGrace{1000};

    explicit PanelController(Options options, QObject *parent = nullptr);
    ~PanelController() override;

    // The controller made last; Esc, signals and banner clicks reach the panel through it.
    static PanelController *shared();

    PalettePanel *window() const { return m_window.get(); }
    PanelVisibility *visibility() const { return m_visibility; }
    HoverGate *hoverGate() const { return m_hoverGate; }

    // Replaces what the panel shows; the controller owns the item from now on and sizes it to the panel.
    void setContent(QQuickItem *root);
    QQuickItem *content() const { return m_content; }

    bool isVisible() const;
    // Places the panel under the pointer (or parks it), shows it, calls onShow and logs. Also when it is
    // already up.
    void show();
    // Only when the panel is up: saves its frame, hides it, calls onHide and logs the reason.
    void hide(const QString &reason);
    // Visible: hide with the reason "toggle"; hidden: show, unless a hide came less than toggleGrace ago.
    void toggle();
    // Lays out and draws the content once without showing it, so the first show does not pay for it. The
    // note says in the log what was drawn, when it is not the content made at start.
    void prewarm(const QString &note = QString());
    // Writes the panel's content as a PNG file; false, with the reason logged, when it cannot.
    bool snapshot(const QString &path);

    std::optional<Clock::TimePoint> lastAutoHide() const { return m_lastAutoHide; }

    std::function<void()> onShow;
    std::function<void()> onHide;

private:
    // Lets the content make what is not on show yet.
    void completeContent();
    // Puts the panel's frame, the window manager's borders included, at this rectangle.
    void place(const QRect &frame);
    // The frame where the window system shows the panel; nullopt while hidden, parked off-screen, or not
    // yet placed by the window manager.
    std::optional<QRect> shownFrame() const;
    // Brings Qt's record of where the panel is in line with where the window manager put it.
    void settle();
    // Remembers the shown frame when it is known and on a screen.
    void saveFrame();
    void focusChanged();
    // A notice or menu of ours took the keyboard in front of the shown panel: the panel stays, and takes
    // the keyboard back once it is gone. False for any other window.
    bool lendFocus(QWindow *to);
    // Runs then() once the panel has key focus, or when wait has passed, unless a show or hide came in
    // between.
    void awaitFocus(std::chrono::milliseconds wait, const std::function<void()> &then);
    void reportFocus();
    // A notice of ours (a dialog) that is up goes in front of the shown panel and gets the keyboard: it
    // is read once and closed, and the panel takes the keyboard back then. False when none is up.
    bool bringNoticesForward();

    const Options m_options;
    std::unique_ptr<PalettePanel> m_window;
    PanelVisibility *m_visibility;
    HoverGate *m_hoverGate;
    QPointer<QQuickItem> m_content;
    std::optional<Clock::TimePoint> m_lastAutoHide;
    // Raised by every show and hide: a focus report of an earlier show is dropped.
    quint64 m_showSerial = 0;
    bool m_hiding = false;
    // The window system gave the panel key focus since its last show: losing it now hides the panel at once.
    bool m_activeSinceShow = false;
    // When the window system began moving or resizing the shown panel; over once the panel has focus again.
    std::optional<Clock::TimePoint> m_gestureStart;
    // The notice or menu of ours that took the keyboard while the panel was up, and during which show.
    QPointer<QWindow> m_lentTo;
    // That window is a menu (the tray icon's), not a notice.
    bool m_lentToMenu = false;
    // What takes the keyboard back once that window is gone; a child of it.
    QPointer<QObject> m_lend;
    quint64 m_lentSerial = 0;
    // The log has said that window holds the keys.
    bool m_lentSaid = false;
    // The keyboard is lent to such a window and has not come back yet.
    bool m_lending = false;
};
