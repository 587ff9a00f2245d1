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
            Figure { figure: bar.look.consumption; motion: bar.motion }
            Figure { figure: bar.look.generation; motion: bar.motion }
            Figure { figure: bar.look.net; motion: bar.motion }
        }
    }

    // One energy figure. A changed value counts to its new amount while the panel is on screen with full
    // motion; otherwise it shows the new value at once.
    component Figure: Row {
        id: figureRow
        required property statusFigure figure
        required property Motion motion
        property real counted: figure.amount
        visible: figure.shown
        spacing: 4
        Behavior on counted {
            enabled: figureRow.motion.animates
            NumberAnimation { duration: figureRow.motion.count; easing.type: Easing.OutQuad }
        }
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            visible: figureRow.figure.symbol !== ""
            glyph: figureRow.figure.symbol
            size: 9
            color: figureRow.figure.symbolColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: figureRow.figure.valueAt(figureRow.counted)
            font: Theme.mono(11)
            color: figureRow.figure.valueColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: figureRow.figure.unit
            font: Theme.label(10.5)
            color: figureRow.figure.unitColor
        }
    }
}
