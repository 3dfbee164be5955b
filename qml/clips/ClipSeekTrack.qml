import QtQuick
import Nimbra

// The clip player's thin progress bar: shows `value` within from … to and,
// while pressed or dragged, says `moved` with the value under the pointer
// (a press jumps there at once; a drag past an end pins to that end). No
// knob, no hover effect, no animation of the fill.
Item {
    id: bar

    property real value: 0
    property real from: 0
    property real to: 1

    signal moved(real value)

    // A range narrower than 1 counts as exactly 1 wide.
    readonly property real upper: Math.max(to, from + 1)
    readonly property real fraction: Math.max(0, Math.min(1, (value - from) / (upper - from)))

    implicitHeight: AppTheme.sliderHeight

    function valueAt(x) {
        const width = Math.max(bar.width, 1)
        return from + (upper - from) * Math.max(0, Math.min(width, x)) / width
    }

    Rectangle {
        objectName: "seekTrack"
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width
        height: AppTheme.sliderTrackThickness
        radius: AppTheme.sliderTrackThickness / 2
        color: AppTheme.sliderTrack

        Rectangle {
            objectName: "seekFill"
            width: Math.max(0, parent.width) * bar.fraction
            height: parent.height
            radius: AppTheme.sliderTrackThickness / 2
            color: AppTheme.accent
        }
    }

    MouseArea {
        anchors.fill: parent
        preventStealing: true
        onPressed: mouse => bar.moved(bar.valueAt(mouse.x))
        onPositionChanged: mouse => {
            if (pressed)
                bar.moved(bar.valueAt(mouse.x))
        }
    }
}
