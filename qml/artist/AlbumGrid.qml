import QtQuick
import Nimbra

// A grid of albums inside the page's scrolling column: as many columns of
// at least 150 points as fit; its height holds every row. The catalogue's
// album cell, with the year and track count under the title.
GridView {
    id: grid

    readonly property real minimumCell: 150 + 16
    readonly property int columns: Math.max(1, Math.floor(grid.width / grid.minimumCell))

    interactive: false
    cellWidth: Math.floor(grid.width / grid.columns)
    cellHeight: Math.min(180, grid.cellWidth - 16) + 64
    height: Math.ceil(grid.count / grid.columns) * grid.cellHeight
    x: -8
    width: parent ? parent.width + 16 : 0

    delegate: AlbumGridCell {
        required property string yearAndTracks
        caption: yearAndTracks
        onOpened: (albumId) => Navigation.openAlbum(albumId)
    }
}
