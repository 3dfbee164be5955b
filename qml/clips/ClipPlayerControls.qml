import QtQuick
import Nimbra

// Previous, play-pause and next of the clip player.
Row {
    id: controls

    readonly property real playButtonSize: 52

    spacing: AppTheme.spacingXL

    CircularControlButton {
        objectName: "clipPrevious"
        anchors.verticalCenter: parent.verticalCenter
        systemImage: "backward.fill"
        size: AppTheme.roundButtonSize
        iconFont: AppTheme.body
        foreground: AppTheme.mediaForeground
        backgroundColor: AppTheme.mediaFill
        focusPolicy: Qt.NoFocus
        onClicked: ClipPlayerStore.previous()
    }

    CircularControlButton {
        objectName: "clipPlayPause"
        anchors.verticalCenter: parent.verticalCenter
        systemImage: ClipPlayerStore.isPlaying ? "pause.fill" : "play.fill"
        size: controls.playButtonSize
        iconFont: AppTheme.title3
        foreground: "white"
        backgroundColor: AppTheme.accent
        focusPolicy: Qt.NoFocus
        onClicked: ClipPlayerStore.togglePlayPause()
    }

    CircularControlButton {
        objectName: "clipNext"
        anchors.verticalCenter: parent.verticalCenter
        systemImage: "forward.fill"
        size: AppTheme.roundButtonSize
        iconFont: AppTheme.body
        foreground: AppTheme.mediaForeground
        backgroundColor: AppTheme.mediaFill
        focusPolicy: Qt.NoFocus
        onClicked: ClipPlayerStore.next()
    }
}
