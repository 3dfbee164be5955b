import QtQuick
import QtQuick.Controls
import Nimbra

// A round button of the players, with its tooltip, out of the keyboard
// focus chain.
CircularControlButton {
    id: button

    property string toolTip

    focusPolicy: Qt.NoFocus
    ToolTipGate {
        id: tip
        hovered: button.hovered
        pressed: button.pressed
    }
    ToolTip.visible: toolTip !== "" && tip.shown
    ToolTip.delay: AppTheme.toolTipDelay
    ToolTip.text: toolTip
}
