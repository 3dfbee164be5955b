#pragma once

#include "shell/sidebaritem.h"
#include "shell/sidebaritemmodel.h"

#include "account/authstore.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "update/otaupdatestore.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantList>

namespace nimbra {

// The rules of the main window: which section is shown, how the sidebar
// changes it, and which layers lie over the detail column and the window
// (artist page, fullscreen player, clip player, mini player, update strip)
// with the insets and dimming that go with them. The window itself holds
// no state besides the selected section; everything else follows the
// stores. Created with the main window, so every sign-in starts on Home.
class MainNavigationModel : public QObject
{
    Q_OBJECT

    Q_PROPERTY(QAbstractItemModel *sidebarItems READ sidebarItems CONSTANT)
    Q_PROPERTY(nimbra::SidebarItems::Item selection READ selection NOTIFY selectionChanged)
    Q_PROPERTY(QString selectionTitle READ selectionTitle NOTIFY selectionChanged)
    Q_PROPERTY(QString selectionIcon READ selectionIcon NOTIFY selectionChanged)
    Q_PROPERTY(bool selectionHasNavigationStack READ selectionHasNavigationStack NOTIFY selectionChanged)

    Q_PROPERTY(bool showsMiniPlayer READ showsMiniPlayer NOTIFY layoutChanged)
    Q_PROPERTY(bool showsFullscreenPlayer READ showsFullscreenPlayer NOTIFY layoutChanged)
    Q_PROPERTY(bool showsClipPlayer READ showsClipPlayer NOTIFY layoutChanged)
    Q_PROPERTY(bool showsArtistPage READ showsArtistPage NOTIFY layoutChanged)
    Q_PROPERTY(QString presentedArtistName READ presentedArtistName NOTIFY layoutChanged)
    Q_PROPERTY(bool showsUpdateBanner READ showsUpdateBanner NOTIFY layoutChanged)
    Q_PROPERTY(double contentOpacity READ contentOpacity NOTIFY layoutChanged)
    Q_PROPERTY(bool contentEnabled READ contentEnabled NOTIFY layoutChanged)
    Q_PROPERTY(double splitViewOpacity READ splitViewOpacity NOTIFY layoutChanged)
    Q_PROPERTY(bool splitViewInteractive READ splitViewInteractive NOTIFY layoutChanged)

    Q_PROPERTY(bool showsProfileCard READ showsProfileCard NOTIFY profileChanged)
    Q_PROPERTY(QString profileName READ profileName NOTIFY profileChanged)
    Q_PROPERTY(QString profileInitial READ profileInitial NOTIFY profileChanged)
    Q_PROPERTY(QUrl profileAvatarUrl READ profileAvatarUrl NOTIFY profileChanged)
    Q_PROPERTY(QVariantList profileBadges READ profileBadges NOTIFY profileChanged)
    Q_PROPERTY(bool profileCardHighlighted READ profileCardHighlighted NOTIFY selectionChanged)

public:
    // The section screens fade behind the fullscreen player to this.
    static constexpr double dimmedContentOpacity = 0.35;

    explicit MainNavigationModel(QObject *parent = nullptr);

    AuthStore *auth() const { return m_auth; }
    PlayerStore *player() const { return m_player; }
    ClipPlayerStore *clipPlayer() const { return m_clipPlayer; }
    ArtistNavigationStore *artistNavigation() const { return m_artistNavigation; }
    OtaUpdateStore *updates() const { return m_updates; }

    QAbstractItemModel *sidebarItems() { return &m_sidebarItems; }
    SidebarItem selection() const { return m_sidebarItems.selection(); }
    QString selectionTitle() const { return sidebarTitle(selection()); }
    QString selectionIcon() const { return sidebarIcon(selection()); }
    bool selectionHasNavigationStack() const { return sidebarEntry(selection()).navigationStack; }

    // A track is current and neither player fills the screen. The screens,
    // the artist page and the sidebar then keep room for the bar at their
    // foot, and the update strip rises above it (measures in AppTheme).
    bool showsMiniPlayer() const { return m_layout.miniPlayer; }
    // Asked for by the player store, and only while a track is current.
    bool showsFullscreenPlayer() const { return m_layout.fullscreenPlayer; }
    bool showsClipPlayer() const { return m_layout.clipPlayer; }
    // An artist is named: its page covers the section screen.
    bool showsArtistPage() const { return !m_layout.artistName.isEmpty(); }
    QString presentedArtistName() const { return m_layout.artistName; }
    bool showsUpdateBanner() const { return m_layout.updateBanner; }
    // The section screen fades behind the fullscreen player and takes no
    // input while the player or an artist page covers it. Both follow the
    // player that is shown, not the bare request: a request without a
    // current track shows no player, and a dimmed screen with nothing over
    // it could be neither used nor closed.
    double contentOpacity() const { return m_layout.fullscreenPlayer ? dimmedContentOpacity : 1.0; }
    bool contentEnabled() const { return !m_layout.fullscreenPlayer && m_layout.artistName.isEmpty(); }
    // A fullscreen clip hides the sidebar and the screens and takes every click.
    double splitViewOpacity() const { return m_layout.clipFullscreen ? 0.0 : 1.0; }
    bool splitViewInteractive() const { return !m_layout.clipFullscreen; }

    // The signed-in user's card at the foot of the sidebar; a guest has none.
    bool showsProfileCard() const;
    QString profileName() const;
    // The first letter of the name, upper-cased, for the avatar placeholder.
    QString profileInitial() const;
    // Empty when the user has no avatar or its path does not resolve.
    QUrl profileAvatarUrl() const;
    QVariantList profileBadges() const;
    bool profileCardHighlighted() const { return selection() == SidebarItem::Profile; }

    // The one way to change section (sidebar rows, the profile card, the
    // home page's quick cards). Choosing another section closes the
    // fullscreen audio player and shrinks a fullscreen clip to its window;
    // choosing any section, the current one included, closes an artist page.
    Q_INVOKABLE void navigateToSidebar(nimbra::SidebarItems::Item item);

signals:
    void selectionChanged();
    void layoutChanged();
    void profileChanged();

private:
    struct Layout
    {
        bool miniPlayer = false;
        bool fullscreenPlayer = false;
        bool clipPlayer = false;
        bool clipFullscreen = false;
        bool updateBanner = false;
        QString artistName;
        bool operator==(const Layout &) const = default;
    };

    void watchStore(QObject *store, void (MainNavigationModel::*watchSignals)());
    void watchAuth();
    void watchPlayer();
    void watchClipPlayer();
    void watchArtistNavigation();
    void watchUpdates();
    void updateLayout();
    void dismissFullscreenPlayers();

    QPointer<AuthStore> m_auth;
    QPointer<PlayerStore> m_player;
    QPointer<ClipPlayerStore> m_clipPlayer;
    QPointer<ArtistNavigationStore> m_artistNavigation;
    QPointer<OtaUpdateStore> m_updates;
    SidebarItemModel m_sidebarItems;
    Layout m_layout;
};

} // namespace nimbra
