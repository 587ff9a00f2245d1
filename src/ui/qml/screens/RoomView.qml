import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The zoomed-in room: header, the "Alle lampen" row with the room dimmer, and the devices by section,
// or the empty state when the typed filter leaves nothing.
Item {
    id: room

    required property RoomScreen screen
    required property Motion motion
    // The open device's control strip, made under its row with the property deviceID.
    property Component controlStrip: null
    readonly property alias list: view

    implicitWidth: Theme.panelWidth
    implicitHeight: 400

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RoomHeader {
            Layout.fillWidth: true
            look: room.screen.header
        }
        RoomDimmerRow {
            visible: room.screen.hasDimmer
            Layout.fillWidth: true
            Layout.leftMargin: Theme.space6
            Layout.rightMargin: Theme.space6
            Layout.bottomMargin: Theme.space6
            look: room.screen.dimmer
            screen: room.screen
            motion: room.motion
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: Theme.hairlineWidth
            color: Theme.hairline
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            EmptyState {
                anchors.fill: parent
                visible: room.screen.isEmpty
                look: room.screen.empty
            }
            ListView {
                id: view
                objectName: "roomView"
                visible: !room.screen.isEmpty
                anchors.fill: parent
                anchors.leftMargin: Theme.space6
                anchors.rightMargin: Theme.space6
                bottomMargin: Theme.space10
                spacing: Theme.space2
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                // Typing filters the room: as in the results, keep delegates and build only rows on screen.
                reuseItems: true
                cacheBuffer: 0
                model: room.screen.rows
                onHeightChanged: room.screen.viewResized()
                delegate: RowLine {
                    width: view.width
                    screen: room.screen
                    motion: room.motion
                    controlStrip: room.controlStrip
                }
            }
        }
    }

    ListScroller {
        id: scroller
        view: view
        motion: room.motion
    }
    Connections {
        target: room.screen
        function onScrollRequested(row) { scroller.centre(row) }
        function onRevealRequested(row) { scroller.reveal(row) }
    }
}
