import QtQuick
import QtQuick.Controls
import Nimbra

// A capsule of a symbol and a word that takes the click over its whole
// shape and never the keyboard focus: the header's "Слушать" and "Волна".
Rectangle {
    id: pill

    property string symbol
    property string text
    property string toolTip
    property color fill: AppTheme.elevated
    property color foreground: AppTheme.textPrimary
    // The smaller face ("Волна").
    property bool compact: false

    signal clicked()

    // Above and below the label.
    readonly property real verticalPadding: 10
    readonly property real hoverLift: 1.12
    readonly property font labelFont: AppTheme.systemFont(
        (compact ? AppTheme.callout : AppTheme.body).pixelSize, Font.DemiBold)

    implicitWidth: content.implicitWidth + 2 * (compact ? AppTheme.spacingM : AppTheme.spacingL)
    implicitHeight: content.implicitHeight + 2 * verticalPadding
    radius: height / 2
    color: mouse.containsMouse ? Qt.lighter(fill, hoverLift) : fill

    Row {
        id: content
        anchors.centerIn: parent
        spacing: AppTheme.symbolGap

        AppIcon {
            anchors.verticalCenter: parent.verticalCenter
            name: pill.symbol
            size: AppTheme.symbolSize(pill.labelFont)
            color: pill.foreground
        }

        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: pill.text
            color: pill.foreground
            font: pill.labelFont
        }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: pill.clicked()
        ToolTipGate {
            id: tip
            hovered: mouse.containsMouse
            pressed: mouse.pressed
        }
        ToolTip.visible: pill.toolTip !== "" && tip.shown
        ToolTip.delay: AppTheme.toolTipDelay
        ToolTip.text: pill.toolTip
    }
}
