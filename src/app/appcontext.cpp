#include "appcontext.h"

#include "account/authstore.h"
#include "collection/favoritesstore.h"
#include "account/keychainhelper.h"
#include "collection/playlistsstore.h"
#include "collection/ratingsstore.h"
#include "api/session.h"
#include "api/clock.h"
#include "api/nimbraapi.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "library/trackdraws.h"
#include "platform/cachednetworkaccessfactory.h"
#include "platform/focushelper.h"
#include "platform/medialibrary.h"
#include "platform/ownedtempfolder.h"
#include "platform/pointermotion.h"
#include "platform/restingheaptrim.h"
#include "player/playerstore.h"
#include "tracks/trackactions.h"
#include "api/storeregistry.h"
#include "update/otaupdatestore.h"

#include <QCoreApplication>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QThreadPool>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The wave that continues an exhausted queue. A coroutine of its own, so
// the client it asks lives in the coroutine's frame for as long as the
// request runs.
QCoro::Task<QList<TrackOut>> fetchWave(std::optional<QString> token, CancelToken cancel)
{
    const TrackDraws draws {NimbraApi()};
    co_return co_await draws.myWaveQueue(std::move(token), std::move(cancel));
}

} // namespace

AppContext::AppContext(QObject *parent) : AppContext(Environment {}, parent) { }

AppContext::AppContext(Environment environment, QObject *parent) : QObject(parent)
{
    createStores(std::move(environment));
    registerStores();
    followSessionEnd();
}

AppContext::~AppContext()
{
    m_launchTask.cancel();
    // A clip still playing lets go of the video surface while the surface
    // is still there.
    if (m_clipPlayer)
        m_clipPlayer->dismiss();
    // Pages let go of with deleteLater (a closed stack's pages, with the
    // rows their lists were still making) go before the engine does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Windows and bindings go before the stores they read.
    m_engine.reset();
}

void AppContext::createStores(Environment environment)
{
    // The sound output loads the media library at the first track, which
    // chooses the media backend before its first media object.
    if (!environment.audio) {
        m_ownAudio = std::make_unique<OnDemandAudioBackend>();
        environment.audio = m_ownAudio.get();
    }
    m_audio = environment.audio;
    m_clock = environment.clock ? environment.clock : Clock::system();

    auto secrets = environment.secrets ? std::move(environment.secrets) : KeychainHelper::systemStore();
    m_keychain = std::make_unique<KeychainHelper>(std::move(secrets));
    m_session = std::make_unique<Session>();
    // Starts reading the saved token at once. The session holds the token
    // that the sign-in writes; every store reads it from there, so a
    // sign-in, sign-out or another account reaches them at once, whatever
    // screen is shown.
    m_auth = std::make_unique<AuthStore>(m_keychain.get(), m_session.get());
    m_player = std::make_unique<PlayerStore>(m_audio, m_session.get());
    m_player->setWaveSource(fetchWave);
    m_favorites = std::make_unique<FavoritesStore>(m_session.get());
    m_ratings = std::make_unique<RatingsStore>(m_session.get());
    m_clipPlayer = std::make_unique<ClipPlayerStore>(environment.video);
    m_artistNavigation = std::make_unique<ArtistNavigationStore>();
    // Loads nothing until an artist page asks for the catalogue.
    m_artistCatalog = std::make_unique<ArtistCatalogStore>(NimbraApi());
    m_playlists = std::make_unique<PlaylistsStore>(m_session.get());
    m_updates = std::make_unique<OtaUpdateStore>();
    if (environment.openFile)
        m_updates->setFileOpener(std::move(environment.openFile));
}

void AppContext::followSessionEnd()
{
    // The player, the favourites, ratings and playlists stores let go of
    // the session themselves; these hold what a session left on screen: an
    // artist page (and the catalogue with the listener's marks), a clip
    // still playing, a failure told about the current track.
    connect(m_session.get(), &Session::ended, this, [this] {
        m_clipPlayer->dismiss();
        m_artistNavigation->close();
        m_artistCatalog->endSession();
        m_currentTrackActions->setSignInPrompt(QString());
    });
}

void AppContext::registerStores()
{
    StoreRegistry::set(m_session.get());
    StoreRegistry::set(m_auth.get());
    StoreRegistry::set(m_player.get());
    StoreRegistry::set(m_favorites.get());
    StoreRegistry::set(m_ratings.get());
    StoreRegistry::set(m_clipPlayer.get());
    StoreRegistry::set(m_artistNavigation.get());
    StoreRegistry::set(m_artistCatalog.get());
    StoreRegistry::set(m_playlists.get());
    StoreRegistry::set(m_updates.get());
    // Track rows and the current track reach the same stores.
    m_currentTrackActions = std::make_unique<TrackActions>(TrackStores::registered());
    StoreRegistry::set(m_currentTrackActions.get());
    // Pages built from the catalogue show the marks given since its load.
    m_artistCatalog->followTrackChanges(TrackStores::registered());
}

bool AppContext::start()
{
    if (m_engine)
        return window() != nullptr;
    m_engine = std::make_unique<QQmlApplicationEngine>();
    // Qt 6.4 does not search the resource root of QML modules by itself; the
    // module's files import it by name.
    m_engine->addImportPath(u"qrc:/qt/qml"_s);
    CachedNetworkAccessFactory::install(*m_engine);
    FocusHelper::suppressFocusFrames(QCoreApplication::instance());
    m_engine->load(QUrl(u"qrc:/qt/qml/Nimbra/Main.qml"_s));
    if (!window())
        return false;
    // Owned by the window: what a closed screen freed goes back to the
    // system once the window rests.
    new RestingHeapTrim(window());
    PointerMotion::watch(window());
    checkForUpdateSoon(m_clock, m_launchTask.renew());
    // What a client that crashed or was killed left in the temporary folder
    // (a track's whole copy may be hundreds of megabytes); off the window's
    // thread, since removing a large file takes a while.
    QThreadPool::globalInstance()->start([] { OwnedTempFolder::sweepAbandoned(); });
    return true;
}

QQuickWindow *AppContext::window() const
{
    if (!m_engine || m_engine->rootObjects().isEmpty())
        return nullptr;
    return qobject_cast<QQuickWindow *>(m_engine->rootObjects().constFirst());
}

QCoro::Task<void> AppContext::checkForUpdateSoon(Clock *clock, CancelToken lifetime)
{
    QPointer<AppContext> self(this);
    co_await clock->sleep(updateCheckDelay, lifetime);
    // A context that went away (or was told to stop) checks nothing.
    if (!self || lifetime.isCancelled())
        co_return;
    co_await m_updates->checkUpdatesAsync(true);
    if (self)
        m_launchTask.finish(lifetime);
}

} // namespace nimbra
