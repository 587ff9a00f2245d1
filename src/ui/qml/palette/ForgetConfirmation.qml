import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// Asks before the kept key is forgotten: "Wis de sleutel" or "Annuleren".
Item {
    id: confirmation

    required property OnboardingRoot onboarding
    readonly property tokenScreenLook look: onboarding.tokenScreen

    // The keyboard starts on the harmless answer; Escape, which the root takes, is the same answer.
    onVisibleChanged: if (visible) cancel.forceActiveFocus()

    // Everything under it waits until it is answered.
    TapHandler { onTapped: confirmation.onboarding.dismissForget() }
    Rectangle {
        anchors.fill: parent
        color: Theme.fade(Theme.surface, 0.7)
    }
    Rectangle {
        anchors.centerIn: parent
        width: 360
        height: column.implicitHeight + 36
        radius: 10
        color: Theme.surfaceHi
        border.width: 0.5
        border.color: Theme.white(0.14)
        Accessible.role: Accessible.Dialog
        Accessible.name: confirmation.look.confirmTitle

        TapHandler {}

        ColumnLayout {
            id: column
            anchors.fill: parent
            anchors.margins: 18
            spacing: 10
            Text {
                text: confirmation.look.confirmTitle
                font: Theme.title(14)
                color: Theme.text
            }
            Text {
                Layout.fillWidth: true
                text: confirmation.look.confirmMessage
                font: Theme.body(12)
                color: Theme.textDim
                wrapMode: Text.Wrap
            }
            RowLayout {
                Layout.alignment: Qt.AlignRight
                spacing: 8
                PanelButton {
                    id: cancel
                    text: confirmation.look.confirmCancelText
                    onboarding: confirmation.onboarding
                    action: OnboardingRoot.DismissForget
                }
                PanelButton {
                    objectName: "confirmForget"
                    text: confirmation.look.confirmForgetText
                    destructive: true
                    onboarding: confirmation.onboarding
                    action: OnboardingRoot.ConfirmForget
                }
            }
        }
    }
}
