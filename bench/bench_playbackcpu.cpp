#include "fakehttpserver.h"
#include "testenv.h"
#include "trackfixtures.h"

#include "api/apiconfig.h"
#include "mediagen.h"
#include "platform/qtaudiobackend.h"
#include "player/audiocacheservice.h"
#include "account/session.h"
#include "player/lyricsservice.h"
#include "player/playerstore.h"

#include <QProcess>
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

bool soundServerAnswers()
{
    QProcess pactl;
    pactl.start(u"pactl"_s, {u"info"_s});
    return pactl.waitForFinished(3000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
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
    }

    void playOneTrack()
    {
        FakeHttpServer server;
        server.on(
            u"GET"_s, u"/media/a.wav"_s, FakeResponse {200, devservice::renderWav(1, playSeconds + 10), "audio/wav"});
        APIConfig::setBaseURL(server.baseUrl());
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

        const auto [userBefore, systemBefore] = processCpuTime();
        QElapsedTimer wall;
        wall.start();
        // A fixed stretch of playback rather than QBENCHMARK, which would
        // play it twice: what counts is the CPU time, not the wall time.
        QTest::qWait(playSeconds * 1000);
        const auto [userAfter, systemAfter] = processCpuTime();
        const double seconds = double(wall.elapsed()) / 1000.0;
        const double user = userAfter - userBefore;
        const double system = systemAfter - systemBefore;
        QVERIFY(store.isPlaying());
        qInfo().noquote() << u"played %1 s (position %2 s): CPU user %3 s + system %4 s = %5 s, %6% of one core"_s
                                 .arg(seconds, 0, 'f', 1)
                                 .arg(store.elapsed(), 0, 'f', 1)
                                 .arg(user, 0, 'f', 3)
                                 .arg(system, 0, 'f', 3)
                                 .arg(user + system, 0, 'f', 3)
                                 .arg(100.0 * (user + system) / seconds, 0, 'f', 1);
    }
};

QTEST_GUILESS_MAIN(BenchPlaybackCpu)
#include "bench_playbackcpu.moc"
