import QtQuick
import Quorvane.Ui

// The ranked results while the user types, under "Beste match" and "Resultaten", or the empty state.
Item {
    id: results

    required property ResultsScreen screen
    required property Motion motion
    // The open device's control strip, made under its row with the property deviceID.
    property Component controlStrip: null
    readonly property alias list: view

    implicitWidth: Theme.panelWidth
    implicitHeight: 400

    EmptyState {
        anchors.fill: parent
        visible: results.screen.isEmpty
        look: results.screen.empty
    }

    ListView {
        id: view
        objectName: "resultsView"
        visible: !results.screen.isEmpty
        anchors.fill: parent
        anchors.leftMargin: Theme.space6
        anchors.rightMargin: Theme.space6
        bottomMargin: Theme.space8
        spacing: Theme.space2
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        // Rows come and go with every letter typed: keep their delegates for the next ones, and build only
        // the rows on screen, so a letter stays within a frame in a large home.
        reuseItems: true
        cacheBuffer: 0
        model: results.screen.rows
        onHeightChanged: results.screen.viewResized()
        delegate: RowLine {
            width: view.width
            screen: results.screen
            motion: results.motion
            controlStrip: results.controlStrip
        }
        // The text in a holder of its own height: a text's height bound to its own implicit height loops.
        footer: Item {
            visible: results.screen.footer !== ""
            width: view.width
            height: visible ? footerText.implicitHeight + 12 : 0
            Text {
                id: footerText
                width: parent.width
                leftPadding: Theme.space14
                rightPadding: Theme.space14
                topPadding: Theme.space8
                bottomPadding: Theme.space4
                text: results.screen.footer
                font: Theme.mono(Theme.typeXSmall)
                color: Theme.textFaint
            }
        }
    }

    ListScroller {
        id: scroller
        view: view
        motion: results.motion
    }
    Connections {
        target: results.screen
        function onScrollRequested(row) { scroller.centre(row) }
        function onRevealRequested(row) { scroller.reveal(row) }
    }
}
