import QtQuick

// Where one of the palette's screens is made: the first time it shows, or once the panel is complete
// (its first frame is out), whichever comes first. Once made it is kept, so a screen shown again is
// only uncovered.
Loader {
    id: slot

    // Set by the palette once nothing waits for the panel's first frame any more.
    property bool complete: false

    // Imperative, not a binding on active: a binding would read the flag its own load sets. Through the
    // id: Qt 6.4's compiled form of an unqualified assignment reads memory it never set.
    function makeWhenWanted() {
        if (!slot.active && (slot.visible || slot.complete))
            slot.active = true
    }

    active: false
    onVisibleChanged: makeWhenWanted()
    onCompleteChanged: makeWhenWanted()
    Component.onCompleted: makeWhenWanted()
}
