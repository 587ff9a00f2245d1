import QtQuick
import QtQuick.Controls.Fusion
import QtQuick.Layouts
import Quorvane.Ui

// A labelled text field that reports each edit.
RowLayout {
    id: field

    property alias label: name.text
    property alias placeholder: input.placeholderText
    property alias text: input.text
    signal edited(string text)

    Layout.fillWidth: true
    spacing: 8
    Text {
        id: name
        Layout.preferredWidth: 52
        font: Theme.label(12)
        color: Theme.textDim
    }
    TextField {
        id: input
        objectName: "input"
        Layout.fillWidth: true
        font: Theme.body(12)
        onTextEdited: field.edited(text)
    }
}
