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
        radius: 7
        color: chip.look.fillColor(chip.hovering)
        border.width: 0.5
        border.color: Theme.fade(Theme.lit, 0.35)
        Behavior on color { ColorAnimation { duration: chip.motion.quick } }
    }
    Row {
        id: row
        x: 8
        anchors.verticalCenter: parent.verticalCenter
        spacing: 5
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            glyph: chip.look.symbol
            size: 10
            color: Theme.lit
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: chip.look.name
            font: Theme.label(12)
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
                size: 8
                font.bold: true
                color: chip.look.crossColor(chip.hovering)
            }
            TapHandler { onTapped: chip.removed() }
        }
    }
}
