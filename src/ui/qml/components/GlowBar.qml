import QtQuick
import QtQuick.Shapes
import Quorvane.Ui

// A thin capsule level bar with a gradient fill and a soft glow; with a scrubbable look it reports drags
// and where they ended.
Item {
    id: bar

    required property glowBarLook look
    required property Motion motion
    property real shownWidth: look.fillWidth(width, height)

    // The tint's gradient over the whole bar, so a partial fill shows the colours of its levels.
    readonly property LinearGradient tint: LinearGradient {
        x1: 0
        x2: bar.width
        GradientStop { position: bar.look.stopPositions[0]; color: bar.look.stopColors[0] }
        GradientStop { position: bar.look.stopPositions[1]; color: bar.look.stopColors[1] }
        GradientStop { position: bar.look.stopPositions[2]; color: bar.look.stopColors[2] }
        GradientStop { position: bar.look.stopPositions[3]; color: bar.look.stopColors[3] }
        GradientStop { position: bar.look.stopPositions[4]; color: bar.look.stopColors[4] }
        GradientStop { position: bar.look.stopPositions[5]; color: bar.look.stopColors[5] }
        GradientStop { position: bar.look.stopPositions[6]; color: bar.look.stopColors[6] }
    }

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
    Shape {
        anchors.fill: parent
        visible: bar.look.showsBackdrop
        opacity: 0.22
        ShapePath {
            strokeWidth: -1
            strokeColor: Theme.clear
            fillGradient: bar.tint
            startX: bar.height / 2
            startY: 0
            PathLine { x: bar.width - bar.height / 2; y: 0 }
            PathArc { x: bar.width - bar.height / 2; y: bar.height; radiusX: bar.height / 2; radiusY: bar.height / 2 }
            PathLine { x: bar.height / 2; y: bar.height }
            PathArc { x: bar.height / 2; y: 0; radiusX: bar.height / 2; radiusY: bar.height / 2 }
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
    Shape {
        anchors.fill: parent
        visible: bar.shownWidth > 0
        ShapePath {
            strokeWidth: -1
            strokeColor: Theme.clear
            fillGradient: bar.tint
            startX: bar.height / 2
            startY: 0
            PathLine { x: Math.max(bar.height / 2, bar.shownWidth - bar.height / 2); y: 0 }
            PathArc {
                x: Math.max(bar.height / 2, bar.shownWidth - bar.height / 2); y: bar.height
                radiusX: bar.height / 2; radiusY: bar.height / 2
            }
            PathLine { x: bar.height / 2; y: bar.height }
            PathArc { x: bar.height / 2; y: 0; radiusX: bar.height / 2; radiusY: bar.height / 2 }
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
