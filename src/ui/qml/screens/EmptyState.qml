import QtQuick
import Quorvane.Ui

// What a list shows when nothing matches the typed text: a faint magnifying glass, a title and a line of help.
Item {
    id: empty

    required property emptyStateLook look

    Accessible.role: Accessible.StaticText
    Accessible.name: look.accessibleName

    Column {
        anchors.centerIn: parent
        width: Math.min(380, empty.width - 28)
        spacing: Theme.space7

        SymbolText {
            width: parent.width
            glyph: empty.look.symbol
            size: empty.look.symbolSize
            color: empty.look.symbolColor
        }
        Text {
            objectName: "emptyTitle"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: empty.look.title
            font: Theme.title(Theme.typeLead)
            color: Theme.text
            elide: Text.ElideMiddle
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: empty.look.text
            font: Theme.body(Theme.typeNote)
            color: Theme.textDim
        }
    }
}
