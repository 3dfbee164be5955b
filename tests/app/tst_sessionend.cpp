// The end of a session, however it comes (sign-out, a token the service
// stops accepting, another service's address): nothing of the listener is
// left playing or shown, and the token goes nowhere else.
#include "appcontext.h"

#include "account/authstore.h"
#include "account/favoritesstore.h"
#include "account/playlistsstore.h"
#include "account/session.h"
#include "account/settingsmodel.h"
#include "api/apiconfig.h"
#include "player/nowplayingcontroller.h"
#include "player/playerstore.h"
#include "tracks/trackactions.h"

#include "authsession.h"
#include "tracks/trackservices.h"
#include "fakeaudiobackend.h"
#include "fakehttpserver.h"
#include "memorysecretstore.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QMutex>
#include <QSettings>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

} // namespace

class TestSessionEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<FakeHttpServer> m_otherService;
    FakeAudioBackend m_audio;
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

    // A favourite track playing in a queue of three, a sleep timer set.
    void playFavourite()
    {
        QList<TrackOut> queue = makeTracks({u"a"_s, u"b"_s, u"c"_s});
        queue[0].isFavorite = true;
        m_app->player()->play(queue.first(), queue);
        m_app->player()->setSleepTimer(30);
        QVERIFY(m_app->player()->isPlaying());
        QVERIFY(m_app->player()->nowPlaying()->info().has_value());
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
        QVERIFY(m_app->playlists()->playlists().isEmpty());
        QVERIFY(m_app->favorites()->lastError().value_or(QString()).isEmpty());
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
                return FakeResponse {200, "[]"};
            }
            return FakeResponse {401, R"({"detail": "Недействительный токен"})"};
        });
    }

    void init()
    {
        ApiConfig::setBaseUrl(m_server->baseUrl());
        m_server->clearRequests();
        m_otherService->clearRequests();
        m_secrets = std::make_shared<MemorySecretStore>();
        AppContext::Environment environment;
        environment.secrets = m_secrets;
        environment.audio = &m_audio;
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
        QCOMPARE(m_secrets->itemCount(), 1);
        forgetTokens();

        QCoro::waitFor(m_app->playlists()->loadAsync());
        QTRY_VERIFY(!m_app->auth()->hasToken());
        QVERIFY(!m_app->auth()->canUseApp());
        QCOMPARE(m_app->auth()->errorMessage().value_or(QString()), u"Недействительный токен"_s);
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
        QCOMPARE(m_app->favorites()->lastErrorText(), u"Запрещено"_s);
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

    // A heart tapped twice while its request runs sends one request.
    void doubleTapSendsOneRequest()
    {
        signIn("first");
        FakeResponse slow {200, "{}"};
        slow.delayMs = 300;
        m_server->on(u"POST"_s, u"/api/v1/favorites"_s, slow);
        TrackActions actions(TrackServices::registered());
        QSignalSpy answered(m_app->favorites(), &FavoritesStore::trackChanged);
        const TrackOut track = makeTrack(u"a"_s);
        actions.toggleFavorite(track, QString());
        actions.toggleFavorite(track, QString());
        QVERIFY(answered.wait());
        QCOMPARE(m_server->requestsTo(u"/api/v1/favorites"_s), 1);
        // Once answered, the next tap is sent again.
        QVERIFY(QCoro::waitFor(m_app->favorites()->toggleAsync(track)).has_value());
        QCOMPARE(m_server->requestsTo(u"/api/v1/favorites"_s), 2);
    }
};

QTEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
