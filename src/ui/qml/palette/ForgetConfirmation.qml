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
        radius: Theme.radiusDialog
        color: Theme.surfaceHi
        border.width: Theme.hairlineWidth
        border.color: Theme.white(0.14)
        Accessible.role: Accessible.Dialog
        Accessible.name: confirmation.look.confirmTitle

        TapHandler {}

        ColumnLayout {
            id: column
            anchors.fill: parent
            anchors.margins: Theme.space18
            spacing: Theme.space10
            Text {
                text: confirmation.look.confirmTitle
                font: Theme.title(Theme.typeSubtitle)
                color: Theme.text
            }
            Text {
                Layout.fillWidth: true
                text: confirmation.look.confirmMessage
                font: Theme.body(Theme.typeBody)
                color: Theme.textDim
                wrapMode: Text.Wrap
            }
            RowLayout {
                Layout.alignment: Qt.AlignRight
                spacing: Theme.space8
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
