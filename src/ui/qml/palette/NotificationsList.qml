import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The notifications list: the header with its count, the banner hint, "filters" and "wis alles", then
// the rows newest first, or the empty state.
Item {
    id: list

    required property NotificationsScreen screen
    required property Motion motion

    implicitWidth: Theme.panelWidth
    implicitHeight: 400

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.topMargin: 9
            Layout.bottomMargin: 6
            spacing: 8

            Text {
                objectName: "notificationsTitle"
                text: list.screen.title
                font.family: Theme.section().family
                font.pointSize: Theme.section().pointSize
                font.weight: Theme.section().weight
                font.letterSpacing: 1.1
                color: Theme.textFaint
            }
            Text {
                visible: list.screen.count !== ""
                text: list.screen.count
                font: Theme.mono(10)
                color: Theme.textFaint
            }
            Item { Layout.fillWidth: true }
            Row {
                objectName: "permissionHint"
                visible: list.screen.showsPermissionHint
                spacing: 5
                Accessible.role: Accessible.Button
                Accessible.name: list.screen.permissionText
                Accessible.description: list.screen.permissionTooltip
                SymbolText {
                    anchors.verticalCenter: parent.verticalCenter
                    glyph: list.screen.permissionSymbol
                    size: 9
                    color: Theme.lit
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: list.screen.permissionText
                    font: Theme.label(10.5)
                    color: Theme.lit
                }
                HoverHandler { id: permissionHover }
                TapHandler { onTapped: list.screen.requestPermission() }
                Tip {
                    text: list.screen.permissionTooltip
                    shown: permissionHover.hovered
                }
            }
            Text {
                text: list.screen.filtersText
                font: Theme.mono(10)
                color: Theme.textFaint
                Accessible.role: Accessible.Button
                Accessible.name: text
                TapHandler { onTapped: list.screen.openSettings() }
            }
            Row {
                objectName: "clearAll"
                visible: !list.screen.isEmpty
                spacing: 4
                Accessible.role: Accessible.Button
                Accessible.name: list.screen.clearText
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: list.screen.clearText
                    font: Theme.mono(10)
                    color: Theme.textFaint
                }
                KeyCap {
                    anchors.verticalCenter: parent.verticalCenter
                    look: list.screen.clearCap
                }
                TapHandler { onTapped: list.screen.clear() }
            }
        }

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Column {
                objectName: "notificationsEmpty"
                visible: list.screen.isEmpty
                anchors.centerIn: parent
                width: Math.min(320, parent.width - 28)
                spacing: 8
                Accessible.role: Accessible.StaticText
                Accessible.name: list.screen.emptyTitle

                SymbolText {
                    width: parent.width
                    glyph: list.screen.emptySymbol
                    size: 24
                    color: Theme.textFaint
                }
                Text {
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    text: list.screen.emptyTitle
                    font: Theme.title(13)
                    color: Theme.textDim
                }
                Text {
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.WordWrap
                    text: list.screen.emptyText
                    font: Theme.body(11.5)
                    color: Theme.textFaint
                }
            }

            ListView {
                id: view
                objectName: "notificationsView"
                visible: !list.screen.isEmpty
                anchors.fill: parent
                anchors.leftMargin: 6
                anchors.rightMargin: 6
                bottomMargin: 8
                spacing: 2
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                model: list.screen.rows
                delegate: NotificationRow {
                    width: view.width
                    motion: list.motion
                    onClicked: list.screen.activate(look.index)
                }
            }
        }
    }

    ListScroller {
        id: scroller
        view: view
        motion: list.motion
    }
    Connections {
        target: list.screen
        function onScrollRequested(row) { scroller.centre(row) }
    }
}
