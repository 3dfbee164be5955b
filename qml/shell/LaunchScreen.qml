import QtQuick
import Nimbra

// Shown for the moment it takes to read the saved session: the name on the
// dark background, nothing that moves and nothing to press.
Item {
    objectName: "launchScreen"

    Column {
        anchors.centerIn: parent
        spacing: 14

        AppIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            name: "music.note.house.fill"
            size: 56
            color: AppTheme.accent
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Nimbras"
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(26, Font.Bold)
        }
    }
}
