import QtQuick
import Nimbra

// One group of the settings form: its title above a rounded box whose rows
// stand one under the other.
Column {
    id: section

    property string title
    default property alias content: box.data

    spacing: AppTheme.spacingS

    Text {
        leftPadding: AppTheme.spacingM
        text: section.title
        color: AppTheme.textSecondary
        font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
    }

    Rectangle {
        width: section.width
        height: box.implicitHeight + 2 * AppTheme.spacingM
        radius: AppTheme.radiusL
        color: AppTheme.surface
        border.width: 1
        border.color: AppTheme.border

        Column {
            id: box
            x: AppTheme.spacingL
            y: AppTheme.spacingM
            width: parent.width - 2 * AppTheme.spacingL
            spacing: AppTheme.spacingM
        }
    }
}
