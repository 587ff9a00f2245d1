import QtQuick
import QtQuick.Shapes
import Quorvane.Ui

// A soft round glow: the colour at the core, fading out over spread pixels around a core of the given
// diameter. Stands in for a blurred shadow, which the software renderer cannot draw.
Shape {
    id: glow

    property color color
    property real diameter: 6
    property real spread: 4

    readonly property real outer: diameter / 2 + spread

    width: 2 * outer
    height: 2 * outer
    // Drawn through a layer: the software renderer clips a layer to a scrolled list, not a shape.
    layer.enabled: true
    layer.smooth: true

    ShapePath {
        strokeWidth: -1
        strokeColor: Theme.clear
        fillGradient: RadialGradient {
            centerX: glow.outer
            centerY: glow.outer
            centerRadius: glow.outer
            focalX: glow.outer
            focalY: glow.outer
            GradientStop { position: 0; color: glow.color }
            GradientStop { position: glow.diameter / 2 / glow.outer; color: glow.color }
            GradientStop { position: 1; color: Theme.clear }
        }
        startX: 0
        startY: glow.outer
        PathArc { x: 2 * glow.outer; y: glow.outer; radiusX: glow.outer; radiusY: glow.outer }
        PathArc { x: 0; y: glow.outer; radiusX: glow.outer; radiusY: glow.outer }
    }
}
