import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// An on/off capability: the switch with its knob and the word for its state. A tap asks to flip it.
ControlRowFrame {
    id: row

    required property Motion motion

    signal activated()

    Item {
        id: track
        implicitWidth: 34
        implicitHeight: 18
        opacity: row.look.controlOpacity

        Accessible.role: Accessible.Button
        Accessible.name: row.look.accessibleName
        Accessible.description: row.look.accessibleDescription
        Accessible.onPressAction: row.activated()

        Rectangle {
            anchors.fill: parent
            radius: height / 2
            color: row.look.trackColor
        }
        Item {
            x: row.look.on ? track.width - width - 2 : 2
            anchors.verticalCenter: parent.verticalCenter
            width: 14
            height: 14
            Behavior on x {
                enabled: !row.motion.reduced
                NumberAnimation { duration: row.motion.quick; easing.type: Easing.OutQuad }
            }
            Glow {
                anchors.centerIn: parent
                color: row.look.knobGlow
                diameter: 10
                spread: 4
            }
            Rectangle {
                anchors.fill: parent
                radius: width / 2
                color: row.look.knobColor
            }
        }
        TapHandler {
            enabled: row.look.enabled
            onTapped: row.activated()
        }
    }
    Text {
        Layout.preferredWidth: 26
        text: row.look.stateText
        font: Theme.mono(Theme.typeSmall)
        color: row.look.stateColor
        Accessible.ignored: true
    }
    Item { Layout.fillWidth: true }
}
