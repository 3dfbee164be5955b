import QtQuick
import QtQuick.Controls
import Nimbra

// A square cover: the image at `source`, loaded off the main thread at the
// size it is shown, or a placeholder (a note on the raised colour) while it
// loads, when it fails and when there is no source (then nothing is
// requested). With `interactive` it is a button with the tooltip "Открыть
// плеер" and says `tapped`. The corners are cut out of the decoded picture
// (CoverImages), so they are round on every renderer; covers go through the
// engine's network access, which keeps them in the disk cache.
Item {
    id: artwork

    property url source
    property real size: AppTheme.rowArtworkSize
    property real radius: AppTheme.radiusS
    property bool interactive: false
    readonly property bool loaded: image.status === Image.Ready
    // The placeholder's note: a share of the cover, never smaller than the minimum.
    readonly property real noteShare: 0.4
    readonly property real noteMinimumSize: 12

    signal tapped()

    implicitWidth: size
    implicitHeight: size

    Rectangle {
        objectName: "artworkPlaceholder"
        anchors.fill: parent
        radius: artwork.radius
        color: AppTheme.elevated
        visible: !artwork.loaded

        AppIcon {
            anchors.centerIn: parent
            name: "music.note"
            size: Math.max(artwork.noteMinimumSize, Math.round(artwork.height * artwork.noteShare))
            color: AppTheme.textSecondary
        }
    }

    Image {
        id: image
        objectName: "artworkImage"
        anchors.fill: parent
        source: CoverImages.source(artwork.source, artwork.radius * Screen.devicePixelRatio)
        asynchronous: true
        cache: true
        fillMode: Image.PreserveAspectCrop
        sourceSize: Qt.size(Math.ceil(artwork.width * Screen.devicePixelRatio),
                            Math.ceil(artwork.height * Screen.devicePixelRatio))
        visible: artwork.loaded
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        enabled: artwork.interactive
        hoverEnabled: artwork.interactive
        cursorShape: artwork.interactive ? Qt.PointingHandCursor : Qt.ArrowCursor
        onClicked: artwork.tapped()

        ToolTipGate {
            id: tip
            hovered: mouse.containsMouse
            pressed: mouse.pressed
        }
        ToolTip.visible: artwork.interactive && tip.shown
        ToolTip.delay: AppTheme.toolTipDelay
        ToolTip.text: "Открыть плеер"
    }
}
