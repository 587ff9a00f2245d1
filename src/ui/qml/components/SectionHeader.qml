import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The small upper-case heading above a group of rows, with an optional trailing text.
Item {
    id: header

    required property sectionHeaderLook look

    implicitWidth: Theme.panelWidth
    implicitHeight: Math.max(title.implicitHeight, trailing.implicitHeight) + 14

    Accessible.role: Accessible.Heading
    Accessible.name: look.title

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.space14
        anchors.rightMargin: Theme.space14
        anchors.topMargin: Theme.space9
        anchors.bottomMargin: Theme.space5
        spacing: Theme.space8

        Text {
            id: title
            text: header.look.title
            font.family: Theme.section().family
            font.pointSize: Theme.section().pointSize
            font.weight: Theme.section().weight
            font.letterSpacing: Theme.capsTracking
            color: Theme.textFaint
        }
        Item { Layout.fillWidth: true }
        Text {
            id: trailing
            visible: header.look.trailing !== ""
            text: header.look.trailing
            font: Theme.mono(Theme.typeXSmall)
            color: Theme.textFaint
        }
    }
}
