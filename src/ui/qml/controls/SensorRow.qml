import QtQuick
import Quorvane.Ui

// The device's readings as small chips of title and value; it takes no focus and writes nothing.
WrapLayout {
    id: row

    required property controlRowLook look

    spacing: 6
    lineSpacing: 5

    Repeater {
        model: row.look.chips
        Rectangle {
            id: chip
            required property var modelData
            implicitWidth: reading.implicitWidth + 14
            implicitHeight: reading.implicitHeight + 6
            radius: 5
            color: Theme.white(0.04)

            Accessible.role: Accessible.StaticText
            Accessible.name: modelData.title
            Accessible.description: modelData.value

            Row {
                id: reading
                anchors.centerIn: parent
                spacing: 5
                Text {
                    text: chip.modelData.title
                    font: Theme.label(10.5)
                    color: Theme.textFaint
                }
                Text {
                    text: chip.modelData.value
                    font: Theme.mono(10.5)
                    color: Theme.textDim
                }
            }
        }
    }
}
