import QtQuick
import Quorvane.Ui

// A tooltip under its parent, shown once the pointer has rested on it for a moment.
Rectangle {
    id: tip

    property string text
    property bool shown: false

    anchors.top: parent.bottom
    anchors.topMargin: Theme.space4
    anchors.horizontalCenter: parent.horizontalCenter
    z: 10
    width: label.implicitWidth + 12
    height: label.implicitHeight + 6
    radius: Theme.radiusKey
    color: Theme.surfaceHi
    border.width: Theme.hairlineWidth
    border.color: Theme.white(0.14)
    visible: false

    Timer {
        interval: 600
        running: tip.shown
        onTriggered: tip.visible = true
    }
    onShownChanged: if (!shown) visible = false

    Text {
        id: label
        anchors.centerIn: parent
        text: tip.text
        font: Theme.label(Theme.typeCaption)
        color: Theme.text
    }
}
