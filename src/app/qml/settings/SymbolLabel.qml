import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A symbol and a text beside it, in one colour.
RowLayout {
    id: label

    property string symbol
    property alias text: words.text
    property color colour
    property real size: Theme.typeBody

    spacing: Theme.space6
    SymbolText {
        visible: label.symbol !== ""
        glyph: Symbols.glyph(label.symbol)
        size: label.size + Theme.glyphLift
        color: label.colour
    }
    Text {
        id: words
        Layout.fillWidth: true
        font: Theme.label(label.size)
        color: label.colour
        wrapMode: Text.Wrap
    }
}
