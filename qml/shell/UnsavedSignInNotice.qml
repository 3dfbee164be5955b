import QtQuick
import QtQuick.Layouts
import Nimbra

// The one line that tells a listener without a secret service that this
// sign-in lasts only until the client closes (or, given its `text`, that the
// saved sign-in could not be read).
Rectangle {
    id: notice
    objectName: "unsavedSignInNotice"

    property string text: "Вход не сохранится на этом компьютере: служба хранения паролей не запущена."

    signal dismissed()

    implicitHeight: row.implicitHeight + 2 * AppTheme.spacingS
    color: AppTheme.surface

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: AppTheme.spacingL
        anchors.rightMargin: AppTheme.spacingL
        spacing: AppTheme.itemSpacing

        AppIcon {
            name: "exclamationmark.triangle.fill"
            size: AppTheme.symbolSize(AppTheme.callout)
            color: AppTheme.systemOrange
        }
        Text {
            Layout.fillWidth: true
            text: notice.text
            elide: Text.ElideRight
            font: AppTheme.callout
            color: AppTheme.textSecondary
        }
        LinkButton {
            objectName: "dismissNotice"
            text: "Понятно"
            color: AppTheme.accent
            onClicked: notice.dismissed()
        }
    }

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: AppTheme.border
    }
}
