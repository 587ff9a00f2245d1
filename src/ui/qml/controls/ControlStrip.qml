import QtQuick
import QtQuick.Shapes
import Quorvane.Ui

// The controls of one open device, under its row: a line per control with the keyboard's row
// highlighted, and a notice under them while the device does not answer. Square on top where it meets
// the row, rounded at the bottom, with the accent bar down its leading edge.
Item {
    id: strip

    required property ControlStripModel rows
    required property Motion motion

    readonly property real corner: 8
    readonly property real accent: 2.5
    // One column for every row's title: 104 wide, or as wide as the longest title where the strip has
    // room for it, up to a third of the strip; only a title longer than that is cut.
    readonly property real titleWidth: Math.max(104, Math.min(Math.ceil(widestTitle), column.width / 3))
    readonly property real widestTitle: {
        let widest = 0
        for (let i = 0; i < slots.count; ++i) {
            const slot = slots.itemAt(i)
            if (slot)
                widest = Math.max(widest, slot.titleNeed)
        }
        return widest
    }

    implicitWidth: 480
    implicitHeight: column.implicitHeight + 20

    Rectangle {
        anchors.fill: parent
        radius: strip.corner
        color: Theme.surfaceHi
    }
    Rectangle {
        width: parent.width
        height: Math.min(strip.corner, parent.height)
        color: Theme.surfaceHi
    }
    // The accent bar, cut off by the rounded bottom-left corner.
    Shape {
        ShapePath {
            strokeWidth: -1
            strokeColor: Theme.clear
            fillColor: Theme.lit
            startX: 0
            startY: 0
            PathLine { x: strip.accent; y: 0 }
            PathLine {
                x: strip.accent
                y: strip.height - strip.corner
                   + Math.sqrt(strip.corner * strip.corner - (strip.corner - strip.accent) * (strip.corner - strip.accent))
            }
            PathArc { x: 0; y: strip.height - strip.corner; radiusX: strip.corner; radiusY: strip.corner }
            PathLine { x: 0; y: 0 }
        }
    }

    Column {
        id: column
        x: 12
        y: 10
        width: strip.width - 24
        spacing: Theme.space8

        Repeater {
            id: slots
            model: strip.rows
            delegate: Item {
                id: slot

                required property int index
                required property controlRowLook look
                // Rows without a title (the readings) need none.
                readonly property real titleNeed: loader.item && loader.item.titleNeed !== undefined
                                                  ? loader.item.titleNeed : 0

                width: column.width
                height: loader.height

                Loader {
                    id: loader
                    width: parent.width
                    sourceComponent: {
                        switch (slot.look.kind) {
                        case ControlRow.Toggle: return switchRow
                        case ControlRow.Slider:
                        case ControlRow.ColorTemp:
                        case ControlRow.Hue:
                        case ControlRow.Saturation: return levelRow
                        case ControlRow.Thermostat: return thermostatRow
                        case ControlRow.Media: return mediaRow
                        case ControlRow.Sensor: return sensorRow
                        case ControlRow.Action: return actionRow
                        case ControlRow.Lock: return lockRow
                        case ControlRow.ArmMode: return armModeRow
                        case ControlRow.OpenButton: return openButtonRow
                        default: return readonlyRow
                        }
                    }
                }

                Component {
                    id: switchRow
                    SwitchRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        motion: strip.motion
                        onActivated: strip.rows.activate(slot.index)
                    }
                }
                Component {
                    id: levelRow
                    LevelRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        motion: strip.motion
                        onScrubbed: fraction => strip.rows.scrub(slot.index, fraction)
                        onReleased: fraction => strip.rows.release(slot.index, fraction)
                        onStepped: direction => strip.rows.adjust(slot.index, direction)
                    }
                }
                Component {
                    id: thermostatRow
                    ThermostatRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        onStepped: direction => strip.rows.adjust(slot.index, direction)
                    }
                }
                Component {
                    id: mediaRow
                    MediaRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        motion: strip.motion
                        onActivated: strip.rows.activate(slot.index)
                        onScrubbed: fraction => strip.rows.scrub(slot.index, fraction)
                        onReleased: fraction => strip.rows.release(slot.index, fraction)
                    }
                }
                Component {
                    id: sensorRow
                    SensorRow { look: slot.look }
                }
                Component {
                    id: actionRow
                    ActionRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        motion: strip.motion
                        onActivated: strip.rows.activate(slot.index)
                    }
                }
                Component {
                    id: readonlyRow
                    ReadonlyRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        motion: strip.motion
                    }
                }
                Component {
                    id: lockRow
                    LockRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        motion: strip.motion
                        onActivated: strip.rows.activate(slot.index)
                    }
                }
                Component {
                    id: armModeRow
                    ArmModeRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        onChosen: option => strip.rows.chooseMode(slot.index, option)
                    }
                }
                Component {
                    id: openButtonRow
                    OpenButtonRow {
                        look: slot.look
                        titleWidth: strip.titleWidth
                        motion: strip.motion
                        onActivated: strip.rows.activate(slot.index)
                    }
                }
            }
        }

        // The model may go before the strip does: its bindings are read once more while it is torn down.
        Row {
            visible: !!strip.rows && strip.rows.offlineNotice !== ""
            spacing: Theme.space6
            SymbolText {
                anchors.verticalCenter: parent.verticalCenter
                glyph: strip.rows ? strip.rows.offlineGlyph : ""
                size: Theme.typeMini
                color: Theme.alarm
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: strip.rows ? strip.rows.offlineNotice : ""
                font: Theme.label(Theme.typeCaption)
                color: Theme.textDim
            }
        }
    }
}
