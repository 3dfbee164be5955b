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
    property color foreground: AppTheme.mediaForeground
    property string toolTip

    signal clicked()

    readonly property real horizontalPadding: capsule ? AppTheme.spacingM : 0
    readonly property real verticalPadding: capsule ? AppTheme.spacingS : 0
    readonly property color capsuleFill: AppTheme.alpha("white", 0.18)
    // A symbol alone still takes a button's whole square.
    readonly property real minimumSize: text === "" ? AppTheme.controlHeight : 0

    implicitWidth: Math.max(content.implicitWidth + 2 * horizontalPadding, minimumSize)
    implicitHeight: Math.max(content.implicitHeight + 2 * verticalPadding, minimumSize)

    Rectangle {
        anchors.fill: parent
        visible: button.capsule
        radius: height / 2
        color: button.capsuleFill
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
    ToolTip.delay: AppTheme.toolTipDelay
    ToolTip.text: button.toolTip
}
