// The end of a session, however it comes (sign-out, a token the service
// stops accepting, another service's address): nothing of the listener is
// left playing or shown, and the token goes nowhere else.
#include "appcontext.h"

#include "account/authstore.h"
#include "collection/favoritesstore.h"
#include "collection/playlistsstore.h"
#include "api/session.h"
#include "collection/ratingsstore.h"
#include "settings/settingsmodel.h"
#include "api/apiconfig.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "platform/mprisservice.h"
#include "player/audiocacheservice.h"
#include "player/nowplayingcontroller.h"
#include "player/playerstore.h"
#include "tracks/trackactions.h"

#include "authsession.h"
#include "catalogpages.h"
#include "eventloop.h"
#include "tracks/trackstores.h"
#include "fakeaudiobackend.h"
#include "fakevideoplayer.h"
#include "fakehttpserver.h"
#include "memorysecretstore.h"
#include "mprisprobe.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QMutex>
#include <QSettings>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kFavorites = u"/api/v1/favorites"_s;
const QString kRate = u"/api/v1/rate"_s;

} // namespace

class TestSessionEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<FakeHttpServer> m_otherService;
    FakeAudioBackend m_audio;
    FakeVideoBackend m_video;
    std::shared_ptr<MemorySecretStore> m_secrets;
    std::unique_ptr<AppContext> m_app;
    // The tokens the service still knows; the others get 401.
    QMutex m_mutex;
    QStringList m_validTokens;

    bool knows(const RecordedRequest &request)
    {
        const QMutexLocker lock(&m_mutex);
        return m_validTokens.contains(request.header(u"authorization"_s).mid(7));
    }

    void forgetTokens()
    {
        const QMutexLocker lock(&m_mutex);
        m_validTokens.clear();
    }

    void signIn(const QByteArray &username)
    {
        {
            const QMutexLocker lock(&m_mutex);
            m_validTokens.append(u"tok-"_s + QString::fromUtf8(username));
        }
        m_server->on(u"POST"_s, u"/api/v1/auth/login"_s, FakeResponse {200, tokenJson("tok-" + username)});
        QCoro::waitFor(m_app->auth()->loginAsync(QString::fromUtf8(username), u"pw"_s));
        QVERIFY(m_app->auth()->isSignedIn());
    }

    // A favourite track playing in a queue of three, a sleep timer set; a
    // clip playing over it.
    void playFavourite()
    {
        ClipOut clip;
        clip.id = u"c1"_s;
        clip.fileUrl = u"media/c1.mp4"_s;
        m_app->clipPlayer()->play(clip, {clip});
        QVERIFY(m_app->clipPlayer()->isPresented());
        QList<TrackOut> queue = makeTracks({u"a"_s, u"b"_s, u"c"_s});
        queue[0].isFavorite = true;
        m_app->player()->play(queue.first(), queue);
        m_app->player()->setSleepTimer(30);
        QVERIFY(m_app->player()->isPlaying());
        QVERIFY(m_app->player()->nowPlaying()->info().has_value());
        if (MprisService *mpris = m_app->player()->nowPlaying()->mpris())
            QCOMPARE(MprisProbe(mpris->serviceName()).playbackStatus(), u"Playing"_s);
        QVERIFY(m_video.player() && m_video.player()->isPlaying());
    }

    void verifyNothingOfTheListenerLeft()
    {
        PlayerStore *player = m_app->player();
        QVERIFY(!player->isPlaying());
        QVERIFY(!player->hasCurrentTrack());
        QVERIFY(!player->currentIsFavorite());
        QVERIFY(player->queue().isEmpty());
        QCOMPARE(player->sleepTimer(), SleepTimer::off());
        QVERIFY(!player->isLoadingWave());
        // The desktop's panel says Stopped, with no track.
        QVERIFY(!player->nowPlaying()->info().has_value());
        QVERIFY(!m_audio.lastPlayer() || !m_audio.lastPlayer()->isPlaying());
        // What the desktop's panel reads: Stopped, no track.
        if (MprisService *mpris = player->nowPlaying()->mpris()) {
            const MprisProbe desktop(mpris->serviceName());
            QCOMPARE(desktop.playbackStatus(), u"Stopped"_s);
            QVERIFY(!desktop.metadata().contains(u"xesam:title"_s));
        }
        QVERIFY(m_app->playlists()->playlists().isEmpty());
        QVERIFY(m_app->favorites()->error().value_or(QString()).isEmpty());
        QVERIFY(!m_app->artistCatalog()->isReady());
        QVERIFY(m_app->artistNavigation()->presentedArtistName().isEmpty());
        QVERIFY(!m_app->clipPlayer()->isPresented());
        QVERIFY(!m_video.player() || !m_video.player()->isPlaying());
        QVERIFY(m_app->currentTrackActions()->signInPrompt().isEmpty());
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
        m_otherService = std::make_unique<FakeHttpServer>();
        m_server->setFallback([this](const RecordedRequest &request) {
            if (!request.hasHeader(u"authorization"_s) || knows(request)) {
                if (request.path == u"/api/v1/auth/me"_s)
                    return FakeResponse {200, userJson(request.header(u"authorization"_s).mid(11))};
                if (request.path == u"/api/v1/playlists"_s)
                    return FakeResponse {200, R"([{"id": "p1", "title": "Mine", "is_public": false, "track_count": 1}])"};
                if (request.path == u"/api/v1/tracks"_s) {
                    QJsonObject mine = trackJson(u"a"_s);
                    mine.insert("artist"_L1, u"Ann"_s);
                    mine.insert("is_favorite"_L1, true);
                    return jsonResponse(trackPageBody({mine}, 1, 1, 1000, 1));
                }
                if (request.path == u"/api/v1/catalog/featured-artist-names"_s)
                    return FakeResponse {200, R"({"names": []})"};

                return FakeResponse {200, "[]"};
            }
            return FakeResponse {401, R"({"detail": "Недействительный токен"})"};
        });
    }

    void init()
    {
        ApiConfig::setBaseUrl(m_server->baseUrl());
        // Routes a test held or refused answer at once again.
        m_server->on(u"POST"_s, kFavorites, FakeResponse {200, "{}"});
        m_server->on(u"POST"_s, kRate, FakeResponse {200, R"({"track_id": "a", "type": "dislike"})"});
        m_server->on(u"GET"_s, u"/api/v1/albums"_s, FakeResponse {200, "[]"});
        m_server->on(u"GET"_s, kFavorites, FakeResponse {200, "[]"});
        m_server->clearRequests();
        m_otherService->clearRequests();
        m_secrets = std::make_shared<MemorySecretStore>();
        AppContext::Environment environment;
        environment.secrets = m_secrets;
        environment.audio = &m_audio;
        environment.video = &m_video;
        m_app = std::make_unique<AppContext>(environment);
        QCoro::waitFor(m_app->auth()->waitUntilTokenLoaded());
    }

    void cleanup() { m_app.reset(); }

    void signOutLeavesNothingForTheNextListener()
    {
        signIn("first");
        QCoro::waitFor(m_app->playlists()->loadAsync());
        QCOMPARE(m_app->playlists()->playlists().size(), 1);
        playFavourite();

        m_app->auth()->signOut();
        verifyNothingOfTheListenerLeft();

        // The next account starts from nothing: no track, no filled heart.
        signIn("second");
        verifyNothingOfTheListenerLeft();
    }

    void guestLeavingEndsItsPlayback()
    {
        m_app->auth()->continueAsGuest();
        playFavourite();
        m_app->auth()->signOut();
        verifyNothingOfTheListenerLeft();
    }

    // The service restarted and knows the token no more: the first request
    // that learns it ends the session as a refused token at start-up does.
    void refusedTokenMidSessionEndsTheSession()
    {
        signIn("first");
        playFavourite();
        QCOMPARE(m_secrets->itemCount(), 2); // the token and its service
        forgetTokens();

        // The heart learns it first; its failure is no alert for the next listener.
        m_app->currentTrackActions()->toggleFavorite();
        QTRY_COMPARE(m_server->requestsTo(kFavorites + u"/a"_s), 1);
        QCoro::waitFor(m_app->playlists()->loadAsync());
        QTRY_VERIFY(!m_app->auth()->hasToken());
        QVERIFY(!m_app->auth()->canUseApp());
        QCOMPARE(m_app->auth()->error().value_or(QString()), u"Недействительный токен"_s);
        QVERIFY(!m_app->session()->isSignedIn());
        verifyNothingOfTheListenerLeft();
        // The saved token is gone, so the next start asks for a sign-in.
        QTRY_COMPARE(m_secrets->itemCount(), 0);
    }

    // 403 refuses one action; the session goes on.
    void forbiddenActionKeepsTheSession()
    {
        signIn("first");
        m_server->on(u"POST"_s, u"/api/v1/favorites"_s, FakeResponse {403, R"({"detail": "Запрещено"})"});
        const auto changed = QCoro::waitFor(m_app->favorites()->toggleAsync(makeTrack(u"a"_s)));
        QVERIFY(!changed);
        QCOMPARE(m_app->favorites()->errorText(), u"Запрещено"_s);
        QCoreApplication::processEvents();
        QVERIFY(m_app->auth()->isSignedIn());
    }

    void anotherServiceGetsNoToken()
    {
        signIn("first");
        playFavourite();
        SettingsModel settings;
        settings.setBaseUrlText(u"  "_s + m_otherService->baseUrl().toString() + u"/  "_s);
        settings.saveAddress();

        QVERIFY(!m_app->auth()->hasToken());
        QVERIFY(!m_app->session()->isSignedIn());
        verifyNothingOfTheListenerLeft();
        QCoro::waitFor(m_app->playlists()->loadAsync());
        QCoro::waitFor(m_app->favorites()->toggleAsync(makeTrack(u"a"_s)));
        for (const RecordedRequest &request : m_otherService->requests())
            QVERIFY2(!request.header(u"authorization"_s).contains(u"tok-"_s), qPrintable(request.target));
    }

    void sameServiceSpelledOtherwiseKeepsTheSession()
    {
        signIn("first");
        SettingsModel settings;
        settings.setBaseUrlText(u"  "_s + m_server->baseUrl().toString() + u"///"_s);
        settings.saveAddress();
        QVERIFY(m_app->auth()->isSignedIn());
        QCOMPARE(ApiConfig::baseUrl(), m_server->baseUrl());
    }

    // A heart or a dislike tapped twice while its request runs sends one
    // request; once answered, the next tap is sent again.
    void doubleTapSendsOneRequest_data()
    {
        QTest::addColumn<bool>("dislike");
        QTest::newRow("favourite") << false;
        QTest::newRow("dislike") << true;
    }

    void doubleTapSendsOneRequest()
    {
        QFETCH(bool, dislike);
        signIn("first");
        const QString path = dislike ? kRate : kFavorites;
        AnswerGate gate;
        m_server->on(u"POST"_s, path, gate.hold(FakeResponse {200, dislike ? R"({"track_id": "a", "type": "dislike"})" : "{}"}));
        TrackActions actions(TrackStores::registered());
        QSignalSpy favourites(m_app->favorites(), &FavoritesStore::trackChanged);
        QSignalSpy ratings(m_app->ratings(), &RatingsStore::trackChanged);
        const TrackOut track = makeTrack(u"a"_s);
        const auto tap = [&] {
            if (dislike)
                actions.toggleDislike(track, QString());
            else
                actions.toggleFavorite(track, QString());
        };
        tap();
        QTRY_COMPARE(m_server->requestsTo(path), 1);
        tap();
        gate.open();
        QTRY_COMPARE(favourites.size() + ratings.size(), 1);
        QVERIFY(waitUntilIdle());
        QCOMPARE(m_server->requestsTo(path), 1);

        tap();
        QTRY_COMPARE(favourites.size() + ratings.size(), 2);
        QCOMPARE(m_server->requestsTo(path), 2);
    }

    // An answer to a request of the ended session, arriving while the next
    // listener plays the same track, marks nothing anywhere.
    void lateAnswerOfAnEndedSessionMarksNothing_data() { doubleTapSendsOneRequest_data(); }

    void lateAnswerOfAnEndedSessionMarksNothing()
    {
        QFETCH(bool, dislike);
        signIn("first");
        const QString path = dislike ? kRate : kFavorites;
        AnswerGate gate;
        m_server->on(u"POST"_s, path, gate.hold(FakeResponse {200, dislike ? R"({"track_id": "a", "type": "dislike"})" : "{}"}));
        const TrackOut track = makeTrack(u"a"_s);
        m_app->player()->play(track, {track});
        TrackActions *current = m_app->currentTrackActions();
        dislike ? current->toggleDislike() : current->toggleFavorite();
        QTRY_COMPARE(m_server->requestsTo(path), 1);

        m_app->auth()->signOut();
        signIn("second");
        m_app->player()->play(track, {track});
        QSignalSpy favourites(m_app->favorites(), &FavoritesStore::trackChanged);
        QSignalSpy ratings(m_app->ratings(), &RatingsStore::trackChanged);
        gate.open();
        QTRY_VERIFY(gate.answered());
        QVERIFY(waitUntilIdle());

        QCOMPARE(favourites.size() + ratings.size(), 0);
        QVERIFY(!m_app->player()->currentTrack()->isFavorite);
        QVERIFY(!m_app->player()->currentTrack()->userRating);
        QVERIFY(current->signInPrompt().isEmpty());
        // The next tap is the new listener's own and is sent.
        dislike ? current->toggleDislike() : current->toggleFavorite();
        QTRY_COMPARE(favourites.size() + ratings.size(), 1);
    }

    // A wave asked for as the queue ran out, answered after the listener
    // left: nothing of it plays.
    void waveOfAnEndedSessionPlaysNothing()
    {
        signIn("first");
        AnswerGate gate;
        m_server->on(u"GET"_s, kFavorites, gate.hold(FakeResponse {200, "[]"}));
        const TrackOut track = makeTrack(u"a"_s);
        m_app->player()->play(track, {track});
        m_app->player()->next();
        QVERIFY(m_app->player()->isLoadingWave());
        QTRY_COMPARE(m_server->requestsTo(kFavorites), 1);

        m_app->auth()->signOut();
        gate.open();
        QTRY_VERIFY(gate.answered());
        QVERIFY(waitUntilIdle());
        verifyNothingOfTheListenerLeft();
    }

    // The offline copy a listener asked for is still saved after they leave,
    // but the message about it is nobody's any more.
    void offlineSaveOutlivesTheSessionSilently()
    {
        signIn("first");
        AnswerGate gate;
        m_server->on(u"GET"_s, u"/media/z.mp3"_s, gate.hold(FakeResponse {200, QByteArray(4096, 'a'), "audio/mpeg"}));
        const TrackOut track = makeTrack(u"z"_s);
        m_app->player()->play(track, {track});
        m_app->player()->cacheCurrentTrack();
        QTRY_COMPARE(m_server->requestsTo(u"/media/z.mp3"_s), 1);

        m_app->auth()->signOut();
        QVERIFY(!m_app->player()->cachingTrackId());
        gate.open();
        QTRY_VERIFY(AudioCacheService::shared()->localUrl(u"z"_s).has_value());
        QVERIFY(waitUntilIdle());
        QVERIFY(!m_app->player()->cacheMessage());
        QVERIFY(!m_app->player()->cachingTrackId());
        AudioCacheService::shared()->removeCached(u"z"_s);
    }

    // The artist catalogue carries the listener's hearts: it goes with the
    // session, and a load still running then never lands.
    void artistCatalogueGoesWithTheSession()
    {
        signIn("first");
        ArtistCatalogStore *catalogue = m_app->artistCatalog();
        QCoro::waitFor(catalogue->reloadAsync(m_app->session()->token()));
        QVERIFY(catalogue->isReady());
        const auto page = catalogue->artistPage(u"Ann"_s, m_app->auth()->user());
        QVERIFY(page && !page->allTracks.isEmpty() && page->allTracks.first().isFavorite);
        m_app->artistNavigation()->open(u"Ann"_s);

        m_app->auth()->signOut();
        verifyNothingOfTheListenerLeft();
        QVERIFY(!catalogue->artistPage(u"Ann"_s, std::nullopt));

        signIn("second");
        AnswerGate gate;
        m_server->on(u"GET"_s, u"/api/v1/albums"_s, gate.hold(FakeResponse {200, "[]"}));
        catalogue->reload(m_app->session()->token().value_or(QString()));
        QTRY_COMPARE(m_server->requestsTo(u"/api/v1/albums"_s), 2);
        m_app->auth()->signOut();
        gate.open();
        QTRY_VERIFY(gate.answered());
        QVERIFY(waitUntilIdle());
        QVERIFY(!catalogue->isReady());
        QVERIFY(!catalogue->isLoading());
    }
};

QTEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
