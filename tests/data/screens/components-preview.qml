import QtQuick
import QtQuick.Layouts
import Nimbra

// A still composition of the shared pieces for a reviewer's eye: the palette,
// a card with text styles, the round button in each state the players give it,
// and every icon. tst_components renders it to a PNG.
Rectangle {
    id: root
    width: 1100
    height: 560
    color: AppTheme.background

    function tinted(c, a) { return Qt.rgba(c.r, c.g, c.b, a) }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 32
        spacing: 20

        RowLayout {
            spacing: 8
            Repeater {
                model: ["background", "surface", "elevated", "accent", "accentLight", "accentMuted",
                    "textPrimary", "textSecondary", "textMuted", "border", "borderStrong"]
                delegate: ColumnLayout {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: 26
                        radius: 7
                        color: AppTheme[modelData]
                        border.color: AppTheme.border
                    }
                    Text { text: modelData; color: AppTheme.textMuted; font: AppTheme.caption }
                }
            }
        }

        HaloCard {
            Layout.fillWidth: true
            Layout.preferredHeight: 170
            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 14
                Text { text: "Новые релизы 🔥"; color: AppTheme.textPrimary; font: AppTheme.title2 }
                Text { text: "Земфира, Мумий Тролль — 12 треков 🎸"; color: AppTheme.textSecondary; font: AppTheme.callout }
                RowLayout {
                    spacing: 20
                    // One button per state: plain, accented, the large play, tinted and disabled.
                    Repeater {
                        model: [
                            { symbol: "backward.fill", size: 48, fg: Qt.rgba(1, 1, 1, 0.9), bg: Qt.rgba(1, 1, 1, 0.12), on: true },
                            { symbol: "shuffle", size: 44, fg: AppTheme.accent, bg: root.tinted(AppTheme.accent, 0.2), on: true },
                            { symbol: "play.fill", size: 68, fg: "white", bg: AppTheme.accent, on: true },
                            { symbol: "hand.thumbsdown.fill", size: 44, fg: AppTheme.systemOrange, bg: root.tinted(AppTheme.systemOrange, 0.2), on: true },
                            { symbol: "checkmark.icloud.fill", size: 32, fg: AppTheme.systemGreen, bg: root.tinted(AppTheme.systemGreen, 0.2), on: true },
                            { symbol: "doc.text", size: 44, fg: Qt.rgba(1, 1, 1, 0.9), bg: Qt.rgba(1, 1, 1, 0.12), on: false }
                        ]
                        delegate: CircularControlButton {
                            systemImage: modelData.symbol
                            size: modelData.size
                            iconFont: modelData.size > 60 ? AppTheme.systemFont(26) : AppTheme.title2
                            foreground: modelData.fg
                            backgroundColor: modelData.bg
                            enabled: modelData.on
                            opacity: modelData.on ? 1 : 0.4
                        }
                    }
                }
            }
        }

        HaloCard {
            Layout.fillWidth: true
            Layout.preferredHeight: icons.implicitHeight + 40
            Grid {
                id: icons
                anchors.centerIn: parent
                columns: 13
                rowSpacing: 22
                readonly property real cell: (root.width - 64 - 24) / columns
                Repeater {
                    model: iconNames
                    delegate: Column {
                        width: icons.cell
                        spacing: 5
                        AppIcon {
                            anchors.horizontalCenter: parent.horizontalCenter
                            name: modelData
                            size: 24
                            color: AppTheme.textPrimary
                        }
                        Text {
                            width: parent.width - 4
                            text: modelData
                            color: AppTheme.textMuted
                            font.pixelSize: 8
                            horizontalAlignment: Text.AlignHCenter
                            elide: Text.ElideMiddle
                        }
                    }
                }
            }
        }
    }
}
