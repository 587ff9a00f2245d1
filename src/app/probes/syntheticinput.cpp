#include "app/probes/syntheticinput.h"

#include "base/log.h"

#include <algorithm>
#include <chrono>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickWindow>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

QHash<QChar, SyntheticInput::Key> makeKeyCodes()
{
    QHash<QChar, SyntheticInput::Key> table;
    for (char16_t c = u'a'; c <= u'z'; ++c)
        table.insert(QChar(c), {Qt::Key_A + (c - u'a'), QString(QChar(c))});
    for (char16_t c = u'0'; c <= u'9'; ++c)
        table.insert(QChar(c), {Qt::Key_0 + (c - u'0'), QString(QChar(c))});
    table.insert(QChar(u' '), {Qt::Key_Space, u" "_s});
    return table;
}

// Each with the text that a press of the key carries on the desktop.
const QHash<QString, SyntheticInput::Key> commandKeys = {
    {u"tab"_s, {Qt::Key_Tab, u"\t"_s}},
    {u"enter"_s, {Qt::Key_Return, u"\r"_s}},
    {u"return"_s, {Qt::Key_Return, u"\r"_s}},
    {u"space"_s, {Qt::Key_Space, u" "_s}},
    {u"esc"_s, {Qt::Key_Escape, u"\x1b"_s}},
    {u"escape"_s, {Qt::Key_Escape, u"\x1b"_s}},
    {u"up"_s, {Qt::Key_Up, QString()}},
    {u"down"_s, {Qt::Key_Down, QString()}},
    {u"left"_s, {Qt::Key_Left, QString()}},
    {u"right"_s, {Qt::Key_Right, QString()}},
    {u"backspace"_s, {Qt::Key_Backspace, u"\b"_s}},
};

// Milliseconds of the monotonic clock, each call later than the one before: a press and its release never
// share a time stamp with the next press, or the palette would take that press for a held key's repeat.
ulong timestamp()
{
    static qint64 last = 0;
    const qint64 now = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count();
    last = std::max(now, last + 1);
    return ulong(last);
}

} // namespace

std::optional<SyntheticInput::Key> SyntheticInput::keyCode(const QString &character)
{
    static const QHash<QChar, Key> table = makeKeyCodes();
    if (character.size() != 1)
        return std::nullopt;
    const auto found = table.constFind(character.front());
    return found != table.constEnd() ? std::optional(*found) : std::nullopt;
}

std::optional<SyntheticInput::Key> SyntheticInput::commandKey(const QString &name)
{
    const auto found = commandKeys.constFind(name);
    return found != commandKeys.constEnd() ? std::optional(*found) : std::nullopt;
}

SyntheticInput::SyntheticInput(QQuickWindow *window, bool offscreen)
    : m_window(window), m_offscreen(offscreen)
{}

bool SyntheticInput::postKey(const QString &character)
{
    const std::optional<Key> key = keyCode(character);
    return key && post(*key, m_offscreen ? Delivery::immediate : Delivery::queued);
}

bool SyntheticInput::postCommandKey(const QString &name)
{
    const std::optional<Key> key = commandKey(name);
    if (!key) {
        log(u"!! --keys: onbekende toets \""_s + name + u"\""_s);
        return false;
    }
    return post(*key, Delivery::immediate);
}

bool SyntheticInput::post(const Key &key, Delivery delivery)
{
    if (!m_window)
        return false;
    // A press and its release, as a person's key stroke arrives: a press alone would leave the key held.
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        auto event = std::make_unique<QKeyEvent>(type, key.key, Qt::NoModifier, key.text);
        event->setTimestamp(timestamp());
        if (delivery == Delivery::queued)
            QCoreApplication::postEvent(m_window, event.release());
        else
            QCoreApplication::sendEvent(m_window, event.get());
        // Nothing handled here may end the window, but a release must never go to nowhere.
        if (!m_window)
            return true;
    }
    return true;
}

QPoint SyntheticInput::resultsPoint(const QRect &frame, int jiggle)
{
    return {frame.x() + frame.width() / 2 + jiggle % 5, frame.y() + 150 + jiggle % 3};
}

QPoint SyntheticInput::sweepPoint(const QRect &frame, int step)
{
    return {frame.x() + frame.width() / 2, frame.y() + 130 + 40 * step};
}

void SyntheticInput::moveMouseOverResults(int jiggle)
{
    if (m_window)
        movePointer(resultsPoint(m_window->geometry(), jiggle));
}

void SyntheticInput::sweepMouseDownList(int step)
{
    if (m_window)
        movePointer(sweepPoint(m_window->geometry(), step));
}

void SyntheticInput::movePointer(const QPoint &global)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const auto under = std::find_if(screens.begin(), screens.end(), [this](const QScreen *screen) {
        return screen->geometry().intersects(m_window->geometry());
    });
    QScreen *screen = under != screens.end() ? *under : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QCursor::setPos(screen, global);
    // The window system reports the move later, or (without one) never: the window hears of it now, so
    // the rows under the pointer know at once, as they would from a hand on the mouse.
    QMouseEvent move(QEvent::MouseMove, m_window->mapFromGlobal(QPointF(global)), QPointF(global),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_window, &move);
}
