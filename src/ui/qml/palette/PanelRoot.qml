import QtQuick
import Quorvane.Ui

// The panel's content: the token screen, the connection screen or the palette, as the onboarding
// root chooses. The palette stays built underneath, so it comes back as it was.
Item {
    id: root

    required property OnboardingRoot onboarding
    required property PaletteController controller
    required property Motion motion
    // Set by the window once its first frame is out: the palette may then make its other screens.
    property bool complete: false
    readonly property int screen: onboarding.screen

    implicitWidth: Theme.panelWidth
    implicitHeight: Theme.panelHeight

    function focusScreen() {
        if (screen === OnboardingRoot.Palette)
            palette.focusSearch()
        else if (screen === OnboardingRoot.Token && token.item)
            token.item.focusField()
    }

    onScreenChanged: focusScreen()
    Component.onCompleted: focusScreen()

    Palette {
        id: palette
        objectName: "palette"
        anchors.fill: parent
        visible: root.screen === OnboardingRoot.Palette
        controller: root.controller
        motion: root.motion
        complete: root.complete
    }
    Loader {
        id: token
        anchors.fill: parent
        active: root.screen === OnboardingRoot.Token
        sourceComponent: OnboardingView {
            objectName: "onboardingView"
            onboarding: root.onboarding
            motion: root.motion
        }
        onLoaded: root.focusScreen()
    }
    Loader {
        anchors.fill: parent
        active: root.screen === OnboardingRoot.Problem || root.screen === OnboardingRoot.Connecting
        sourceComponent: ConnectionProblemView {
            objectName: "connectionProblemView"
            onboarding: root.onboarding
            motion: root.motion
        }
    }
    // Focus comes back to the right field whenever the panel's window does.
    Connections {
        target: root.Window.window
        function onActiveChanged() {
            if (root.Window.window && root.Window.window.active)
                root.focusScreen()
        }
    }
}
