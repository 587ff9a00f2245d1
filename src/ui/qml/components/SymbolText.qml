import QtQuick
import Quorvane.Ui

// One glyph of the icon font, centred in its box.
Text {
    property string glyph
    property real size: Theme.typeBody

    text: glyph
    font: Theme.icon(size)
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    Accessible.ignored: true
}
