import QtQuick
import Quorvane.Ui

// The stand-in panel until the palette replaces it: the search field over the hits, or the pairing,
// problem and connecting screens as plain text. Everything it shows comes from `content`.
Rectangle {
    id: root

    required property QtObject content
    required property Motion motion

    color: Theme.surface
    radius: Theme.corner
    border.width: 1
    border.color: Theme.white(0.09)

    // The search field and the hits.
    Item {
        anchors.fill: parent
        anchors.margins: Theme.pad
        visible: root.content.screen === "palette"

        Rectangle {
            id: field
            width: parent.width
            height: 40
            radius: Theme.rowCorner
            color: Theme.surfaceHi

            TextInput {
                id: search
                anchors.fill: parent
                anchors.leftMargin: 12
                anchors.rightMargin: 12
                verticalAlignment: TextInput.AlignVCenter
                focus: root.content.screen === "palette"
                color: Theme.text
                selectionColor: Theme.selection
                font: Theme.body(16)
                text: root.content.query
                onTextEdited: root.content.query = text
            }
        }
        ListView {
            anchors.top: field.bottom
            anchors.topMargin: 10
            anchors.bottom: parent.bottom
            width: parent.width
            clip: true
            spacing: 2
            model: root.content.rows
            // The model's role "look" fills the row's required property of that name.
            delegate: ResultRow {
                width: ListView.view.width
                motion: root.motion
            }
        }
    }

    // Pairing: the key field, its check, and forgetting a key already kept.
    Column {
        anchors.fill: parent
        anchors.margins: 30
        spacing: 18
        visible: root.content.screen === "pairing"

        Text {
            text: "Koppel je Homey"
            font: Theme.title(24)
            color: Theme.lit
        }
        Rectangle {
            width: parent.width
            height: 36
            radius: Theme.rowCorner
            color: Theme.surfaceHi

            TextInput {
                id: key
                anchors.fill: parent
                anchors.leftMargin: 10
                anchors.rightMargin: 10
                verticalAlignment: TextInput.AlignVCenter
                focus: root.content.screen === "pairing"
                enabled: !root.content.busy
                echoMode: TextInput.Password
                color: Theme.text
                font: Theme.body(14)
                onAccepted: root.content.save(text)
            }
        }
        Text {
            width: parent.width
            visible: root.content.message !== ""
            text: root.content.message
            wrapMode: Text.Wrap
            color: Theme.alarm
            font: Theme.body(13)
        }
        PlainButton {
            label: root.content.busy ? "Controleren…" : "Controleren en bewaren"
            enabled: !root.content.busy && key.text.trim() !== ""
            onClicked: root.content.save(key.text)
        }
    }
    PlainButton {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 30
        visible: root.content.screen === "pairing" && root.content.hasToken
        enabled: !root.content.busy
        label: "Sleutel wissen"
        onClicked: root.content.forget()
    }

    // The problem screen and the connecting notice.
    Column {
        anchors.centerIn: parent
        width: parent.width - 72
        spacing: 20
        visible: root.content.screen === "problem" || root.content.screen === "connecting"

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: root.content.screen === "problem" ? "Geen verbinding met je Homey" : "Verbinding maken met je Homey"
            font: Theme.title(22)
            color: Theme.text
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: root.content.screen === "problem" ? root.content.problem : "Je Homey wordt gezocht en je sleutel wordt gecontroleerd."
            color: Theme.textDim
            font: Theme.body(13)
        }
        PlainButton {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: root.content.screen === "problem"
            label: "Opnieuw proberen"
            onClicked: root.content.retry()
        }
    }

    component PlainButton: Rectangle {
        id: button
        property string label
        signal clicked()

        width: 190
        height: 30
        radius: Theme.rowCorner
        color: enabled ? Theme.surfaceTile : Theme.surfaceHi
        border.width: 1
        border.color: Theme.hairline

        Text {
            anchors.centerIn: parent
            text: button.label
            font: Theme.label(12)
            color: button.enabled ? Theme.text : Theme.textFaint
        }
        TapHandler { onTapped: button.clicked() }
    }
}
