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
    ResizeFrame *m_resizeFrame;
    // At most one frame per display refresh: live changes and animations each ask for a frame, and the
    // software renderer draws every one it is asked for.
    QElapsedTimer m_lastFrame;
    QTimer m_nextFrame;
};
