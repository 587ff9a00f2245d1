import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The palette's status bar: connection dot and label, the overview's headline, live energy figures.
Item {
    id: bar

    required property statusBarLook look
    required property Motion motion

    implicitWidth: Theme.panelWidth
    implicitHeight: 30

    Accessible.role: Accessible.StaticText
    Accessible.name: look.accessibleName

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 9

        StatusDot {
            look: bar.look.dot
            motion: bar.motion
        }
        Text {
            text: bar.look.label
            font: Theme.mono(10.5)
            color: bar.look.labelColor
        }
        Text {
            visible: bar.look.headline !== ""
            text: bar.look.separator
            font: Theme.mono(10.5)
            color: Theme.textFaint
        }
        Text {
            visible: bar.look.headline !== ""
            Layout.fillWidth: true
            Layout.maximumWidth: Math.ceil(implicitWidth) // layouts round widths down, which would elide
            text: bar.look.headline
            font: Theme.body(11.5)
            color: Theme.textDim
            elide: Text.ElideRight
            maximumLineCount: 1
        }
        Item { Layout.fillWidth: true }
        Row {
            spacing: 12
            Repeater {
                model: bar.look.figures
                Row {
                    required property statusFigure modelData
                    spacing: 4
                    SymbolText {
                        anchors.verticalCenter: parent.verticalCenter
                        visible: parent.modelData.symbol !== ""
                        glyph: parent.modelData.symbol
                        size: 9
                        color: parent.modelData.symbolColor
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: parent.modelData.value
                        font: Theme.mono(11)
                        color: parent.modelData.valueColor
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: parent.modelData.unit
                        font: Theme.label(10.5)
                        color: parent.modelData.unitColor
                    }
                }
            }
        }
    }
}
