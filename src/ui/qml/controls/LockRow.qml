import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A lock: its state, and the button that locks it at once or unlocks it on a second press.
ControlRowFrame {
    id: row

    required property Motion motion

    signal activated()

    Row {
        Layout.preferredWidth: 108
        spacing: Theme.space6
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            glyph: row.look.glyph
            size: Theme.typeXSmall
            color: row.look.stateColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: row.look.stateText
            font: Theme.mono(Theme.typeCaption)
            color: row.look.stateColor
        }
    }
    GuardedButton {
        look: row.look
        motion: row.motion
        onActivated: row.activated()
    }
    Item { Layout.fillWidth: true }
}
