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
    property real inset: 6

    required property ArtistAlbumListModel albums
    required property int first
    required property int count
    required property real cellWidth

    Repeater {
        model: gridRow.count

        AlbumGridCell {
            required property int index
            readonly property var album: gridRow.albums.cell(gridRow.first + index)

            objectName: "albumCell"
            width: gridRow.cellWidth
            // As tall as its own texts: the row, as its tallest cell.
            height: contentHeight
            horizontalInset: gridRow.inset
            albumId: album.albumId
            title: album.title
            artist: album.artist
            coverUrl: album.coverUrl
            caption: album.yearAndTracks
            onOpened: (albumId) => Navigation.openAlbum(albumId)
        }
    }
}
