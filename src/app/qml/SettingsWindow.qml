import QtQuick
import QtQuick.Controls.Fusion
import QtQuick.Layouts
import Quorvane.Ui
import Quorvane.App

// The settings window. It draws the settings model and hands every change back to it; nothing is
// decided here.
ApplicationWindow {
    id: window

    required property SettingsModel settings
    readonly property settingsTexts texts: settings.texts

    color: Theme.surface
    font: Theme.body(Theme.typeBody)
    // Fusion draws its outlines a shade darker than the window colour: a mid grey keeps them visible on
    // the dark surface, which the window paints itself.
    palette {
        window: Theme.textFaint
        windowText: Theme.text
        base: Theme.surfaceTile
        alternateBase: Theme.surfaceTile
        text: Theme.text
        button: Theme.surfaceTile
        buttonText: Theme.text
        brightText: Theme.text
        highlight: Theme.lit
        highlightedText: Theme.surface
        placeholderText: Theme.textFaint
        light: Theme.surfaceHi
        midlight: Theme.surfaceTile
        mid: Theme.hairline
        dark: Theme.surface
        shadow: Theme.surface
        toolTipBase: Theme.surfaceHi
        toolTipText: Theme.text
        disabled.buttonText: Theme.textFaint
        disabled.windowText: Theme.textFaint
        disabled.text: Theme.textFaint
    }

    Flickable {
        id: page
        objectName: "page"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: bottomArea.top
        anchors.bottomMargin: Theme.space12
        contentWidth: width
        contentHeight: content.implicitHeight + 20
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {
            policy: page.contentHeight > page.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        }

        ColumnLayout {
            id: content
            objectName: "content"
            x: 20
            y: 20
            width: page.width - 40
            spacing: Theme.space16

            RowLayout {
                spacing: Theme.space10
                SymbolText {
                    glyph: Symbols.glyph("house.fill")
                    size: Theme.typeDisplay
                    color: Theme.lit
                }
                ColumnLayout {
                    spacing: 1
                    Text {
                        text: window.texts.appName
                        font: Theme.title(Theme.typeTitle)
                        color: Theme.text
                    }
                    Text {
                        text: window.texts.version
                        font: Theme.label(Theme.typeCaption)
                        color: Theme.textFaint
                    }
                }
            }

            Button {
                text: window.texts.configure
                onClicked: window.settings.configure()
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.space8
                SectionTitle { text: window.texts.notifications }
                SymbolLabel {
                    Layout.fillWidth: true
                    symbol: window.settings.permissionSymbol
                    text: window.settings.permissionText
                    colour: window.settings.permissionColor
                }
                Switch {
                    text: window.texts.pushLabel
                    checked: window.settings.pushEnabled
                    onToggled: window.settings.pushEnabled = checked
                }
                Note { text: window.texts.pushNote }
                SectionTitle {
                    Layout.topMargin: Theme.space4
                    text: window.texts.sourcesCaption
                }
                Repeater {
                    model: window.settings.sources
                    CheckBox {
                        id: source
                        required property var modelData
                        required property int index
                        text: modelData.title
                        checked: window.settings.sourcesEnabled[index]
                        onToggled: window.settings.setSourceEnabled(index, checked)
                        contentItem: Row {
                            leftPadding: source.indicator.width + source.spacing
                            spacing: Theme.space6
                            SymbolText {
                                anchors.verticalCenter: parent.verticalCenter
                                width: 14
                                glyph: Symbols.glyph(source.modelData.symbol)
                                size: Theme.typeBody
                                color: Theme.textDim
                            }
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: source.modelData.title
                                font: Theme.body(Theme.typeBody)
                                color: Theme.text
                            }
                        }
                    }
                }
                SectionTitle {
                    Layout.topMargin: Theme.space4
                    text: window.texts.p2000Caption
                }
                Note { text: window.texts.p2000Note }
                RowLayout {
                    spacing: Theme.space8
                    Text {
                        text: window.texts.priorityLabel
                        font: Theme.label(Theme.typeBody)
                        color: Theme.textDim
                    }
                    ComboBox {
                        Layout.preferredWidth: 110
                        model: window.settings.priorityChoices
                        currentIndex: window.settings.priorityIndex
                        onActivated: index => window.settings.priorityIndex = index
                    }
                }
                Field {
                    objectName: "regions"
                    label: window.texts.regionsLabel
                    placeholder: window.texts.regionsPlaceholder
                    text: window.settings.regionText
                    onEdited: text => window.settings.regionText = text
                }
                Field {
                    objectName: "cities"
                    label: window.texts.citiesLabel
                    placeholder: window.texts.citiesPlaceholder
                    text: window.settings.cityText
                    onEdited: text => window.settings.cityText = text
                }
                CheckBox {
                    Layout.topMargin: Theme.space2
                    text: window.texts.timeSensitiveLabel
                    checked: window.settings.timeSensitive
                    onToggled: window.settings.timeSensitive = checked
                }
                Note { text: window.texts.timeSensitiveNote }
            }

            Divider {}

            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.space8
                SectionTitle { text: window.texts.hotKey }
                Text {
                    objectName: "hotKeyElsewhere"
                    Layout.fillWidth: true
                    visible: !window.settings.globalHotKey
                    text: window.texts.hotKeyElsewhere
                    font: Theme.body(Theme.typeBody)
                    color: Theme.textDim
                    wrapMode: Text.Wrap
                }
                // Where the row runs out of room (a long combination in a narrow window, large type),
                // the buttons go on the next line rather than over the chip or off the window's edge.
                Flow {
                    Layout.fillWidth: true
                    visible: window.settings.globalHotKey
                    spacing: Theme.space10
                    Rectangle {
                        id: chipBox
                        objectName: "chip"
                        // Room for the prompt while it shows the combination too, so that the buttons
                        // stay put when recording starts.
                        implicitWidth: Math.ceil(Math.max(140, chip.implicitWidth + 20,
                                                          prompt.advanceWidth + 20))
                        implicitHeight: chip.implicitHeight + 12
                        radius: Theme.radiusChip
                        color: Theme.surfaceTile
                        TextMetrics {
                            id: prompt
                            font: chip.font
                            text: window.texts.recordPrompt
                        }
                        Text {
                            id: chip
                            x: 10
                            anchors.verticalCenter: parent.verticalCenter
                            text: window.settings.chipText
                            font: Theme.mono(Theme.typeSubtitle)
                            color: window.settings.chipColor
                        }
                    }
                    // As tall as the chip, so that the buttons sit level with its middle.
                    RowLayout {
                        height: chipBox.height
                        spacing: Theme.space10
                        Button {
                            objectName: "record"
                            text: window.settings.recordButtonText
                            onClicked: window.settings.toggleRecording()
                        }
                        Button {
                            objectName: "standard"
                            text: window.texts.standard
                            onClicked: window.settings.useStandard()
                        }
                    }
                }
                SymbolLabel {
                    Layout.fillWidth: true
                    visible: window.settings.registerFailed
                    symbol: "exclamationmark.triangle.fill"
                    text: window.texts.registerFailed
                    colour: Theme.alarm
                    size: Theme.typeCaption
                }
            }

            Divider { visible: window.settings.globalHotKey }

            ColumnLayout {
                Layout.fillWidth: true
                visible: window.settings.globalHotKey
                spacing: Theme.space8
                SectionTitle { text: window.texts.test }
                Text {
                    Layout.fillWidth: true
                    text: window.texts.testNote
                    font: Theme.body(Theme.typeBody)
                    color: Theme.textDim
                    wrapMode: Text.Wrap
                }
                RowLayout {
                    spacing: Theme.space10
                    Button {
                        text: window.settings.testButtonText
                        enabled: window.settings.canTest
                        onClicked: window.settings.armTest()
                    }
                    SymbolLabel {
                        visible: window.settings.testResultText !== ""
                        symbol: window.settings.testResultSymbol
                        text: window.settings.testResultText
                        colour: window.settings.testResultColor
                    }
                }
            }

            Divider {}

            ColumnLayout {
                Layout.fillWidth: true
                spacing: Theme.space8
                SectionTitle { text: window.texts.panel }
                Text {
                    Layout.fillWidth: true
                    text: window.settings.panelNote
                    font: Theme.body(Theme.typeBody)
                    color: Theme.textDim
                    wrapMode: Text.Wrap
                }
                Button {
                    text: window.texts.resetPanel
                    onClicked: window.settings.resetPanelSize()
                }
            }
        }
    }

    ColumnLayout {
        id: bottomArea
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Theme.space20
        spacing: Theme.space8
        RowLayout {
            Layout.fillWidth: true
            // A long advice (a refused key, a keyring that failed) takes the lines it needs; the page
            // above gives way.
            Text {
                objectName: "connection"
                Layout.fillWidth: true
                text: window.settings.connectionText
                font: Theme.label(Theme.typeCaption)
                color: Theme.textDim
                wrapMode: Text.Wrap
            }
            Button {
                objectName: "showLog"
                text: window.texts.showLog
                font: Theme.label(Theme.typeCaption)
                onClicked: window.settings.revealLog()
            }
        }
        // The path is there to be copied into a terminal or another file manager.
        SelectableNotice {
            objectName: "logNotice"
            Layout.fillWidth: true
            visible: window.settings.logNotice !== ""
            symbol: "exclamationmark.triangle.fill"
            text: window.settings.logNotice
            colour: Theme.alarm
            size: Theme.typeCaption
        }
    }
}
