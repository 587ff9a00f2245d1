#pragma once

#include <optional>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

class QQuickWindow;

// Key strokes and pointer moves for the panel's window, made inside the program as the window system
// would deliver a person's: a key press and its release to the window itself, where the palette's key
// handling sees them before the search field; the real pointer moved and the move reported to the
// window. Nothing goes through the desktop's input, so other programs' keyboard focus stays untouched.
class SyntheticInput {
public:
    // A key as Qt names it, with the text a press of it types.
    struct Key {
        int key = 0;
        QString text;
        bool operator==(const Key &) const = default;
    };

    // The typed characters (one each) that have a key: the 26 lower-case letters, the ten digits and the
    // blank. Nothing else, and never a shifted key.
    static std::optional<Key> keyCode(const QString &character);
    // "tab", "enter", "return", "space", "esc", "escape", "up", "down", "left", "right", "backspace".
    static std::optional<Key> commandKey(const QString &name);

    // offscreen: the panel is parked off screen ("--offscreen"); typed keys are then handed over at once.
    SyntheticInput(QQuickWindow *window, bool offscreen);

    // One typed character: queued behind the events already waiting, or handed over at once off screen.
    // False when the character has no key.
    bool postKey(const QString &character);
    // One named key, always handled before this returns. False, logged, for a name without a key.
    bool postCommandKey(const QString &name);

    // The pointer over the upper part of the result list: 150 to 152 below the panel's top edge, 0 to 4
    // right of its centre, a little different for every jiggle.
    void moveMouseOverResults(int jiggle);
    // The pointer on the panel's vertical centre line, 130 below its top edge plus 40 per step.
    void sweepMouseDownList(int step);

    static QPoint resultsPoint(const QRect &frame, int jiggle);
    static QPoint sweepPoint(const QRect &frame, int step);

private:
    enum class Delivery { queued, immediate };
    bool post(const Key &key, Delivery delivery);
    void movePointer(const QPoint &global);

    QPointer<QQuickWindow> m_window;
    bool m_offscreen;
};
