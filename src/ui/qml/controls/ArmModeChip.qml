import QtQuick
import Quorvane.Ui

// One mode of an alarm: lit while current, ringed under the keyboard cursor, red while it waits for its
// second press.
Item {
    id: chip

    required property armModeChipLook look

    signal activated()

    implicitWidth: label.implicitWidth + 16
    implicitHeight: label.implicitHeight + 7

    Accessible.role: Accessible.Button
    Accessible.name: look.accessibleName
    Accessible.description: look.accessibleDescription
    Accessible.onPressAction: chip.activated()

    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusButton
        color: chip.look.fillColor
        border.width: chip.look.borderWidth
        border.color: chip.look.borderColor
    }
    Row {
        id: label
        anchors.centerIn: parent
        spacing: Theme.space4
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            visible: chip.look.warningGlyph !== ""
            glyph: chip.look.warningGlyph
            size: Theme.typeMicro
            color: chip.look.inkColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: chip.look.text
            font: Theme.mono(Theme.typeSmall)
            color: chip.look.inkColor
        }
    }
    TapHandler { onTapped: chip.activated() }
}
