import QtQuick
import Quorvane.Ui

// The device's readings as small chips of title and value; it takes no focus and writes nothing.
WrapLayout {
    id: row

    required property controlRowLook look

    spacing: Theme.space6
    lineSpacing: Theme.space5

    Repeater {
        model: row.look.chips
        Rectangle {
            id: chip
            required property var modelData
            implicitWidth: reading.implicitWidth + 14
            implicitHeight: reading.implicitHeight + 6
            radius: Theme.radiusControl
            color: Theme.white(0.04)

            Accessible.role: Accessible.StaticText
            Accessible.name: modelData.title
            Accessible.description: modelData.value

            Row {
                id: reading
                anchors.centerIn: parent
                spacing: Theme.space5
                Text {
                    text: chip.modelData.title
                    font: Theme.label(Theme.typeSmall)
                    color: Theme.textFaint
                }
                Text {
                    text: chip.modelData.value
                    font: Theme.mono(Theme.typeSmall)
                    color: Theme.textDim
                }
            }
        }
    }
}
