import QtQuick
import QtQuick.Templates as T
import Nimbra

// The crossfade slider: 0 to 10 seconds in whole steps, a capsule track
// filled with the accent up to a round handle.
T.Slider {
    id: control

    readonly property real trackLength: 160
    readonly property real trackThickness: 4

    implicitWidth: trackLength
    implicitHeight: AppTheme.sliderHeight
    from: 0
    to: 10
    stepSize: 1
    snapMode: T.Slider.SnapAlways
    focusPolicy: Qt.NoFocus

    background: Rectangle {
        x: control.leftPadding
        y: control.topPadding + (control.availableHeight - height) / 2
        width: control.availableWidth
        height: control.trackThickness
        radius: height / 2
        color: AppTheme.sliderTrack

        Rectangle {
            width: control.visualPosition * parent.width
            height: parent.height
            radius: height / 2
            color: AppTheme.accent
        }
    }

    handle: Rectangle {
        x: control.leftPadding + control.visualPosition * (control.availableWidth - width)
        y: control.topPadding + (control.availableHeight - height) / 2
        width: AppTheme.sliderHandleSize
        height: AppTheme.sliderHandleSize
        radius: AppTheme.radiusM
        color: control.pressed ? AppTheme.accentLight : "white"
    }
}
