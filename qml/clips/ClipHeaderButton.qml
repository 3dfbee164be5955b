import QtQuick
import QtQuick.Controls
import Nimbra

// A plain button of the clip player's header: a text and/or a symbol in
// white, optionally on a translucent capsule, with a tooltip.
Item {
    id: button

    property string text
    property string symbol
    property font font: AppTheme.body
    property real symbolSize: 15
    property bool capsule: false
    property color foreground: Qt.rgba(1, 1, 1, 0.9)
    property string toolTip

    signal clicked()

    readonly property real horizontalPadding: capsule ? 12 : 0
    readonly property real verticalPadding: capsule ? 8 : 0

    implicitWidth: Math.max(content.implicitWidth + 2 * horizontalPadding, text === "" ? 36 : 0)
    implicitHeight: Math.max(content.implicitHeight + 2 * verticalPadding, text === "" ? 36 : 0)

    Rectangle {
        anchors.fill: parent
        visible: button.capsule
        radius: height / 2
        color: Qt.rgba(1, 1, 1, 0.18)
    }

    Row {
        id: content
        anchors.centerIn: parent
        spacing: AppTheme.symbolGap

        AppIcon {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.symbol !== ""
            name: button.symbol
            size: button.symbolSize
            color: button.foreground
        }

        Text {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.text !== ""
            text: button.text
            font: button.font
            color: button.foreground
        }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: button.clicked()
    }

    ToolTipGate {
        id: tip
        hovered: mouse.containsMouse
        pressed: mouse.pressed
    }
    ToolTip.visible: button.toolTip !== "" && tip.shown
    ToolTip.delay: 600
    ToolTip.text: button.toolTip
}
