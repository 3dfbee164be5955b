import QtQuick
import QtQuick.Controls
import Nimbra

// The "Альбомы" section: every album as a grid of covers with the title and
// the credit. A cover or title opens the album on this section's stack.
// Loads afresh each time it comes on screen, the return from an album's
// page included.
ListPage {
    id: screen
    objectName: "albumsView"

    // A column is at least as wide as a cover, with this much between two.
    readonly property real cellSpacing: AppTheme.spacingL
    // Under the cover: the title's two lines and the artist's.
    readonly property real captionRoom: 84

    AlbumsGridModel {
        id: albums
        objectName: "albumsModel"
        shown: screen.StackView.view === null || screen.StackView.status === StackView.Active
    }

    title: "Альбомы"
    content: PageGrid {
        objectName: "albumsGrid"
        leftMargin: AppTheme.spacingXL - screen.cellSpacing / 2
        rightMargin: leftMargin
        model: albums
        minimumCellWidth: AppTheme.gridCoverSize
        cellGap: screen.cellSpacing
        cellHeight: minimumCellWidth + screen.captionRoom

        delegate: AlbumGridCell {
            onOpened: (albumId) => Navigation.openAlbum(albumId)
        }
    }

    // No albums at all is an empty area, without a text.
    loadState: albums.loadState === LoadState.Empty ? LoadState.Loaded : albums.loadState
    errorText: albums.errorText
    stateView.errorTitle: "Ошибка"
    onRetry: albums.retry()
}
