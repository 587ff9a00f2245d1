import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The token screen: where to make a key, the masked key field and its check, and once a key is kept,
// cancelling or forgetting it.
Rectangle {
    id: view

    required property OnboardingRoot onboarding
    required property Motion motion
    readonly property tokenScreenLook look: onboarding.tokenScreen

    function focusField() { field.forceActiveFocus() }

    color: Theme.surface

    Flickable {
        anchors.fill: parent
        // Under the confirmation nothing takes the keyboard or the pointer.
        enabled: !view.onboarding.confirmsForget
        contentHeight: column.implicitHeight + 60
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        ColumnLayout {
            id: column
            x: 30
            y: 30
            width: view.width - 60
            spacing: Theme.space18

            Row {
                spacing: Theme.space8
                SymbolText {
                    anchors.verticalCenter: parent.verticalCenter
                    glyph: view.look.titleSymbol
                    size: Theme.typeDisplay
                    color: Theme.lit
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: view.look.title
                    font: Theme.title(Theme.typeHero)
                    color: Theme.lit
                }
            }
            Text {
                Layout.fillWidth: true
                text: view.look.intro
                font: Theme.body(Theme.typeLead)
                color: Theme.textDim
                wrapMode: Text.Wrap
            }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.space8
                Text {
                    objectName: "webAppLink"
                    text: view.look.linkText
                    font.family: Theme.body(Theme.typeLead).family
                    font.pointSize: Theme.body(Theme.typeLead).pointSize
                    font.underline: linkHover.hovered
                    color: Theme.lit
                    Accessible.role: Accessible.Link
                    Accessible.name: text
                    HoverHandler { id: linkHover; cursorShape: Qt.PointingHandCursor }
                    TapHandler { onTapped: view.onboarding.openWebApp() }
                }
                Text {
                    Layout.fillWidth: true
                    text: view.look.stepTwo
                    font: Theme.body(Theme.typeLead)
                    color: Theme.text
                    wrapMode: Text.Wrap
                }
                Text {
                    Layout.fillWidth: true
                    text: view.look.stepThree
                    font: Theme.body(Theme.typeLead)
                    color: Theme.text
                    wrapMode: Text.Wrap
                }
            }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.space6
                Text {
                    text: view.look.fieldLabel
                    font: Theme.label(Theme.typeCaption)
                    color: Theme.text
                }
                Rectangle {
                    Layout.fillWidth: true
                    implicitHeight: 30
                    radius: Theme.radiusButton
                    color: Theme.white(0.05)
                    border.width: 1
                    border.color: field.activeFocus ? Theme.fade(Theme.lit, 0.6) : Theme.white(0.14)
                    opacity: view.look.fieldEnabled ? 1 : 0.5

                    TextInput {
                        id: field
                        objectName: "tokenField"
                        anchors.fill: parent
                        anchors.leftMargin: Theme.space8
                        anchors.rightMargin: Theme.space8
                        verticalAlignment: TextInput.AlignVCenter
                        // The key is never shown in clear, and it cannot be copied out of the field.
                        echoMode: TextInput.Password
                        passwordCharacter: "\u2022"
                        enabled: view.look.fieldEnabled
                        text: view.onboarding.token
                        onTextEdited: view.onboarding.token = text
                        onAccepted: view.onboarding.submit()
                        font: Theme.mono(Theme.typeBody)
                        color: Theme.text
                        selectionColor: Theme.fade(Theme.lit, 0.35)
                        clip: true
                        focus: true
                        activeFocusOnTab: true
                        Accessible.role: Accessible.EditableText
                        Accessible.passwordEdit: true
                        Accessible.name: view.look.fieldAccessibleName

                        Text {
                            anchors.fill: parent
                            verticalAlignment: Text.AlignVCenter
                            visible: field.text === ""
                            text: view.look.placeholder
                            font: Theme.body(Theme.typeBody)
                            color: Theme.textFaint
                        }
                    }
                }
                Text {
                    Layout.fillWidth: true
                    text: view.look.note
                    font: Theme.label(Theme.typeCaption)
                    color: Theme.textDim
                    wrapMode: Text.Wrap
                }
            }
            Text {
                objectName: "onboardingMessage"
                visible: view.look.message !== ""
                Layout.fillWidth: true
                text: view.look.message
                textFormat: Text.PlainText
                font: Theme.body(Theme.typeBody)
                color: Theme.alarm
                wrapMode: Text.Wrap
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: Theme.space8
                PanelButton {
                    objectName: "saveButton"
                    text: view.look.saveTitle
                    prominent: true
                    enabled: view.look.saveEnabled
                    onboarding: view.onboarding
                    action: OnboardingRoot.Save
                }
                Spinner {
                    visible: view.look.showsProgress
                    motion: view.motion
                }
                PanelButton {
                    visible: view.look.showsKeyButtons
                    enabled: view.look.keyButtonsEnabled
                    text: view.look.cancelText
                    onboarding: view.onboarding
                    action: OnboardingRoot.Cancel
                }
                Item { Layout.fillWidth: true }
                PanelButton {
                    objectName: "forgetButton"
                    visible: view.look.showsKeyButtons
                    enabled: view.look.keyButtonsEnabled
                    text: view.look.forgetText
                    onboarding: view.onboarding
                    action: OnboardingRoot.Forget
                }
            }
            Text {
                visible: view.look.isolatedNote !== ""
                Layout.fillWidth: true
                text: view.look.isolatedNote
                font: Theme.label(Theme.typeCaption)
                color: Theme.textFaint
                wrapMode: Text.Wrap
            }
        }
    }

    ForgetConfirmation {
        anchors.fill: parent
        visible: view.onboarding.confirmsForget
        onboarding: view.onboarding
        onVisibleChanged: if (!visible) view.focusField()
    }
}
