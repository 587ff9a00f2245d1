import QtQuick
import Quorvane.Ui

// The selection mark along the leading edge: rounded on the leading side, square on the trailing side,
// and square at the bottom when the row runs on into an open control strip below it.
Item {
    id: accent

    property bool squareBottom: false

    width: 2.5

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: Theme.lit
    }
    Rectangle {
        x: parent.width / 2
        width: parent.width / 2
        height: parent.height
        color: Theme.lit
    }
    Rectangle {
        visible: accent.squareBottom
        anchors.bottom: parent.bottom
        width: parent.width
        height: parent.width
        color: Theme.lit
    }
}
