import QtQuick
import Nimbra

// "Поиск": one field that searches tracks and albums while the listener
// types (the model waits for a pause), found albums and tracks as two
// sections of one list. An album opens its page on the section's stack; a
// track plays with the found tracks as the queue.
ListPage {
    id: screen
    objectName: "searchScreen"

    title: "Поиск"
    headerGap: AppTheme.spacingM
    header: Item {
        implicitHeight: field.implicitHeight

        SearchField {
            id: field
            objectName: "searchField"
            anchors.left: parent.left
            anchors.right: findButton.left
            anchors.rightMargin: AppTheme.spacingS
            placeholderText: "Трек, исполнитель, альбом…"
            onTextChanged: search.query = text
            onAccepted: search.submit()
        }

        AccentButton {
            id: findButton
            objectName: "searchSubmit"
            anchors.right: parent.right
            height: field.height
            text: "Найти"
            enabled: search.canSubmit
            onClicked: search.submit()
        }
    }

    SearchModel {
        id: search
        objectName: "searchModel"
        // New results start at the top, the albums' section included (a
        // header that grows does not move the list by itself).
        onStateChanged: {
            if (loadState === LoadState.Loaded)
                Qt.callLater(screen.list.positionViewAtBeginning)
        }
    }

    model: search.tracks
    list.objectName: "searchResults"
    artworkOpensPlayer: true

    // The albums' section is laid out a frame after the rows: when it
    // changes size (new results), the list starts at its top again.
    Component.onCompleted: list.originYChanged.connect(list.positionViewAtBeginning)

    // While the screen is torn down the attached view and the rows' parent
    // go first.
    list.header: Column {
        width: ListView.view ? ListView.view.width : 0
        spacing: AppTheme.spacingXS

        SectionHeader {
            objectName: "albumsSection"
            x: AppTheme.spacingS
            width: parent.width - 2 * x
            visible: search.albums.count > 0
            title: "Альбомы"
            titleFont: AppTheme.title3
        }

        Repeater {
            model: search.albums

            delegate: SearchAlbumRow {
                width: parent ? parent.width : 0
            }
        }

        Item {
            width: 1
            height: AppTheme.spacingS
            visible: search.albums.count > 0 && search.tracks.count > 0
        }

        SectionHeader {
            x: AppTheme.spacingS
            width: parent.width - 2 * x
            visible: search.tracks.count > 0
            title: "Треки"
            titleFont: AppTheme.title3
        }
    }

    loadState: search.loadState
    errorText: search.errorText
    stateView.objectName: "searchState"
    stateView.errorTitle: "Ошибка"
    stateView.emptyIcon: "magnifyingglass"
    stateView.emptyTitle: search.emptyTitle
    stateView.emptyText: search.emptyText
    onRetry: search.submit()
}
