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
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        bottomMargin: 8
        spacing: 2
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        // Rows come and go with every letter typed: keep their delegates for the next ones, and build only
        // the rows on screen, so a letter stays within a frame in a large home.
        reuseItems: true
        cacheBuffer: 0
        model: results.screen.rows
        delegate: RowLine {
            width: view.width
            screen: results.screen
            motion: results.motion
            controlStrip: results.controlStrip
        }
        footer: Text {
            visible: results.screen.footer !== ""
            width: view.width
            height: visible ? implicitHeight + 12 : 0
            leftPadding: 14
            rightPadding: 14
            topPadding: 8
            bottomPadding: 4
            text: results.screen.footer
            font: Theme.mono(10)
            color: Theme.textFaint
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
    }
}
