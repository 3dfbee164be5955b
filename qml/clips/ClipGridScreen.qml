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
        auth: AuthStore
        player: PlayerStore
        clipPlayer: ClipPlayerStore
    }

    Component.onCompleted: grid.load()
    Component.onDestruction: grid.cancel()

    SectionHeader {
        id: header
        objectName: "clipGridHeader"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: AppTheme.spacingXL
        title: grid.title
    }

    GridView {
        id: cards
        objectName: "clipGrid"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        anchors.topMargin: AppTheme.spacingM
        leftMargin: AppTheme.spacingXL
        rightMargin: AppTheme.spacingXL
        bottomMargin: AppTheme.spacingXL
        clip: true
        visible: grid.loadState === 2
        model: grid
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        // As many columns of at least 200 as fit, 16 apart; the spare width
        // is shared out among them.
        readonly property real gap: AppTheme.spacingL
        readonly property real available: width - leftMargin - rightMargin
        readonly property int columns: Math.max(1, Math.floor((available + gap) / (200 + gap)))
        cellWidth: Math.floor((available + gap) / columns)
        cellHeight: probe.implicitHeight + gap

        ClipGridCard {
            id: probe
            visible: false
            width: cards.cellWidth - cards.gap
            title: "Probe\nProbe"
        }

        delegate: Item {
            required property int index
            required property string title
            required property string artist
            required property string coverUrl

            width: cards.cellWidth
            height: cards.cellHeight

            ClipGridCard {
                objectName: "clipCard"
                width: parent.width - cards.gap
                height: parent.height - cards.gap
                title: parent.title
                artist: parent.artist
                coverUrl: parent.coverUrl
                onPlay: grid.play(parent.index)
            }
        }
    }

    StateView {
        objectName: "clipGridState"
        anchors.fill: cards
        loadState: grid.loadState
        errorTitle: "Ошибка"
        errorText: grid.errorMessage
        emptyTitle: grid.emptyTitle
        emptyIcon: grid.emptySymbol
        onRetry: grid.load()
    }
}
