import QtQuick
import QtQuick.Controls
import Nimbra

// The section "Избранное": the listener's favourite tracks, played with the
// list as the queue; a cover opens the fullscreen player, a heart takes the
// track out once the service agrees. Without an account it asks to sign in.
// Loads each time it comes on screen.
ListPage {
    id: screen
    objectName: "favoritesView"

    title: "Избранное"
    model: FavoritesModel {
        id: tracks
        shown: screen.StackView.view === null || screen.StackView.status === StackView.Active
    }
    list.objectName: "favoritesList"
    artworkOpensPlayer: true

    loadState: tracks.needsSignIn ? LoadState.Empty : tracks.loadState
    stateView.objectName: "favoritesState"
    stateView.errorTitle: "Ошибка"
    stateView.emptyTitle: tracks.needsSignIn ? "Войдите в аккаунт" : "Пока пусто"
    stateView.emptyText: tracks.needsSignIn ? "Избранное доступно после входа." : "Добавляйте треки в избранное из каталога."
    stateView.emptyIcon: tracks.needsSignIn ? "person.crop.circle" : "heart"
    onRetry: tracks.reload()
}
