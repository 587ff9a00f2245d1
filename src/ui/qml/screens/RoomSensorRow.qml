import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A read-only line of a room's sensor section: no hover, no click, no selection.
Item {
    id: line

    required property sensorRowLook look

    implicitWidth: 480
    implicitHeight: look.height

    Accessible.role: Accessible.StaticText
    Accessible.name: look.title
    Accessible.description: look.value

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.space9
        anchors.rightMargin: Theme.space9
        spacing: Theme.space10

        SymbolText {
            Layout.preferredWidth: 17
            glyph: line.look.symbol
            size: Theme.typeBody
            color: line.look.symbolColor
        }
        Text {
            text: line.look.title
            font: Theme.body(Theme.typeBodyPlus)
            color: line.look.titleColor
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.maximumWidth: Math.ceil(implicitWidth)
            Layout.fillWidth: true
        }
        Text {
            visible: line.look.subtitle !== ""
            text: line.look.subtitle
            font: Theme.label(Theme.typeSmall)
            color: line.look.subtitleColor
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.maximumWidth: Math.ceil(implicitWidth)
            Layout.fillWidth: true
        }
        Item { Layout.fillWidth: true; Layout.minimumWidth: 8 }
        Text {
            visible: line.look.value !== ""
            text: line.look.value
            font: Theme.mono(Theme.typeSmall)
            color: line.look.valueColor
        }
    }
}
