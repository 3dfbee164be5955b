import QtQuick
import QtQuick.Controls
import Nimbra

// The top of the artist page: the banner cut from the cover under two
// gradients, the avatar, the caption with its marks, the name, the counts
// and the actions (play, shuffle, wave from five tracks, share).
Item {
    id: header

    required property ArtistPageModel model

    clip: true

    Rectangle {
        anchors.fill: parent
        color: AppTheme.background
    }

    // Banner: the cover filling the width, darkened; flat without one.
    Rectangle {
        anchors.fill: parent
        color: AppTheme.elevated

        Image {
            id: banner
            objectName: "artistBanner"
            anchors.fill: parent
            source: header.model.coverUrl
            visible: status === Image.Ready
            asynchronous: true
            fillMode: Image.PreserveAspectCrop
            sourceSize: Qt.size(Math.ceil(width), 0)
        }

        Rectangle {
            anchors.fill: parent
            visible: header.model.coverUrl !== ""
            gradient: Gradient {
                GradientStop { position: 0; color: Qt.rgba(0, 0, 0, 0.25) }
                GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.72) }
            }
        }
    }

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: "transparent" }
            GradientStop { position: 0.5; color: AppTheme.alpha(AppTheme.background, 0.5) }
            GradientStop { position: 1; color: AppTheme.background }
        }
    }

    Row {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 22
        spacing: 18

        // Avatar: the cover, or the microphone on the surface colour, with
        // its shadow below.
        Item {
            anchors.bottom: parent.bottom
            width: 120
            height: 120

            DiscShadow {
                objectName: "avatarShadow"
                anchors.fill: avatar
                cornerRadius: avatar.radius
                offsetY: 8
                step: 5
                strength: 0.12
            }

            Rectangle {
                id: avatar
                objectName: "artistAvatar"
                anchors.fill: parent
                radius: AppTheme.radiusXL
                color: AppTheme.surface
                clip: true

                Text {
                    objectName: "avatarPlaceholder"
                    anchors.centerIn: parent
                    visible: avatarImage.status !== Image.Ready
                    text: "🎤"
                    font.pixelSize: AppTheme.largeTitle.pixelSize * 1.4
                }

                Image {
                    id: avatarImage
                    anchors.fill: parent
                    source: header.model.coverUrl
                    visible: status === Image.Ready
                    asynchronous: true
                    fillMode: Image.PreserveAspectCrop
                    sourceSize: Qt.size(240, 240)
                }

                Rectangle {
                    anchors.fill: parent
                    radius: parent.radius
                    color: "transparent"
                    border.width: 1
                    border.color: Qt.rgba(1, 1, 1, 0.12)
                }
            }
        }

        Column {
            anchors.bottom: parent.bottom
            width: parent.width - 120 - parent.spacing
            spacing: AppTheme.spacingS

            Row {
                spacing: 6

                Text {
                    text: "Исполнитель"
                    color: AppTheme.textSecondary
                    font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
                }

                Row {
                    objectName: "featuredMark"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: header.model.isFeatured
                    spacing: 3

                    AppIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        name: "crown.fill"
                        size: AppTheme.symbolSize(AppTheme.caption2)
                        color: AppTheme.accent
                    }

                    Text {
                        text: "официально"
                        color: AppTheme.accent
                        font: AppTheme.systemFont(AppTheme.caption2.pixelSize, Font.DemiBold)
                    }
                }

                Text {
                    objectName: "mineMark"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: header.model.isMine
                    text: "· это вы"
                    color: AppTheme.textSecondary
                    font: AppTheme.caption2
                }
            }

            Text {
                objectName: "artistName"
                width: parent.width
                text: header.model.title
                textFormat: Text.PlainText
                color: AppTheme.textPrimary
                font: AppTheme.systemFont(32, Font.Black)
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }

            Text {
                objectName: "artistCounts"
                text: header.model.countsText
                color: AppTheme.textSecondary
                font: AppTheme.callout
            }

            Row {
                spacing: 10

                PillButton {
                    objectName: "artistPlay"
                    symbol: "play.fill"
                    text: "Слушать"
                    toolTip: "Слушать"
                    fill: AppTheme.accent
                    foreground: "white"
                    onClicked: header.model.play()
                }

                CircularControlButton {
                    id: shuffleButton
                    objectName: "artistShuffle"
                    anchors.verticalCenter: parent.verticalCenter
                    size: 40
                    systemImage: "shuffle"
                    iconFont: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
                    focusPolicy: Qt.NoFocus
                    ToolTipGate {
                        id: shuffleTip
                        hovered: shuffleButton.hovered
                        pressed: shuffleButton.pressed
                    }
                    ToolTip.visible: shuffleTip.shown
                    ToolTip.delay: 600
                    ToolTip.text: "Перемешать"
                    onClicked: header.model.shuffle()
                }

                PillButton {
                    objectName: "artistWave"
                    visible: header.model.showsWave
                    symbol: "water.waves"
                    text: "Волна"
                    toolTip: "Волна"
                    compact: true
                    onClicked: header.model.wave()
                }

                CircularControlButton {
                    objectName: "artistShare"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: header.model.shareLink !== ""
                    size: 40
                    systemImage: "square.and.arrow.up"
                    focusPolicy: Qt.NoFocus
                    onClicked: header.model.copyShareLink()
                }
            }
        }
    }
}
