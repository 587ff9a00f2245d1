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
            Layout.leftMargin: Theme.space14
            Layout.rightMargin: Theme.space14
            Layout.topMargin: Theme.space9
            Layout.bottomMargin: Theme.space6
            spacing: Theme.space8

            Text {
                objectName: "notificationsTitle"
                text: list.screen.title
                font.family: Theme.section().family
                font.pointSize: Theme.section().pointSize
                font.weight: Theme.section().weight
                font.letterSpacing: Theme.capsTracking
                color: Theme.textFaint
            }
            Text {
                visible: list.screen.count !== ""
                text: list.screen.count
                font: Theme.mono(Theme.typeXSmall)
                color: Theme.textFaint
            }
            Item { Layout.fillWidth: true }
            Row {
                objectName: "permissionHint"
                visible: list.screen.showsPermissionHint
                spacing: Theme.space5
                Accessible.role: Accessible.Button
                Accessible.name: list.screen.permissionText
                Accessible.description: list.screen.permissionTooltip
                SymbolText {
                    anchors.verticalCenter: parent.verticalCenter
                    glyph: list.screen.permissionSymbol
                    size: Theme.typeMini
                    color: Theme.lit
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: list.screen.permissionText
                    font: Theme.label(Theme.typeSmall)
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
                font: Theme.mono(Theme.typeXSmall)
                color: Theme.textFaint
                Accessible.role: Accessible.Button
                Accessible.name: text
                TapHandler { onTapped: list.screen.openSettings() }
            }
            Row {
                objectName: "clearAll"
                visible: !list.screen.isEmpty
                spacing: Theme.space4
                Accessible.role: Accessible.Button
                Accessible.name: list.screen.clearText
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: list.screen.clearText
                    font: Theme.mono(Theme.typeXSmall)
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
                spacing: Theme.space8
                Accessible.role: Accessible.StaticText
                Accessible.name: list.screen.emptyTitle

                SymbolText {
                    width: parent.width
                    glyph: list.screen.emptySymbol
                    size: Theme.typeHero
                    color: Theme.textFaint
                }
                Text {
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    text: list.screen.emptyTitle
                    font: Theme.title(Theme.typeLead)
                    color: Theme.textDim
                }
                Text {
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.WordWrap
                    text: list.screen.emptyText
                    font: Theme.body(Theme.typeNote)
                    color: Theme.textFaint
                }
            }

            ListView {
                id: view
                objectName: "notificationsView"
                visible: !list.screen.isEmpty
                anchors.fill: parent
                anchors.leftMargin: Theme.space6
                anchors.rightMargin: Theme.space6
                bottomMargin: Theme.space8
                spacing: Theme.space2
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
