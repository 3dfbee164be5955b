import QtQuick
import QtQuick.Controls
import Nimbra

// The artist page over the detail column, the root of the artist page's
// stack: one of loading, the load's error with "Повторить", not found, or
// the page (header, latest release, "Все треки", the discography and the
// albums the artist takes part in) as one list under the back bar.
// Albums open over it on the same stack and leave it as it was.
ListPage {
    id: page
    objectName: "artistPage"

    property string artistName
    // The pushed-page contract of the window's stacks.
    property string argument

    pushed: true
    title: pageModel.title
    // The banner starts right under the bar.
    listGap: 0
    loadState: pageModel.loadState
    errorText: pageModel.errorText
    promptSource: pageModel.tracks
    stateView.objectName: "artistState"
    stateView.loadingTitle: "Загружаем каталог…"
    stateView.loadingText: "Это может занять несколько секунд"
    stateView.errorTitle: "Не удалось загрузить каталог"
    stateView.emptyTitle: "Исполнитель не найден"
    stateView.emptyText: pageModel.notFoundText
    stateView.emptyIcon: "person.crop.circle"
    onRetry: pageModel.retry()

    ArtistPageModel {
        id: pageModel
        objectName: "artistPageModel"
        artistName: page.artistName
        onLinkCopied: confirmation => toast.show(confirmation)
    }

    // One virtualised list for the whole page: only the rows near the
    // window exist, so a long discography makes and fetches the covers of
    // its first rows, not of all of them. Its rows are of several kinds and
    // never change kind, so none is reused for another.
    content: ListView {
        id: scroll
        objectName: "artistScroll"
        model: pageModel.rows
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        // The album grids: as many columns of at least the minimum width
        // (and a gap) as fit in the padded width.
        readonly property real contentInset: AppTheme.spacingL
        readonly property real gridInset: AppTheme.spacingM / 2
        readonly property real minimumCellWidth: 150
        readonly property real gridWidth: width - 2 * contentInset + 2 * gridInset
        readonly property int columns: Math.max(1, Math.floor(gridWidth / (minimumCellWidth + 2 * gridInset)))
        readonly property real cellWidth: Math.floor(gridWidth / columns)
        onColumnsChanged: pageModel.rows.columns = columns
        Component.onCompleted: pageModel.rows.columns = columns

        ScrollBar.vertical: ScrollBar { }

        footer: Item {
            width: ListView.view ? ListView.view.width : 0
            height: AppTheme.spacingXXL
        }

        // What the rows read through ListView.view.
        readonly property ArtistPageModel artist: pageModel

        delegate: ArtistPageRow { }
    }

    CopiedToast {
        id: toast
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: AppTheme.spacingXL
    }
}
