import QtQuick
import QtQuick.Templates as T
import Nimbra

// The search box: a magnifier, the text, and a clear button while there is
// text. Return says `accepted`; the clear button empties the field and keeps
// the keyboard in it.
T.TextField {
    id: control

    implicitWidth: 320
    implicitHeight: AppTheme.controlHeight
    leftPadding: AppTheme.spacingS + magnifier.width + AppTheme.spacingS
    rightPadding: clear.visible ? clear.width + AppTheme.spacingXS : AppTheme.spacingM
    topPadding: 0
    bottomPadding: 0
    verticalAlignment: TextInput.AlignVCenter

    font: AppTheme.control
    color: AppTheme.textPrimary
    placeholderText: "Поиск"
    placeholderTextColor: AppTheme.textMuted
    selectionColor: AppTheme.accent
    selectedTextColor: "white"
    selectByMouse: true
    hoverEnabled: true

    background: Rectangle {
        radius: AppTheme.radiusM
        color: AppTheme.elevated
        border.width: 1
        border.color: control.activeFocus ? AppTheme.accent
                                          : control.hovered ? AppTheme.fieldBorderHovered : AppTheme.borderStrong
    }

    AppIcon {
        id: magnifier
        x: AppTheme.spacingS
        anchors.verticalCenter: parent.verticalCenter
        name: "magnifyingglass"
        size: AppTheme.symbolSize(AppTheme.body)
        color: AppTheme.textMuted
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

    IconButton {
        id: clear
        objectName: "searchClear"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        visible: control.length > 0
        symbol: "xmark"
        color: AppTheme.textSecondary
        iconSize: AppTheme.symbolSize(AppTheme.callout)
        onClicked: {
            control.clear()
            control.forceActiveFocus()
        }
    }
}
