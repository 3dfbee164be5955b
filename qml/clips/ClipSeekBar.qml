import QtQuick
import Nimbra

// Elapsed time, the bar and the duration of the clip that plays. The time
// labels keep a fixed width, so the bar does not move as the digits change;
// dragging seeks continuously.
Row {
    id: seekBar

    spacing: 10

    Text {
        objectName: "clipElapsed"
        width: 44
        anchors.verticalCenter: parent.verticalCenter
        horizontalAlignment: Text.AlignRight
        text: ClipPlayerStore.elapsedText
        color: "white"
        font: Qt.font({ pixelSize: AppTheme.caption.pixelSize, weight: Font.DemiBold })
    }

    ClipSeekTrack {
        objectName: "clipSeekTrack"
        width: seekBar.width - 2 * 44 - 2 * seekBar.spacing
        anchors.verticalCenter: parent.verticalCenter
        value: ClipPlayerStore.elapsed
        from: 0
        to: ClipPlayerStore.seekUpperBound
        onMoved: value => ClipPlayerStore.seek(value)
    }

    Text {
        objectName: "clipDuration"
        width: 44
        anchors.verticalCenter: parent.verticalCenter
        horizontalAlignment: Text.AlignLeft
        text: ClipPlayerStore.durationText
        color: "white"
        font: Qt.font({ pixelSize: AppTheme.caption.pixelSize, weight: Font.DemiBold })
    }
}
