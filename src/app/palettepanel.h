#pragma once

#include <QQuickWindow>

// The palette's window: frameless, a tool window that stays above the others, 760 x 540 and never
// smaller than 620 x 420. It takes key input; Esc that nothing in it used asks to close it.
class PalettePanel : public QQuickWindow {
    Q_OBJECT

public:
    // takesFocus false: shown without ever taking key focus ("--offscreen").
    explicit PalettePanel(bool takesFocus = true);

Q_SIGNALS:
    void escapePressed();
    // The window system shows the window (again): it is mapped and placed.
    void exposed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;
};
