import QtQuick
import Nimbra

// A card of the profile screen: its title over its content, padded, on the
// surface colour with a hairline border and large corners.
Rectangle {
    id: card

    property string title
    default property alias content: body.data

    implicitHeight: column.implicitHeight + 2 * AppTheme.wideCardPadding
    radius: AppTheme.radiusXXL
    color: AppTheme.surface
    border.width: 1
    border.color: AppTheme.border

    Column {
        id: column
        x: AppTheme.wideCardPadding
        y: AppTheme.wideCardPadding
        width: card.width - 2 * AppTheme.wideCardPadding
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
