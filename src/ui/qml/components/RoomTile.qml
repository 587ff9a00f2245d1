import QtQuick
import QtQuick.Layouts
import Quorvane.Ui

// One room of the idle overview: brightness bar, icon, name, motion dot, temperature, lights and devices,
// lit from below like a lamp while its lights are on.
Item {
    id: tile

    // The look of the room, a property each (roomTileLook): the overview's model hands on only those that
    // changed.
    required property string name
    required property string symbol
    required property bool selected
    required property bool lit
    required property color plateColor
    required property real glowLevel
    required property glowBarLook bar
    required property real barOpacity
    required property color symbolColor
    required property color nameColor
    required property bool showsMotion
    required property string temperature
    required property color temperatureColor
    required property string statusLine
    required property color statusColor
    required property string deviceCount
    required property color deviceCountColor
    required property real borderWidth
    required property color borderColorIdle
    required property color borderColorHovered
    required property string accessibleName
    required property string accessibleValue
    required property string accessibleHint
    required property Motion motion
    property bool hovering: hover.hovered
    // 0 at rest, 1 at the top of a pulse of the motion dot.
    property real pulse: motion.repeating && showsMotion ? motion.wave(motion.beat, 1300) : 0
    property real shownGlow: glowLevel

    signal activated()

    implicitWidth: 180
    implicitHeight: Theme.tileHeight

    Accessible.role: Accessible.Button
    Accessible.name: accessibleName
    Accessible.description: accessibleValue

    Behavior on shownGlow {
        enabled: !tile.motion.reduced
        NumberAnimation { duration: tile.motion.smooth; easing.type: Easing.Bezier; easing.bezierCurve: [0.2, 0.9, 0.3, 1, 1, 1] }
    }

    HoverArea { id: hover }
    TapHandler { onTapped: tile.activated() }

    Item {
        id: face
        width: tile.width
        height: tile.height
        y: tile.hovering ? tile.motion.hoverLift : 0
        Behavior on y { NumberAnimation { duration: tile.motion.quick; easing.type: Easing.OutQuad } }

        Rectangle {
            anchors.fill: parent
            radius: Theme.radiusTile
            color: tile.plateColor
        }
        // The light rises from just below the bottom edge: an ellipse of light clipped to the plate. It is
        // painted narrowed and stretched back, so a round gradient becomes a wide one.
        TileGlow {
            id: glow
            stretch: 1.1 * tile.width / Math.max(1.8 * tile.height, 1)
            visible: tile.shownGlow > 0
            opacity: tile.shownGlow
            width: tile.width / stretch
            height: tile.height
            transform: Scale { xScale: glow.stretch }
        }
        Rectangle {
            visible: tile.selected
            anchors.fill: parent
            radius: Theme.radiusTile
            color: Theme.selection
        }
        Accent {
            visible: tile.selected
            height: parent.height
        }

        ColumnLayout {
            anchors.fill: parent
            anchors.leftMargin: Theme.space9
            anchors.rightMargin: Theme.space9
            anchors.topMargin: Theme.space8
            anchors.bottomMargin: Theme.space7
            spacing: 0

            GlowBar {
                Layout.fillWidth: true
                Layout.preferredHeight: 3
                Layout.bottomMargin: Theme.space8
                look: tile.bar
                motion: tile.motion
                opacity: tile.barOpacity
            }
            RowLayout {
                Layout.fillWidth: true
                Layout.bottomMargin: Theme.space3
                spacing: Theme.space6
                SymbolText {
                    Layout.preferredWidth: 14
                    glyph: tile.symbol
                    size: Theme.typeCaption
                    color: tile.symbolColor
                }
                Text {
                    Layout.fillWidth: true
                    Layout.maximumWidth: Math.ceil(implicitWidth) // layouts round widths down, which would elide
                    text: tile.name
                    font: Theme.title(Theme.typeBodyPlus)
                    color: tile.nameColor
                    elide: Text.ElideRight
                    maximumLineCount: 1
                }
                Item {
                    visible: tile.showsMotion
                    Layout.preferredWidth: 5
                    Layout.preferredHeight: 5
                    Accessible.ignored: true
                    Glow {
                        anchors.centerIn: parent
                        color: Theme.fade(Theme.lit, 0.8)
                        diameter: 5
                        spread: 1.5 + 2.5 * tile.pulse
                        scale: 0.85 + 0.4 * tile.pulse
                        opacity: 0.55 + 0.45 * tile.pulse
                    }
                    Rectangle {
                        anchors.fill: parent
                        radius: Theme.radiusTick
                        color: Theme.lit
                        scale: 0.85 + 0.4 * tile.pulse
                        opacity: 0.55 + 0.45 * tile.pulse
                    }
                }
                Item { Layout.fillWidth: true; Layout.minimumWidth: 4 }
                Text {
                    visible: tile.temperature !== ""
                    text: tile.temperature
                    font: Theme.mono(Theme.typeXSmall)
                    color: tile.temperatureColor
                }
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: Theme.space4
                Text {
                    Layout.alignment: Qt.AlignBaseline
                    text: tile.statusLine
                    font: Theme.mono(Theme.typeSmall)
                    color: tile.statusColor
                    maximumLineCount: 1
                }
                Item { Layout.fillWidth: true; Layout.minimumWidth: 4 }
                Text {
                    Layout.alignment: Qt.AlignBaseline
                    text: tile.deviceCount
                    font: Theme.mono(Theme.typeSmall)
                    color: tile.deviceCountColor
                }
            }
            Item { Layout.fillHeight: true }
        }

        Rectangle {
            anchors.fill: parent
            radius: Theme.radiusTile
            color: Theme.clear
            border.width: tile.borderWidth
            border.color: tile.hovering ? tile.borderColorHovered : tile.borderColorIdle
        }
    }
}
