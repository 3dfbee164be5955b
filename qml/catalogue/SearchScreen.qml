import QtQuick
import QtQuick.Controls
import Nimbra

// "Поиск": one field that searches tracks and albums while the listener
// types (the model waits for a pause), found albums and tracks as two
// sections of one list. An album opens its page on the section's stack; a
// track plays with the found tracks as the queue.
Item {
    id: screen
    objectName: "searchScreen"

    SearchModel {
        id: search
        objectName: "searchModel"
        // New results start at the top, the albums' section included (a
        // header that grows does not move the list by itself).
        onStateChanged: {
            if (content === SearchModel.Results)
                Qt.callLater(results.positionViewAtBeginning)
        }
    }

    Column {
        id: top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: AppTheme.spacingXL
        spacing: AppTheme.spacingM

        SectionHeader {
            width: parent.width
            title: "Поиск"
        }

        Item {
            width: parent.width
            height: field.implicitHeight

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
    }

    ListView {
        id: results
        objectName: "searchResults"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: top.bottom
        anchors.bottom: parent.bottom
        anchors.topMargin: AppTheme.spacingM
        anchors.leftMargin: AppTheme.spacingM
        anchors.rightMargin: AppTheme.spacingM
        clip: true
        visible: search.content === SearchModel.Results
        // The albums' section is laid out a frame after the rows: when it
        // changes size (new results), the list starts at its top again.
        onOriginYChanged: positionViewAtBeginning()
        model: search.tracks
        reuseItems: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { }

        // While the screen is torn down the attached view and the rows'
        // parent go first.
        header: Column {
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

        delegate: TrackRow {
            width: ListView.view.width
            listModel: ListView.view.model
            artworkOpensPlayer: true
        }
    }

    StateView {
        objectName: "searchState"
        anchors.fill: results
        loadState: search.content === SearchModel.Loading ? LoadState.Loading
                 : search.content === SearchModel.Failed ? LoadState.Failed
                 : search.content === SearchModel.Results ? LoadState.Loaded : LoadState.Empty
        errorTitle: "Ошибка"
        errorText: search.errorText
        emptyIcon: "magnifyingglass"
        emptyTitle: search.content === SearchModel.NothingFound ? "Ничего не найдено" : "Поиск"
        emptyText: search.content === SearchModel.Prompt ? "Введите название трека, исполнителя или альбома" : ""
        onRetry: search.submit()
    }

    SignInRequiredDialog {
        title: search.tracks.promptTitle
        message: search.tracks.signInPrompt
        onDismissed: search.tracks.signInPrompt = ""
    }
}
