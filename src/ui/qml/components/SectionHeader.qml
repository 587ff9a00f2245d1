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
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        anchors.topMargin: 9
        anchors.bottomMargin: 5
        spacing: 8

        Text {
            id: title
            text: header.look.title
            font.family: Theme.section().family
            font.pointSize: Theme.section().pointSize
            font.weight: Theme.section().weight
            font.letterSpacing: 1.1
            color: Theme.textFaint
        }
        Item { Layout.fillWidth: true }
        Text {
            id: trailing
            visible: header.look.trailing !== ""
            text: header.look.trailing
            font: Theme.mono(10)
            color: Theme.textFaint
        }
    }
}
