import QtQuick
import Nimbra

// A grid of albums inside the page's scrolling column: as many columns of
// at least 150 points as fit, 12 points apart; its height holds every row.
GridView {
    id: grid

    readonly property real minimumCell: 150
    readonly property real gap: AppTheme.spacingM
    readonly property int columns: Math.max(1, Math.floor((grid.width + grid.gap) / (grid.minimumCell + grid.gap)))
    readonly property real tileWidth: (grid.width + grid.gap) / grid.columns - grid.gap

    interactive: false
    cellWidth: grid.tileWidth + grid.gap
    cellHeight: grid.tileWidth + 64 + grid.gap
    height: Math.ceil(grid.count / grid.columns) * grid.cellHeight
    width: parent ? parent.width + grid.gap : 0

    delegate: AlbumTile {
        width: GridView.view.cellWidth - AppTheme.spacingM
    }
}
