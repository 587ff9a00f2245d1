import QtQuick
import Quorvane.Ui

// Brings a row of a list to the middle of the view, gliding unless motion is reduced.
NumberAnimation {
    id: scroller

    required property ListView view
    required property Motion motion

    function centre(row) {
        const from = view.contentY
        view.positionViewAtIndex(row, ListView.Center)
        const to = view.contentY
        if (motion.reduced || from === to)
            return
        view.contentY = from
        scroller.to = to
        scroller.restart()
    }

    target: view
    property: "contentY"
    duration: motion.quick
    easing.type: Easing.OutQuad
}
