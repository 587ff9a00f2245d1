#pragma once

#include "ui/keyhint.h"
#include "ui/palette/keypress.h"
#include "ui/palette/onboardingroot.h"

#include <QList>

// The keys of the connection-problem screen and the hints that name them. The screen has no field to
// type in, so it answers the keys a dialog does: Return and Space press the button that has the
// keyboard, which is "Opnieuw proberen" until Tab moves it; Ctrl+R tries again, as it reloads the
// palette; Tab and Shift+Tab go from one button to the other. Escape is left to the window, which hides
// the panel.
namespace ProblemKeys {

struct Outcome {
    bool used = false;
    OnboardingRoot::Button press = OnboardingRoot::Button::None; // the button the key pressed
    OnboardingRoot::Button focus = OnboardingRoot::Button::None; // the button that takes the keyboard
};

// focused: the button that has the keyboard; None counts as the retry button.
Outcome handle(const KeyPress &press, OnboardingRoot::Button focused);
QList<KeyHint> hints(OnboardingRoot::Button focused);

} // namespace ProblemKeys
