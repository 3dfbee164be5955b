import QtQuick
import Nimbra

// One album of the albums grid: the cover and the title, which open the
// album (`opened`), and the credit under them. A delegate over the grid's
// model.
Item {
    id: cell

    required property string albumId
    required property string title
    required property string artist
    required property url coverUrl
    // A line in place of the credit (the artist page's year and track count).
    property string caption

    // Half the gap between two columns on each side; the cover is as wide as
    // a column's minimum, or the column when narrower.
    property real horizontalInset: AppTheme.spacingL / 2
    readonly property real artworkSize: Math.min(AppTheme.gridCoverSize, width - 2 * horizontalInset)

    // The height the cover and the texts take (a row of cells of their own
    // sizes is as tall as its tallest).
    readonly property real contentHeight: content.implicitHeight

    signal opened(string albumId)

    readonly property GridView grid: GridView.view as GridView

    width: grid ? grid.cellWidth : implicitWidth
    height: grid ? grid.cellHeight : implicitHeight

    // Centred in the cell, the texts aligned with the cover.
    Column {
        id: content
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        width: cell.artworkSize
        spacing: AppTheme.spacingS

        Artwork {
            objectName: "albumCover"
            size: cell.artworkSize
            source: cell.coverUrl

            MouseArea {
                anchors.fill: parent
                onClicked: cell.opened(cell.albumId)
            }
        }

        Text {
            objectName: "albumTitle"
            width: parent.width
            text: RowLines.fit(cell.title, 2 * width, font.pixelSize)
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            color: AppTheme.textPrimary
            font: AppTheme.headline

            MouseArea {
                anchors.fill: parent
                onClicked: cell.opened(cell.albumId)
            }
        }

        ArtistCreditsLine {
            width: parent.width
            widest: width
            visible: cell.caption === ""
            text: cell.artist
            style: "album"
        }

        Text {
            objectName: "albumCaption"
            width: parent.width
            visible: cell.caption !== ""
            text: cell.caption
            textFormat: Text.PlainText
            color: AppTheme.textSecondary
            font: AppTheme.caption
            elide: Text.ElideRight
        }
    }
}
