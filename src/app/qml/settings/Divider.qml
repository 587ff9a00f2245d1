import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The hairline between two sections.
Rectangle {
    Layout.fillWidth: true
    implicitHeight: 1
    color: Theme.hairline
}
