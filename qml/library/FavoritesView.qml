import QtQuick
import QtQuick.Controls
import Nimbra

// The section "Избранное": the listener's favourite tracks, played with the
// list as the queue; a cover opens the fullscreen player, a heart takes the
// track out once the service agrees. Without an account it asks to sign in.
// Loads each time it comes on screen.
Rectangle {
    id: screen
    objectName: "favoritesView"

    color: AppTheme.background

    FavoritesModel {
        id: tracks
    }

    Component.onCompleted: tracks.reload()
    onVisibleChanged: {
        if (visible)
            tracks.reload()
    }

    Text {
        id: heading
        objectName: "sectionTitle"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.leftMargin: 28
        anchors.topMargin: 24
        text: "Избранное"
        color: AppTheme.textPrimary
        font: AppTheme.systemFont(AppTheme.largeTitle.pixelSize, Font.Bold)
    }

    ListView {
        id: list
        objectName: "favoritesList"
        anchors.top: heading.bottom
        anchors.topMargin: AppTheme.spacingS
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.leftMargin: AppTheme.spacingXL
        anchors.rightMargin: AppTheme.spacingM
        clip: true
        model: tracks
        visible: !tracks.needsSignIn && tracks.loadState !== LoadState.Failed
        delegate: TrackRow {
            width: ListView.view.width
            listModel: ListView.view.model
            artworkOpensPlayer: true
        }
    }

    StateView {
        objectName: "favoritesState"
        anchors.fill: list
        loadState: tracks.needsSignIn ? LoadState.Empty : tracks.loadState
        errorTitle: "Ошибка"
        errorText: tracks.errorText
        emptyTitle: tracks.needsSignIn ? "Войдите в аккаунт" : "Пока пусто"
        emptyText: tracks.needsSignIn ? "Избранное доступно после входа." : "Добавляйте треки в избранное из каталога."
        emptyIcon: tracks.needsSignIn ? "person.crop.circle" : "heart"
        onRetry: tracks.reload()
    }
}
