import QtQuick
import QtQuick.Layouts
import QtQuick.Shapes
import Quorvane.Ui

// The command palette: the search row, the status bar, the problem banner, the screen of the current
// mode and the key hints. The controller decides everything; this draws it and forwards the pointer.
Item {
    id: palette

    required property PaletteController controller
    required property Motion motion

    function focusSearch() { search.focusField() }

    implicitWidth: Theme.panelWidth
    implicitHeight: Theme.panelHeight

    Rectangle {
        anchors.fill: parent
        radius: Theme.corner
        color: Theme.surface
    }
    // A faint warm glow from above the search row.
    Shape {
        anchors.fill: parent
        ShapePath {
            strokeWidth: -1
            strokeColor: Theme.clear
            fillGradient: RadialGradient {
                centerX: palette.width / 2
                centerY: -0.08 * palette.height
                centerRadius: 460
                focalX: centerX
                focalY: centerY
                GradientStop { position: 0; color: Theme.fade(Theme.lit, 0.055) }
                GradientStop { position: 1; color: Theme.fade(Theme.lit, 0) }
            }
            startX: 0; startY: 0
            PathLine { x: palette.width; y: 0 }
            PathLine { x: palette.width; y: palette.height }
            PathLine { x: 0; y: palette.height }
            PathLine { x: 0; y: 0 }
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        SearchRow {
            id: search
            Layout.fillWidth: true
            controller: palette.controller
            motion: palette.motion
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 0.5
            color: Theme.hairline
        }
        StatusBar {
            Layout.fillWidth: true
            look: palette.controller.statusBar
            motion: palette.motion
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 0.5
            color: Theme.hairline
        }
        ErrorBar {
            objectName: "problemBanner"
            visible: palette.controller.hasProblem
            Layout.fillWidth: true
            look: palette.controller.problem
            onRetried: palette.controller.retry()
            onDismissed: palette.controller.dismissProblem()
        }
        Item {
            id: content
            Layout.fillWidth: true
            Layout.fillHeight: true
            readonly property string name: palette.controller.contentName

            RestView {
                anchors.fill: parent
                visible: content.name === "rest"
                screen: palette.controller.rest
                motion: palette.motion
            }
            ResultsList {
                anchors.fill: parent
                visible: content.name === "results"
                screen: palette.controller.results
                motion: palette.motion
                controlStrip: strip
            }
            RoomView {
                anchors.fill: parent
                visible: content.name === "room"
                screen: palette.controller.room
                motion: palette.motion
                controlStrip: strip
            }
            NotificationsList {
                anchors.fill: parent
                visible: content.name === "notifications"
                screen: palette.controller.notifications
                motion: palette.motion
            }
        }
        KeyHintBar {
            objectName: "hintBar"
            Layout.fillWidth: true
            look: palette.controller.hints
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: Theme.corner
        color: Theme.clear
        border.width: 0.5
        border.color: Theme.white(0.14)
    }

    // The open device's controls, made in the slot under its row; the slot names its device.
    Component {
        id: strip
        Item {
            id: holder
            readonly property ControlStripModel model: palette.controller.strip
            readonly property bool mine: model !== null && parent !== null && model.deviceID === parent.deviceID
            implicitHeight: stripLoader.item ? stripLoader.item.implicitHeight : 0
            Loader {
                id: stripLoader
                width: holder.width
                active: holder.mine
                sourceComponent: ControlStrip {
                    objectName: "controlStrip"
                    rows: holder.model
                    motion: palette.motion
                }
            }
        }
    }
}
