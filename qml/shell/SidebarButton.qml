import QtQuick
import QtQuick.Templates as T
import Nimbra

// One section row of the sidebar: icon and title, the selected row in the
// accent colour on a soft accent background. The whole row is the target.
T.AbstractButton {
    id: row

    property string symbol
    property bool isSelected: false

    implicitWidth: 200
    implicitHeight: AppTheme.controlHeight
    leftPadding: AppTheme.spacingM
    rightPadding: AppTheme.spacingM
    topPadding: AppTheme.spacingS
    bottomPadding: AppTheme.spacingS
    focusPolicy: Qt.NoFocus

    readonly property color tint: isSelected ? AppTheme.accent : AppTheme.textPrimary
    readonly property color selectedFill: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.18)
    // The icons share one column, whatever their own widths.
    readonly property real iconColumnWidth: 20

    background: Rectangle {
        radius: AppTheme.radiusM
        color: row.isSelected ? row.selectedFill : "transparent"
    }

    contentItem: Row {
        spacing: AppTheme.itemSpacing

        Item {
            width: row.iconColumnWidth
            height: parent.height
            AppIcon {
                anchors.centerIn: parent
                name: row.symbol
                size: AppTheme.symbolSize(AppTheme.body)
                color: row.tint
            }
        }

        Text {
            width: parent.width - row.iconColumnWidth - parent.spacing
            height: parent.height
            verticalAlignment: Text.AlignVCenter
            text: row.text
            color: row.tint
            font: AppTheme.body
            elide: Text.ElideRight
            maximumLineCount: 1
        }
    }
}
