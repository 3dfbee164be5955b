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

    implicitWidth: Math.max(120, implicitContentWidth + leftPadding + rightPadding)
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
        color: !control.enabled ? Qt.rgba(control.tint.r, control.tint.g, control.tint.b, 0.35)
             : control.down ? Qt.darker(control.tint, 1.18)
             : control.hovered ? Qt.lighter(control.tint, 1.08)
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
            color: control.enabled ? "white" : Qt.rgba(1, 1, 1, 0.55)
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
