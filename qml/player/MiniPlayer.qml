import QtQuick
import QtQuick.Layouts
import Nimbra

// The bar along the bottom of the main window with the current track: a
// progress line, the cover and title (a click opens the fullscreen player),
// the heart, the lyrics button, sharing, the transport and the wave
// spinner. Draws nothing without a current track. Everything it shows
// comes from the player store, so cover, texts and buttons change together.
Item {
    id: bar
    objectName: "miniPlayer"

    readonly property color fill: AppTheme.alpha(AppTheme.surface, 0.96)
    // The progress line along the top edge, over the hairline: its track is
    // fainter than the hairline.
    readonly property real progressThickness: 3
    readonly property color progressTrack: AppTheme.alpha(AppTheme.borderStrong, 0.35 * AppTheme.borderStrong.a)
    readonly property color hairline: AppTheme.alpha(AppTheme.borderStrong, 0.5 * AppTheme.borderStrong.a)
    readonly property real spinnerSize: 22

    implicitHeight: AppTheme.miniPlayerHeight
    visible: PlayerStore.hasCurrentTrack

    function openPlayer() {
        if (PlayerStore.hasCurrentTrack)
            PlayerStore.isFullscreenPresented = true
    }

    PlayerControlsModel {
        id: controls
        hasAccount: Session.hasAccount
        onLinkCopied: confirmation => toast.show(confirmation)
    }

    PlayerTimeModel {
        id: time
        progressSpan: progressLine.width
    }

    Rectangle {
        anchors.fill: parent
        color: bar.fill
    }

    // The progress line: it follows the position in whole pixels, without
    // animation, so a tick that moves no pixel draws nothing.
    Rectangle {
        id: progressLine
        objectName: "miniProgress"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: bar.progressThickness
        color: bar.progressTrack

        Rectangle {
            objectName: "miniProgressFill"
            width: time.progressWidth
            height: parent.height
            color: AppTheme.accent
        }
    }

    Rectangle {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: 1
        color: bar.hairline
    }

    RowLayout {
        anchors.fill: parent
        anchors.topMargin: progressLine.height
        anchors.leftMargin: AppTheme.cardPadding
        anchors.rightMargin: AppTheme.cardPadding
        spacing: AppTheme.itemSpacing

        Artwork {
            objectName: "miniCover"
            size: AppTheme.rowArtworkSize
            source: PlayerStore.currentCoverUrl
            interactive: true
            onTapped: bar.openPlayer()
        }

        // The whole block, empty space included, opens the player.
        Item {
            objectName: "miniTitleBlock"
            Layout.fillWidth: true
            Layout.fillHeight: true

            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: bar.openPlayer()
            }

            Column {
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                spacing: AppTheme.spacingXXS

                Text {
                    objectName: "miniTitle"
                    width: parent.width
                    text: PlayerStore.currentTitle
                    textFormat: Text.PlainText
                    color: AppTheme.textPrimary
                    font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
                    elide: Text.ElideRight
                }

                ArtistCreditsLine {
                    objectName: "miniArtist"
                    width: parent.width
                    text: PlayerStore.currentArtist
                    style: "compact"
                }
            }
        }

        PlayerButton {
            objectName: "miniFavorite"
            size: AppTheme.iconButtonSize
            iconFont: AppTheme.footnote
            systemImage: controls.favoriteOn ? "heart.fill" : "heart"
            foreground: controls.favoriteOn ? AppTheme.accent : AppTheme.textPrimary
            backgroundColor: controls.favoriteOn ? AppTheme.toggleFill(AppTheme.accent) : AppTheme.elevated
            toolTip: controls.favoriteOn ? "Убрать из избранного" : "В избранное"
            onClicked: TrackActions.toggleFavorite()
        }

        PlayerButton {
            objectName: "miniLyrics"
            visible: controls.lyricsControl === PlayerControlsModel.Button
            size: AppTheme.iconButtonSize
            iconFont: AppTheme.footnote
            systemImage: "doc.text"
            toolTip: "Текст песни"
            onClicked: PlayerStore.showFullscreenLyrics()
        }

        Item {
            visible: controls.lyricsControl === PlayerControlsModel.Spinner
            implicitWidth: AppTheme.iconButtonSize
            implicitHeight: AppTheme.iconButtonSize

            ProgressSpinner {
                anchors.centerIn: parent
                size: bar.spinnerSize
                color: AppTheme.accent
                running: parent.visible
            }
        }

        PlayerButton {
            objectName: "miniShare"
            size: AppTheme.iconButtonSize
            iconFont: AppTheme.footnote
            systemImage: "square.and.arrow.up"
            toolTip: "Поделиться"
            onClicked: controls.copyShareLink()
        }

        PlayerButton {
            size: AppTheme.iconButtonSize
            iconFont: AppTheme.footnote
            systemImage: "backward.fill"
            toolTip: "Назад"
            onClicked: PlayerStore.previous()
        }

        PlayerButton {
            objectName: "miniPlayPause"
            size: AppTheme.controlHeight
            iconFont: AppTheme.body
            systemImage: PlayerStore.isPlaying ? "pause.fill" : "play.fill"
            foreground: "white"
            backgroundColor: AppTheme.accent
            onClicked: PlayerStore.togglePlayPause()

            PlayIntent {}
        }

        PlayerButton {
            objectName: "miniNext"
            size: AppTheme.iconButtonSize
            iconFont: AppTheme.footnote
            systemImage: "forward.fill"
            onClicked: PlayerStore.next()
        }

        ProgressSpinner {
            objectName: "waveSpinner"
            visible: PlayerStore.isLoadingWave
            running: visible
            size: bar.spinnerSize
            color: AppTheme.accent
        }
    }

    CopiedToast {
        id: toast
        anchors.right: parent.right
        anchors.rightMargin: AppTheme.cardPadding
        anchors.bottom: parent.top
        anchors.bottomMargin: AppTheme.spacingS
    }

    SignInRequiredDialog {
        title: TrackActions.promptTitle
        // Under the fullscreen player (also while it slides over the bar)
        // that player's own alert asks; two alerts would close each other.
        message: bar.visible && !PlayerStore.isFullscreenPresented ? TrackActions.signInPrompt : ""
        onDismissed: TrackActions.signInPrompt = ""
    }
}
