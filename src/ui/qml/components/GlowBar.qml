import QtQuick
import Quorvane.Ui

// A thin capsule level bar with a gradient fill and a soft glow; with a scrubbable look it reports drags
// and where they ended.
Item {
    id: bar

    required property glowBarLook look
    required property Motion motion
    property real shownWidth: look.fillWidth(width, height)

    // The fill's gradient: the bar's own colours over the part it covers.
    readonly property var fillStops: look.fillStops(width > 0 ? shownWidth / width : 0)

    signal scrubbed(real fraction)
    signal released(real fraction)

    implicitWidth: 62
    implicitHeight: 4

    Behavior on shownWidth {
        enabled: !bar.motion.reduced
        NumberAnimation { duration: bar.motion.quick; easing.type: Easing.OutQuad }
    }

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: Theme.white(0.07)
    }
    // Plain rectangles, not shapes: the software renderer does not clip shapes to a scrolled list.
    Rectangle {
        anchors.fill: parent
        visible: bar.look.showsBackdrop
        opacity: 0.22
        radius: height / 2
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: bar.look.stopPositions[0]; color: bar.look.stopColors[0] }
            GradientStop { position: bar.look.stopPositions[1]; color: bar.look.stopColors[1] }
            GradientStop { position: bar.look.stopPositions[2]; color: bar.look.stopColors[2] }
            GradientStop { position: bar.look.stopPositions[3]; color: bar.look.stopColors[3] }
            GradientStop { position: bar.look.stopPositions[4]; color: bar.look.stopColors[4] }
            GradientStop { position: bar.look.stopPositions[5]; color: bar.look.stopColors[5] }
            GradientStop { position: bar.look.stopPositions[6]; color: bar.look.stopColors[6] }
        }
    }
    // The glow: a few widening translucent capsules under the fill.
    Repeater {
        model: 3
        Rectangle {
            required property int index
            readonly property real spread: 1.5 * (index + 1)
            visible: bar.shownWidth > 0
            x: -spread
            y: -spread
            width: bar.shownWidth + 2 * spread
            height: bar.height + 2 * spread
            radius: height / 2
            color: Theme.fade(bar.look.glowColor, 0.5 / (index + 1))
        }
    }
    Rectangle {
        visible: bar.shownWidth > 0
        width: bar.shownWidth
        height: bar.height
        radius: height / 2
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: bar.fillStops[0].position; color: bar.fillStops[0].color }
            GradientStop { position: bar.fillStops[1].position; color: bar.fillStops[1].color }
            GradientStop { position: bar.fillStops[2].position; color: bar.fillStops[2].color }
            GradientStop { position: bar.fillStops[3].position; color: bar.fillStops[3].color }
            GradientStop { position: bar.fillStops[4].position; color: bar.fillStops[4].color }
            GradientStop { position: bar.fillStops[5].position; color: bar.fillStops[5].color }
            GradientStop { position: bar.fillStops[6].position; color: bar.fillStops[6].color }
        }
    }

    MouseArea {
        anchors.fill: parent
        enabled: bar.look.scrubbable
        // A list around the bar must not take a sideways drag for a flick.
        preventStealing: true
        onPressed: mouse => bar.scrubbed(bar.look.scrubFraction(mouse.x, width))
        onPositionChanged: mouse => bar.scrubbed(bar.look.scrubFraction(mouse.x, width))
        onReleased: mouse => bar.released(bar.look.scrubFraction(mouse.x, width))
    }
}
