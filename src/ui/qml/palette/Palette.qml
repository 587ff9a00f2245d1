import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The command palette: the search row, the status bar, the problem banner, the screen of the current
// mode and the key hints. The controller decides everything; this draws it and forwards the pointer.
Item {
    id: paletteView

    required property PaletteController controller
    required property Motion motion
    // Whether the screens not on show may be made now. Until then only the screen on show is made,
    // so the panel's first frame waits for nothing else; each of the others is made the first time
    // it shows. Once made, a screen is kept.
    property bool complete: false

    function focusSearch() { search.focusField() }

    implicitWidth: Theme.panelWidth
    implicitHeight: Theme.panelHeight

    Rectangle {
        anchors.fill: parent
        radius: Theme.corner
        color: Theme.surface
    }
    // A faint warm glow from above the search row, painted once: repainting a part of it with the rest
    // of the panel would round its colours differently from one frame to the next.
    PanelGlow {
        anchors.fill: parent
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        SearchRow {
            id: search
            Layout.fillWidth: true
            controller: paletteView.controller
            motion: paletteView.motion
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: Theme.hairlineWidth
            color: Theme.hairline
        }
        StatusBar {
            Layout.fillWidth: true
            look: paletteView.controller.statusBar
            motion: paletteView.motion
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: Theme.hairlineWidth
            color: Theme.hairline
        }
        // Made while a problem shows: the panel's start draws none of it.
        Loader {
            Layout.fillWidth: true
            active: paletteView.controller.hasProblem
            visible: active
            sourceComponent: ErrorBar {
                objectName: "problemBanner"
                look: paletteView.controller.problem
                onRetried: paletteView.controller.retry()
                onDismissed: paletteView.controller.dismissProblem()
            }
        }
        Item {
            id: content
            Layout.fillWidth: true
            Layout.fillHeight: true
            readonly property int shown: paletteView.controller.content

            RestView {
                anchors.fill: parent
                visible: content.shown === PaletteController.Rest
                screen: paletteView.controller.rest
                motion: paletteView.motion
            }
            ScreenSlot {
                anchors.fill: parent
                visible: content.shown === PaletteController.Results
                complete: paletteView.complete
                file: Qt.resolvedUrl("../screens/ResultsList.qml")
                fileProperties: ({
                    screen: paletteView.controller.results,
                    motion: paletteView.motion,
                    controlStrip: strip
                })
            }
            ScreenSlot {
                anchors.fill: parent
                visible: content.shown === PaletteController.Room
                complete: paletteView.complete
                file: Qt.resolvedUrl("../screens/RoomView.qml")
                fileProperties: ({
                    screen: paletteView.controller.room,
                    motion: paletteView.motion,
                    controlStrip: strip
                })
            }
            ScreenSlot {
                anchors.fill: parent
                visible: content.shown === PaletteController.Notifications
                complete: paletteView.complete
                file: Qt.resolvedUrl("NotificationsList.qml")
                fileProperties: ({
                    screen: paletteView.controller.notifications,
                    motion: paletteView.motion
                })
            }
        }
        KeyHintBar {
            objectName: "hintBar"
            Layout.fillWidth: true
            hints: paletteView.controller.hintModel
            trailing: paletteView.controller.hintTrailing
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: Theme.corner
        color: Theme.clear
        border.width: Theme.hairlineWidth
        border.color: Theme.white(0.14)
    }

    // The open device's controls, made in the slot under its row; the slot names its device.
    Component {
        id: strip
        Item {
            id: holder
            readonly property ControlStripModel model: paletteView.controller.strip
            readonly property bool mine: model !== null && parent !== null && model.deviceID === parent.deviceID
            implicitHeight: stripLoader.item ? stripLoader.item.implicitHeight : 0
            // Named by its file, as the screens are: the rows' types are read when a device first opens.
            Loader {
                id: stripLoader
                width: holder.width
                function follow() {
                    if (holder.mine && stripLoader.status === Loader.Null)
                        stripLoader.setSource(Qt.resolvedUrl("../controls/ControlStrip.qml"), {
                            objectName: "controlStrip",
                            rows: holder.model,
                            motion: paletteView.motion
                        })
                    else if (!holder.mine)
                        stripLoader.source = ""
                }
                Component.onCompleted: stripLoader.follow()
                Connections {
                    target: holder
                    function onMineChanged() { stripLoader.follow() }
                }
                Binding {
                    target: stripLoader.item
                    property: "rows"
                    value: holder.model
                    when: stripLoader.item !== null
                }
            }
        }
    }
}
