import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A warning whose words can be selected and copied: it names a path to look up by hand.
RowLayout {
    id: notice

    property string symbol
    property alias text: words.text
    property color colour
    property real size: Theme.typeBody

    spacing: Theme.space6
    SymbolText {
        visible: notice.symbol !== ""
        glyph: Symbols.glyph(notice.symbol)
        size: notice.size + Theme.glyphLift
        color: notice.colour
    }
    TextEdit {
        id: words
        objectName: "words"
        Layout.fillWidth: true
        readOnly: true
        selectByMouse: true
        selectByKeyboard: true
        activeFocusOnTab: true
        textFormat: TextEdit.PlainText
        wrapMode: TextEdit.Wrap
        font: Theme.label(notice.size)
        color: notice.colour
        selectionColor: Theme.lit
        selectedTextColor: Theme.surface
    }
}
