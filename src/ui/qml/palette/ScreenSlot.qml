import QtQuick

// Where one of the palette's screens is made: the first time it shows, or once the panel is complete
// (its first frame is out), whichever comes first. Once made it is kept, so a screen shown again is
// only uncovered.
Loader {
    id: slot

    // Set by the palette once nothing waits for the panel's first frame any more.
    property bool complete: false
    // The screen's file and what it requires. Named by its file, not its type: the file and the types it
    // uses are read only when the screen is made, so the panel's first frame waits for none of them.
    property url file
    property var fileProperties: ({})

    // Through the id: Qt 6.4's compiled form of an unqualified call or assignment reads memory it never
    // set.
    function makeWhenWanted() {
        if (slot.status === Loader.Null && (slot.visible || slot.complete))
            slot.setSource(slot.file, slot.fileProperties)
    }

    onVisibleChanged: slot.makeWhenWanted()
    onCompleteChanged: slot.makeWhenWanted()
    Component.onCompleted: slot.makeWhenWanted()
}
