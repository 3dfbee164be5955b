import QtQuick
import QtQuick.Controls
import Nimbra

// The one skeleton of every list screen: the title row with its actions, an
// optional block under it (`header`: a cover with credits, a search field,
// cards), the list with its scroll bar and reused rows, the state view over
// the list, and the alert "Нужен вход" of a row action. Given a track list
// model as `model`, it follows that model's load state, error text and
// sign-in prompt by itself; a screen whose state comes from elsewhere binds
// `loadState` and `errorText` instead. The list shows whenever the state view
// does not stand in for it. A screen of another shape (a grid) gives its
// item as `content`, which then stands where the list would.
Rectangle {
    id: page

    property alias title: titleRow.title
    property alias titleEmoji: titleRow.emoji
    property alias subtitle: titleRow.subtitle
    // Pushed on a section's stack: "Назад" before the title.
    property alias pushed: titleRow.pushed
    property alias trailing: titleRow.trailing
    // In a sheet: "Закрыть" instead of "Назад", and `closeRequested`.
    property alias closes: titleRow.closes
    // The block between the title row and the list, laid out at the page's
    // margins; its height is its implicit height.
    property Item header: null
    property bool headerShown: true
    property real headerGap: AppTheme.spacingS
    // Above the list, and at its sides.
    property real listGap: pushed && !header ? 0 : AppTheme.spacingM
    property real listMargin: AppTheme.spacingM

    // How the rows of the default track delegate behave.
    property bool artworkOpensPlayer: false
    property bool favoriteEnabled: true
    property bool addToPlaylistEnabled: false

    // In place of the list: fills the room under the title row and the
    // header, `listGap` below them and at its own side margins; shown, like
    // the list, whenever the state view is not. The state view then covers
    // the whole room.
    property Item content: null

    property alias list: list
    property alias model: list.model
    property alias delegate: list.delegate
    property alias stateView: stateView

    // A track list model's own state unless the screen says otherwise.
    property int loadState: page.trackModel ? page.trackModel.loadState : LoadState.Idle
    property string errorText: page.trackModel ? page.trackModel.errorText : ""
    // The model whose row actions may ask for an account.
    property TrackListModel promptSource: page.trackModel

    readonly property TrackListModel trackModel: list.model instanceof TrackListModel ? list.model : null

    signal retry()
    signal closeRequested()
    signal addToPlaylistRequested(TrackListModel listModel, int row)

    color: AppTheme.background

    onHeaderChanged: {
        if (header) {
            header.parent = headerSlot
            header.anchors.left = headerSlot.left
            header.anchors.right = headerSlot.right
            header.anchors.top = headerSlot.top
        }
    }

    onContentChanged: {
        if (content) {
            content.parent = contentSlot
            content.anchors.fill = contentSlot
            content.anchors.topMargin = Qt.binding(() => page.listGap)
            content.visible = Qt.binding(() => !stateView.active)
        }
    }

    // Clicks stay on the page instead of reaching the page below it on the
    // stack, or the section under the artist page.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    PageTitleRow {
        id: titleRow
        objectName: "pageTitleRow"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        onCloseRequested: page.closeRequested()
    }

    Item {
        id: headerSlot
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: titleRow.bottom
        anchors.leftMargin: AppTheme.pageMargin
        anchors.rightMargin: AppTheme.pageMargin
        anchors.topMargin: shown ? page.headerGap : 0
        height: shown ? page.header.implicitHeight : 0
        visible: shown
        readonly property bool shown: page.header !== null && page.headerShown
    }

    ListView {
        id: list
        objectName: "pageList"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: headerSlot.bottom
        anchors.bottom: parent.bottom
        anchors.topMargin: page.listGap
        anchors.leftMargin: page.listMargin
        anchors.rightMargin: page.listMargin
        clip: true
        reuseItems: true
        boundsBehavior: Flickable.StopAtBounds
        visible: !page.content && (!stateView.active || stateView.compact)
        ScrollBar.vertical: ScrollBar {
            objectName: "pageScrollBar"
        }

        delegate: TrackRow {
            id: row
            // The page that says how its rows behave. (Qt 6.4 has no bound
            // component behaviour, so qmllint counts this one reach out of
            // the delegate as unqualified.)
            readonly property ListPage owner: page
            width: ListView.view.width
            listModel: ListView.view.model
            // (Gone first while a page is torn down.)
            artworkOpensPlayer: owner?.artworkOpensPlayer ?? false
            favoriteEnabled: owner?.favoriteEnabled ?? true
            addToPlaylistEnabled: owner?.addToPlaylistEnabled ?? false
            onAddToPlaylistRequested: (index) => owner.addToPlaylistRequested(listModel, index)
            // A paged model loads its next page as its last rows come near,
            // whether a row is made or reused.
            Component.onCompleted: row.announce()
            ListView.onReused: {
                row.visible = true
                row.announce()
            }
            // A row waiting in the pool is out of sight and out of reach.
            ListView.onPooled: row.visible = false
            function announce() {
                if (listModel && listModel.rowAppeared)
                    listModel.rowAppeared(row.index)
            }
        }
    }

    Item {
        id: contentSlot
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: headerSlot.bottom
        anchors.bottom: parent.bottom
    }

    // A compact state is a note under the list's header (which stays in
    // view), in the middle of margins above and below it; while loading,
    // the spinner turns in the middle of the margins alone.
    Item {
        id: noteSlot
        anchors.left: list.left
        anchors.right: list.right
        anchors.top: list.top
        anchors.topMargin: list.headerItem ? list.headerItem.height : 0
        height: (stateView.loadState === LoadState.Loading ? 0 : stateView.implicitHeight) + 2 * AppTheme.spacingXXL
    }

    StateView {
        id: stateView
        anchors.fill: page.content ? contentSlot : compact ? noteSlot : list
        loadState: page.loadState
        errorText: page.errorText
        onRetry: page.retry()
    }

    SignInRequiredDialog {
        objectName: "pageSignIn"
        title: page.promptSource ? page.promptSource.promptTitle : "Нужен вход"
        message: page.visible && page.promptSource ? page.promptSource.signInPrompt : ""
        onDismissed: {
            if (page.promptSource)
                page.promptSource.signInPrompt = ""
        }
    }
}
