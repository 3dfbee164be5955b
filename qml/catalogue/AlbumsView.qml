import QtQuick
import QtQuick.Controls
import Nimbra

// The "Альбомы" section: every album as a grid of covers with the title and
// the credit. A cover or title opens the album on this section's stack.
// Loads afresh each time it comes on screen, the return from an album's
// page included.
Item {
    id: screen
    objectName: "albumsView"

    // A column is at least as wide as a cover, with this much between two.
    readonly property real minimumCellWidth: AppTheme.gridCoverSize
    readonly property real cellSpacing: AppTheme.spacingL
    // Under the cover: the title's two lines and the artist's.
    readonly property real captionRoom: 84

    AlbumsGridModel {
        id: albums
        objectName: "albumsModel"
        shown: screen.StackView.view === null || screen.StackView.status === StackView.Active
    }

    PageTitleRow {
        id: header
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        title: "Альбомы"
    }

    GridView {
        id: grid
        objectName: "albumsGrid"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        anchors.topMargin: AppTheme.spacingM
        leftMargin: AppTheme.spacingXL - screen.cellSpacing / 2
        rightMargin: leftMargin
        bottomMargin: AppTheme.spacingXL
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        // The failure covers the grid, even over albums loaded before.
        visible: albums.loadState !== LoadState.Failed
        model: albums
        ScrollBar.vertical: ScrollBar {}

        // As many columns of at least the minimum width as fit; they share
        // what is left.
        readonly property real available: width - leftMargin - rightMargin
        readonly property int columns: Math.max(1, Math.floor(available / (screen.minimumCellWidth + screen.cellSpacing)))
        cellWidth: Math.floor(available / columns)
        cellHeight: screen.minimumCellWidth + screen.captionRoom

        delegate: AlbumGridCell {
            onOpened: (albumId) => Navigation.openAlbum(albumId)
        }
    }

    StateView {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        // No albums at all is an empty area, without a text.
        loadState: albums.loadState === LoadState.Empty ? LoadState.Loaded : albums.loadState
        errorTitle: "Ошибка"
        errorText: albums.errorText
        onRetry: albums.retry()
    }
}
