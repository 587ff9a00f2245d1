import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The shared frame of a strip row: the title in its column, the row's own controls, the key caps of the
// focused row, and a soft highlight behind the row while it has the keyboard focus.
Item {
    id: frame

    required property controlRowLook look
    // The row's controls, after the title and 10 apart.
    default property alias controls: line.data
    // What stands under the line, lined up with the controls (an alarm's modes).
    property alias below: under.data
    // The title column's width: the strip gives all its rows one, so their controls line up.
    property real titleWidth: 104
    // What the title needs to be read whole.
    readonly property real titleNeed: title.implicitWidth

    implicitWidth: 480
    implicitHeight: column.implicitHeight + 2

    Accessible.role: Accessible.Grouping
    Accessible.name: look.title

    Rectangle {
        visible: frame.look.focused
        x: -5
        width: frame.width + 10
        height: frame.height
        radius: Theme.radiusControl
        color: Theme.fade(Theme.lit, 0.07)
    }
    Column {
        id: column
        y: 1
        width: frame.width
        spacing: Theme.space6

        RowLayout {
            width: parent.width
            spacing: Theme.space10

            Text {
                id: title
                Layout.preferredWidth: frame.titleWidth
                Layout.maximumWidth: frame.titleWidth
                text: frame.look.title
                font: Theme.label(Theme.typeCaption)
                color: frame.look.titleColor
                elide: Text.ElideRight
                maximumLineCount: 1
                Accessible.ignored: true
            }
            RowLayout {
                id: line
                Layout.fillWidth: true
                spacing: Theme.space10
            }
            Row {
                visible: frame.look.keyCaps.length > 0
                spacing: Theme.space2
                Repeater {
                    model: frame.look.keyCaps
                    KeyCap {
                        required property var modelData
                        look: modelData
                    }
                }
            }
        }
        Item {
            id: under
            visible: children.length > 0
            x: frame.titleWidth + Theme.space10
            width: parent.width - x
            height: childrenRect.height
        }
    }
}
