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
        onLitLineMoved: lines.glideToLitLine()
        // New lyrics show with their lit line in place at once, once the
        // rows are laid out.
        onLyricsChanged: Qt.callLater(lines.placeLitLine)
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
        // The lit line is followed by the glide below, not by the list's
        // current item, which would move the view on its own.
        currentIndex: -1
        highlightFollowsCurrentItem: false
        // True while the column glides to a newly lit line.
        readonly property bool gliding: glide.running
        property real glideFrom: 0
        property real glideProgress

        // Every change of the lit line glides the column until the line's
        // anchor point meets the panel's. The target is taken again at each
        // step, since the rows grow and shrink to their new looks meanwhile.
        NumberAnimation on glideProgress {
            id: glide
            running: false
            from: 0
            to: 1
            duration: panel.glideDuration
        }
        onGlideProgressChanged: {
            const row = litRow()
            if (row)
                contentY = lyrics.glidePosition(glideFrom, targetOf(row), glideProgress)
        }
        // The listener's own scrolling wins over a glide under way.
        onMovementStarted: glide.stop()

        Component.onCompleted: Qt.callLater(placeLitLine)
        onHeightChanged: placeLitLine()

        function litRow() {
            const index = lyrics.activeIndex
            if (index < 0 || index >= count)
                return null
            // A row far from the view is not built yet: the view jumps near
            // it first.
            if (!itemAtIndex(index))
                positionViewAtIndex(index, ListView.Center)
            return itemAtIndex(index)
        }
        function targetOf(row) {
            return lyrics.scrollTarget(row.y, row.height, height, originY, contentHeight)
        }
        function glideToLitLine() {
            if (!litRow())
                return
            glideFrom = contentY
            glide.restart()
        }
        // Rows laid out around the lit one may move it, so it is placed
        // again after they are.
        function placeLitLine() {
            glide.stop()
            for (let pass = 0; pass < 2; ++pass) {
                if (height <= 0)
                    return
                forceLayout()
                const row = litRow()
                if (!row)
                    return
                contentY = targetOf(row)
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
