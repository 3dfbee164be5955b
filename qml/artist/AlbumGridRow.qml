import QtQuick
import Nimbra

// One row of an album grid of the artist page: the albums `first` to
// `first + count - 1` of `albums`, each in a cell `cellWidth` wide (a column
// of at least 150 points and half the gap of 12 on each side). The page
// places the rows one under the other in its list, so only the rows on
// screen have cells and covers.
Row {
    id: gridRow

    // Half the gap between two columns, on each side of a cover.
    property real inset: AppTheme.spacingM / 2

    required property ArtistAlbumListModel albums
    required property int first
    required property int count
    required property real cellWidth

    // Each cell's album with its place, so that the cells need nothing
    // from outside their own entry.
    readonly property var cells: {
        const out = []
        for (let i = 0; i < count; ++i) {
            const album = albums.cell(first + i)
            album.cellWidth = cellWidth
            album.inset = inset
            out.push(album)
        }
        return out
    }

    Repeater {
        model: gridRow.cells

        AlbumGridCell {
            required property var modelData

            objectName: "albumCell"
            width: modelData.cellWidth
            // As tall as its own texts: the row, as its tallest cell.
            height: contentHeight
            horizontalInset: modelData.inset
            albumId: modelData.albumId
            title: modelData.title
            artist: modelData.artist
            coverUrl: modelData.coverUrl
            caption: modelData.yearAndTracks
            onOpened: (albumId) => Navigation.openAlbum(albumId)
        }
    }
}
