import QtQuick
import QtQuick.Layouts
import Nimbra

// The bottom panel of the fullscreen player: the action row (heart,
// dislike, lyrics, offline copy, sleep timer; hidden in lyrics mode), the
// seek row with elapsed and total time, and the transport row. Each look
// follows the player store, so a change made elsewhere redraws it.
Rectangle {
    id: bar
    objectName: "fullscreenControls"

    property bool lyricsMode: false

    signal lyricsRequested()

    readonly property color fill: Qt.rgba(0.12, 0.12, 0.12, 1)
    readonly property real verticalPadding: lyricsMode ? AppTheme.cardPadding : AppTheme.spacingXL
    // The transport row: previous and next larger than the toggles beside
    // them, play-pause larger still.
    readonly property real skipButtonSize: 48
    readonly property real playButtonSize: 68
    // Shuffle and repeat while off: dimmer than the other buttons.
    readonly property color offForeground: AppTheme.alpha("white", 0.7)
    readonly property color offFill: AppTheme.alpha("white", 0.08)
    readonly property color timeColor: AppTheme.alpha("white", 0.85)
    readonly property color sleepTimerOnFill: AppTheme.alpha(AppTheme.accent, 0.25)

    implicitHeight: column.implicitHeight + 2 * verticalPadding
    color: fill

    PlayerControlsModel {
        id: controls
        hasAccount: Session.hasAccount
    }

    PlayerTimeModel {
        id: time
    }

    ColumnLayout {
        id: column
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        anchors.leftMargin: AppTheme.sheetMargin
        anchors.rightMargin: AppTheme.sheetMargin
        spacing: AppTheme.cardPadding

        RowLayout {
            objectName: "actionRow"
            visible: !bar.lyricsMode
            Layout.alignment: Qt.AlignHCenter
            spacing: AppTheme.spacingXL

            PlayerButton {
                objectName: "favoriteButton"
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: controls.favoriteOn ? "heart.fill" : "heart"
                foreground: controls.favoriteOn ? AppTheme.accent : AppTheme.mediaForeground
                backgroundColor: controls.favoriteOn ? AppTheme.toggleFill(AppTheme.accent)
                                                     : AppTheme.mediaFill
                toolTip: controls.favoriteOn ? "Убрать из избранного" : "В избранное"
                onClicked: TrackActions.toggleFavorite()
            }

            PlayerButton {
                objectName: "dislikeButton"
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: controls.dislikeOn ? "hand.thumbsdown.fill" : "hand.thumbsdown"
                foreground: controls.dislikeOn ? AppTheme.systemOrange : AppTheme.mediaForeground
                backgroundColor: controls.dislikeOn ? AppTheme.toggleFill(AppTheme.systemOrange)
                                                    : AppTheme.mediaFill
                toolTip: controls.dislikeOn ? "Убрать дизлайк" : "Дизлайк"
                onClicked: TrackActions.toggleDislike()
            }

            PlayerButton {
                objectName: "lyricsButton"
                visible: controls.lyricsControl === PlayerControlsModel.Button
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: "doc.text"
                foreground: AppTheme.mediaForeground
                backgroundColor: AppTheme.mediaFill
                toolTip: "Текст песни"
                onClicked: bar.lyricsRequested()
            }

            ActionSpinner {
                visible: controls.lyricsControl === PlayerControlsModel.Spinner
            }

            ActionSpinner {
                objectName: "offlineSpinner"
                visible: controls.offlineControl === PlayerControlsModel.Saving
            }

            PlayerButton {
                objectName: "offlineButton"
                readonly property bool saved: controls.offlineControl === PlayerControlsModel.Saved
                visible: saved || controls.offlineControl === PlayerControlsModel.Save
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: saved ? "checkmark.icloud.fill" : "arrow.down.to.line"
                foreground: saved ? AppTheme.systemGreen : AppTheme.mediaForeground
                backgroundColor: saved ? AppTheme.toggleFill(AppTheme.systemGreen) : AppTheme.mediaFill
                toolTip: saved ? "Удалить с устройства" : "Сохранить офлайн"
                onClicked: controls.offlineAction()
            }

            PlayerButton {
                id: sleepButton
                objectName: "sleepTimerButton"
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: controls.sleepTimerOn ? "moon.stars.fill" : "moon"
                foreground: controls.sleepTimerOn ? AppTheme.accent : AppTheme.mediaForeground
                backgroundColor: controls.sleepTimerOn ? bar.sleepTimerOnFill
                                                       : AppTheme.mediaFill
                toolTip: "Таймер сна"
                onClicked: sleepPopover.opened ? sleepPopover.close() : sleepPopover.open()

                SleepTimerPopover {
                    id: sleepPopover
                }
            }
        }

        RowLayout {
            objectName: "seekRow"
            Layout.fillWidth: true
            spacing: AppTheme.itemSpacing

            Text {
                objectName: "elapsedLabel"
                Layout.preferredWidth: AppTheme.playerButtonSize
                horizontalAlignment: Text.AlignRight
                text: time.elapsedText
                color: bar.timeColor
                font: AppTheme.body
            }

            SeekBar {
                objectName: "seekBar"
                Layout.fillWidth: true
                value: time.position
                from: 0
                to: time.seekUpper
                onMoved: value => time.seekTo(value)
            }

            Text {
                objectName: "durationLabel"
                Layout.preferredWidth: AppTheme.playerButtonSize
                horizontalAlignment: Text.AlignLeft
                text: time.durationText
                color: bar.timeColor
                font: AppTheme.body
            }
        }

        RowLayout {
            objectName: "transportRow"
            Layout.alignment: Qt.AlignHCenter
            spacing: AppTheme.spacingXL

            PlayerButton {
                objectName: "shuffleButton"
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: "shuffle"
                foreground: PlayerStore.shuffleEnabled ? AppTheme.accent : bar.offForeground
                backgroundColor: PlayerStore.shuffleEnabled ? AppTheme.toggleFill(AppTheme.accent)
                                                           : bar.offFill
                toolTip: "Перемешать"
                onClicked: PlayerStore.toggleShuffle()
            }

            PlayerButton {
                size: bar.skipButtonSize
                iconFont: AppTheme.title2
                systemImage: "backward.fill"
                foreground: AppTheme.mediaForeground
                backgroundColor: AppTheme.mediaFill
                toolTip: "Назад"
                onClicked: PlayerStore.previous()
            }

            PlayerButton {
                objectName: "playPauseButton"
                size: bar.playButtonSize
                iconFont: AppTheme.systemFont(AppTheme.largeTitle.pixelSize)
                systemImage: PlayerStore.isPlaying ? "pause.fill" : "play.fill"
                foreground: "white"
                backgroundColor: AppTheme.accent
                toolTip: PlayerStore.isPlaying ? "Пауза" : "Играть"
                onClicked: PlayerStore.togglePlayPause()

                PlayIntent {}
            }

            PlayerButton {
                objectName: "nextButton"
                size: bar.skipButtonSize
                iconFont: AppTheme.title2
                systemImage: "forward.fill"
                foreground: AppTheme.mediaForeground
                backgroundColor: AppTheme.mediaFill
                toolTip: "Вперёд"
                onClicked: PlayerStore.next()
            }

            PlayerButton {
                objectName: "repeatButton"
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: controls.repeatSymbol === "repeat.1" ? "repeat.1" : "repeat"
                foreground: controls.repeatOn ? AppTheme.accent : bar.offForeground
                backgroundColor: controls.repeatOn ? AppTheme.toggleFill(AppTheme.accent)
                                                   : bar.offFill
                toolTip: "Повтор"
                onClicked: controls.cycleRepeat()
            }
        }
    }

    // Stands in the action row for a button whose work runs.
    component ActionSpinner: Item {
        id: actionSpinner

        readonly property real spinnerSize: 27
        readonly property color spinnerColor: AppTheme.alpha("white", 0.6)

        implicitWidth: AppTheme.controlHeight
        implicitHeight: AppTheme.controlHeight

        ProgressSpinner {
            anchors.centerIn: parent
            size: actionSpinner.spinnerSize
            color: actionSpinner.spinnerColor
            running: parent.visible
        }
    }
}
