import QtQuick
import QtQuick.Controls
import Nimbra

// The artist page over the detail column, the root of the artist page's
// stack: one of loading, the load's error with "Повторить", not found, or
// the page (header, latest release, "Все треки", the discography and the
// albums the artist takes part in) as one list, with the back bar floating
// on top.
// Albums open over it on the same stack and leave it as it was.
Rectangle {
    id: page
    objectName: "artistPage"

    property string artistName
    // The pushed-page contract of the window's stacks.
    property string argument

    color: AppTheme.background

    ArtistPageModel {
        id: pageModel
        objectName: "artistPageModel"
        artistName: page.artistName
        onLinkCopied: confirmation => toast.show(confirmation)
    }

    // Clicks stay on the page instead of reaching the screen below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    // One virtualised list for the whole page: only the rows near the
    // window exist, so a long discography makes and fetches the covers of
    // its first rows, not of all of them.
    ListView {
        id: scroll
        objectName: "artistScroll"
        anchors.fill: parent
        visible: pageModel.loadState === LoadState.Loaded
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
        readonly property real topStrip: backBar.height - AppTheme.spacingM

        delegate: ArtistPageRow { }
    }

    StateView {
        objectName: "artistState"
        anchors.fill: parent
        loadState: pageModel.loadState
        errorText: pageModel.errorText
        loadingTitle: "Загружаем каталог…"
        loadingText: "Это может занять несколько секунд"
        errorTitle: "Не удалось загрузить каталог"
        emptyTitle: "Исполнитель не найден"
        emptyText: pageModel.notFoundText
        emptyIcon: "person.crop.circle"
        onRetry: pageModel.retry()
    }

    // The bar floats over the page; content scrolled under it stays behind.
    Rectangle {
        anchors.fill: backBar
        color: AppTheme.barVeil
        visible: scroll.visible && !scroll.atYBeginning
    }

    BackBar {
        id: backBar
        objectName: "artistBackBar"
        anchors.left: parent.left
        anchors.right: parent.right
        title: pageModel.title
    }

    CopiedToast {
        id: toast
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: AppTheme.spacingXL
    }

    SignInRequiredDialog {
        title: pageModel.tracks.promptTitle
        message: page.visible ? pageModel.tracks.signInPrompt : ""
        onDismissed: pageModel.tracks.signInPrompt = ""
    }
}
