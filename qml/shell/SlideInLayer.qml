import QtQuick
import Nimbra

// A layer that enters from the bottom edge with a fade and leaves the same
// way. Its content exists only while it is shown or on its way out.
Item {
    id: layer

    property bool shown: false
    property int duration: AppTheme.motionFast
    property int easingType: AppTheme.motionEasing
    default property alias content: holder.data

    property real progress: shown ? 1 : 0
    // The layer slides in from at most this far below.
    readonly property real slideDistance: 160

    Behavior on progress {
        NumberAnimation {
            duration: layer.duration
            easing.type: layer.easingType
        }
    }

    visible: progress > 0
    opacity: progress
    // On its way out it takes no press: another layer may be sliding in
    // under it (the fullscreen player under the mini player), and a press
    // on that layer's control must reach it, not the fading bar above.
    enabled: shown

    Item {
        id: holder
        width: layer.width
        height: layer.height
        y: (1 - layer.progress) * Math.min(layer.height, layer.slideDistance)

        // Takes the hover, not the presses, under the content: a control
        // the layer comes over loses its hover, and with it its help text.
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.NoButton
        }
    }
}
