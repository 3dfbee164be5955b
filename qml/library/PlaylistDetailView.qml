import QtQuick
import Nimbra

// The page of one of the listener's playlists (`argument`: its id): its
// tracks in order, "Играть" while there are any, the add-to-playlist sheet
// from a row's menu. A failed load leaves the page empty.
ListPage {
    id: page
    objectName: "playlistDetailView"

    property string argument

    pushed: true
    title: tracks.title
    trailing: AccentButton {
        objectName: "playlistPlay"
        visible: tracks.count > 0
        text: "Играть"
        onClicked: tracks.playAll()

        PlayIntent {}
    }

    model: PlaylistDetailModel {
        id: tracks
        playlistId: page.argument
    }
    list.objectName: "playlistDetailList"
    favoriteEnabled: false
    addToPlaylistEnabled: true
    onAddToPlaylistRequested: (listModel, row) => addSheet.openFor(listModel, row)
    stateView.emptyTitle: "Пусто"
    stateView.emptyIcon: "music.note"
    onRetry: tracks.retry()

    AddToPlaylistSheet {
        id: addSheet
    }
}
