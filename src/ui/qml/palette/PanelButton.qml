import QtQuick
import Quorvane.Ui

// A push button of the onboarding screens: prominent (filled with the accent) or plain.
Rectangle {
    id: button

    required property OnboardingRoot onboarding
    // What a press does: the root performs it, for the pointer and for the keyboard alike.
    required property int action
    property string text
    property bool prominent: false
    property bool destructive: false
    // The window's focus, or the root's word where it moves the keyboard itself.
    readonly property bool hasKeyboard: activeFocus || onboarding.focusedButton === action

    implicitWidth: label.implicitWidth + 24
    implicitHeight: label.implicitHeight + 12
    radius: Theme.radiusButton
    color: prominent ? Theme.lit : destructive ? Theme.fade(Theme.alarm, 0.18) : Theme.white(hover.hovered ? 0.12 : 0.08)
    border.width: hasKeyboard ? Theme.focusRingWidth : Theme.hairlineWidth
    border.color: hasKeyboard ? Theme.litSoft : Theme.white(0.1)
    opacity: enabled ? 1 : 0.45
    // Reachable with Tab, pressed with Return or Space: the panel is used by keyboard alone. The root
    // learns which button has the keyboard and takes those keys at the window.
    activeFocusOnTab: true
    onActiveFocusChanged: onboarding.focusButton(action, activeFocus)

    Accessible.role: Accessible.Button
    Accessible.name: text

    HoverHandler { id: hover }
    TapHandler { onTapped: button.onboarding.pressButton(button.action) }

    Text {
        id: label
        anchors.centerIn: parent
        text: button.text
        font: Theme.label(Theme.typeBody)
        color: button.prominent ? Theme.surface : button.destructive ? Theme.alarm : Theme.text
    }
}
