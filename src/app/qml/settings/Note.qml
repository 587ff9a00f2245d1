import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A faint explanation under a setting, wrapped to the column.
Text {
    Layout.fillWidth: true
    font: Theme.label(11)
    color: Theme.textFaint
    wrapMode: Text.Wrap
}
