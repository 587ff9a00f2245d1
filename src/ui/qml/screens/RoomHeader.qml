import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The room view's header: symbol, name, a motion badge and the room's figures.
Item {
    id: header

    required property roomHeaderLook look

    implicitWidth: Theme.panelWidth
    implicitHeight: 20 + Math.max(name.implicitHeight, 18)

    Accessible.role: Accessible.Heading
    Accessible.name: look.accessibleName

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        anchors.topMargin: 11
        anchors.bottomMargin: 9
        spacing: 8

        SymbolText {
            Layout.preferredWidth: 18
            glyph: header.look.symbol
            size: 13
            color: header.look.symbolColor
        }
        Text {
            id: name
            text: header.look.name
            font: Theme.title(15)
            color: Theme.text
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.fillWidth: true
            Layout.maximumWidth: Math.ceil(implicitWidth)
        }
        Rectangle {
            visible: header.look.showsMotion
            Accessible.ignored: true
            implicitWidth: badge.implicitWidth + 12
            implicitHeight: badge.implicitHeight + 4
            radius: height / 2
            color: Theme.fade(Theme.lit, 0.13)
            Row {
                id: badge
                anchors.centerIn: parent
                spacing: 4
                Item {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 4.5
                    height: 4.5
                    Glow {
                        anchors.centerIn: parent
                        color: Theme.fade(Theme.lit, 0.8)
                        diameter: 4.5
                        spread: 2.5
                    }
                    Rectangle {
                        anchors.fill: parent
                        radius: width / 2
                        color: Theme.lit
                    }
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: header.look.motionText
                    font: Theme.mono(9.5)
                    color: Theme.fade(Theme.litSoft, 0.85)
                }
            }
        }
        Item { Layout.fillWidth: true; Layout.minimumWidth: 8 }
        Row {
            spacing: 7
            Text {
                visible: header.look.lamps !== ""
                text: header.look.lamps
                font: Theme.mono(10.5)
                color: header.look.lampsColor
            }
            Text {
                visible: header.look.lamps !== ""
                text: header.look.separator
                font: Theme.mono(10.5)
                color: Theme.fade(Theme.textFaint, 0.6)
            }
            Text {
                text: header.look.devices
                font: Theme.mono(10.5)
                color: Theme.textFaint
            }
            Text {
                visible: header.look.temperature !== ""
                text: header.look.separator
                font: Theme.mono(10.5)
                color: Theme.fade(Theme.textFaint, 0.6)
            }
            Text {
                visible: header.look.temperature !== ""
                text: header.look.temperature
                font: Theme.mono(10.5)
                color: Theme.textFaint
            }
        }
    }
}
