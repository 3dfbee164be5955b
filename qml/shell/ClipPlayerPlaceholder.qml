import QtQuick
import Nimbra

// Stands for the video player over the whole window while a clip is
// presented: windowed in the middle, or filling the window, where a button
// returns it to its window.
Item {
    id: clip
    objectName: "clipPlayer"

    readonly property bool fullscreen: ClipPlayerStore.isFullscreen

    Rectangle {
        anchors.fill: parent
        color: "black"
        opacity: clip.fullscreen ? 1 : 0.55
    }

    Rectangle {
        anchors.centerIn: parent
        width: clip.fullscreen ? parent.width : Math.min(parent.width - 80, 720)
        height: clip.fullscreen ? parent.height : width * 9 / 16
        radius: clip.fullscreen ? 0 : 14
        color: "black"
        border.width: clip.fullscreen ? 0 : 1
        border.color: Qt.rgba(1, 1, 1, 0.08)

        AppIcon {
            anchors.centerIn: parent
            name: "play.rectangle.fill"
            size: 64
            color: Qt.rgba(1, 1, 1, 0.25)
        }

        CircularControlButton {
            visible: clip.fullscreen
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: 16
            systemImage: "arrow.down.right.and.arrow.up.left"
            foreground: "white"
            backgroundColor: Qt.rgba(1, 1, 1, 0.12)
            focusPolicy: Qt.NoFocus
            onClicked: ClipPlayerStore.isFullscreen = false
        }
    }
}
