import QtQuick
import Quorvane.Ui

// The bell in the search row with the unread count; a click opens the notifications list.
Item {
    id: bell

    required property notificationBellLook look

    signal clicked()

    implicitWidth: row.implicitWidth + 4
    implicitHeight: row.implicitHeight + 4

    Accessible.role: Accessible.Button
    Accessible.name: look.accessibleName
    Accessible.description: look.tooltip

    HoverHandler { id: hover }
    TapHandler { onTapped: bell.clicked() }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: Theme.space4
        SymbolText {
            anchors.verticalCenter: parent.verticalCenter
            glyph: bell.look.symbol
            size: Theme.typeBody
            color: bell.look.symbolColor(hover.hovered)
        }
        Rectangle {
            visible: bell.look.showsBadge
            anchors.verticalCenter: parent.verticalCenter
            width: count.implicitWidth + 8
            height: count.implicitHeight + 2
            radius: height / 2
            color: Theme.fade(Theme.lit, 0.16)
            Text {
                id: count
                anchors.centerIn: parent
                text: bell.look.count
                font: Theme.mono(Theme.typeXSmall)
                color: Theme.litSoft
            }
        }
    }

    Tip {
        text: bell.look.tooltip
        shown: hover.hovered
    }
}
