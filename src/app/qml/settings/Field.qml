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
    spacing: Theme.space8
    Text {
        id: name
        Layout.preferredWidth: 52
        font: Theme.label(Theme.typeBody)
        color: Theme.textDim
    }
    TextField {
        id: input
        objectName: "input"
        Layout.fillWidth: true
        font: Theme.body(Theme.typeBody)
        onTextEdited: field.edited(text)
    }
}
