import QtQuick
import Quorvane.Ui

// The placeholder of a room tile while the home loads, with a faint light running across it.
Item {
    id: skeleton

    required property skeletonTileLook look
    required property Motion motion
    // Seconds before the sweep starts, so a grid of skeletons shimmers in a wave.
    property real delay: 0

    implicitWidth: 180
    implicitHeight: Theme.tileHeight
    clip: true

    Accessible.name: look.accessibleName

    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusTile
        color: Theme.fade(Theme.surfaceTile, 0.6)
    }
    Column {
        x: 9
        y: 10
        width: parent.width - 18
        spacing: Theme.space9
        Rectangle { width: parent.width; height: 3; radius: 1.5; color: Theme.white(0.06) }
        Rectangle { width: 74; height: 8; radius: 4; color: Theme.white(0.07) }
    }
    Rectangle {
        x: 9
        anchors.bottom: parent.bottom
        anchors.bottomMargin: Theme.space10
        width: 52
        height: 7
        radius: Theme.radiusBar
        color: Theme.white(0.05)
    }
    Loader {
        active: !skeleton.motion.reduced
        height: parent.height
        sourceComponent: Rectangle {
            id: sweep
            width: 90
            height: skeleton.height
            x: -110
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0; color: Theme.clear }
                GradientStop { position: 0.5; color: Theme.white(0.05) }
                GradientStop { position: 1; color: Theme.clear }
            }
            SequentialAnimation on x {
                running: skeleton.motion.repeating
                onRunningChanged: if (!running) sweep.x = -110
                PauseAnimation { duration: skeleton.delay * 1000 }
                NumberAnimation {
                    from: -110; to: 260; duration: 1250
                    easing.type: Easing.InOutQuad
                    loops: Animation.Infinite
                }
            }
        }
    }
    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusTile
        color: Theme.clear
        border.width: Theme.hairlineWidth
        border.color: Theme.white(0.05)
    }
}
