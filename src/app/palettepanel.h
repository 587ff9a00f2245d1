#pragma once

#include <QElapsedTimer>
#include <QQuickWindow>
#include <QTimer>

class ResizeFrame;

// The palette's window: frameless, a tool window that stays above the others, 760 x 540 and never
// smaller than 620 x 420, resized from its edges. It takes key input; Esc that nothing in it used asks
// to close it.
class PalettePanel : public QQuickWindow {
    Q_OBJECT

public:
    // takesFocus false: shown without ever taking key focus ("--offscreen").
    explicit PalettePanel(bool takesFocus = true);

    // Call before showing. The panel asks for exactly this size until the window system gives it key
    // focus, and can be resized again from then on: a tiling compositor (sway) floats a window of one
    // fixed size at that size instead of tiling it over the whole screen, and decides so only when it
    // maps the window. Other compositors just place a window of that size.
    void holdSizeUntilActive(QSize size);
    bool holdsSize() const { return m_holdsSize; }

Q_SIGNALS:
    void escapePressed();
    // The window system shows the window (again): it is mapped and placed.
    void exposed();
    // The window system took on a move or resize of the panel at the user's hand.
    void gestureStarted();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;

private:
    void releaseSize();

    ResizeFrame *m_resizeFrame;
    bool m_holdsSize = false;
    // Qt's own "no maximum".
    QSize m_unlimited;
    // At most one frame per display refresh: live changes and animations each ask for a frame, and the
    // software renderer draws every one it is asked for.
    QElapsedTimer m_lastFrame;
    QTimer m_nextFrame;
};
