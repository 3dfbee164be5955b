import QtQuick
import QtQuick.Templates as T
import Nimbra

// The round icon button of the players: a symbol centred on a filled circle
// whose diameter is always `size`. The symbol's size follows `iconFont` alone,
// so a large font in a small button lets the symbol reach past the circle.
// The button draws itself the same when pressed, hovered or disabled; callers
// that want a tooltip, a disabled look or a scale effect add it around it.
// Clicking does not take keyboard focus from a text field.
T.AbstractButton {
    id: control

    property string systemImage
    property real size: 32
    property font iconFont: AppTheme.body
    property color foreground: AppTheme.textPrimary
    property color backgroundColor: AppTheme.elevated

    implicitWidth: size
    implicitHeight: size
    padding: 0
    hoverEnabled: true
    // Buttons stay out of the Tab chain: with focus frames suppressed, Space
    // or Enter must never press a control nobody can see is focused.
    focusPolicy: Qt.NoFocus

    background: null
    contentItem: Item {
        Rectangle {
            objectName: "circle"
            anchors.centerIn: parent
            width: control.size
            height: control.size
            radius: control.size / 2
            color: control.backgroundColor
        }

        AppIcon {
            objectName: "symbol"
            anchors.centerIn: parent
            name: control.systemImage
            size: AppTheme.symbolSize(control.iconFont)
            color: control.foreground
        }
    }
}
