#include "ui/palette/problemkeys.h"

using namespace Qt::StringLiterals;

namespace ProblemKeys {

namespace {

using Button = OnboardingRoot::Button;

Button effective(Button focused)
{
    return focused == Button::Configure ? Button::Configure : Button::Retry;
}

} // namespace

Outcome handle(const KeyPress &press, Button focused)
{
    Outcome outcome;
    switch (press.key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        outcome.used = true;
        // A held key presses once: its repeats would start a new connection many times a second.
        if (!press.autoRepeat)
            outcome.press = effective(focused);
        break;
    case Qt::Key_R:
        if (!press.isCommandChord())
            break;
        outcome.used = true;
        if (!press.autoRepeat)
            outcome.press = Button::Retry;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Two buttons: either way the other one.
        outcome.used = true;
        outcome.focus = effective(focused) == Button::Retry ? Button::Configure : Button::Retry;
        break;
    default:
        break;
    }
    return outcome;
}

QList<KeyHint> hints(Button focused)
{
    const QString enter = u"\u23ce"_s;
    const QString retryChord = u"\u2318R"_s;
    const QString tab = u"\u21e5"_s;
    const QString escape = u"esc"_s;
    if (effective(focused) == Button::Configure)
        return {KeyHint({enter}, u"API-sleutel wijzigen"_s), KeyHint({retryChord}, u"opnieuw proberen"_s),
                KeyHint({tab}, u"naar Opnieuw proberen"_s), KeyHint({escape}, u"verberg"_s)};
    return {KeyHint({enter, retryChord}, u"opnieuw proberen"_s),
            KeyHint({tab}, u"naar API-sleutel wijzigen"_s), KeyHint({escape}, u"verberg"_s)};
}

} // namespace ProblemKeys
