import QtQuick
import Nimbra

// Elapsed time, the bar and the duration of the clip that plays. The time
// labels keep a fixed width, so the bar does not move as the digits change;
// dragging seeks continuously.
Row {
    id: seekBar

    readonly property real timeWidth: 44

    spacing: AppTheme.itemSpacing

    Text {
        objectName: "clipElapsed"
        width: seekBar.timeWidth
        anchors.verticalCenter: parent.verticalCenter
        horizontalAlignment: Text.AlignRight
        text: ClipPlayerStore.elapsedText
        color: "white"
        font: Qt.font({ pixelSize: AppTheme.caption.pixelSize, weight: Font.DemiBold })
    }

    ClipSeekTrack {
        objectName: "clipSeekTrack"
        width: seekBar.width - 2 * seekBar.timeWidth - 2 * seekBar.spacing
        anchors.verticalCenter: parent.verticalCenter
        value: ClipPlayerStore.elapsed
        from: 0
        to: ClipPlayerStore.seekUpperBound
        onMoved: value => ClipPlayerStore.seek(value)
    }

    Text {
        objectName: "clipDuration"
        width: seekBar.timeWidth
        anchors.verticalCenter: parent.verticalCenter
        horizontalAlignment: Text.AlignLeft
        text: ClipPlayerStore.durationText
        color: "white"
        font: Qt.font({ pixelSize: AppTheme.caption.pixelSize, weight: Font.DemiBold })
    }
}
