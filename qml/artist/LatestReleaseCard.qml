import QtQuick
import Nimbra

// "Последний релиз": the newest album or single of the artist, its cover,
// title, credited artists and the line of date and kind. Only the names
// react to clicks.
Column {
    id: card

    required property ArtistPageModel model

    readonly property real captionTracking: 0.6
    readonly property real coverSize: 64

    spacing: AppTheme.itemSpacing

    Text {
        text: "Последний релиз"
        color: AppTheme.textSecondary
        font.pixelSize: AppTheme.caption.pixelSize
        font.weight: Font.Black
        font.capitalization: Font.AllUppercase
        font.letterSpacing: card.captionTracking
    }

    HaloCard {
        width: parent.width
        height: row.implicitHeight + 2 * AppTheme.spacingM

        Row {
            id: row
            x: AppTheme.spacingM
            y: AppTheme.spacingM
            width: parent.width - 2 * AppTheme.spacingM
            spacing: AppTheme.cardPadding

            Artwork {
                anchors.verticalCenter: parent.verticalCenter
                size: card.coverSize
                source: card.model.releaseCoverUrl
            }

            Column {
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - card.coverSize - parent.spacing
                spacing: AppTheme.spacingXS

                Text {
                    objectName: "releaseTitle"
                    width: parent.width
                    text: card.model.releaseTitle
                    textFormat: Text.PlainText
                    color: AppTheme.textPrimary
                    font: AppTheme.headline
                    elide: Text.ElideRight
                }

                ArtistCreditsLine {
                    objectName: "releaseCredits"
                    width: parent.width
                    text: card.model.releaseArtistLine
                    style: "compact"
                }

                Text {
                    objectName: "releaseLine"
                    width: parent.width
                    text: card.model.releaseLine
                    textFormat: Text.PlainText
                    color: AppTheme.textSecondary
                    font: AppTheme.caption
                    elide: Text.ElideRight
                }
            }
        }
    }
}
