import QtQuick
import Quorvane.Ui

// A mode button of the overview's mode row, with a ring that lights while the mode is on.
Item {
    id: chip

    required property modeChipLook look
    required property Motion motion
    property bool hovering: hover.hovered

    signal activated()

    implicitWidth: row.implicitWidth + 18
    implicitHeight: row.implicitHeight + 10

    Accessible.role: Accessible.Button
    Accessible.name: look.accessibleName
    Accessible.description: look.accessibleValue

    HoverArea { id: hover }
    TapHandler { onTapped: chip.activated() }

    Rectangle {
        anchors.fill: parent
        radius: 7
        color: chip.look.fillColor(chip.hovering)
        Behavior on color { ColorAnimation { duration: chip.motion.quick } }
    }
    Accent {
        visible: chip.look.selected
        height: parent.height
    }
    Row {
        id: row
        x: 9
        anchors.verticalCenter: parent.verticalCenter
        spacing: 7
        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: 10
            height: 10
            Rectangle {
                anchors.fill: parent
                radius: 5
                color: Theme.clear
                border.width: 1.2
                border.color: chip.look.ringColor
            }
            Glow {
                visible: chip.look.isOn
                anchors.centerIn: parent
                color: Theme.fade(Theme.lit, 0.9)
                diameter: 5
                spread: 3
            }
            Rectangle {
                visible: chip.look.isOn
                anchors.centerIn: parent
                width: 5
                height: 5
                radius: 2.5
                color: Theme.lit
            }
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: chip.look.title
            font: Theme.body(12)
            color: chip.look.titleColor(chip.hovering)
            maximumLineCount: 1
        }
    }
    Rectangle {
        anchors.fill: parent
        radius: 7
        color: Theme.clear
        border.width: 0.5
        border.color: chip.look.borderColor
    }
}
