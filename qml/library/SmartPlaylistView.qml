import QtQuick
import QtQuick.Controls
import Nimbra

// The page of one smart playlist (`argument`: "wave", "favorites",
// "offline" or "daily"): its tracks, "Играть" and "Перемешать" while there
// are any, and the add-to-playlist sheet from a row's menu. In the home
// page's sheet (`dailySource`) it shows the daily list that page holds, and
// its bar closes the sheet (`closeRequested`).
Rectangle {
    id: page
    objectName: "smartPlaylistView"

    property string argument
    property HomePageModel dailySource: null

    signal closeRequested()

    color: AppTheme.background

    SmartPlaylistModel {
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

    // Clicks stay on the page instead of reaching the page below.
    MouseArea {
        anchors.fill: parent
    }

    BackBar {
        id: bar
        anchors.left: parent.left
        anchors.right: actions.left
        title: tracks.title
        closes: page.dailySource !== null
        onCloseRequested: page.closeRequested()
    }

    Row {
        id: actions
        anchors.right: parent.right
        anchors.rightMargin: AppTheme.spacingL
        anchors.verticalCenter: bar.verticalCenter
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

    ListView {
        id: list
        objectName: "smartPlaylistList"
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
        emptyTitle: "Нет треков"
        emptyText: tracks.emptyText
        emptyIcon: "music.note"
    }

    AddToPlaylistSheet {
        id: addSheet
    }
}
