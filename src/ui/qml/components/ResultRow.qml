import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// One row of the results list and of the room view: symbol, title, subtitle, a state accessory and,
// when selected and Return runs it, the Return key with the word for what it does.
Item {
    id: row

    required property resultRowLook look
    required property Motion motion
    property bool hovering: hover.hovered
    property real washWidth: look.washWidth(width)

    signal activated()
    signal scrubbed(real level)
    signal released(real level)

    implicitWidth: 480
    implicitHeight: look.height

    Accessible.role: Accessible.Button
    Accessible.name: look.accessibleName
    Accessible.description: look.accessibleValue

    Behavior on washWidth {
        enabled: !row.motion.reduced
        NumberAnimation { duration: row.motion.smooth; easing.type: Easing.Bezier; easing.bezierCurve: [0.2, 0.9, 0.3, 1, 1, 1] }
    }

    HoverArea { id: hover }
    TapHandler {
        objectName: "rowTap"
        onTapped: row.activated()
    }

    // The warm wash of the row's light level, fading out to the right. Like every part that only some
    // rows show, it is built only where it shows: a list creates many rows while the user types.
    Loader {
        active: row.look.fill > 0
        sourceComponent: Rectangle {
            width: Math.min(row.washWidth, row.width)
            height: row.height
            radius: Theme.rowCorner
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0; color: Theme.fade(Theme.lit, 0.2) }
                GradientStop { position: 0.72; color: Theme.fade(Theme.lit, 0.07) }
                GradientStop { position: 1; color: Theme.fade(Theme.lit, 0) }
            }
        }
    }
    Rectangle {
        anchors.fill: parent
        radius: Theme.rowCorner
        color: row.look.plateColor(row.hovering)
        Behavior on color { ColorAnimation { duration: row.motion.quick } }
    }
    Loader {
        active: row.look.selected
        height: parent.height
        sourceComponent: Accent {
            height: row.height
            squareBottom: row.look.expanded
        }
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.space9
        anchors.rightMargin: Theme.space9
        spacing: Theme.space10

        SymbolText {
            Layout.preferredWidth: 17
            glyph: row.look.symbol
            size: Theme.typeLead
            color: row.look.symbolColor
        }
        Column {
            Layout.fillWidth: true
            spacing: 1
            Text {
                width: parent.width
                text: row.look.title
                font: row.look.titleFont
                color: row.look.titleColor
                elide: Text.ElideRight
                maximumLineCount: 1
            }
            Text {
                visible: row.look.subtitle !== ""
                width: parent.width
                text: row.look.subtitle
                font: Theme.label(Theme.typeSmall)
                color: Theme.textFaint
                elide: Text.ElideRight
                maximumLineCount: 1
            }
        }
        Item { Layout.minimumWidth: 0 }

        // The accessory: an on/off pill, a dimmer bar with its level, a value, or "start".
        Loader {
            active: row.look.accessory === ResultRowLook.Toggle
            visible: active
            sourceComponent: Rectangle {
                implicitWidth: pill.implicitWidth + 12
                implicitHeight: pill.implicitHeight + 4
                radius: height / 2
                color: row.look.pillColor
                Text {
                    id: pill
                    anchors.centerIn: parent
                    text: row.look.accessoryText
                    font: Theme.mono(Theme.typeSmall)
                    color: row.look.accessoryColor
                }
            }
        }
        Loader {
            active: row.look.accessory === ResultRowLook.Dimmer
            visible: active
            sourceComponent: Row {
                spacing: Theme.space7
                GlowBar {
                    objectName: "rowLevelBar"
                    anchors.verticalCenter: parent.verticalCenter
                    width: 62
                    height: 4
                    look: row.look.level
                    motion: row.motion
                    onScrubbed: fraction => row.scrubbed(fraction)
                    onReleased: fraction => row.released(fraction)
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 32
                    horizontalAlignment: Text.AlignRight
                    text: row.look.accessoryText
                    font: Theme.mono(Theme.typeSmall)
                    color: row.look.accessoryColor
                }
            }
        }
        Text {
            visible: row.look.accessory === ResultRowLook.Value || row.look.accessory === ResultRowLook.Run
            text: row.look.accessoryText
            font: row.look.accessoryFont
            color: row.look.accessoryColor
        }

        // The Return key and its verb have a column of their own on every row, as wide as the widest
        // verb needs: when the pointer selects a row nothing in it moves, so a click meant for the level
        // bar lands on the bar.
        Item {
            objectName: "verbColumn"
            Layout.preferredWidth: Math.ceil(widestVerb.advanceWidth) + 13 // the cap's padding, the spacing
            Layout.fillHeight: true
            TextMetrics {
                id: widestVerb
                font: Theme.mono(Theme.typeXSmall)
                text: row.look.returnCap.text + row.look.widestVerb
            }
            Loader {
                anchors.verticalCenter: parent.verticalCenter
                active: row.look.showsReturn
                sourceComponent: Row {
                    spacing: Theme.space4
                    KeyCap {
                        anchors.verticalCenter: parent.verticalCenter
                        look: row.look.returnCap
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: row.look.verb
                        font: Theme.mono(Theme.typeXSmall)
                        color: Theme.textDim
                    }
                }
            }
        }
    }
}
