import QtQuick
import Qt5Compat.GraphicalEffects
import Nimbra

// One row of the lyrics panel. Its look follows its state (sung, lit, to
// come, blank) and moves smoothly from one look to the next. A blank line
// is a 20-point spacer. The whole row takes a click.
Item {
    id: row

    property string lineText
    // LyricsPanelModel.LineState
    property int look: LyricsPanelModel.Upcoming
    property bool glowOnGpu: false
    readonly property bool blank: look === LyricsPanelModel.Empty
    readonly property bool lit: look === LyricsPanelModel.Active

    signal clicked()

    implicitHeight: blank ? 20 : label.implicitHeight + 6

    // The glow of the lit line. The software renderer draws a halo of
    // faint accent copies around the text; a GPU blurs it properly.
    Item {
        anchors.fill: label
        visible: row.lit && !row.glowOnGpu
        opacity: label.glow

        HaloCopy { source: label; x: 3; y: 0 }
        HaloCopy { source: label; x: 2.1; y: 2.1 }
        HaloCopy { source: label; x: 0; y: 3 }
        HaloCopy { source: label; x: -2.1; y: 2.1 }
        HaloCopy { source: label; x: -3; y: 0 }
        HaloCopy { source: label; x: -2.1; y: -2.1 }
        HaloCopy { source: label; x: 0; y: -3 }
        HaloCopy { source: label; x: 2.1; y: -2.1 }
    }

    Text {
        id: label
        objectName: "lyricsLineText"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.verticalCenter: parent.verticalCenter
        width: Math.min(parent.width, 480)
        visible: !row.blank
        text: row.lineText
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        font.pixelSize: row.lit ? 26 : 20
        font.weight: Font.ExtraBold
        color: row.lit ? "white" : row.look === LyricsPanelModel.Past ? Qt.rgba(1, 1, 1, 0.35)
                                                                         : Qt.rgba(1, 1, 1, 0.2)
        property real glow: row.lit ? 1 : 0

        Behavior on font.pixelSize {
            NumberAnimation { duration: 400; easing.type: Easing.InOutQuad }
        }
        Behavior on color {
            ColorAnimation { duration: 400; easing.type: Easing.InOutQuad }
        }
        Behavior on glow {
            NumberAnimation { duration: 400; easing.type: Easing.InOutQuad }
        }

        layer.enabled: row.glowOnGpu && glow > 0
        layer.effect: Glow {
            radius: AppTheme.radiusXXL
            samples: 33
            color: AppTheme.alpha(AppTheme.accent, 0.5 * label.glow)
            transparentBorder: true
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: row.clicked()
    }

    component HaloCopy: Text {
        property Text source
        width: source.width
        text: source.text
        font: source.font
        wrapMode: source.wrapMode
        horizontalAlignment: source.horizontalAlignment
        textFormat: Text.PlainText
        color: AppTheme.accent
        opacity: 0.16
    }
}
