import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A level: brightness, colour temperature, hue or saturation on a glowing bar that follows a drag, with
// its value (or, for the hue, a swatch of the colour) at the end.
ControlRowFrame {
    id: row

    required property Motion motion

    signal scrubbed(real fraction)
    signal released(real fraction)
    signal stepped(int direction)

    GlowBar {
        objectName: "stripLevelBar"
        Layout.fillWidth: true
        Layout.preferredHeight: 6
        look: row.look.bar
        motion: row.motion
        opacity: row.look.controlOpacity
        onScrubbed: fraction => row.scrubbed(fraction)
        onReleased: fraction => row.released(fraction)

        Accessible.role: Accessible.Slider
        Accessible.name: row.look.accessibleName
        Accessible.description: row.look.accessibleDescription
        Accessible.onIncreaseAction: row.stepped(1)
        Accessible.onDecreaseAction: row.stepped(-1)
    }
    Item {
        Layout.preferredWidth: 44
        implicitHeight: readout.implicitHeight

        Rectangle {
            visible: row.look.swatch
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 13
            height: 13
            radius: width / 2
            color: row.look.swatchColor
            border.width: 0.5
            border.color: Theme.white(0.25)
        }
        Text {
            id: readout
            visible: !row.look.swatch
            anchors.right: parent.right
            text: row.look.readout
            font: Theme.mono(11)
            color: row.look.readoutColor
        }
    }
}
