import QtQuick
import Quorvane.Ui

// A small glowing dot in the colour of a status tone; it breathes while the tone asks for it and motion may repeat.
Item {
    id: dot

    required property statusDotLook look
    required property Motion motion
    property real size: Theme.statusDotSize
    // 0 at rest, 1 at the top of a breath.
    property real phase: motion.repeating && look.breathes ? motion.wave(motion.beat, 1600) : 0

    implicitWidth: size
    implicitHeight: size
    opacity: 0.72 + 0.28 * phase

    Glow {
        anchors.centerIn: parent
        color: Theme.fade(dot.look.color, 0.7)
        diameter: dot.size
        spread: 2 + 2 * dot.phase
    }
    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: dot.look.color
    }
}
