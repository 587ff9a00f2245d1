import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The alarm-coloured banner with an error and its recovery hint, and retry and close buttons when the
// owner handles them.
Item {
    id: bar

    required property errorBarLook look

    signal retried()
    signal dismissed()

    implicitWidth: Theme.panelWidth
    implicitHeight: content.implicitHeight + 18

    Accessible.role: Accessible.AlertMessage
    Accessible.name: look.accessibleName

    Rectangle {
        anchors.fill: parent
        color: Theme.fade(Theme.alarm, 0.1)
    }
    Rectangle {
        width: 2
        height: parent.height
        color: Theme.alarm
    }
    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: Theme.hairlineWidth
        color: Theme.hairline
    }

    RowLayout {
        id: content
        anchors.fill: parent
        anchors.leftMargin: Theme.space14
        anchors.rightMargin: Theme.space14
        anchors.topMargin: Theme.space9
        anchors.bottomMargin: Theme.space9
        spacing: Theme.space9

        SymbolText {
            Layout.alignment: Qt.AlignTop
            Layout.topMargin: 1
            glyph: bar.look.warning
            size: Theme.typeCaption
            color: Theme.alarm
        }
        ColumnLayout {
            Layout.alignment: Qt.AlignTop
            Layout.fillWidth: true
            spacing: Theme.space2
            Text {
                Layout.fillWidth: true
                text: bar.look.title
                font: Theme.title(Theme.typeBody)
                color: Theme.text
                wrapMode: Text.Wrap
            }
            Text {
                Layout.fillWidth: true
                text: bar.look.recovery
                font: Theme.body(Theme.typeNote)
                color: Theme.textDim
                wrapMode: Text.Wrap
            }
        }
        Item { Layout.fillWidth: true }
        Rectangle {
            visible: bar.look.canRetry
            Layout.alignment: Qt.AlignTop
            implicitWidth: retry.implicitWidth + 16
            implicitHeight: retry.implicitHeight + 8
            radius: Theme.radiusButton
            color: Theme.white(0.07)
            Row {
                id: retry
                anchors.centerIn: parent
                spacing: Theme.space5
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: bar.look.retryText
                    font: Theme.label(Theme.typeCaption)
                    color: Theme.text
                }
                KeyCap {
                    anchors.verticalCenter: parent.verticalCenter
                    look: bar.look.retryCap
                }
            }
            TapHandler { onTapped: bar.retried() }
        }
        Item {
            visible: bar.look.canDismiss
            Layout.alignment: Qt.AlignTop
            implicitWidth: cross.implicitWidth + 10
            implicitHeight: cross.implicitHeight + 10
            Accessible.role: Accessible.Button
            Accessible.name: bar.look.dismissLabel
            SymbolText {
                id: cross
                anchors.centerIn: parent
                glyph: bar.look.cross
                size: Theme.typeMini
                font.bold: true
                color: Theme.textFaint
            }
            TapHandler { onTapped: bar.dismissed() }
        }
    }
}
