import QtQuick
import Nimbra

// Stands for the mini player: the current track along the bottom of the
// window with play and pause; a click on the track opens the fullscreen
// player. Draws nothing without a current track.
Rectangle {
    id: bar
    objectName: "miniPlayer"


    implicitHeight: 64
    color: Qt.rgba(AppTheme.surface.r, AppTheme.surface.g, AppTheme.surface.b, 0.96)
    visible: PlayerStore.hasCurrentTrack

    Rectangle {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: 1
        color: Qt.rgba(AppTheme.borderStrong.r, AppTheme.borderStrong.g, AppTheme.borderStrong.b, 0.5 * AppTheme.borderStrong.a)
    }

    MouseArea {
        id: open
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.right: playPause.left
        anchors.rightMargin: 10
        onClicked: {
            if (PlayerStore.hasCurrentTrack)
                PlayerStore.isFullscreenPresented = true
        }

        Rectangle {
            id: cover
            anchors.left: parent.left
            anchors.leftMargin: 14
            anchors.verticalCenter: parent.verticalCenter
            width: 44
            height: 44
            radius: 8
            color: AppTheme.elevated

            AppIcon {
                anchors.centerIn: parent
                name: "music.note"
                size: 22
                color: AppTheme.textMuted
            }
        }

        Column {
            anchors.left: cover.right
            anchors.leftMargin: 10
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2

            Text {
                width: parent.width
                text: PlayerStore.currentTitle
                textFormat: Text.PlainText
                color: AppTheme.textPrimary
                font: AppTheme.systemFont(AppTheme.subheadline.pixelSize + 1, Font.DemiBold)
                elide: Text.ElideRight
            }

            Text {
                width: parent.width
                text: PlayerStore.currentArtist
                textFormat: Text.PlainText
                color: AppTheme.textSecondary
                font: AppTheme.subheadline
                elide: Text.ElideRight
            }
        }
    }

    CircularControlButton {
        id: playPause
        anchors.right: parent.right
        anchors.rightMargin: 14
        anchors.verticalCenter: parent.verticalCenter
        size: 36
        systemImage: PlayerStore.isPlaying ? "pause.fill" : "play.fill"
        foreground: "white"
        backgroundColor: AppTheme.accent
        focusPolicy: Qt.NoFocus
        onClicked: PlayerStore.togglePlayPause()
    }
}
