import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The idle overview: scene chips, the room grid (placeholders while loading, an empty state, the extra
// rooms on request) and the mode bar under it. The screen holds the focus; this draws it.
Item {
    id: rest

    required property RestScreen screen
    required property Motion motion
    readonly property real gridWidth: width - 28
    readonly property real tileWidth: (gridWidth - 6 * (screen.columns - 1)) / screen.columns

    implicitWidth: Theme.panelWidth
    implicitHeight: 400

    onWidthChanged: screen.setWidth(width)
    Component.onCompleted: screen.setWidth(width)

    // The focused tile, chip or button as drawn; none for a mode, which never leaves the view.
    function tile(section, index) {
        return section === TileFocus.Scene ? scenes.itemAt(index)
             : section === TileFocus.Room ? rooms.itemAt(index)
             : section === TileFocus.More ? moreRooms : null
    }

    // To the middle of the view, or only as far as it takes to show the item whole.
    function bring(item, centred) {
        // The tiles may have just moved in their lists: they take their new places first.
        sceneChips.ensurePolished()
        roomGrid.forceLayout()
        content.forceLayout()
        const y = item.mapToItem(content, 0, 0).y
        const from = scroll.running ? scroll.to : flick.contentY
        const wanted = centred ? y + item.height / 2 - flick.height / 2
                               : Math.min(y, Math.max(from, y + item.height - flick.height))
        const top = Math.max(0, Math.min(wanted, flick.contentHeight - flick.height))
        if (top === from)
            return
        if (rest.motion.reduced) {
            flick.contentY = top
        } else {
            scroll.to = top
            scroll.restart()
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Flickable {
            id: flick
            objectName: "restScroll"
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentHeight: content.height
            clip: true
            onHeightChanged: rest.screen.viewResized()
            boundsBehavior: Flickable.StopAtBounds

            Column {
                id: content
                width: flick.width
                bottomPadding: Theme.space10

                SectionHeader {
                    visible: rest.screen.look.showsScenes
                    width: parent.width
                    look: rest.screen.look.scenesHeader
                }
                WrapLayout {
                    id: sceneChips
                    visible: rest.screen.look.showsScenes
                    x: 14
                    width: rest.gridWidth
                    spacing: Theme.space6
                    lineSpacing: Theme.space6
                    Repeater {
                        id: scenes
                        model: rest.screen.scenes
                        SceneChip {
                            required property int index
                            objectName: "sceneChip"
                            motion: rest.motion
                            onActivated: rest.screen.clickScene(index)
                        }
                    }
                }

                SectionHeader {
                    width: parent.width
                    look: rest.screen.roomsHeader
                }
                Grid {
                    objectName: "skeletonGrid"
                    visible: rest.screen.look.loading
                    x: 14
                    columns: rest.screen.columns
                    spacing: Theme.space6
                    Accessible.name: rest.screen.look.skeletonAccessibleName
                    Repeater {
                        model: rest.screen.look.loading ? rest.screen.look.skeletonDelays : []
                        SkeletonTile {
                            required property real modelData
                            width: rest.tileWidth
                            look: rest.screen.look.skeleton
                            motion: rest.motion
                            delay: modelData
                        }
                    }
                }
                // Made only for a home without rooms: the panel's start draws none of it.
                Loader {
                    active: rest.screen.look.showsEmptyRooms
                    visible: active
                    x: 14
                    width: rest.gridWidth
                    sourceComponent: Column {
                        topPadding: Theme.space22
                        bottomPadding: Theme.space22
                        spacing: Theme.space4
                        Text {
                            objectName: "emptyRoomsTitle"
                            width: parent.width
                            text: rest.screen.look.emptyTitle
                            font: Theme.title(Theme.typeLead)
                            color: Theme.text
                        }
                        Text {
                            width: parent.width
                            wrapMode: Text.WordWrap
                            text: rest.screen.look.emptyText
                            font: Theme.body(Theme.typeNote)
                            color: Theme.textDim
                        }
                    }
                }
                Grid {
                    id: roomGrid
                    objectName: "roomGrid"
                    visible: rest.screen.look.showsRoomGrid
                    x: 14
                    columns: rest.screen.columns
                    spacing: Theme.space6
                    Repeater {
                        id: rooms
                        model: rest.screen.rooms
                        RoomTile {
                            required property int index
                            objectName: "roomTile"
                            width: rest.tileWidth
                            motion: rest.motion
                            onActivated: rest.screen.clickRoom(index)
                        }
                    }
                }
                // Made only where rooms are left out: the panel's start draws none of it.
                Loader {
                    id: moreRooms
                    objectName: "moreRooms"
                    active: rest.screen.look.showsMoreRooms
                    visible: active
                    width: parent.width
                    height: 24
                    sourceComponent: Item {
                        Accessible.role: Accessible.Button
                        Accessible.name: rest.screen.look.moreRoomsAccessibleName
                        TapHandler { onTapped: rest.screen.toggleMoreRooms() }
                        // The keyboard's mark, as a tile's, when the arrows have come to the button.
                        Rectangle {
                            objectName: "moreRoomsPlate"
                            anchors.right: parent.right
                            anchors.rightMargin: Theme.space14 // the grid's edge
                            anchors.verticalCenter: parent.verticalCenter
                            width: moreRoomsLabel.width + 2 * Theme.space6
                            height: moreRoomsLabel.height + 2 * Theme.space4
                            radius: Theme.radiusControl
                            color: rest.screen.look.moreRoomsPlate
                        }
                        Row {
                            id: moreRoomsLabel
                            anchors.right: parent.right
                            anchors.rightMargin: Theme.space14 + Theme.space6
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: Theme.space5
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: rest.screen.look.moreRoomsText
                                font: Theme.label(Theme.typeCaption)
                                color: rest.screen.look.moreRoomsTextColor
                            }
                            SymbolText {
                                anchors.verticalCenter: parent.verticalCenter
                                glyph: rest.screen.look.chevron
                                size: Theme.typeXSmall
                                color: Theme.textFaint
                                rotation: rest.screen.look.chevronRotation
                                Behavior on rotation { NumberAnimation { duration: rest.motion.smooth } }
                            }
                        }
                    }
                }
            }
        }

        // The mode bar stays under the scrolling part. Its chips wrap as the scene chips do, so every mode,
        // the focused one too, is always wholly in view; one line is 40 high.
        Item {
            objectName: "modeBar"
            visible: rest.screen.look.showsModes
            Layout.fillWidth: true
            Layout.preferredHeight: Math.max(40, modeChips.height + 14)

            Rectangle {
                anchors.fill: parent
                color: Theme.white(0.015)
            }
            Rectangle {
                width: parent.width
                height: Theme.hairlineWidth
                color: Theme.hairline
            }
            Text {
                id: modesTitle
                x: 14
                y: modeChips.y + (modeChips.firstLineHeight - height) / 2
                rightPadding: Theme.space4
                text: rest.screen.look.modesTitle
                font.family: Theme.section().family
                font.pointSize: Theme.section().pointSize
                font.weight: Theme.section().weight
                font.letterSpacing: Theme.capsTracking
                color: Theme.textFaint
            }
            WrapLayout {
                id: modeChips
                // The height of a chip: every line holds chips of the same height.
                readonly property real firstLineHeight: modes.count > 0 && modes.itemAt(0) ? modes.itemAt(0).height : 0
                x: modesTitle.x + modesTitle.width + 6
                y: (parent.height - height) / 2
                width: parent.width - x - 14
                spacing: Theme.space6
                lineSpacing: Theme.space6
                Repeater {
                    id: modes
                    model: rest.screen.modes
                    ModeChip {
                        required property int index
                        objectName: "modeChip"
                        motion: rest.motion
                        onActivated: rest.screen.clickMode(index)
                    }
                }
            }
        }
    }

    NumberAnimation {
        id: scroll
        target: flick
        property: "contentY"
        duration: rest.motion.quick
        easing.type: Easing.OutQuad
    }
    Connections {
        target: rest.screen
        function onScrollRequested(section, index) {
            const item = rest.tile(section, index)
            if (item)
                rest.bring(item, true)
        }
        function onRevealRequested(section, index) {
            const item = rest.tile(section, index)
            if (item)
                rest.bring(item, false)
        }
    }
}
