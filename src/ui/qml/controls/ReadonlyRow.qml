import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A capability that cannot be written here: its level on a grey bar, or its value, marked read-only.
ControlRowFrame {
    id: row

    required property Motion motion

    Accessible.role: Accessible.StaticText
    Accessible.name: look.accessibleName
    Accessible.description: look.accessibleDescription

    GlowBar {
        visible: row.look.hasBar
        Layout.fillWidth: true
        Layout.preferredHeight: 6
        look: row.look.bar
        motion: row.motion
    }
    Text {
        Layout.preferredWidth: row.look.hasBar ? 44 : -1
        Layout.fillWidth: !row.look.hasBar
        horizontalAlignment: row.look.hasBar ? Text.AlignRight : Text.AlignLeft
        text: row.look.readout
        font: Theme.mono(Theme.typeCaption)
        color: row.look.readoutColor
        elide: Text.ElideRight
    }
    Text {
        text: row.look.detail
        font: Theme.mono(Theme.typeTiny)
        color: Theme.fade(Theme.textFaint, 0.75)
    }
}
