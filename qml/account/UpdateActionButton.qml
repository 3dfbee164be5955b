import QtQuick
import QtQuick.Templates as T
import Nimbra

// A bordered button of the updates section: its symbol and text, or while
// `busy` a small spinner before the text.
T.Button {
    id: control

    property string symbol
    property bool busy: false

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: 32
    leftPadding: AppTheme.cardPadding
    rightPadding: AppTheme.cardPadding
    font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
    hoverEnabled: true
    focusPolicy: Qt.NoFocus

    background: Rectangle {
        radius: AppTheme.radiusM
        color: control.down ? AppTheme.alpha(AppTheme.accent, 0.28)
             : control.hovered && control.enabled ? AppTheme.alpha(AppTheme.accent, 0.2)
             : AppTheme.alpha(AppTheme.accent, 0.14)
        border.width: 1
        border.color: AppTheme.borderStrong
    }

    contentItem: Row {
        spacing: AppTheme.spacingS

        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: 16
            height: 16

            AppIcon {
                anchors.centerIn: parent
                visible: !control.busy
                name: control.symbol
                size: 16
                color: AppTheme.accentLight
            }

            ProgressSpinner {
                objectName: "busySpinner"
                anchors.centerIn: parent
                size: 12
                color: AppTheme.accentLight
                running: control.busy && control.visible
            }
        }

        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: control.text
            color: control.enabled ? AppTheme.accentLight : AppTheme.textSecondary
            font: control.font
        }
    }
}
