import QtQuick
import Nimbra

// The pill that marks a lossless track. It decides nothing: the caller shows
// it or leaves it out.
Rectangle {
    id: badge

    property bool small: false

    implicitWidth: label.implicitWidth + (small ? 8 : 12)
    implicitHeight: label.implicitHeight + (small ? 4 : 6)
    radius: 4
    color: AppTheme.alpha(AppTheme.accent, 0.85)

    Text {
        id: label
        anchors.centerIn: parent
        text: "Hi-Fi"
        color: "white"
        font: AppTheme.systemFont(badge.small ? 9 : 11, Font.Bold)
    }
}
