import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// An alarm: whether it is armed, the title of its mode, and a chip per mode to choose another.
ControlRowFrame {
    id: row

    signal chosen(string option)

    Row {
        Layout.preferredWidth: 108
        spacing: Theme.space6
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            glyph: row.look.glyph
            size: Theme.typeXSmall
            color: row.look.stateColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: row.look.stateText
            font: Theme.mono(Theme.typeCaption)
            color: row.look.stateColor
        }
    }
    Text {
        visible: row.look.detail !== ""
        text: row.look.detail
        font: Theme.label(Theme.typeSmall)
        color: Theme.textFaint
    }
    Item { Layout.fillWidth: true }

    below: WrapLayout {
        width: parent.width
        spacing: Theme.space5
        lineSpacing: Theme.space5
        Repeater {
            model: row.look.chips
            ArmModeChip {
                required property var modelData
                look: modelData
                onActivated: row.chosen(modelData.id)
            }
        }
    }
}
