import QtQuick
import Nimbra

// Previous, play-pause and next of the clip player.
Row {
    spacing: AppTheme.spacingXL

    CircularControlButton {
        objectName: "clipPrevious"
        anchors.verticalCenter: parent.verticalCenter
        systemImage: "backward.fill"
        size: 40
        iconFont: AppTheme.body
        foreground: Qt.rgba(1, 1, 1, 0.9)
        backgroundColor: Qt.rgba(1, 1, 1, 0.12)
        focusPolicy: Qt.NoFocus
        onClicked: ClipPlayerStore.previous()
    }

    CircularControlButton {
        objectName: "clipPlayPause"
        anchors.verticalCenter: parent.verticalCenter
        systemImage: ClipPlayerStore.isPlaying ? "pause.fill" : "play.fill"
        size: 52
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
        size: 40
        iconFont: AppTheme.body
        foreground: Qt.rgba(1, 1, 1, 0.9)
        backgroundColor: Qt.rgba(1, 1, 1, 0.12)
        focusPolicy: Qt.NoFocus
        onClicked: ClipPlayerStore.next()
    }
}
