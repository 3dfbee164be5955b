import QtQuick
import QtQuick.Templates as T
import Nimbra

// The prominent button of a form or a sheet: white text on a rounded fill of
// `tint` (the accent unless told). While `busy` it shows a spinner in place of
// its text. A disabled button keeps its shape in a faded tint.
T.Button {
    id: control

    property bool busy: false
    property color tint: AppTheme.accent

    readonly property real minimumWidth: 120
    readonly property color disabledFill: Qt.rgba(tint.r, tint.g, tint.b, 0.35)
    readonly property color disabledText: Qt.rgba(1, 1, 1, 0.55)

    implicitWidth: Math.max(minimumWidth, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: AppTheme.controlHeight
    leftPadding: AppTheme.buttonPadding
    rightPadding: AppTheme.buttonPadding
    font: AppTheme.systemFont(AppTheme.control.pixelSize, Font.DemiBold)
    hoverEnabled: true
    // Buttons stay out of the Tab chain: with focus frames suppressed, Space
    // or Enter must never press a control nobody can see is focused.
    focusPolicy: Qt.NoFocus

    background: Rectangle {
        radius: AppTheme.radiusM
        color: !control.enabled ? control.disabledFill
             : control.down ? AppTheme.pressedTint(control.tint)
             : control.hovered ? AppTheme.hoveredTint(control.tint)
             : control.tint
    }

    contentItem: Item {
        implicitWidth: label.implicitWidth
        implicitHeight: label.implicitHeight

        Text {
            id: label
            anchors.fill: parent
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            text: control.text
            font: control.font
            color: control.enabled ? "white" : control.disabledText
            elide: Text.ElideRight
            visible: !control.busy
        }

        ProgressSpinner {
            objectName: "busySpinner"
            anchors.centerIn: parent
            size: AppTheme.smallSymbolSize
            color: "white"
            running: control.busy
        }
    }
}
