import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A player: play or pause, and the volume on a bar with its percentage.
ControlRowFrame {
    id: row

    required property Motion motion

    signal activated()
    signal scrubbed(real fraction)
    signal released(real fraction)

    Rectangle {
        visible: row.look.hasButton
        implicitWidth: 26
        implicitHeight: 20
        radius: Theme.radiusButton
        color: row.look.buttonFill

        Accessible.role: Accessible.Button
        Accessible.name: row.look.buttonText
        Accessible.onPressAction: row.activated()

        SymbolText {
            anchors.centerIn: parent
            glyph: row.look.glyph
            size: Theme.typeXSmall
            color: row.look.buttonInk
        }
        TapHandler { onTapped: row.activated() }
    }
    GlowBar {
        visible: row.look.hasBar
        Layout.fillWidth: true
        Layout.preferredHeight: 6
        look: row.look.bar
        motion: row.motion
        onScrubbed: fraction => row.scrubbed(fraction)
        onReleased: fraction => row.released(fraction)

        Accessible.role: Accessible.Slider
        Accessible.name: row.look.accessibleName
        Accessible.description: row.look.accessibleDescription
    }
    Text {
        visible: row.look.hasBar
        Layout.preferredWidth: 44
        horizontalAlignment: Text.AlignRight
        text: row.look.readout
        font: Theme.mono(Theme.typeCaption)
        color: row.look.readoutColor
    }
    Item {
        visible: !row.look.hasBar
        Layout.fillWidth: true
    }
}
