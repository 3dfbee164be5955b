import QtQuick
import QtQuick.Layouts
import Nimbra

// The client's mark, name and caption at the top of the sign-in screen and
// of the launch screen that comes before it.
ColumnLayout {
    id: header
    objectName: "signInHeader"

    property string caption

    readonly property real markSize: 48
    readonly property real nameSize: 30
    readonly property real captionSize: 14

    spacing: AppTheme.spacingS

    AppIcon {
        Layout.alignment: Qt.AlignHCenter
        Layout.bottomMargin: AppTheme.spacingXS
        name: "music.note.house.fill"
        size: AppTheme.symbolSize(AppTheme.systemFont(header.markSize))
        color: AppTheme.accent
    }
    Text {
        Layout.alignment: Qt.AlignHCenter
        text: "Nimbras"
        font.pixelSize: header.nameSize
        font.weight: Font.Bold
        color: AppTheme.textPrimary
    }
    Text {
        objectName: "caption"
        Layout.alignment: Qt.AlignHCenter
        text: parent.caption
        font: AppTheme.systemFont(header.captionSize)
        color: AppTheme.textSecondary
    }
}
