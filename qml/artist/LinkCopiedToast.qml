import QtQuick
import Nimbra

// The short confirmation of a copied link: shows the text for a moment and
// fades out.
Rectangle {
    id: toast

    function show(text) {
        label.text = text
        opacity = 1
        hideTimer.restart()
    }

    implicitWidth: label.implicitWidth + 2 * AppTheme.spacingL
    implicitHeight: label.implicitHeight + 2 * AppTheme.spacingS
    radius: height / 2
    color: AppTheme.elevated
    border.color: AppTheme.borderStrong
    opacity: 0
    visible: opacity > 0

    Behavior on opacity {
        NumberAnimation {
            duration: AppTheme.motionFast
            easing.type: AppTheme.motionEasing
        }
    }

    Text {
        id: label
        objectName: "linkCopiedText"
        anchors.centerIn: parent
        color: AppTheme.textPrimary
        font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
    }

    Timer {
        id: hideTimer
        interval: 1600
        onTriggered: toast.opacity = 0
    }
}
