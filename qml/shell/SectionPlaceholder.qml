import QtQuick
import Nimbra

// Stands for a section whose screen is not part of this build: its title
// where the screen's header goes, and its symbol, faint, in the middle.
Item {
    id: placeholder
    objectName: "sectionPlaceholder"

    property string title
    property string symbol

    Text {
        objectName: "sectionTitle"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.leftMargin: 28
        anchors.topMargin: AppTheme.sheetMargin
        text: placeholder.title
        color: AppTheme.textPrimary
        font: AppTheme.systemFont(AppTheme.largeTitle.pixelSize, Font.Bold)
    }

    Rectangle {
        anchors.centerIn: parent
        width: 120
        height: 120
        radius: 60
        color: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.08)
        border.width: 1
        border.color: AppTheme.border

        AppIcon {
            anchors.centerIn: parent
            name: placeholder.symbol
            size: 52
            color: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.55)
        }
    }
}
