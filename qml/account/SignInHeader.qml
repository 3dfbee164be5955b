import QtQuick
import QtQuick.Layouts
import Nimbra

// The client's mark, name and caption at the top of the sign-in screen and
// of the launch screen that comes before it.
ColumnLayout {
    objectName: "signInHeader"

    property string caption

    spacing: AppTheme.spacingS

    AppIcon {
        Layout.alignment: Qt.AlignHCenter
        Layout.bottomMargin: AppTheme.spacingXS
        name: "music.note.house.fill"
        size: AppTheme.symbolSize(AppTheme.systemFont(48))
        color: AppTheme.accent
    }
    Text {
        Layout.alignment: Qt.AlignHCenter
        text: "Nimbras"
        font.pixelSize: 30
        font.weight: Font.Bold
        color: AppTheme.textPrimary
    }
    Text {
        objectName: "caption"
        Layout.alignment: Qt.AlignHCenter
        text: parent.caption
        font: AppTheme.systemFont(14)
        color: AppTheme.textSecondary
    }
}
