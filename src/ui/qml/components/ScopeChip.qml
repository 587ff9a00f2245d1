import QtQuick
import Quorvane.Ui

// The pill in the search field naming the room the palette is zoomed into; its cross leaves the room.
Item {
    id: chip

    required property scopeChipLook look
    required property Motion motion
    property bool hovering: hover.hovered

    signal removed()

    implicitWidth: row.implicitWidth + 13
    implicitHeight: row.implicitHeight + 8

    Accessible.role: Accessible.StaticText
    Accessible.name: look.accessibleName
    Accessible.description: look.accessibleHint

    HoverArea { id: hover }

    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusChip
        color: chip.look.fillColor(chip.hovering)
        border.width: Theme.hairlineWidth
        border.color: Theme.fade(Theme.lit, 0.35)
        Behavior on color { ColorAnimation { duration: chip.motion.quick } }
    }
    Row {
        id: row
        x: 8
        anchors.verticalCenter: parent.verticalCenter
        spacing: Theme.space5
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            glyph: chip.look.symbol
            size: Theme.typeXSmall
            color: Theme.lit
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: chip.look.name
            font: Theme.label(Theme.typeBody)
            color: Theme.litSoft
            maximumLineCount: 1
        }
        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: 12
            height: 12
            Accessible.role: Accessible.Button
            Accessible.name: chip.look.removeLabel
            SymbolText {
                anchors.centerIn: parent
                glyph: chip.look.cross
                size: Theme.typeNano
                font.bold: true
                color: chip.look.crossColor(chip.hovering)
            }
            TapHandler { onTapped: chip.removed() }
        }
    }
}
