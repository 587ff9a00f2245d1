import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// One notification: icon, title line with the unread dot and the subtitle, the body, the detail, and
// the time and source on the right. Selected rows and urgent incidents carry a stripe on the left.
Item {
    id: row

    required property notificationRowLook look
    required property Motion motion

    signal clicked()

    implicitWidth: Theme.panelWidth - 12
    implicitHeight: content.implicitHeight + 16

    Accessible.role: Accessible.ListItem
    Accessible.name: look.accessibleName
    Accessible.description: look.accessibleValue

    HoverHandler { id: hover }
    TapHandler { onTapped: row.clicked() }

    Rectangle {
        anchors.fill: parent
        radius: Theme.rowCorner
        color: row.look.fillColor(hover.hovered)
        Behavior on color { ColorAnimation { duration: row.motion.quick } }
    }
    // Rounded on the left only: the right half of a rounded plate is cut away.
    Item {
        visible: row.look.showsStripe
        width: 2.5
        height: parent.height
        clip: true
        Rectangle {
            width: 2 * Theme.rowCorner
            height: parent.height
            radius: Theme.rowCorner
            color: row.look.stripeColor
        }
    }

    RowLayout {
        id: content
        anchors.fill: parent
        anchors.leftMargin: Theme.space9
        anchors.rightMargin: Theme.space9
        anchors.topMargin: Theme.space8
        anchors.bottomMargin: Theme.space8
        spacing: Theme.space10

        SymbolText {
            Layout.alignment: Qt.AlignTop
            Layout.topMargin: 1
            Layout.preferredWidth: 17
            glyph: row.look.icon
            size: Theme.typeLead
            color: row.look.iconColor
        }
        ColumnLayout {
            Layout.alignment: Qt.AlignTop
            Layout.fillWidth: true
            spacing: Theme.space2
            RowLayout {
                Layout.fillWidth: true
                spacing: Theme.space6
                Text {
                    text: row.look.title
                    font: Theme.title(Theme.typeBodyPlus)
                    color: row.look.titleColor
                    elide: Text.ElideRight
                    maximumLineCount: 1
                    Layout.maximumWidth: implicitWidth + 1
                    Layout.fillWidth: true
                }
                Rectangle {
                    visible: row.look.showsDot
                    implicitWidth: 4
                    implicitHeight: 4
                    radius: Theme.radiusHair
                    color: Theme.lit
                }
                Text {
                    visible: row.look.subtitle !== ""
                    Layout.fillWidth: true
                    text: row.look.subtitle
                    font: Theme.body(Theme.typeBody)
                    color: Theme.textDim
                    elide: Text.ElideRight
                    maximumLineCount: 1
                }
                Item { Layout.fillWidth: true }
            }
            Text {
                Layout.fillWidth: true
                text: row.look.body
                font: Theme.body(Theme.typeNote)
                color: Theme.textFaint
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
            Text {
                visible: row.look.detail !== ""
                Layout.fillWidth: true
                topPadding: 1
                text: row.look.detail
                font: Theme.mono(Theme.typeXSmall)
                color: Theme.fade(Theme.textFaint, 0.75)
                elide: Text.ElideRight
                maximumLineCount: 1
            }
        }
        ColumnLayout {
            Layout.alignment: Qt.AlignTop
            spacing: Theme.space2
            Text {
                Layout.alignment: Qt.AlignRight
                text: row.look.time
                font: Theme.mono(Theme.typeSmall)
                color: Theme.textDim
            }
            Text {
                Layout.alignment: Qt.AlignRight
                text: row.look.source
                font: Theme.mono(Theme.typeTiny)
                color: Theme.textFaint
            }
        }
    }
}
