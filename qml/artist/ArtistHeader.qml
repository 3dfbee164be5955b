import QtQuick
import QtQuick.Controls
import Nimbra

// The top of the artist page: the banner cut from the cover under two
// gradients, the avatar, the caption with its marks, the name, the counts
// and the actions (play, shuffle, wave from five tracks, share).
Item {
    id: header

    // The banner's darkening, and the fade into the page below it.
    readonly property color bannerShadeTop: AppTheme.alpha("black", 0.25)
    readonly property color bannerShadeBottom: AppTheme.alpha("black", 0.72)
    readonly property color fadeMiddle: AppTheme.alpha(AppTheme.background, 0.5)
    // The avatar, decoded at twice its size for sharp screens, and its shadow.
    readonly property real avatarSize: 120
    readonly property real avatarDecodedSize: 240
    readonly property real avatarShadowStep: 5
    readonly property real avatarShadowStrength: 0.12
    readonly property real placeholderScale: 1.4
    readonly property real avatarGap: 18
    // The crown beside "официально".
    readonly property real markGap: 3
    readonly property real nameSize: 32

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
                GradientStop { position: 0; color: header.bannerShadeTop }
                GradientStop { position: 1; color: header.bannerShadeBottom }
            }
        }
    }

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: "transparent" }
            GradientStop { position: 0.5; color: header.fadeMiddle }
            GradientStop { position: 1; color: AppTheme.background }
        }
    }

    Row {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: AppTheme.featureMargin
        spacing: header.avatarGap

        // Avatar: the cover, or the microphone on the surface colour, with
        // its shadow below.
        Item {
            anchors.bottom: parent.bottom
            width: header.avatarSize
            height: header.avatarSize

            DiscShadow {
                objectName: "avatarShadow"
                anchors.fill: avatar
                cornerRadius: avatar.radius
                step: header.avatarShadowStep
                strength: header.avatarShadowStrength
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
                    font.pixelSize: AppTheme.largeTitle.pixelSize * header.placeholderScale
                }

                // Its corners cut out of the decoded picture (a clip is square
                // on every renderer), at the scale it is decoded.
                Image {
                    id: avatarImage
                    objectName: "avatarImage"
                    anchors.fill: parent
                    source: CoverImages.source(header.model.coverUrl,
                                               avatar.radius * header.avatarDecodedSize / header.avatarSize)
                    visible: status === Image.Ready
                    asynchronous: true
                    fillMode: Image.PreserveAspectCrop
                    sourceSize: Qt.size(header.avatarDecodedSize, header.avatarDecodedSize)
                }

                Rectangle {
                    anchors.fill: parent
                    radius: parent.radius
                    color: "transparent"
                    border.width: 1
                    border.color: AppTheme.lightHairline
                }
            }
        }

        Column {
            anchors.bottom: parent.bottom
            width: parent.width - header.avatarSize - parent.spacing
            spacing: AppTheme.spacingS

            Row {
                spacing: AppTheme.symbolGap

                Text {
                    text: "Исполнитель"
                    color: AppTheme.textSecondary
                    font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
                }

                Row {
                    objectName: "featuredMark"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: header.model.isFeatured
                    spacing: header.markGap

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
                font: AppTheme.systemFont(header.nameSize, Font.Black)
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
                spacing: AppTheme.itemSpacing

                PlayIntent {}

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
                    size: AppTheme.roundButtonSize
                    systemImage: "shuffle"
                    iconFont: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
                    focusPolicy: Qt.NoFocus
                    ToolTipGate {
                        id: shuffleTip
                        hovered: shuffleButton.hovered
                        pressed: shuffleButton.pressed
                    }
                    ToolTip.visible: shuffleTip.shown
                    ToolTip.delay: AppTheme.toolTipDelay
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
                    size: AppTheme.roundButtonSize
                    systemImage: "square.and.arrow.up"
                    focusPolicy: Qt.NoFocus
                    onClicked: header.model.copyShareLink()
                }
            }
        }
    }
}
