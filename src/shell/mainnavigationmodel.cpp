#include "shell/mainnavigationmodel.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "api/storeregistry.h"
#include "clips/clipplayerstore.h"
#include "platform/focushelper.h"
#include "player/playerstore.h"
#include "account/badgebuilder.h"
#include "update/otaupdatestore.h"

#include <QTextBoundaryFinder>
#include <QTimer>

namespace nimbra {

MainNavigationModel::MainNavigationModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    setAuth(StoreRegistry::get<AuthStore>());
    setPlayer(StoreRegistry::get<PlayerStore>());
    setClipPlayer(StoreRegistry::get<ClipPlayerStore>());
    setArtistNavigation(StoreRegistry::get<ArtistNavigationStore>());
    setUpdates(StoreRegistry::get<OtaUpdateStore>());
}

template<typename Store>
void MainNavigationModel::replaceStore(QPointer<Store> &member, Store *store, void (MainNavigationModel::*watch)())
{
    if (member == store)
        return;
    if (member)
        disconnect(member, nullptr, this, nullptr);
    member = store;
    if (store) {
        (this->*watch)();
        // A store that goes away counts as no store at all (the pointer
        // is already null when this runs).
        connect(store, &QObject::destroyed, this, [this] {
            updateLayout();
            emit profileChanged();
        });
    }
    emit storesChanged();
    updateLayout();
    emit profileChanged();
}

void MainNavigationModel::setAuth(AuthStore *store)
{
    replaceStore(m_auth, store, &MainNavigationModel::watchAuth);
}

void MainNavigationModel::setPlayer(PlayerStore *store)
{
    replaceStore(m_player, store, &MainNavigationModel::watchPlayer);
}

void MainNavigationModel::setClipPlayer(ClipPlayerStore *store)
{
    replaceStore(m_clipPlayer, store, &MainNavigationModel::watchClipPlayer);
}

void MainNavigationModel::setArtistNavigation(ArtistNavigationStore *store)
{
    replaceStore(m_artistNavigation, store, &MainNavigationModel::watchArtistNavigation);
}

void MainNavigationModel::setUpdates(OtaUpdateStore *store)
{
    replaceStore(m_updates, store, &MainNavigationModel::watchUpdates);
}

void MainNavigationModel::watchAuth()
{
    connect(m_auth, &AuthStore::userChanged, this, &MainNavigationModel::profileChanged);
}

void MainNavigationModel::watchPlayer()
{
    connect(m_player, &PlayerStore::currentTrackChanged, this, &MainNavigationModel::updateLayout);
    connect(m_player, &PlayerStore::isFullscreenPresentedChanged, this, &MainNavigationModel::updateLayout);
}

void MainNavigationModel::watchClipPlayer()
{
    connect(m_clipPlayer, &ClipPlayerStore::isPresentedChanged, this, &MainNavigationModel::updateLayout);
    connect(m_clipPlayer, &ClipPlayerStore::isFullscreenChanged, this, &MainNavigationModel::updateLayout);
}

void MainNavigationModel::watchArtistNavigation()
{
    connect(m_artistNavigation, &ArtistNavigationStore::presentedArtistNameChanged, this, [this] {
        updateLayout();
        // Any screen may name an artist by writing the store directly; the
        // fields of the screen now covered must not keep the keys. The click
        // that opened the page may still hand focus back to the control
        // under it as its event finishes, so focus is dropped once more
        // after that.
        if (showsArtistPage()) {
            FocusHelper::clearKeyboardFocus();
            QTimer::singleShot(0, this, [] { FocusHelper::clearKeyboardFocus(); });
        }
    });
}

void MainNavigationModel::watchUpdates()
{
    connect(m_updates, &OtaUpdateStore::availableManifestChanged, this, &MainNavigationModel::updateLayout);
}

void MainNavigationModel::updateLayout()
{
    Layout layout;
    const bool hasTrack = m_player && m_player->hasCurrentTrack();
    const bool fullscreenRequested = m_player && m_player->isFullscreenPresented();
    layout.clipPlayer = m_clipPlayer && m_clipPlayer->isPresented();
    layout.clipFullscreen = m_clipPlayer && m_clipPlayer->isFullscreen();
    layout.fullscreenPlayer = fullscreenRequested && hasTrack;
    layout.miniPlayer = hasTrack && !fullscreenRequested && !layout.clipFullscreen;
    layout.updateBanner = m_updates && m_updates->hasAvailableManifest();
    if (m_artistNavigation)
        layout.artistName = m_artistNavigation->presentedArtistName();
    if (layout == m_layout)
        return;
    m_layout = layout;
    emit layoutChanged();
}

bool MainNavigationModel::showsProfileCard() const
{
    return m_auth && m_auth->user();
}

QString MainNavigationModel::profileName() const
{
    return showsProfileCard() ? m_auth->user()->username : QString();
}

QString MainNavigationModel::profileInitial() const
{
    const QString name = profileName();
    // A letter as the reader sees it: a base letter with its accents, or a
    // whole emoji, never half of one.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, name);
    const qsizetype end = graphemes.toNextBoundary();
    return end > 0 ? name.left(end).toUpper() : QString();
}

QUrl MainNavigationModel::profileAvatarUrl() const
{
    if (!showsProfileCard() || !m_auth->user()->avatarUrl)
        return {};
    return ApiConfig::resolve(*m_auth->user()->avatarUrl).value_or(QUrl());
}

QVariantList MainNavigationModel::profileBadges() const
{
    return showsProfileCard() ? BadgeBuilder::itemsVariant(*m_auth->user()) : QVariantList();
}

void MainNavigationModel::navigateToSidebar(SidebarItem item)
{
    if (item != selection())
        dismissFullscreenPlayers();
    if (m_artistNavigation)
        m_artistNavigation->close();
    if (item == selection())
        return;
    m_sidebarItems.setSelection(item);
    emit selectionChanged();
}

void MainNavigationModel::dismissFullscreenPlayers()
{
    if (m_player && m_player->isFullscreenPresented())
        m_player->dismissFullscreen();
    // The clip keeps playing in its window.
    if (m_clipPlayer && m_clipPlayer->isFullscreen())
        m_clipPlayer->setFullscreen(false);
}

} // namespace nimbra
