import QtQuick
import QtQuick.Controls
import Nimbra

// The clips and battles screens: one page of the source's entries as a grid
// of cards, or the spinner, the error or the empty state in its place. It
// loads each time it is made (every visit of the section) and a card starts
// the clip player with the whole list as its queue.
Item {
    id: screen

    property alias source: grid.source

    ClipGridModel {
        id: grid
        objectName: "clipGridModel"
    }

    Rectangle {
        anchors.fill: parent
        color: AppTheme.background
    }

    Component.onCompleted: grid.load()
    Component.onDestruction: grid.cancel()

    PageTitleRow {
        id: header
        objectName: "clipGridHeader"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        title: grid.title
    }

    GridView {
        id: cards
        objectName: "clipGrid"
        // Each cell carries the gap after its card, so the grid reaches one
        // gap past the right margin.
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        anchors.topMargin: AppTheme.spacingM
        anchors.leftMargin: AppTheme.spacingXL
        anchors.rightMargin: AppTheme.spacingXL - gap
        bottomMargin: AppTheme.spacingXL
        clip: true
        visible: grid.loadState === LoadState.Loaded
        model: grid
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        // As many columns of at least the minimum as fit, a gap apart; the
        // spare width is shared out among them.
        readonly property real minimumCardWidth: 200
        readonly property real gap: AppTheme.spacingL
        readonly property int columns: Math.max(1, Math.floor(width / (minimumCardWidth + gap)))
        cellWidth: Math.floor(width / columns)
        // A card: padding, the cover, two lines of title, one of artist.
        cellHeight: 2 * AppTheme.spacingM + AppTheme.gridCoverSize + 2 * AppTheme.spacingS + 2 * headline.height
                    + callout.height + gap

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

    StateView {
        objectName: "clipGridState"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        loadState: grid.loadState
        errorTitle: "Ошибка"
        errorText: grid.errorText
        emptyTitle: grid.emptyTitle
        emptyIcon: grid.emptySymbol
        onRetry: grid.load()
    }
}
