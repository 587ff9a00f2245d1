import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// The palette's search row: the magnifying glass, the room or notifications chip, the field, the bell,
// and at its end either the clear button with the Esc cap or the hot key. Dragged where nothing of it
// takes the pointer, it moves the panel: the top of a window is where a person takes it by.
Item {
    id: row

    required property PaletteController controller
    required property Motion motion
    readonly property searchRowLook look: controller.search

    function focusField() { field.forceActiveFocus() }

    implicitWidth: Theme.panelWidth
    implicitHeight: 56

    MoveArea {
        objectName: "moveArea"
        anchors.fill: parent
        onTapped: row.focusField()
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Theme.space14
        anchors.rightMargin: Theme.space14
        spacing: Theme.space10

        SymbolText {
            Layout.preferredWidth: 16
            glyph: row.look.magnifier
            size: Theme.typeSubtitle
            color: row.look.magnifierColor
        }
        // Made while the palette is zoomed in: the panel's start draws no chip.
        Loader {
            active: row.look.showsChip
            visible: active
            sourceComponent: ScopeChip {
                objectName: "scopeChip"
                look: row.look.chip
                motion: row.motion
                onRemoved: {
                    row.controller.removeChip()
                    row.focusField()
                }
            }
        }
        TextInput {
            id: field
            objectName: "searchField"
            Layout.fillWidth: true
            text: row.controller.query
            onTextEdited: row.controller.query = text
            font: Theme.body(Theme.typeHeading)
            color: Theme.text
            selectionColor: Theme.fade(Theme.lit, 0.35)
            selectedTextColor: Theme.text
            selectByMouse: true
            clip: true
            focus: true
            Accessible.role: Accessible.EditableText
            Accessible.name: row.look.accessibleLabel
            cursorDelegate: Rectangle {
                width: 1.5
                color: Theme.lit
                visible: field.cursorVisible
            }

            Text {
                objectName: "searchPrompt"
                anchors.fill: parent
                verticalAlignment: Text.AlignVCenter
                visible: field.text === ""
                text: row.look.prompt
                font: field.font
                color: Theme.textFaint
                elide: Text.ElideRight
            }
        }
        NotificationBell {
            objectName: "bell"
            visible: row.look.showsBell
            look: row.controller.bell
            onClicked: row.controller.openNotifications()
        }
        Item {
            objectName: "clearButton"
            visible: row.look.showsClear
            implicitWidth: 16
            implicitHeight: 16
            Accessible.role: Accessible.Button
            Accessible.name: row.look.clearLabel
            SymbolText {
                anchors.centerIn: parent
                glyph: row.look.clearGlyph
                size: Theme.typeBody
                color: Theme.textFaint
            }
            TapHandler { onTapped: row.controller.clearQuery() }
        }
        KeyCap {
            visible: row.look.showsEscape
            look: row.look.escapeCap
        }
        Rectangle {
            objectName: "hotKeyChip"
            visible: row.look.showsHotKey
            implicitWidth: hotKey.implicitWidth + 12
            implicitHeight: hotKey.implicitHeight + 5
            radius: Theme.radiusControl
            color: Theme.fade(Theme.lit, 0.16)
            Accessible.ignored: true
            Text {
                id: hotKey
                anchors.centerIn: parent
                text: row.look.hotKeyLabel
                font: Theme.mono(Theme.typeXSmall)
                color: Theme.litSoft
            }
        }
    }

    Connections {
        target: row.controller
        function onSearchFocusRequested() { row.focusField() }
    }
}
