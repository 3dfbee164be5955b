import QtQuick
import Nimbra

// Stands for a section whose screen is not part of this build: its title
// where the screen's header goes, and its symbol, faint, in the middle.
Item {
    id: placeholder
    objectName: "sectionPlaceholder"

    property string title
    property string symbol

    // The symbol, faint, on a faint disc.
    readonly property real discSize: 120
    readonly property color discFill: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.08)
    readonly property real symbolSize: 52
    readonly property color symbolColor: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.55)

    Text {
        objectName: "sectionTitle"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.leftMargin: AppTheme.sectionMargin
        anchors.topMargin: AppTheme.sheetMargin
        text: placeholder.title
        color: AppTheme.textPrimary
        font: AppTheme.systemFont(AppTheme.largeTitle.pixelSize, Font.Bold)
    }

    Rectangle {
        anchors.centerIn: parent
        width: placeholder.discSize
        height: placeholder.discSize
        radius: width / 2
        color: placeholder.discFill
        border.width: 1
        border.color: AppTheme.border

        AppIcon {
            anchors.centerIn: parent
            name: placeholder.symbol
            size: placeholder.symbolSize
            color: placeholder.symbolColor
        }
    }
}
