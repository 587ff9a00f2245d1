import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// A faint explanation under a setting, wrapped to the column.
Text {
    Layout.fillWidth: true
    font: Theme.label(Theme.typeCaption)
    color: Theme.textFaint
    wrapMode: Text.Wrap
}
