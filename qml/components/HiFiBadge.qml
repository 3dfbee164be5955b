import QtQuick
import Nimbra

// The pill that marks a lossless track. It decides nothing: the caller shows
// it or leaves it out.
Rectangle {
    id: badge

    property bool small: false

    readonly property real horizontalPadding: small ? 4 : 6
    readonly property real verticalPadding: small ? 2 : 3
    readonly property real textSize: small ? 9 : 11
    readonly property color fill: AppTheme.alpha(AppTheme.accent, 0.85)

    implicitWidth: label.implicitWidth + 2 * horizontalPadding
    implicitHeight: label.implicitHeight + 2 * verticalPadding
    radius: AppTheme.spacingXS
    color: fill

    Text {
        id: label
        anchors.centerIn: parent
        text: "Hi-Fi"
        color: "white"
        font: AppTheme.systemFont(badge.textSize, Font.Bold)
    }
}
