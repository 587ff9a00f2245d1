import QtQuick
import Quorvane.Ui

// A scene (mood) button of the overview's scene row, labelled with its shortcut when it has one.
Item {
    id: chip

    required property sceneChipLook look
    required property Motion motion
    property bool hovering: hover.hovered

    signal activated()

    implicitWidth: row.implicitWidth + 20
    implicitHeight: row.implicitHeight + 12

    Accessible.role: Accessible.Button
    Accessible.name: look.accessibleName
    Accessible.description: look.accessibleHint

    HoverArea { id: hover }
    TapHandler { onTapped: chip.activated() }

    Rectangle {
        anchors.fill: parent
        radius: Theme.rowCorner
        color: chip.look.fillColor(chip.hovering)
        Behavior on color { ColorAnimation { duration: chip.motion.quick } }
    }
    Accent {
        visible: chip.look.selected
        height: parent.height
    }
    Row {
        id: row
        x: 10
        anchors.verticalCenter: parent.verticalCenter
        spacing: Theme.space6
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            glyph: chip.look.symbol
            size: Theme.typeCaption
            color: chip.look.symbolColor(chip.hovering)
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: chip.look.title
            font: Theme.body(Theme.typeBody)
            color: chip.look.titleColor(chip.hovering)
            maximumLineCount: 1
        }
        KeyCap {
            anchors.verticalCenter: parent.verticalCenter
            visible: chip.look.hasShortcut
            look: chip.look.shortcut
        }
    }
    Rectangle {
        anchors.fill: parent
        radius: Theme.rowCorner
        color: Theme.clear
        border.width: Theme.hairlineWidth
        border.color: chip.look.borderColor
    }
}
