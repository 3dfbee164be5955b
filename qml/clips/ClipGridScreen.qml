import QtQuick
import Nimbra

// The clips and battles screens: one page of the source's entries as a grid
// of cards, or the spinner, the error or the empty state in its place. It
// loads each time it is made (every visit of the section) and a card starts
// the clip player with the whole list as its queue.
ListPage {
    id: screen

    property alias source: grid.source

    // A card is at least this wide, with a gap after it.
    readonly property real minimumCardWidth: 200

    ClipGridModel {
        id: grid
        objectName: "clipGridModel"
    }

    Component.onCompleted: grid.load()
    Component.onDestruction: grid.cancel()

    title: grid.title
    content: PageGrid {
        objectName: "clipGrid"
        // Each cell carries the gap after its card, so the grid reaches one
        // gap past the right margin.
        anchors.leftMargin: AppTheme.spacingXL
        anchors.rightMargin: AppTheme.spacingXL - cellGap
        model: grid
        minimumCellWidth: screen.minimumCardWidth
        // A card: padding, the cover, two lines of title, one of artist.
        cellHeight: 2 * AppTheme.spacingM + AppTheme.gridCoverSize + 2 * AppTheme.spacingS + 2 * headline.height
                    + callout.height + cellGap

        FontMetrics {
            id: headline
            font: AppTheme.headline
        }

        FontMetrics {
            id: callout
            font: AppTheme.callout
        }

        delegate: Item {
            id: cell

            required property int index
            required property string title
            required property string artist
            required property string coverUrl

            width: GridView.view.cellWidth
            height: GridView.view.cellHeight

            ClipGridCard {
                objectName: "clipCard"
                width: cell.width - AppTheme.spacingL
                height: cell.height - AppTheme.spacingL
                title: cell.title
                artist: cell.artist
                coverUrl: cell.coverUrl
                onPlay: cell.GridView.view.model.play(cell.index)
            }
        }
    }

    loadState: grid.loadState
    errorText: grid.errorText
    stateView.objectName: "clipGridState"
    stateView.errorTitle: "Ошибка"
    stateView.emptyTitle: grid.emptyTitle
    stateView.emptyIcon: grid.emptySymbol
    onRetry: grid.load()
}
