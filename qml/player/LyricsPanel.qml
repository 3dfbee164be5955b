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
    // The room above the first line and below the last.
    readonly property real inset: embedded ? 220 : 200
    readonly property real sideMargin: 28
    readonly property real lineGap: 6
    readonly property color standaloneBackground: AppTheme.alpha(AppTheme.background, 0.98)
    readonly property real standaloneShade: 0.75
    readonly property int glideDuration: 450
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
        color: panel.standaloneBackground

        BlurredCover {
            anchors.fill: parent
            source: panel.embedded ? "" : panel.coverUrl
            shade: panel.standaloneShade
        }
    }

    ListView {
        id: lines
        objectName: "lyricsLines"
        anchors.fill: parent
        anchors.leftMargin: panel.sideMargin
        anchors.rightMargin: panel.sideMargin
        clip: true
        model: lyrics
        spacing: panel.lineGap
        boundsBehavior: Flickable.StopAtBounds
        currentIndex: lyrics.activeIndex
        // The lit line's anchor point stays at the same share of the panel.
        highlightRangeMode: ListView.ApplyRange
        preferredHighlightBegin: lyrics.rowTopInView(height, currentItem ? currentItem.height : 0)
        preferredHighlightEnd: preferredHighlightBegin + (currentItem ? currentItem.height : 0)
        highlightFollowsCurrentItem: true
        highlightMoveVelocity: -1
        // The first placement is immediate; later moves glide.
        highlightMoveDuration: settled ? panel.glideDuration : 0
        property bool settled: false
        Component.onCompleted: Qt.callLater(() => { placeLitLine(); settled = true })
        // The range only moves the view when the lit line changes: on
        // opening, and when the panel's height changes, the lit line is put
        // at its anchor here, at once. Rows laid out around it may move it,
        // so it is placed again after they are.
        onHeightChanged: placeLitLine()
        function placeLitLine() {
            for (let pass = 0; pass < 2; ++pass) {
                if (!currentItem || height <= 0)
                    return
                forceLayout()
                const top = currentItem.y - lyrics.rowTopInView(height, currentItem.height)
                const highest = Math.max(originY, originY + contentHeight - height)
                contentY = Math.min(highest, Math.max(originY, top))
            }
        }

        header: Item {
            width: lines.width
            height: panel.inset + (note.visible ? note.height + note.anchors.bottomMargin : 0)

            Text {
                id: note
                objectName: "lyricsNote"
                anchors.bottom: parent.bottom
                anchors.bottomMargin: AppTheme.spacingM
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(parent.width, AppTheme.lyricsColumnWidth)
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
