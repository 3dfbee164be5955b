import QtQuick
import Nimbra

// The thin progress bar that shows a position and takes a click or a drag
// to a new one. It knows nothing of players: it shows `value` within `from`
// and `to` and says `moved(value)` for every change of the pointer while it
// is pressed; the caller decides what the value means. There is no knob, no
// hover effect and no animation of the fill, which moves in whole pixels.
Item {
    id: bar

    property real value: 0
    property real from: 0
    property real to: 1

    signal moved(real value)

    implicitHeight: AppTheme.sliderHeight

    SeekBarModel {
        id: geometry
        value: bar.value
        from: bar.from
        to: bar.to
        span: seekTrack.width
    }

    Rectangle {
        id: seekTrack
        objectName: "seekTrack"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        height: AppTheme.sliderTrackThickness
        radius: height / 2
        color: AppTheme.sliderTrack

        Rectangle {
            objectName: "seekFill"
            width: geometry.filledWidth
            height: parent.height
            radius: height / 2
            color: AppTheme.accent
        }
    }

    // The whole height takes the pointer.
    MouseArea {
        objectName: "seekArea"
        anchors.fill: parent
        preventStealing: true
        onPressed: mouse => bar.moved(geometry.valueAt(mouse.x, width))
        onPositionChanged: mouse => {
            if (pressed)
                bar.moved(geometry.valueAt(mouse.x, width))
        }
    }
}
