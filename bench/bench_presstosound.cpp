#include "devserviceprocess.h"
#include "testenv.h"

#include "api/session.h"
#include "api/apiconfig.h"
#include "api/clock.h"
#include "api/jsoncoding.h"
#include "platform/medialibrary.h"
#include "player/audiocacheservice.h"
#include "player/lyricsservice.h"
#include "player/playerstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <cstdio>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

// From a press to sound, through the program's own audio output (the media
// library loaded at the first track) against the local service: the first
// track of a run, a later track, "next" and a seek in a playing track.
//
// The position is read from the player every 2 ms. A press has sounded once
// the position passes half a second past where it started (or past the seek
// target); the moment sound began is that instant less the half second
// played, so the figures are the silence the listener waits through. The
// raw time to the half second is printed too.
//
// Needs a sound server: run it inside scripts/test's environment
// (NIMBRA_BENCH_ROUNDS sets the number of rounds, 5 by default).

namespace {

constexpr double soundedAfter = 0.5;

// The output of the program, keeping the player it made last.
class WatchedBackend : public AudioBackend
{
public:
    AudioPlayerPtr createPlayer(const QUrl &source) override
    {
        AudioPlayerPtr player = m_real.createPlayer(source);
        m_last = player.get();
        return player;
    }
    AudioPlayerHandle *last() const { return m_last; }

private:
    OnDemandAudioBackend m_real;
    QPointer<AudioPlayerHandle> m_last;
};

struct Figure
{
    double silenceMs = -1; // -1 when it never sounded
    double rawMs = -1;
};

struct Rig
{
    DevServiceProcess service {{u"--tracks"_s, u"60"_s}};
    QTemporaryDir dir;
    AudioCacheService cache {dir.filePath(u"audio_cache"_s)};
    LyricsService lyrics;
    WatchedBackend backend;
    Session session;
    PlayerStore store {&backend, &session, Clock::system(), &lyrics, &cache};

    Rig()
    {
        ApiConfig::setBaseUrl(service.baseUrl());
        store.setCrossfadeEnabled(false);
    }

    TrackOut track(const QString &id) const
    {
        return decodeJson<TrackOut>(service.get(u"/api/v1/tracks/"_s + id).body);
    }

