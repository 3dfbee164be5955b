import QtQuick
import Nimbra

// A card of the profile screen: its title over its content, padded 18, on
// the surface colour with a hairline border and corners of 16.
Rectangle {
    id: card

    property string title
    default property alias content: body.data

    implicitHeight: column.implicitHeight + 2 * 18
    radius: AppTheme.radiusXXL
    color: AppTheme.surface
    border.width: 1
    border.color: AppTheme.border

    Column {
        id: column
        x: 18
        y: 18
        width: card.width - 2 * 18
        spacing: AppTheme.cardPadding

        Text {
            text: card.title
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(AppTheme.title3.pixelSize, Font.Bold)
        }

        Column {
            id: body
            width: parent.width
            spacing: AppTheme.spacingS
        }
    }
}
