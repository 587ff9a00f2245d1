import QtQuick
import QtQuick.Shapes
import Quorvane.Ui

// An indeterminate progress indicator: an arc that turns, or stands still while motion is reduced.
Item {
    id: spinner

    required property Motion motion
    property real size: Theme.spinnerSize

    implicitWidth: size
    implicitHeight: size

    Shape {
        id: arc
        anchors.fill: parent
        ShapePath {
            strokeWidth: Theme.arcWidth
            strokeColor: Theme.lit
            fillColor: Theme.clear
            capStyle: ShapePath.RoundCap
            PathAngleArc {
                centerX: spinner.size / 2
                centerY: spinner.size / 2
                radiusX: spinner.size / 2 - 1.5
                radiusY: spinner.size / 2 - 1.5
                startAngle: 0
                sweepAngle: 270
            }
        }
        RotationAnimator on rotation {
            from: 0
            to: 360
            duration: 900
            loops: Animation.Infinite
            running: spinner.visible && spinner.motion.repeating
        }
    }
}
