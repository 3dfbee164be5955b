import QtQuick
import QtQuick.Controls
import Nimbra

// A borderless icon button of rows and bars: a symbol centred in a square of
// AppTheme.iconButtonSize, clickable over the whole square, an optional
// tooltip, and out of the keyboard focus chain.
Item {
    id: button

    property string symbol
    property color color: AppTheme.textPrimary
    property real iconSize: AppTheme.symbolSize(AppTheme.body)
    property string toolTip

    readonly property real disabledOpacity: 0.4

    signal clicked()

    implicitWidth: AppTheme.iconButtonSize
    implicitHeight: AppTheme.iconButtonSize
    opacity: enabled ? 1 : disabledOpacity

    AppIcon {
        anchors.centerIn: parent
        name: button.symbol
        size: button.iconSize
        color: button.color
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: button.toolTip !== ""
        onClicked: button.clicked()

        ToolTipGate {
            id: tip
            hovered: mouse.containsMouse
            pressed: mouse.pressed
        }
        ToolTip.visible: button.toolTip !== "" && tip.shown
        ToolTip.delay: AppTheme.toolTipDelay
        ToolTip.text: button.toolTip
    }
}
