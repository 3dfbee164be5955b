import QtQuick
import Nimbra

// The lyrics of the playing track as a centred column that follows
// playback: the lit line large, white and glowing, sung lines dimmed, lines
// to come dimmer. The column keeps the lit line a little above the middle
// and fades out at both edges; a click on a line plays from there. Plain
// lyrics carry a note that their timing is estimated. Nothing runs on a
// timer: the lit line moves with the player's position, and only while the
// panel is shown.
Item {
    id: panel
    objectName: "lyricsPanel"

    // Inside the fullscreen player: no background of its own.
    property bool embedded: true
    property url coverUrl
    readonly property real inset: embedded ? 220 : 200
    readonly property bool hardwareEffects: GraphicsInfo.api !== GraphicsInfo.Software
                                            && GraphicsInfo.api !== GraphicsInfo.Unknown

    LyricsPanelModel {
        id: lyrics
        objectName: "lyricsModel"
        active: panel.visible
    }

    // Standalone only: the dark background with the darkened cover behind.
    Rectangle {
        anchors.fill: parent
        visible: !panel.embedded
        color: AppTheme.alpha(AppTheme.background, 0.98)

        BlurredCover {
            anchors.fill: parent
            source: panel.embedded ? "" : panel.coverUrl
            shade: 0.75
        }
    }

    ListView {
        id: lines
        objectName: "lyricsLines"
        anchors.fill: parent
        anchors.leftMargin: 28
        anchors.rightMargin: 28
        clip: true
        model: lyrics
        spacing: 6
        boundsBehavior: Flickable.StopAtBounds
        currentIndex: lyrics.activeIndex
        // The lit line's anchor point stays at the same share of the panel.
        highlightRangeMode: ListView.ApplyRange
        preferredHighlightBegin: lyrics.rowTopInView(height, currentItem ? currentItem.height : 0)
        preferredHighlightEnd: preferredHighlightBegin + (currentItem ? currentItem.height : 0)
        highlightFollowsCurrentItem: true
        highlightMoveVelocity: -1
        // The first placement is immediate; later moves glide.
        highlightMoveDuration: settled ? 450 : 0
        property bool settled: false
        Component.onCompleted: Qt.callLater(() => settled = true)

        header: Item {
            width: lines.width
            height: panel.inset + (note.visible ? note.height + 12 : 0)

            Text {
                id: note
                objectName: "lyricsNote"
                anchors.bottom: parent.bottom
                anchors.bottomMargin: AppTheme.spacingM
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(parent.width, 480)
                visible: lyrics.showsNote
                opacity: lyrics.edgeOpacity((parent.y + y + height / 2 - lines.contentY) / Math.max(1, lines.height))
                text: lyrics.noteText
                color: AppTheme.textMuted
                font: AppTheme.systemFont(AppTheme.caption.pixelSize, Font.Medium)
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
            }
        }

        footer: Item {
            width: lines.width
            height: panel.inset
        }

        delegate: LyricsLine {
            required property int index
            required property string text
            required property int lineState
            width: lines.width
            lineText: text
            look: lineState
            glowOnGpu: panel.hardwareEffects
            // The fade at both edges, row by row: it draws on every renderer.
            opacity: lyrics.edgeOpacity((y + height / 2 - lines.contentY) / Math.max(1, lines.height))
            onClicked: lyrics.seekToLine(index)
        }
    }
}
