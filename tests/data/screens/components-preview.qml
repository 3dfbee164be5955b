import QtQuick
import QtQuick.Layouts
import Nimbra

// A still composition of the shared pieces for a reviewer's eye: the palette,
// cards, round buttons in the states the players give them, every icon and
// text in the named styles. tst_components renders it to a PNG.
Rectangle {
    id: root
    width: 1100
    height: 760
    color: AppTheme.background

    readonly property color white90: Qt.rgba(1, 1, 1, 0.9)
    readonly property color white70: Qt.rgba(1, 1, 1, 0.7)
    readonly property color white12: Qt.rgba(1, 1, 1, 0.12)
    readonly property color white08: Qt.rgba(1, 1, 1, 0.08)
    function tinted(c, a) { return Qt.rgba(c.r, c.g, c.b, a) }

    component Caption: Text {
        color: AppTheme.textMuted
        font: AppTheme.caption
        horizontalAlignment: Text.AlignHCenter
    }

    component SectionTitle: Text {
        color: AppTheme.textSecondary
        font.pixelSize: 11
        font.weight: Font.DemiBold
        font.letterSpacing: 1.2
        font.capitalization: Font.AllUppercase
    }

    component Labelled: ColumnLayout {
        property alias text: caption.text
        default property alias content: holder.data
        spacing: 8
        Item {
            id: holder
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: childrenRect.width
            implicitHeight: childrenRect.height
        }
        Caption {
            id: caption
            Layout.alignment: Qt.AlignHCenter
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 32
        spacing: 20

        // Header: name and tagline.
        RowLayout {
            Layout.fillWidth: true
            spacing: 16
            ColumnLayout {
                spacing: 4
                Text {
                    text: "Nimbras"
                    color: AppTheme.textPrimary
                    font: AppTheme.systemFont(30, Font.Bold)
                }
                Text {
                    text: "Тёмная тема, карточки и круглые кнопки 💜"
                    color: AppTheme.textSecondary
                    font: AppTheme.body
                }
            }
            Item { Layout.fillWidth: true }
            Rectangle {
                Layout.alignment: Qt.AlignVCenter
                implicitWidth: pill.implicitWidth + 20
                implicitHeight: pill.implicitHeight + 8
                radius: height / 2
                color: root.tinted(AppTheme.accent, 0.18)
                Text {
                    id: pill
                    anchors.centerIn: parent
                    text: "Hi-Fi"
                    color: AppTheme.accent
                    font: AppTheme.systemFont(10, Font.Bold)
                }
            }
        }

        // The palette.
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            Repeater {
                model: [
                    { name: "background", color: AppTheme.background },
                    { name: "surface", color: AppTheme.surface },
                    { name: "elevated", color: AppTheme.elevated },
                    { name: "accent", color: AppTheme.accent },
                    { name: "accentLight", color: AppTheme.accentLight },
                    { name: "accentMuted", color: AppTheme.accentMuted },
                    { name: "textPrimary", color: AppTheme.textPrimary },
                    { name: "textSecondary", color: AppTheme.textSecondary },
                    { name: "textMuted", color: AppTheme.textMuted },
                    { name: "border", color: AppTheme.border },
                    { name: "borderStrong", color: AppTheme.borderStrong }
                ]
                delegate: ColumnLayout {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    spacing: 6
                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: 26
                        radius: 7
                        color: modelData.color
                        border.color: AppTheme.border
                        border.width: 1
                    }
                    Caption {
                        Layout.fillWidth: true
                        text: modelData.name
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 20

            // A mini-player bar.
            HaloCard {
                Layout.fillWidth: true
                Layout.preferredHeight: 76
                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 14
                    anchors.rightMargin: 14
                    spacing: 10
                    Rectangle {
                        Layout.preferredWidth: 44
                        Layout.preferredHeight: 44
                        radius: 8
                        gradient: Gradient {
                            GradientStop { position: 0; color: AppTheme.accentMuted }
                            GradientStop { position: 1; color: AppTheme.elevated }
                        }
                        AppIcon {
                            anchors.centerIn: parent
                            name: "music.note"
                            size: 22
                            color: Qt.rgba(1, 1, 1, 0.85)
                        }
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 2
                        Text {
                            text: "Звезда по имени Солнце"
                            color: AppTheme.textPrimary
                            font: AppTheme.systemFont(12, Font.DemiBold)
                            elide: Text.ElideRight
                            Layout.fillWidth: true
                        }
                        Text {
                            text: "Кино, Виктор Цой"
                            color: AppTheme.accent
                            font: AppTheme.subheadline
                        }
                    }
                    CircularControlButton {
                        systemImage: "heart.fill"
                        size: 32
                        iconFont: AppTheme.footnote
                        foreground: AppTheme.accent
                        backgroundColor: root.tinted(AppTheme.accent, 0.2)
                    }
                    CircularControlButton {
                        systemImage: "doc.text"
                        size: 32
                        iconFont: AppTheme.footnote
                    }
                    CircularControlButton {
                        systemImage: "square.and.arrow.up"
                        size: 32
                        iconFont: AppTheme.footnote
                    }
                    CircularControlButton {
                        systemImage: "backward.fill"
                        size: 32
                        iconFont: AppTheme.footnote
                    }
                    CircularControlButton {
                        systemImage: "pause.fill"
                        size: 36
                        iconFont: AppTheme.body
                        foreground: "white"
                        backgroundColor: AppTheme.accent
                    }
                    CircularControlButton {
                        systemImage: "forward.fill"
                        size: 32
                        iconFont: AppTheme.footnote
                    }
                }
            }

            // Text styles with Cyrillic and emoji.
            HaloCard {
                Layout.preferredWidth: 330
                Layout.preferredHeight: 76
                ColumnLayout {
                    anchors.fill: parent
                    anchors.margins: 14
                    spacing: 2
                    Text {
                        text: "Новые релизы 🔥"
                        color: AppTheme.textPrimary
                        font: AppTheme.title2
                    }
                    Text {
                        text: "Земфира, Мумий Тролль — 12 треков 🎸"
                        color: AppTheme.textSecondary
                        font: AppTheme.callout
                        elide: Text.ElideRight
                        Layout.fillWidth: true
                    }
                }
            }
        }

        // The fullscreen player's transport and action rows.
        HaloCard {
            Layout.fillWidth: true
            Layout.preferredHeight: 140
            RowLayout {
                anchors.centerIn: parent
                spacing: 44

                RowLayout {
                    spacing: 20
                    Labelled {
                        text: "перемешать"
                        CircularControlButton {
                            systemImage: "shuffle"
                            size: 44
                            iconFont: AppTheme.title2
                            foreground: AppTheme.accent
                            backgroundColor: root.tinted(AppTheme.accent, 0.2)
                        }
                    }
                    Labelled {
                        text: "назад"
                        CircularControlButton {
                            systemImage: "backward.fill"
                            size: 48
                            iconFont: AppTheme.title2
                            foreground: root.white90
                            backgroundColor: root.white12
                        }
                    }
                    Labelled {
                        text: "играть"
                        CircularControlButton {
                            systemImage: "play.fill"
                            size: 68
                            iconFont: AppTheme.systemFont(26)
                            foreground: "white"
                            backgroundColor: AppTheme.accent
                        }
                    }
                    Labelled {
                        text: "вперёд"
                        CircularControlButton {
                            systemImage: "forward.fill"
                            size: 48
                            iconFont: AppTheme.title2
                            foreground: root.white90
                            backgroundColor: root.white12
                        }
                    }
                    Labelled {
                        text: "повтор: один"
                        CircularControlButton {
                            systemImage: "repeat.1"
                            size: 44
                            iconFont: AppTheme.title2
                            foreground: AppTheme.accent
                            backgroundColor: root.tinted(AppTheme.accent, 0.2)
                        }
                    }
                }

                Rectangle {
                    Layout.preferredWidth: 1
                    Layout.preferredHeight: 84
                    color: AppTheme.border
                }

                RowLayout {
                    spacing: 20
                    Labelled {
                        text: "в избранное"
                        CircularControlButton {
                            systemImage: "heart"
                            size: 44
                            iconFont: AppTheme.title2
                            foreground: root.white90
                            backgroundColor: root.white12
                        }
                    }
                    Labelled {
                        text: "дизлайк"
                        CircularControlButton {
                            systemImage: "hand.thumbsdown.fill"
                            size: 44
                            iconFont: AppTheme.title2
                            foreground: AppTheme.systemOrange
                            backgroundColor: root.tinted(AppTheme.systemOrange, 0.2)
                        }
                    }
                    Labelled {
                        text: "офлайн"
                        CircularControlButton {
                            systemImage: "checkmark.icloud.fill"
                            size: 44
                            iconFont: AppTheme.title2
                            foreground: AppTheme.systemGreen
                            backgroundColor: root.tinted(AppTheme.systemGreen, 0.2)
                        }
                    }
                    Labelled {
                        text: "таймер сна"
                        CircularControlButton {
                            systemImage: "moon.stars.fill"
                            size: 44
                            iconFont: AppTheme.title2
                            foreground: AppTheme.accent
                            backgroundColor: root.tinted(AppTheme.accent, 0.25)
                        }
                    }
                    Labelled {
                        text: "недоступна"
                        CircularControlButton {
                            enabled: false
                            opacity: 0.4
                            systemImage: "doc.text"
                            size: 44
                            iconFont: AppTheme.title2
                            foreground: root.white90
                            backgroundColor: root.white12
                        }
                    }
                }
            }
        }

        // Every icon the screens use, with its symbol name.
        HaloCard {
            Layout.fillWidth: true
            Layout.fillHeight: true
            SectionTitle {
                x: 20
                y: 16
                text: "Иконки · " + iconNames.length
            }
            Grid {
                id: icons
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.verticalCenter: parent.verticalCenter
                anchors.verticalCenterOffset: 10
                columns: 13
                rowSpacing: 22
                columnSpacing: 0
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
                            color: index % 9 === 0 ? AppTheme.accent : AppTheme.textPrimary
                        }
                        Text {
                            width: parent.width - 4
                            anchors.horizontalCenter: parent.horizontalCenter
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
