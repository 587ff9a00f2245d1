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
        id: line
        anchors.fill: parent
        anchors.leftMargin: Theme.space14
        anchors.rightMargin: Theme.space14
        spacing: Theme.space9

        StatusDot {
            look: bar.look.dot
            motion: bar.motion
        }
        Text {
            text: bar.look.label
            font: Theme.mono(Theme.typeSmall)
            color: bar.look.labelColor
        }
        Text {
            visible: bar.look.headline !== ""
            text: bar.look.separator
            font: Theme.mono(Theme.typeSmall)
            color: Theme.textFaint
        }
        // The headline takes all the room the figures leave it, so that it is cut only where the bar
        // truly has none: a wider connection label ("Vertraagd") must not cost it its last words.
        Text {
            objectName: "statusHeadline"
            visible: bar.look.headline !== ""
            Layout.fillWidth: true
            text: bar.look.headline
            font: Theme.body(Theme.typeNote)
            color: Theme.textDim
            elide: Text.ElideRight
            maximumLineCount: 1
        }
        // Without a headline the figures still keep to the right.
        Item {
            visible: bar.look.headline === ""
            Layout.fillWidth: true
        }
        Row {
            // At least 10 from the headline.
            Layout.leftMargin: Theme.space10 - line.spacing
            spacing: Theme.space12
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
        spacing: Theme.space4
        Behavior on counted {
            enabled: figureRow.motion.animates
            NumberAnimation { duration: figureRow.motion.count; easing.type: Easing.OutQuad }
        }
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            visible: figureRow.figure.symbol !== ""
            glyph: figureRow.figure.symbol
            size: Theme.typeMini
            color: figureRow.figure.symbolColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: figureRow.figure.valueAt(figureRow.counted)
            font: Theme.mono(Theme.typeCaption)
            color: figureRow.figure.valueColor
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: figureRow.figure.unit
            font: Theme.label(Theme.typeSmall)
            color: figureRow.figure.unitColor
        }
    }
}
