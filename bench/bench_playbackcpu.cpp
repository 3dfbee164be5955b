#include "appcontext.h"
#include "devserviceprocess.h"
#include "fakehttpserver.h"
#include "memorysecretstore.h"
#include "testenv.h"
#include "trackfixtures.h"

#include "api/apiconfig.h"
#include "mediagen.h"
#include "media/qtaudiobackend.h"
#include "player/audiocacheservice.h"
#include "api/session.h"
#include "player/lyricsservice.h"
#include "player/playerstore.h"
#include "account/authstore.h"
#include "api/jsoncoding.h"

#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int playSeconds = 20;

// User and system CPU time of the whole process so far, in seconds.
std::pair<double, double> processCpuTime()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}


// Process CPU over a fixed stretch of playback, printed as a share of one
// core. A fixed stretch rather than QBENCHMARK, which would play it twice:
// what counts is the CPU time, not the wall time.
void reportCpuWhilePlaying(const QString &what, const PlayerStore &store)
{
    const auto [userBefore, systemBefore] = processCpuTime();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(playSeconds * 1000);
    const auto [userAfter, systemAfter] = processCpuTime();
    const double seconds = double(wall.elapsed()) / 1000.0;
    const double user = userAfter - userBefore;
    const double system = systemAfter - systemBefore;
    QVERIFY(store.isPlaying());
    qInfo().noquote() << u"%7: played %1 s (position %2 s): CPU user %3 s + system %4 s = %5 s, %6% of one core"_s
                             .arg(seconds, 0, 'f', 1)
                             .arg(store.elapsed(), 0, 'f', 1)
                             .arg(user, 0, 'f', 3)
                             .arg(system, 0, 'f', 3)
                             .arg(user + system, 0, 'f', 3)
                             .arg(100.0 * (user + system) / seconds, 0, 'f', 1)
                             .arg(what);
}

} // namespace

// What playing costs: one streamed track through the real audio backend and
// the player store (its 0.1 s tick included) for 20 s, as process CPU time.
// Needs a sound server (run it inside scripts/test's environment, or on a
// desktop).
class BenchPlaybackCpu : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!soundServerAnswers())
            QSKIP("No PulseAudio server answers.");
        initTestEnvironment();
        QQuickStyle::setStyle(u"Basic"_s);
        // The renderer the client uses where there is no GPU.
        if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }

    void playOneTrack()
    {
        FakeHttpServer server;
        server.on(
            u"GET"_s, u"/media/a.wav"_s, FakeResponse {200, devservice::renderWav(1, playSeconds + 10), "audio/wav"});
        ApiConfig::setBaseUrl(server.baseUrl());
        QTemporaryDir dir;
        AudioCacheService cache(dir.filePath(u"audio_cache"_s));
        LyricsService lyrics;
        QtAudioBackend backend;
        Session session;
        PlayerStore store(&backend, &session, nullptr, &lyrics, &cache);

        TrackOut track = makeTrack(u"a"_s, u"media/a.wav"_s);
        track.durationSeconds = playSeconds + 10;
        store.play(track, {});
        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() > 0.1, 5000);

        reportCpuWhilePlaying(u"player store alone"_s, store);
    }

    // The whole client: its window on the software renderer over the local
    // service, a long track with synced lyrics playing, first under the
    // mini player, then under the fullscreen player's lyrics panel.
    void wholeClient()
    {
        DevServiceProcess service({u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s});
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));
        ApiConfig::setBaseUrl(service.baseUrl());
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        AppContext app(environment);
        QVERIFY(app.start());
        QVERIFY(QTest::qWaitForWindowExposed(app.window()));
        app.auth()->continueAsGuest();

        const TrackOut track = decodeJson<TrackOut>(service.get(u"/api/v1/tracks/t00008"_s).body);
        app.player()->play(track, {track});
        QTRY_VERIFY_WITH_TIMEOUT(app.player()->elapsed() > 0.5, 10000);
        QTest::qWait(1000);
        reportCpuWhilePlaying(u"client with the mini player"_s, *app.player());

        app.player()->showFullscreenLyrics();
        QTest::qWait(1000);
        reportCpuWhilePlaying(u"client with the lyrics panel"_s, *app.player());
    }
};

QTEST_MAIN(BenchPlaybackCpu)
#include "bench_playbackcpu.moc"
