import QtQuick
import QtQuick.Templates as T
import Nimbra

// A one-line text field of the forms: a rounded dark box with a hairline
// that turns to the accent while the field has focus, and a muted
// placeholder while nothing is typed.
T.TextField {
    id: control

    implicitWidth: 220
    implicitHeight: AppTheme.controlHeight
    leftPadding: AppTheme.spacingM
    rightPadding: AppTheme.spacingM
    topPadding: 0
    bottomPadding: 0
    verticalAlignment: TextInput.AlignVCenter

    font: AppTheme.control
    color: AppTheme.textPrimary
    placeholderTextColor: AppTheme.textMuted
    selectionColor: AppTheme.accent
    selectedTextColor: "white"
    passwordCharacter: "\u2022"
    selectByMouse: true
    hoverEnabled: true

    background: Rectangle {
        radius: AppTheme.radiusM
        color: AppTheme.elevated
        border.width: 1
        border.color: control.activeFocus ? AppTheme.accent
                                          : control.hovered ? AppTheme.fieldBorderHovered
                                                            : AppTheme.borderStrong
    }

    Text {
        x: control.leftPadding
        width: control.width - control.leftPadding - control.rightPadding
        height: control.height
        verticalAlignment: Text.AlignVCenter
        text: control.placeholderText
        color: control.placeholderTextColor
        font: control.font
        elide: Text.ElideRight
        visible: control.length === 0 && control.preeditText === ""
    }
}
