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
        anchors.leftMargin: 9
        anchors.rightMargin: 9
        spacing: 10

        SymbolText {
            Layout.preferredWidth: 17
            glyph: line.look.symbol
            size: 12
            color: line.look.symbolColor
        }
        Text {
            text: line.look.title
            font: Theme.body(12.5)
            color: line.look.titleColor
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.maximumWidth: Math.ceil(implicitWidth)
            Layout.fillWidth: true
        }
        Text {
            visible: line.look.subtitle !== ""
            text: line.look.subtitle
            font: Theme.label(10.5)
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
            font: Theme.mono(10.5)
            color: line.look.valueColor
        }
    }
}
