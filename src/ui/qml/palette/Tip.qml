import QtQuick
import Quorvane.Ui

// A tooltip under its parent, shown once the pointer has rested on it for a moment. Its plate is made
// when it first shows: most tooltips never do.
Loader {
    id: tip

    property string text
    property bool shown: false

    anchors.top: parent.bottom
    anchors.topMargin: Theme.space4
    anchors.horizontalCenter: parent.horizontalCenter
    z: 10
    active: false
    visible: false

    Timer {
        interval: 600
        running: tip.shown
        onTriggered: {
            tip.active = true
            tip.visible = true
        }
    }
    onShownChanged: if (!tip.shown) tip.visible = false

    sourceComponent: Rectangle {
        width: label.implicitWidth + 12
        height: label.implicitHeight + 6
        radius: Theme.radiusKey
        color: Theme.surfaceHi
        border.width: Theme.hairlineWidth
        border.color: Theme.white(0.14)

        Text {
            id: label
            anchors.centerIn: parent
            text: tip.text
            font: Theme.label(Theme.typeCaption)
            color: Theme.text
        }
    }
}
