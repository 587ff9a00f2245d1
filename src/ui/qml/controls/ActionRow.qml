import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The device's main action as one button.
ControlRowFrame {
    id: row

    required property Motion motion

    signal activated()

    GuardedButton {
        look: row.look
        motion: row.motion
        onActivated: row.activated()
    }
    Item { Layout.fillWidth: true }
}
