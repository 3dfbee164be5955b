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

    readonly property real verticalPadding: lyricsMode ? 14 : 20

    implicitHeight: column.implicitHeight + 2 * verticalPadding
    color: Qt.rgba(0.12, 0.12, 0.12, 1)

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
                foreground: controls.favoriteOn ? AppTheme.accent : Qt.rgba(1, 1, 1, 0.9)
                backgroundColor: controls.favoriteOn ? AppTheme.alpha(AppTheme.accent, 0.2)
                                                     : Qt.rgba(1, 1, 1, 0.12)
                toolTip: controls.favoriteOn ? "Убрать из избранного" : "В избранное"
                onClicked: TrackActions.toggleFavorite()
            }

            PlayerButton {
                objectName: "dislikeButton"
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: controls.dislikeOn ? "hand.thumbsdown.fill" : "hand.thumbsdown"
                foreground: controls.dislikeOn ? AppTheme.systemOrange : Qt.rgba(1, 1, 1, 0.9)
                backgroundColor: controls.dislikeOn ? AppTheme.alpha(AppTheme.systemOrange, 0.2)
                                                    : Qt.rgba(1, 1, 1, 0.12)
                toolTip: controls.dislikeOn ? "Убрать дизлайк" : "Дизлайк"
                onClicked: TrackActions.toggleDislike()
            }

            PlayerButton {
                objectName: "lyricsButton"
                visible: controls.lyricsControl === PlayerControlsModel.Button
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: "doc.text"
                foreground: Qt.rgba(1, 1, 1, 0.9)
                backgroundColor: Qt.rgba(1, 1, 1, 0.12)
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
                foreground: saved ? AppTheme.systemGreen : Qt.rgba(1, 1, 1, 0.9)
                backgroundColor: saved ? AppTheme.alpha(AppTheme.systemGreen, 0.2) : Qt.rgba(1, 1, 1, 0.12)
                toolTip: saved ? "Удалить с устройства" : "Сохранить офлайн"
                onClicked: controls.offlineAction()
            }

            PlayerButton {
                id: sleepButton
                objectName: "sleepTimerButton"
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: controls.sleepTimerOn ? "moon.stars.fill" : "moon"
                foreground: controls.sleepTimerOn ? AppTheme.accent : Qt.rgba(1, 1, 1, 0.9)
                backgroundColor: controls.sleepTimerOn ? AppTheme.alpha(AppTheme.accent, 0.25)
                                                       : Qt.rgba(1, 1, 1, 0.12)
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
            spacing: 10

            Text {
                objectName: "elapsedLabel"
                Layout.preferredWidth: AppTheme.playerButtonSize
                horizontalAlignment: Text.AlignRight
                text: time.elapsedText
                color: Qt.rgba(1, 1, 1, 0.85)
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
                color: Qt.rgba(1, 1, 1, 0.85)
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
                foreground: PlayerStore.shuffleEnabled ? AppTheme.accent : Qt.rgba(1, 1, 1, 0.7)
                backgroundColor: PlayerStore.shuffleEnabled ? AppTheme.alpha(AppTheme.accent, 0.2)
                                                           : Qt.rgba(1, 1, 1, 0.08)
                toolTip: "Перемешать"
                onClicked: PlayerStore.toggleShuffle()
            }

            PlayerButton {
                size: 48
                iconFont: AppTheme.title2
                systemImage: "backward.fill"
                foreground: Qt.rgba(1, 1, 1, 0.9)
                backgroundColor: Qt.rgba(1, 1, 1, 0.12)
                toolTip: "Назад"
                onClicked: PlayerStore.previous()
            }

            PlayerButton {
                objectName: "playPauseButton"
                size: 68
                iconFont: AppTheme.systemFont(AppTheme.largeTitle.pixelSize)
                systemImage: PlayerStore.isPlaying ? "pause.fill" : "play.fill"
                foreground: "white"
                backgroundColor: AppTheme.accent
                toolTip: PlayerStore.isPlaying ? "Пауза" : "Играть"
                onClicked: PlayerStore.togglePlayPause()
            }

            PlayerButton {
                objectName: "nextButton"
                size: 48
                iconFont: AppTheme.title2
                systemImage: "forward.fill"
                foreground: Qt.rgba(1, 1, 1, 0.9)
                backgroundColor: Qt.rgba(1, 1, 1, 0.12)
                toolTip: "Вперёд"
                onClicked: PlayerStore.next()
            }

            PlayerButton {
                objectName: "repeatButton"
                size: AppTheme.playerButtonSize
                iconFont: AppTheme.title2
                systemImage: controls.repeatSymbol === "repeat.1" ? "repeat.1" : "repeat"
                foreground: controls.repeatOn ? AppTheme.accent : Qt.rgba(1, 1, 1, 0.7)
                backgroundColor: controls.repeatOn ? AppTheme.alpha(AppTheme.accent, 0.2)
                                                   : Qt.rgba(1, 1, 1, 0.08)
                toolTip: "Повтор"
                onClicked: controls.cycleRepeat()
            }
        }
    }

    component ActionSpinner: Item {
        implicitWidth: 36
        implicitHeight: 36

        ProgressSpinner {
            anchors.centerIn: parent
            size: 27
            color: Qt.rgba(1, 1, 1, 0.6)
            running: parent.visible
        }
    }
}
