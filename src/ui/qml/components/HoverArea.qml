import QtQuick

// Reports the pointer entering and leaving the item it sits in; it never takes a click, a scroll or a drag.
HoverHandler {
    signal tracked(bool inside)

    onHoveredChanged: tracked(hovered)
}
