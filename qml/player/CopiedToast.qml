import QtQuick
import Nimbra

// A short confirmation that fades in, stays a moment and fades out.
Rectangle {
    id: toast
    objectName: "copiedToast"

    property int holdMs: 1800

    function show(text) {
        label.text = text
        showing.restart()
    }

    implicitWidth: label.implicitWidth + 2 * AppTheme.spacingM
    implicitHeight: label.implicitHeight + 2 * AppTheme.spacingS
    radius: AppTheme.radiusM
    color: AppTheme.elevated
    border.color: AppTheme.borderStrong
    opacity: 0
    visible: opacity > 0

    SequentialAnimation {
        id: showing
        NumberAnimation { target: toast; property: "opacity"; to: 1; duration: AppTheme.motionFast }
        PauseAnimation { duration: toast.holdMs }
        NumberAnimation { target: toast; property: "opacity"; to: 0; duration: AppTheme.motionFast }
    }

    Text {
        id: label
        anchors.centerIn: parent
        color: AppTheme.textPrimary
        font: AppTheme.callout
    }
}
