import QtQuick
import Nimbra

// The page of one smart playlist (`argument`: "wave", "favorites",
// "offline" or "daily"): its tracks, "Играть" and "Перемешать" while there
// are any, and the add-to-playlist sheet from a row's menu. In the home
// page's sheet (`dailySource`) it shows the daily list that page holds, and
// its bar closes the sheet (`closeRequested`).
ListPage {
    id: page
    objectName: "smartPlaylistView"

    property string argument
    property HomePageModel dailySource: null

    pushed: true
    closes: page.dailySource !== null
    title: tracks.heading
    titleEmoji: tracks.emoji
    trailing: Row {
        spacing: AppTheme.spacingS
        visible: tracks.count > 0

        PlayIntent {}

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
        objectName: "smartPlaylistModel"
    }

    Component.onCompleted: {
        if (!page.dailySource)
            tracks.kind = page.argument
    }

    // In the sheet: the daily list as the home page holds it now.
    function showDaily() {
        page.dailySource.showDailyIn(tracks)
    }

    list.objectName: "smartPlaylistList"
    favoriteEnabled: false
    addToPlaylistEnabled: true
    onAddToPlaylistRequested: (listModel, row) => addSheet.openFor(listModel, row)
    stateView.emptyTitle: "Нет треков"
    stateView.emptyText: tracks.emptyText
    stateView.emptyIcon: "music.note"
    onRetry: tracks.retry()

    // Clicks on the page's empty parts stay on it instead of reaching the
    // page below.
    MouseArea {
        z: -1
        anchors.fill: parent
    }

    AddToPlaylistSheet {
        id: addSheet
    }
}
