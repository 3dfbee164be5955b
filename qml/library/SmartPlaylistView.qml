import QtQuick
import Nimbra

// The page of one smart playlist (`argument`: "wave", "favorites",
// "offline" or "daily"): its tracks, "Играть" and "Перемешать" while there
// are any, and the add-to-playlist sheet from a row's menu.
ListPage {
    id: page
    objectName: "smartPlaylistView"

    property string argument

    pushed: true
    title: tracks.title
    trailing: Row {
        spacing: AppTheme.spacingS
        visible: tracks.count > 0

        LinkButton {
            objectName: "smartShuffle"
            anchors.verticalCenter: parent.verticalCenter
            symbol: "shuffle"
            text: "Перемешать"
            onClicked: tracks.shuffleAll()
        }
        AccentButton {
            objectName: "smartPlay"
            text: "Играть"
            onClicked: tracks.playAll()
        }
    }

    model: SmartPlaylistModel {
        id: tracks
        kind: page.argument
    }
    list.objectName: "smartPlaylistList"
    favoriteEnabled: false
    addToPlaylistEnabled: true
    onAddToPlaylistRequested: (listModel, row) => addSheet.openFor(listModel, row)
    stateView.emptyTitle: "Нет треков"
    stateView.emptyText: tracks.emptyText
    stateView.emptyIcon: "music.note"

    AddToPlaylistSheet {
        id: addSheet
    }
}
