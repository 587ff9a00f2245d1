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
        radius: Theme.radiusChip
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
        spacing: Theme.space7
        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: 10
            height: 10
            Rectangle {
                anchors.fill: parent
                radius: width / 2
                color: Theme.clear
                border.width: Theme.ringWidth
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
                radius: width / 2
                color: Theme.lit
            }
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: chip.look.title
            font: Theme.body(Theme.typeBody)
            color: chip.look.titleColor(chip.hovering)
            maximumLineCount: 1
        }
    }
    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusChip
        color: Theme.clear
        border.width: Theme.hairlineWidth
        border.color: chip.look.borderColor
    }
}
