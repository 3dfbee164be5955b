import QtQuick
import QtQuick.Templates as T
import Nimbra

// A borderless text button in one colour, with an optional leading symbol;
// the text is underlined under the pointer and dims while pressed.
T.AbstractButton {
    id: control

    property string symbol
    property color color: AppTheme.accent

    readonly property real pressedOpacity: 0.7

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    padding: AppTheme.spacingXXS
    font: AppTheme.body
    hoverEnabled: true
    // Buttons stay out of the Tab chain: with focus frames suppressed, Space
    // or Enter must never press a control nobody can see is focused.
    focusPolicy: Qt.NoFocus
    opacity: control.down ? pressedOpacity : 1

    contentItem: Row {
        spacing: AppTheme.symbolGap

        AppIcon {
            anchors.verticalCenter: parent.verticalCenter
            visible: control.symbol !== ""
            name: control.symbol
            size: AppTheme.symbolSize(control.font)
            color: control.color
        }

        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: control.text
            font.pixelSize: control.font.pixelSize
            font.weight: control.font.weight
            font.underline: control.hovered && control.enabled
            color: control.color
        }
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }
}