    // Runs the press, then waits until the newest player's own position
    // (not the target a seek shows) is half a second past `from`.
    Figure measure(const std::function<void()> &press, double from = 0)
    {
        QElapsedTimer wall;
        wall.start();
        press();
        const qint64 returned = wall.elapsed();
        qint64 firstMove = -1;
        AudioPlayerHandle *player = backend.last();
        while (wall.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            const double position = player ? player->currentTime() : 0;
            if (firstMove < 0 && position > from + 0.01 && position < from + 3)
                firstMove = wall.elapsed();
            if (player && player == backend.last() && position >= from + soundedAfter && position < from + 3
                && store.isPlaying()) {
                const double raw = double(wall.nsecsElapsed()) / 1e6;
                if (qEnvironmentVariableIsSet("NIMBRA_BENCH_STEPS"))
                    std::fprintf(stderr, "press returned %lld ms, first move %lld ms, %.2f s at %.0f ms\n", returned, firstMove, position, raw);
                return {raw - (position - from) * 1000.0, raw};
            }
            if (player != backend.last())
                player = backend.last();
            QThread::usleep(2000);
        }
        if (qEnvironmentVariableIsSet("NIMBRA_BENCH_STEPS"))
            std::fprintf(stderr, "never sounded: position %.2f, playing %d, player %p\n",
                player ? player->currentTime() : -1.0, store.isPlaying(), static_cast<void *>(player));
        return {};
    }
};

void print(const char *what, QList<Figure> figures)
{
    const auto median = [](QList<double> v) {
        if (v.isEmpty())
            return -1.0;
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    QList<double> silence;
    QList<double> raw;
    QString all;
    for (const Figure &f : figures) {
        silence.append(f.silenceMs);
        raw.append(f.rawMs);
        all += u" %1"_s.arg(f.silenceMs, 0, 'f', 0);
    }
    std::printf("%-28s press to sound median %6.0f ms (to %.1f s played: %6.0f ms); each:%s\n", what,
        median(silence), soundedAfter, median(raw), qPrintable(all));
    std::fflush(stdout);
}

// One fresh process: the media library is not loaded yet. The local
// service renders a track at its first request (about 0.2 s for this FLAC);
// with `fileReady` it has done so before the press, as a service that keeps
// its files would have.
Figure firstTrackOfARun(bool fileReady)
{
    Rig rig;
    if (!rig.service.isRunning())
        return {};
    const TrackOut track = rig.track(u"t00008"_s);
    if (fileReady)
        rig.service.get(u"/media/tracks/t00008.flac"_s);
    return rig.measure([&] { rig.store.play(track, {track}); });
}

// Until the sound server lists a playing stream (pacat's), 5 s at most.
bool waitForSinkInput()
{
    for (int tries = 0; tries < 50; ++tries) {
        QProcess list;
        list.start(u"pactl"_s, {u"list"_s, u"short"_s, u"sink-inputs"_s});
        list.waitForFinished(5000);
        if (!list.readAllStandardOutput().trimmed().isEmpty())
            return true;
        QThread::msleep(100);
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    initTestEnvironment();
    if (app.arguments().contains(u"--first"_s)) {
        const Figure f = firstTrackOfARun(app.arguments().contains(u"--file-ready"_s));
        std::printf("%f %f\n", f.silenceMs, f.rawMs);
        return f.silenceMs < 0;
    }
    const int rounds = qEnvironmentVariableIsSet("NIMBRA_BENCH_ROUNDS") ? qEnvironmentVariableIntValue("NIMBRA_BENCH_ROUNDS") : 5;

    const auto firstTracks = [&](const QStringList &options = {}) {
        QList<Figure> first;
        for (int i = 0; i < rounds; ++i) {
            QProcess child;
            child.start(app.applicationFilePath(), QStringList {u"--first"_s} + options);
            child.waitForFinished(60000);
            const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
            if (parts.size() == 2)
                first.append({parts[0].toDouble(), parts[1].toDouble()});
            else
                first.append(Figure {});
        }
        return first;
    };
    print("first track of a run (FLAC)", firstTracks());
    // An idle null sink renders up to 2 s ahead and takes a new stream only
    // at its next turn, so the first track above waits for the sink as much
    // as for the program. With another client's stream keeping the sink on
    // a short latency, what is left is the program's own share.
    {
        QProcess keepAwake;
        keepAwake.start(u"pacat"_s, {u"--raw"_s, u"--latency-msec=20"_s, u"/dev/zero"_s});
        if (keepAwake.waitForStarted(5000) && waitForSinkInput()) {
            print("first track, sink kept awake", firstTracks());
            print("  and the file ready", firstTracks({u"--file-ready"_s}));
            keepAwake.kill();
            keepAwake.waitForFinished(5000);
        }
    }

    Rig rig;
    if (!rig.service.isRunning()) {
        std::fprintf(stderr, "the local service did not start\n");
        return 1;
    }
    const TrackOut flac = rig.track(u"t00008"_s);
    const TrackOut wav = rig.track(u"t00009"_s);
    const TrackOut other = rig.track(u"t00010"_s);
    // Warm: the library is loaded and one track has played.
    rig.measure([&] { rig.store.play(wav, {wav}); });

    QList<Figure> laterFlac, laterWav, next, seekFlac, seekWav;
    for (int i = 0; i < rounds; ++i) {
        // Targets inside both tracks (185 s and 240 s) for any number of rounds.
        const double flacTarget = 150.0 - 25 * (i % 6);
        const double wavTarget = 60.0 + 20 * (i % 8);
        laterFlac.append(rig.measure([&] { rig.store.play(flac, {flac, wav}); }));
        seekFlac.append(rig.measure([&] { rig.store.seek(flacTarget); }, flacTarget));
        next.append(rig.measure([&] { rig.store.next(); }));
        seekWav.append(rig.measure([&] { rig.store.seek(wavTarget); }, wavTarget));
        laterWav.append(rig.measure([&] { rig.store.play(other, {other}); }));
    }
    print("later track (FLAC)", laterFlac);
    print("later track (WAV)", laterWav);
    print("next (FLAC to WAV)", next);
    print("seek (WAV)", seekWav);
    print("seek (FLAC)", seekFlac);
    return 0;
}
