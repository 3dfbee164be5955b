import QtQuick
import QtQuick.Controls
import Nimbra

// Stands for the fullscreen player over the detail column: the current
// track large, and "Свернуть" to close it.
Rectangle {
    id: player
    objectName: "fullscreenPlayer"

    readonly property var track: PlayerStore.currentTrack

    color: AppTheme.background

    // Clicks stay here instead of reaching the dimmed screen below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    Button {
        objectName: "collapseButton"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.margins: 16
        flat: true
        focusPolicy: Qt.NoFocus
        text: "Свернуть"
        onClicked: PlayerStore.dismissFullscreen()
    }

    Column {
        anchors.centerIn: parent
        spacing: 10

        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(player.width, player.height) * 0.42
            height: width
            radius: 18
            color: AppTheme.elevated
            border.width: 1
            border.color: AppTheme.border

            AppIcon {
                anchors.centerIn: parent
                name: "music.note"
                size: parent.width * 0.35
                color: AppTheme.textMuted
            }
        }

        Item {
            width: 1
            height: 8
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, player.width - 48)
            horizontalAlignment: Text.AlignHCenter
            text: player.track.title ?? ""
            textFormat: Text.PlainText
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(AppTheme.title.pixelSize, Font.Bold)
            elide: Text.ElideRight
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, player.width - 48)
            horizontalAlignment: Text.AlignHCenter
            text: player.track.artist ?? ""
            textFormat: Text.PlainText
            color: AppTheme.textSecondary
            font: AppTheme.title3
            elide: Text.ElideRight
        }
    }
}
