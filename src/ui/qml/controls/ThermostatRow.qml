import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A thermostat: colder and warmer buttons around the setpoint, and the measured temperature beside it.
ControlRowFrame {
    id: row

    signal stepped(int direction)

    component StepButton: Rectangle {
        id: step

        property string glyph
        property string spoken

        signal pressed()

        implicitWidth: 20
        implicitHeight: 18
        radius: Theme.radiusControl
        color: Theme.white(0.08)

        Accessible.role: Accessible.Button
        Accessible.name: spoken
        Accessible.onPressAction: step.pressed()

        SymbolText {
            anchors.centerIn: parent
            glyph: step.glyph
            size: Theme.typeMini
            color: Theme.text
        }
        TapHandler { onTapped: step.pressed() }
    }

    Row {
        spacing: Theme.space8

        Accessible.role: Accessible.Slider
        Accessible.name: row.look.accessibleName
        Accessible.description: row.look.accessibleDescription
        Accessible.onIncreaseAction: row.stepped(1)
        Accessible.onDecreaseAction: row.stepped(-1)

        StepButton {
            anchors.verticalCenter: parent.verticalCenter
            glyph: row.look.lowerGlyph
            spoken: row.look.lowerText
            onPressed: row.stepped(-1)
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            width: 74
            horizontalAlignment: Text.AlignHCenter
            text: row.look.readout
            font.family: Theme.mono(Theme.typeTitle).family
            font.pointSize: Theme.mono(Theme.typeTitle).pointSize
            font.weight: Font.DemiBold
            color: row.look.readoutColor
        }
        StepButton {
            anchors.verticalCenter: parent.verticalCenter
            glyph: row.look.raiseGlyph
            spoken: row.look.raiseText
            onPressed: row.stepped(1)
        }
    }
    Text {
        visible: row.look.detail !== ""
        text: row.look.detail
        font: Theme.mono(Theme.typeSmall)
        color: Theme.textFaint
    }
    Item { Layout.fillWidth: true }
}
