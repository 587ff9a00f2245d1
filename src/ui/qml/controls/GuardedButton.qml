import QtQuick
import Quorvane.Ui

// The button of a lock, an opening or an action: turns red and asks to be pressed again while its write
// waits for a second press.
Item {
    id: button

    required property controlRowLook look
    required property Motion motion

    signal activated()

    implicitWidth: label.implicitWidth + 20
    implicitHeight: label.implicitHeight + 8
    opacity: look.controlOpacity

    Accessible.role: Accessible.Button
    Accessible.name: look.accessibleName
    Accessible.description: look.accessibleDescription
    Accessible.onPressAction: button.activated()

    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusButton
        color: button.look.buttonFill
        border.width: Theme.hairlineWidth
        border.color: button.look.buttonBorder
        Behavior on color {
            enabled: !button.motion.reduced
            ColorAnimation { duration: button.motion.quick }
        }
    }
    Row {
        id: label
        anchors.centerIn: parent
        spacing: Theme.space5
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.look.warningGlyph !== ""
            glyph: button.look.warningGlyph
            size: Theme.typeMini
            color: button.look.buttonInk
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: button.look.buttonText
            font: Theme.label(Theme.typeCaption)
            color: button.look.buttonInk
        }
    }
    TapHandler {
        enabled: button.look.enabled
        onTapped: button.activated()
    }
}
