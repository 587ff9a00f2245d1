import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A door opener or unlatch button, which always asks for a second press.
ControlRowFrame {
    id: row

    required property Motion motion

    signal activated()

    GuardedButton {
        look: row.look
        motion: row.motion
        onActivated: row.activated()
    }
    Text {
        text: row.look.detail
        font: Theme.mono(Theme.typeTiny)
        color: Theme.fade(Theme.textFaint, 0.75)
    }
    Item { Layout.fillWidth: true }
}
