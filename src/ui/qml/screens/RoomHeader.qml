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
        anchors.leftMargin: Theme.space14
        anchors.rightMargin: Theme.space14
        anchors.topMargin: Theme.space11
        anchors.bottomMargin: Theme.space9
        spacing: Theme.space8

        SymbolText {
            Layout.preferredWidth: 18
            glyph: header.look.symbol
            size: Theme.typeLead
            color: header.look.symbolColor
        }
        Text {
            id: name
            text: header.look.name
            font: Theme.title(Theme.typeTitle)
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
                spacing: Theme.space4
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
                    font: Theme.mono(Theme.typeTiny)
                    color: Theme.fade(Theme.litSoft, 0.85)
                }
            }
        }
        Item { Layout.fillWidth: true; Layout.minimumWidth: 8 }
        Row {
            spacing: Theme.space7
            Text {
                visible: header.look.lamps !== ""
                text: header.look.lamps
                font: Theme.mono(Theme.typeSmall)
                color: header.look.lampsColor
            }
            Text {
                visible: header.look.lamps !== ""
                text: header.look.separator
                font: Theme.mono(Theme.typeSmall)
                color: Theme.fade(Theme.textFaint, 0.6)
            }
            Text {
                text: header.look.devices
                font: Theme.mono(Theme.typeSmall)
                color: Theme.textFaint
            }
            Text {
                visible: header.look.temperature !== ""
                text: header.look.separator
                font: Theme.mono(Theme.typeSmall)
                color: Theme.fade(Theme.textFaint, 0.6)
            }
            Text {
                visible: header.look.temperature !== ""
                text: header.look.temperature
                font: Theme.mono(Theme.typeSmall)
                color: Theme.textFaint
            }
        }
    }
}
