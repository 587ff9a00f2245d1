import QtQuick
import Quorvane.Ui

// One line of the results list or the room view: a section heading, a hit row with the control strip
// of its device under it while that is open, or a sensor line. The screen decides; this only draws and
// forwards the pointer.
Item {
    id: line

    required property int index
    required property int kind
    required property string key
    required property sectionHeaderLook header
    required property resultRowLook look
    required property sensorRowLook sensor
    required property string deviceId
    required property bool expanded
    // The ResultsScreen or RoomScreen behind the list.
    required property RowScreen screen
    required property Motion motion
    // Made under an expanded row with its deviceID; none until the control strip is built.
    property Component controlStrip: null

    implicitWidth: Theme.panelWidth - 12
    implicitHeight: content.item ? content.item.implicitHeight : 0

    Loader {
        id: content
        width: line.width
        sourceComponent: line.kind === ListRow.Header ? heading : line.kind === ListRow.Sensor ? sensorLine : hitLine
    }

    Component {
        id: heading
        SectionHeader { look: line.header }
    }
    Component {
        id: sensorLine
        RoomSensorRow { look: line.sensor }
    }
    Component {
        id: hitLine
        // Stacked by hand, not by a Column: a Column measures itself only when it is laid out, a frame
        // after it is made, and the list would place the lines under a new row by a height of 0 until then
        // (a row it was told to bring into view would end up out of it).
        Item {
            objectName: "hitLine"
            implicitHeight: row.height + slot.height
            ResultRow {
                id: row
                width: parent.width
                look: line.look
                motion: line.motion
                onActivated: line.screen.activate(line.look.index)
                onScrubbed: level => line.screen.scrub(line.deviceId, level)
                onReleased: level => line.screen.release(line.deviceId, level)
                HoverHandler {
                    onHoveredChanged: if (hovered) line.screen.hover(line.look.index)
                }
            }
            // Where the open device's control strip goes. The slot grows to the strip's height as the row
            // expands and shrinks as it closes; while it grows the strip slides in from its top edge and
            // fades in. All of it animates only while the panel is on screen with full motion.
            Item {
                id: slot
                readonly property bool open: line.expanded && line.controlStrip !== null
                y: row.height
                width: parent.width
                height: open ? strip.implicitHeight : 0
                clip: strip.active && height < strip.implicitHeight
                Behavior on height {
                    enabled: line.motion.animates
                    NumberAnimation { duration: line.motion.quick; easing.type: Easing.OutQuad }
                }
                Loader {
                    id: strip
                    objectName: "controlStripSlot"
                    property string deviceID: line.deviceId
                    width: parent.width
                    y: slot.height - implicitHeight
                    opacity: implicitHeight > 0 ? Math.min(1, slot.height / implicitHeight) : 1
                    active: slot.open || slot.height > 0
                    sourceComponent: line.controlStrip
                }
            }
        }
    }
}
