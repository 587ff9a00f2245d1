import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The palette's footer: what the keys do in the current state, with an optional trailing text.
Item {
    id: bar

    // A list of hints, each its key caps and what they do.
    required property QtObject hints
    required property string trailing

    implicitWidth: Theme.panelWidth
    implicitHeight: 26

    Accessible.ignored: true

    Rectangle {
        anchors.fill: parent
        color: Theme.white(0.02)
    }
    Rectangle {
        width: parent.width
        height: Theme.hairlineWidth
        color: Theme.hairline
    }
    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.space14
        anchors.rightMargin: Theme.space14
        spacing: Theme.space12

        // A Row between the layout and the Repeater: Qt 6.4's layouts keep a hint the Repeater has
        // already destroyed when the hints change, and crash at the next resize.
        Row {
            spacing: Theme.space12
            Repeater {
                model: bar.hints
                Row {
                    required property var caps
                    required property string what
                    spacing: Theme.space3
                    Repeater {
                        model: parent.caps
                        KeyCap {
                            required property keyCapLook modelData
                            anchors.verticalCenter: parent.verticalCenter
                            look: modelData
                        }
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: parent.what
                        font: Theme.mono(Theme.typeXSmall)
                        color: Theme.textFaint
                    }
                }
            }
        }
        Item { Layout.fillWidth: true }
        Text {
            visible: bar.trailing !== ""
            text: bar.trailing
            font: Theme.mono(Theme.typeXSmall)
            color: Theme.textFaint
        }
    }
}
