import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// While the hub connection is made: a house and a spinner. When it failed: the advice, "Opnieuw
// proberen" and "API-sleutel wijzigen", and at the foot the keys that work them.
Rectangle {
    id: view

    required property OnboardingRoot onboarding
    required property Motion motion
    readonly property connectionProblemLook look: onboarding.problem

    color: Theme.surface

    ColumnLayout {
        anchors.centerIn: parent
        width: Math.min(parent.width - 72, 560)
        spacing: Theme.space20

        SymbolText {
            Layout.alignment: Qt.AlignHCenter
            glyph: view.look.symbol
            size: Theme.typeJumbo
            color: Theme.lit
        }
        Text {
            objectName: "problemTitle"
            Layout.alignment: Qt.AlignHCenter
            text: view.look.title
            font: Theme.title(Theme.typeDisplay)
            color: Theme.text
        }
        Spinner {
            Layout.alignment: Qt.AlignHCenter
            visible: view.look.connecting
            size: Theme.spinnerSizeLarge
            motion: view.motion
        }
        Text {
            objectName: "problemText"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            text: view.look.text
            textFormat: Text.PlainText
            font: Theme.body(Theme.typeLead)
            color: Theme.textDim
            wrapMode: Text.Wrap
        }
        Text {
            objectName: "problemKeepsTrying"
            Layout.fillWidth: true
            visible: view.look.keepsTrying.length > 0
            horizontalAlignment: Text.AlignHCenter
            text: view.look.keepsTrying
            textFormat: Text.PlainText
            font: Theme.body(Theme.typeBody)
            color: Theme.textFaint
            wrapMode: Text.Wrap
        }
        RowLayout {
            visible: !view.look.connecting
            Layout.alignment: Qt.AlignHCenter
            spacing: Theme.space8
            PanelButton {
                objectName: "retryButton"
                text: view.look.retryText
                prominent: true
                onboarding: view.onboarding
                action: OnboardingRoot.Retry
            }
            PanelButton {
                objectName: "configureButton"
                text: view.look.configureText
                onboarding: view.onboarding
                action: OnboardingRoot.Configure
            }
        }
    }
    KeyHintBar {
        objectName: "problemHintBar"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: !view.look.connecting
        hints: view.onboarding.hintModel
        trailing: ""
    }
}
