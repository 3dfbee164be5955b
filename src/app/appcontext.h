#pragma once

#include "api/canceltoken.h"
#include "platform/fileopener.h"

#include <QObject>

#include <QCoro/QCoroTask>

#include <chrono>
#include <memory>

class QQmlApplicationEngine;
class QQuickWindow;

namespace nimbra {

class ArtistCatalogStore;
class ArtistNavigationStore;
class AudioBackend;
class AuthStore;
class ClipPlayerStore;
class FavoritesStore;
class KeychainHelper;
class OtaUpdateStore;
class PlayerStore;
class PlaylistsStore;
class RatingsStore;
class SecretStore;
class Clock;
class VideoBackend;
class Session;
class TrackActions;

// The composition root: creates the long-lived stores once, in the order
// the rest of the program relies on, keeps them for the life of the
// process, hands them to QML and opens the one window. Nothing else
// creates stores.
class AppContext : public QObject
{
    Q_OBJECT
public:
    // What the process otherwise takes from the desktop; tests hand in
    // their own.
    struct Environment
    {
        // Where the sign-in token is kept; none: the desktop's Secret Service.
        std::shared_ptr<SecretStore> secrets;
        // Sound output, which must outlive the context; none: QtMultimedia.
        AudioBackend *audio = nullptr;
        // Video output, which must outlive the context; none: QtMultimedia.
        VideoBackend *video = nullptr;
        // What the launch update check's pause sleeps on; none: the real clock.
        Clock *clock = nullptr;
        // Who opens a downloaded update; none: the desktop.
        FileOpener openFile;
    };

    // How long after the window opens the silent update check runs.
    static constexpr std::chrono::milliseconds updateCheckDelay {2000};

    explicit AppContext(QObject *parent = nullptr);
    explicit AppContext(Environment environment, QObject *parent = nullptr);
    ~AppContext() override;

    // Loads the window and schedules the update check; false when QML
    // could not be loaded.
    bool start();

    QQmlApplicationEngine &engine() { return *m_engine; }
    // The window once start() succeeded, else null.
    QQuickWindow *window() const;

    Session *session() const { return m_session.get(); }
    AuthStore *auth() const { return m_auth.get(); }
    PlayerStore *player() const { return m_player.get(); }
    FavoritesStore *favorites() const { return m_favorites.get(); }
    RatingsStore *ratings() const { return m_ratings.get(); }
    ClipPlayerStore *clipPlayer() const { return m_clipPlayer.get(); }
    ArtistNavigationStore *artistNavigation() const { return m_artistNavigation.get(); }
    ArtistCatalogStore *artistCatalog() const { return m_artistCatalog.get(); }
    PlaylistsStore *playlists() const { return m_playlists.get(); }
    OtaUpdateStore *updates() const { return m_updates.get(); }
    TrackActions *currentTrackActions() const { return m_currentTrackActions.get(); }

private:
    void createStores(Environment environment);
    void registerStores();
    void followSessionEnd();
    QCoro::Task<void> checkForUpdateSoon(Clock *clock, CancelToken lifetime);

    // Declared in the order of creation, so they go in the reverse order;
    // the QML engine, which reads every store, goes first.
    std::unique_ptr<AudioBackend> m_ownAudio;
    AudioBackend *m_audio = nullptr;
    std::unique_ptr<KeychainHelper> m_keychain;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<AuthStore> m_auth;
    std::unique_ptr<PlayerStore> m_player;
    std::unique_ptr<FavoritesStore> m_favorites;
    std::unique_ptr<RatingsStore> m_ratings;
    std::unique_ptr<ClipPlayerStore> m_clipPlayer;
    std::unique_ptr<ArtistNavigationStore> m_artistNavigation;
    std::unique_ptr<ArtistCatalogStore> m_artistCatalog;
    std::unique_ptr<PlaylistsStore> m_playlists;
    std::unique_ptr<OtaUpdateStore> m_updates;
    std::unique_ptr<TrackActions> m_currentTrackActions;
    Clock *m_clock = nullptr;
    TaskSlot m_launchTask;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
};

} // namespace nimbra
