import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// "Alle lampen": the room dimmer and the button that switches every lamp of the room. A click on the row
// runs the room; the bar and the button act on their own.
Item {
    id: dimmer

    required property roomDimmerLook look
    required property RoomScreen screen
    required property Motion motion

    implicitWidth: Theme.panelWidth - 12
    implicitHeight: 46

    Accessible.role: Accessible.Button
    Accessible.name: look.title
    Accessible.description: look.accessibleHint

    TapHandler {
        objectName: "rowTap"
        onTapped: dimmer.screen.activate(0)
    }
    HoverHandler {
        onHoveredChanged: if (hovered) dimmer.screen.hover(0)
    }

    Rectangle {
        anchors.fill: parent
        radius: Theme.rowCorner
        color: dimmer.look.fillColor
        border.width: Theme.hairlineWidth
        border.color: dimmer.look.borderColor
    }
    Accent {
        visible: dimmer.look.selected
        height: parent.height
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.space9
        anchors.rightMargin: Theme.space9
        spacing: Theme.space10

        SymbolText {
            Layout.preferredWidth: 17
            glyph: dimmer.look.symbol
            size: Theme.typeLead
            color: dimmer.look.symbolColor
        }
        // As wide as the title is when selected (semibold), so the bar beside it does not move when the
        // pointer selects the row.
        Column {
            Layout.preferredWidth: Math.max(Math.ceil(selectedTitle.advanceWidth), subtitle.implicitWidth)
            spacing: 1
            TextMetrics {
                id: selectedTitle
                font: dimmer.look.selectedTitleFont
                text: dimmer.look.title
            }
            Text {
                text: dimmer.look.title
                font: dimmer.look.titleFont
                color: dimmer.look.titleColor
            }
            Text {
                id: subtitle
                text: dimmer.look.subtitle
                font: Theme.label(Theme.typeSmall)
                color: Theme.textFaint
            }
        }
        GlowBar {
            objectName: "roomDimmerBar"
            visible: dimmer.look.hasBar
            Layout.fillWidth: true
            Layout.preferredHeight: 6
            look: dimmer.look.bar
            motion: dimmer.motion
            onScrubbed: fraction => dimmer.screen.scrubRoom(fraction)
            Accessible.role: Accessible.Slider
            Accessible.name: dimmer.look.barAccessibleName
            Accessible.description: dimmer.look.percent
            Accessible.onIncreaseAction: dimmer.screen.stepRoom(1)
            Accessible.onDecreaseAction: dimmer.screen.stepRoom(-1)
        }
        Text {
            visible: dimmer.look.hasBar
            Layout.preferredWidth: 38
            horizontalAlignment: Text.AlignRight
            text: dimmer.look.percent
            font: Theme.mono(Theme.typeCaption)
            color: dimmer.look.percentColor
        }
        Item {
            visible: !dimmer.look.hasBar
            Layout.fillWidth: true
            Layout.minimumWidth: 8
        }
        Rectangle {
            objectName: "allButton"
            implicitWidth: all.implicitWidth + 16
            implicitHeight: all.implicitHeight + 7
            radius: height / 2
            color: dimmer.look.allFill
            border.width: Theme.hairlineWidth
            border.color: dimmer.look.allBorder
            Accessible.role: Accessible.Button
            Accessible.name: dimmer.look.allAccessibleName
            Text {
                id: all
                anchors.centerIn: parent
                text: dimmer.look.allText
                font: Theme.mono(Theme.typeSmall)
                color: dimmer.look.allColor
            }
            // Takes the press for itself, so the row around it does not run as well.
            TapHandler {
                gesturePolicy: TapHandler.WithinBounds
                onTapped: dimmer.screen.toggleAll()
            }
        }
        // Laid out on every row, drawn only on the selected one: nothing moves under the pointer.
        Row {
            objectName: "roomDimKeys"
            opacity: dimmer.look.showsDimKeys ? 1 : 0
            spacing: Theme.space2
            KeyCap { look: dimmer.look.dimDown }
            KeyCap { look: dimmer.look.dimUp }
        }
    }
}
