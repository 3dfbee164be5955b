import QtQuick
import QtQuick.Controls
import Nimbra

// The page of one of the listener's playlists (`argument`: its id): its
// tracks in order, "Играть" while there are any, the add-to-playlist sheet
// from a row's menu. A failed load leaves the page empty.
Rectangle {
    id: page
    objectName: "playlistDetailView"

    property string argument

    color: AppTheme.background

    PlaylistDetailModel {
        id: tracks
        playlistId: page.argument
    }

    MouseArea {
        anchors.fill: parent
    }

    BackBar {
        id: bar
        anchors.left: parent.left
        anchors.right: playButton.left
        title: tracks.title
    }

    AccentButton {
        id: playButton
        objectName: "playlistPlay"
        anchors.right: parent.right
        anchors.rightMargin: AppTheme.spacingL
        anchors.verticalCenter: bar.verticalCenter
        visible: tracks.count > 0
        text: "Играть"
        onClicked: tracks.playAll()
    }

    ListView {
        id: list
        objectName: "playlistDetailList"
        anchors.top: bar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.leftMargin: AppTheme.spacingM
        anchors.rightMargin: AppTheme.spacingM
        clip: true
        model: tracks
        visible: !tracks.isLoading
        delegate: TrackRow {
            width: ListView.view.width
            listModel: ListView.view.model
            favoriteEnabled: false
            addToPlaylistEnabled: true
            onAddToPlaylistRequested: (row) => addSheet.openFor(listModel, row)
        }
    }

    StateView {
        anchors.fill: list
        loadState: tracks.loadState
        emptyTitle: "Пусто"
        emptyIcon: "music.note"
        errorText: tracks.errorText
        onRetry: tracks.retry()
    }

    AddToPlaylistSheet {
        id: addSheet
    }
}
