import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The palette's footer: what the keys do in the current state, with an optional trailing text.
Item {
    id: bar

    required property keyHintBarLook look

    implicitWidth: Theme.panelWidth
    implicitHeight: 26

    Accessible.ignored: true

    Rectangle {
        anchors.fill: parent
        color: Theme.white(0.02)
    }
    Rectangle {
        width: parent.width
        height: 0.5
        color: Theme.hairline
    }
    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 12

        Repeater {
            model: bar.look.hints
            Row {
                required property keyHint modelData
                spacing: 3
                Repeater {
                    model: parent.modelData.caps
                    KeyCap {
                        required property keyCapLook modelData
                        anchors.verticalCenter: parent.verticalCenter
                        look: modelData
                    }
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: parent.modelData.what
                    font: Theme.mono(10)
                    color: Theme.textFaint
                }
            }
        }
        Item { Layout.fillWidth: true }
        Text {
            visible: bar.look.trailing !== ""
            text: bar.look.trailing
            font: Theme.mono(10)
            color: Theme.textFaint
        }
    }
}
