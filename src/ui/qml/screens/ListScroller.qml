import QtQuick
import Quorvane.Ui

// Brings a row of a list into view, gliding unless motion is reduced: to the middle of the view, or
// only as far as it takes to show it whole.
NumberAnimation {
    id: scroller

    required property ListView view
    required property Motion motion

    function centre(row) { bring(row, ListView.Center) }
    function reveal(row) { bring(row, ListView.Contain) }

    function bring(row, mode) {
        const from = view.contentY
        view.positionViewAtIndex(row, mode)
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
