import QtQuick
import Nimbra

// One row of the lyrics panel. Its look follows its state (sung, lit, to
// come, blank) and moves smoothly from one look to the next. A blank line
// is a spacer. The whole row takes a click.
Item {
    id: row

    property string lineText
    // LyricsPanelModel.LineState
    property int look: LyricsPanelModel.Upcoming
    property bool glowOnGpu: false
    readonly property bool blank: look === LyricsPanelModel.Empty
    readonly property bool lit: look === LyricsPanelModel.Active

    readonly property real blankHeight: 20
    readonly property real textPadding: 6
    readonly property real litPixelSize: 26
    readonly property real linePixelSize: 20
    readonly property color pastColor: AppTheme.alpha("white", 0.35)
    readonly property color upcomingColor: AppTheme.alpha("white", 0.2)
    // The halo's copies sit on a circle of this radius round the text.
    readonly property real haloReach: 3
    readonly property real haloDiagonal: 2.1
    readonly property int restyleDuration: 400

    signal clicked()

    implicitHeight: blank ? blankHeight : label.implicitHeight + textPadding

    // The glow of the lit line. The software renderer draws a halo of
    // faint accent copies around the text; a GPU blurs it properly.
    Item {
        objectName: "lyricsHalo"
        anchors.fill: label
        visible: row.lit && !row.glowOnGpu
        opacity: label.glow

        HaloCopy { source: label; x: row.haloReach; y: 0 }
        HaloCopy { source: label; x: row.haloDiagonal; y: row.haloDiagonal }
        HaloCopy { source: label; x: 0; y: row.haloReach }
        HaloCopy { source: label; x: -row.haloDiagonal; y: row.haloDiagonal }
        HaloCopy { source: label; x: -row.haloReach; y: 0 }
        HaloCopy { source: label; x: -row.haloDiagonal; y: -row.haloDiagonal }
        HaloCopy { source: label; x: 0; y: -row.haloReach }
        HaloCopy { source: label; x: row.haloDiagonal; y: -row.haloDiagonal }
    }

    Text {
        id: label
        objectName: "lyricsLineText"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.verticalCenter: parent.verticalCenter
        width: Math.min(parent.width, AppTheme.lyricsColumnWidth)
        visible: !row.blank
        text: row.lineText
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        font.pixelSize: row.lit ? row.litPixelSize : row.linePixelSize
        font.weight: Font.ExtraBold
        color: row.lit ? "white" : row.look === LyricsPanelModel.Past ? row.pastColor : row.upcomingColor
        property real glow: row.lit ? 1 : 0

        Behavior on font.pixelSize {
            NumberAnimation { duration: row.restyleDuration; easing.type: AppTheme.motionEasing }
        }
        Behavior on color {
            ColorAnimation { duration: row.restyleDuration; easing.type: AppTheme.motionEasing }
        }
        Behavior on glow {
            NumberAnimation { duration: row.restyleDuration; easing.type: AppTheme.motionEasing }
        }

        layer.enabled: row.glowOnGpu && glow > 0
        // The layer keeps only a plain pointer to its effect's component:
        // one made in this binding belonged to nobody, and the collector
        // freed it under the layer. OnDemand keeps it for the process.
        layer.effect: row.glowOnGpu ? OnDemand.component(Qt.resolvedUrl("LyricsGlow.qml")) : null
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: row.clicked()
    }

    component HaloCopy: Text {
        readonly property real copyOpacity: 0.16
        property Text source
        width: source.width
        text: source.text
        font: source.font
        wrapMode: source.wrapMode
        horizontalAlignment: source.horizontalAlignment
        textFormat: Text.PlainText
        color: AppTheme.accent
        opacity: copyOpacity
    }
}
