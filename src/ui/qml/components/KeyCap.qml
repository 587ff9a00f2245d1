import QtQuick
import Quorvane.Ui

// One keyboard key drawn as a little key cap.
Rectangle {
    id: cap

    required property keyCapLook look

    implicitWidth: label.implicitWidth + 9
    implicitHeight: label.implicitHeight + 3
    radius: Theme.radiusKey
    color: look.fillColor
    border.width: Theme.hairlineWidth
    border.color: look.strokeColor

    Text {
        id: label
        anchors.centerIn: parent
        text: cap.look.text
        font: Theme.mono(Theme.typeXSmall)
        color: cap.look.inkColor
    }
}
