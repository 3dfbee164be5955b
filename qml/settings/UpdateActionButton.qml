import QtQuick
import QtQuick.Templates as T
import Nimbra

// A bordered button of the updates section: its symbol and text, or while
// `busy` a small spinner before the text.
T.Button {
    id: control

    property string symbol
    property bool busy: false

    readonly property real buttonHeight: 32
    readonly property color pressedFill: AppTheme.alpha(AppTheme.accent, 0.28)
    readonly property color hoveredFill: AppTheme.alpha(AppTheme.accent, 0.2)
    readonly property color fill: AppTheme.alpha(AppTheme.accent, 0.14)
    readonly property real spinnerSize: 12

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: buttonHeight
    leftPadding: AppTheme.cardPadding
    rightPadding: AppTheme.cardPadding
    font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
    hoverEnabled: true
    focusPolicy: Qt.NoFocus

    background: Rectangle {
        radius: AppTheme.radiusM
        color: control.down ? control.pressedFill
             : control.hovered && control.enabled ? control.hoveredFill
             : control.fill
        border.width: 1
        border.color: AppTheme.borderStrong
    }

    contentItem: Row {
        spacing: AppTheme.spacingS

        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: AppTheme.smallSymbolSize
            height: AppTheme.smallSymbolSize

            AppIcon {
                anchors.centerIn: parent
                visible: !control.busy
                name: control.symbol
                size: AppTheme.smallSymbolSize
                color: AppTheme.accentLight
            }

            ProgressSpinner {
                objectName: "busySpinner"
                anchors.centerIn: parent
                size: control.spinnerSize
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
