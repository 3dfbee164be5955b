import QtQuick
import Nimbra

// A short confirmation that fades in, stays a moment and fades out.
Rectangle {
    id: toast
    objectName: "copiedToast"

    property int holdMs: 1800

    function show(text) {
        label.text = text
        opacity = 1
        hold.restart()
    }

    implicitWidth: label.implicitWidth + 2 * AppTheme.spacingM
    implicitHeight: label.implicitHeight + 2 * AppTheme.spacingS
    radius: AppTheme.radiusM
    color: AppTheme.elevated
    border.color: AppTheme.borderStrong
    opacity: 0
    visible: opacity > 0

    Behavior on opacity {
        NumberAnimation { duration: AppTheme.motionFast; easing.type: AppTheme.motionEasing }
    }

    Text {
        id: label
        anchors.centerIn: parent
        color: AppTheme.textPrimary
        font: AppTheme.callout
    }

    Timer {
        id: hold
        interval: toast.holdMs
        onTriggered: toast.opacity = 0
    }
}
