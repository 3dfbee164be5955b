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
    m_auth = StoreRegistry::get<AuthStore>();
    m_player = StoreRegistry::get<PlayerStore>();
    m_clipPlayer = StoreRegistry::get<ClipPlayerStore>();
    m_artistNavigation = StoreRegistry::get<ArtistNavigationStore>();
    m_updates = StoreRegistry::get<OtaUpdateStore>();
    watchStore(m_auth, &MainNavigationModel::watchAuth);
    watchStore(m_player, &MainNavigationModel::watchPlayer);
    watchStore(m_clipPlayer, &MainNavigationModel::watchClipPlayer);
    watchStore(m_artistNavigation, &MainNavigationModel::watchArtistNavigation);
    watchStore(m_updates, &MainNavigationModel::watchUpdates);
    updateLayout();
}

void MainNavigationModel::watchStore(QObject *store, void (MainNavigationModel::*watchSignals)())
{
    if (!store)
        return;
    (this->*watchSignals)();
    // A store that goes away counts as no store at all (the pointer is
    // already null when this runs).
    connect(store, &QObject::destroyed, this, [this] {
        updateLayout();
        emit profileChanged();
    });
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
