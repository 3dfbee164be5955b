#include "devserviceprocess.h"
#include "monitorrecorder.h"
#include "testenv.h"

#include "api/apiconfig.h"
#include "api/clock.h"
#include "api/jsoncoding.h"
#include "api/session.h"
#include "platform/medialibrary.h"
#include "player/audiocacheservice.h"
#include "player/lyricsservice.h"
#include "player/playerstore.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

// From a press to sound, as a listener hears it: the program's own audio
// output against the local service, timed to the first audible sample at
// the default sink's monitor. The sink is left idle between runs, as a
// listener's is: an idle PulseAudio null sink renders two seconds ahead and
// takes a new stream only at its next turn, so a program that lets its
// stream go between tracks waits for that; one that keeps a stream on the
// sink does not. Each first press waits a random part of that turn first.
//
// Measured: the first press of a fresh process (the media library not
// loaded; GStreamer's plugin registry built beforehand, as on every run but
// a first one ever), also with the pointer on the control 0.5 s or 2 s
// before the press (the player readies its output then), and each of these
// with the service having rendered the file before the press (the local
// service renders a track at its first request, about 0.2 s for this FLAC,
// where a service that keeps its files would not); then in one process,
// round after round, a press of another track while one plays, a seek,
// "next", and a track's natural end into the next (from its last audible
// sample to the next track's first).
//
// Needs a sound server with a null sink: run it as
//   bench/with-null-sink build/bench/bench_presstosound [--later]
// --later leaves the first presses out; --seeks runs only series of seeks
// (on the tracks NIMBRA_BENCH_TRACKS names, t00008 t00009 t00010 by default). NIMBRA_BENCH_ROUNDS sets the number
// of rounds (7 by default); NIMBRA_BENCH_STEPS=1 prints each later press.

namespace {

constexpr int quietBetweenRunsMs = 3000;

struct Rig
{
    DevServiceProcess service {{u"--tracks"_s, u"60"_s}};
    QTemporaryDir dir;
    AudioCacheService cache {dir.filePath(u"audio_cache"_s)};
    LyricsService lyrics;
    OnDemandAudioBackend backend;
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
};

// As the program's own event loop does, deleted objects go too (a player
// dropped with deleteLater() closes its stream only then).
void turnEventLoopOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::usleep(2000);
}

void turnEventLoop(int ms)
{
    const qint64 until = MonitorRecorder::now() + qint64(ms) * 1'000'000;
    while (MonitorRecorder::now() < until)
        turnEventLoopOnce();
}

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    const qint64 until = MonitorRecorder::now() + qint64(timeoutMs) * 1'000'000;
    while (!condition()) {
        if (MonitorRecorder::now() > until)
            return false;
        turnEventLoopOnce();
    }
    return true;
}

// The default sink's configured latency in ms: two seconds while idle.
int sinkLatencyMs()
{
    QProcess info;
    info.start(u"pactl"_s, {u"list"_s, u"sinks"_s});
    info.waitForFinished(5000);
    const auto match = QRegularExpression(u"configured (\\d+) usec"_s).match(QString::fromUtf8(info.readAllStandardOutput()));
    return match.hasMatch() ? int(match.captured(1).toLongLong() / 1000) : -1;
}

// Until nothing keeps the sink on a short latency, 10 s at most; then for
// a while of any length up to the sink's two-second turn, so that the runs
// do not all meet it at the same point of its turn.
void waitForIdleSink()
{
    waitFor([] { return sinkLatencyMs() >= 1000; }, 10000);
    turnEventLoop(quietBetweenRunsMs + int(QRandomGenerator::global()->bounded(2000)));
}

struct Series
{
    const char *name;
    // -1: never sounded; -2: sounded throughout, with no break for the new
    // sound to start after (a seek that went on from the old position
    // without a gap), so there is no onset to time.
    QList<double> ms;
};

void print(const Series &series)
{
    QList<double> sounded;
    QString all;
    for (double v : series.ms) {
        if (v >= 0)
            sounded.append(v);
        all += v >= 0 ? u" %1"_s.arg(v, 0, 'f', 0) : v == -2 ? u" seamless"_s : u" never"_s;
    }
    std::sort(sounded.begin(), sounded.end());
    const auto n = sounded.size();
    const double median = n == 0 ? -1 : n % 2 ? sounded[n / 2] : (sounded[n / 2 - 1] + sounded[n / 2]) / 2;
    std::printf("%-36s median %6.0f ms, %4.0f-%4.0f ms; each:%s\n", series.name, median,
        n ? sounded.first() : -1.0, n ? sounded.last() : -1.0, qPrintable(all));
    std::fflush(stdout);
}

double msSince(qint64 from, std::optional<qint64> to)
{
    return to ? double(*to - from) / 1e6 : -1;
}

// One fresh process: presses play once and says when.
int firstPressChild(bool fileReady, int pointerBeforeMs)
{
    Rig rig;
    if (!rig.service.isRunning())
        return 1;
    const TrackOut track = rig.track(u"t00008"_s);
    if (fileReady)
        rig.service.get(u"/media/tracks/t00008.flac"_s);
    turnEventLoop(500);
    if (pointerBeforeMs > 0) {
        rig.store.prepareToPlay();
        turnEventLoop(pointerBeforeMs);
    }
    const qint64 pressed = MonitorRecorder::now();
    rig.store.play(track, {track});
    // Played long enough for the parent to have heard the start.
    const bool played = waitFor([&] { return rig.store.elapsed() > 1.0; }, 20000);
    std::printf("%lld\n", pressed);
    return played ? 0 : 1;
}

double firstPressOfAProcess(const MonitorRecorder &monitor, const QStringList &options)
{
    waitForIdleSink();
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList {u"--first"_s} + options);
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return -1;
    const qint64 pressed = child.readAllStandardOutput().trimmed().toLongLong();
    return msSince(pressed, monitor.waitForOnset(pressed, [] { QThread::msleep(5); }));
}

// Six seeks 1.7 s apart, as a listener looking for a place. Each seek is
// to sound within 0.7 s and go on sounding: counted are the silent
// milliseconds from 0.7 s after each seek to the next, and from 0.7 s to
// 5 s after the last.
void seekSeries(Rig &rig, const MonitorRecorder &monitor, const TrackOut &track, Series &eachSeek, Series &afterLast)
{
    rig.store.play(track, {track});
    waitFor([&] { return rig.store.elapsed() > 1.0; }, 20000);
    turnEventLoop(1000);
    const QList<double> targets {60, 90, 30, 120, 150, 45};
    QList<qint64> seeked;
    for (const double target : targets) {
        seeked.append(MonitorRecorder::now());
        rig.store.seek(target);
        turnEventLoop(1700);
    }
    turnEventLoop(5000 - 1700);
    constexpr qint64 msNs = 1'000'000;
    for (qsizetype i = 0; i < seeked.size(); ++i) {
        const qint64 from = seeked[i] + 700 * msNs;
        const qint64 to = i + 1 < seeked.size() ? seeked[i + 1] : seeked[i] + 5000 * msNs;
        // A seek rewinds the sink: what it had played ahead comes to the
        // monitor twice, which may count more sound than time.
        const int silent = std::max(0, int((to - from) / msNs) - monitor.audibleMs(from, to));
        (i + 1 < seeked.size() ? eachSeek : afterLast).ms.append(silent);
    }
    if (qEnvironmentVariableIsSet("NIMBRA_BENCH_STEPS"))
        std::fprintf(stderr, "%s: at %.2f s, playing %d\n", qPrintable(track.id), rig.store.elapsed(), rig.store.isPlaying());
    rig.store.pauseIfPlaying();
    turnEventLoop(1500);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Every child reads the plugin registry that this process builds.
    if (qEnvironmentVariableIsEmpty("XDG_CACHE_HOME")) {
        static QTemporaryDir cache;
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    }
    initTestEnvironment();
    if (app.arguments().contains(u"--first"_s)) {
        const qsizetype pointer = app.arguments().indexOf(u"--pointer-before"_s);
        return firstPressChild(app.arguments().contains(u"--file-ready"_s),
            pointer > 0 ? app.arguments().value(pointer + 1).toInt() : 0);
    }
    if (!soundServerAnswers()) {
        std::fprintf(stderr, "no sound server answers\n");
        return 1;
    }
    MonitorRecorder monitor;
    if (!monitor.start()) {
        std::fprintf(stderr, "the sink's monitor could not be recorded (parec)\n");
        return 1;
    }
    MediaLibrary::entry();
    const int rounds = qEnvironmentVariableIsSet("NIMBRA_BENCH_ROUNDS") ? qEnvironmentVariableIntValue("NIMBRA_BENCH_ROUNDS") : 7;

    std::printf("idle sink: configured latency %d ms\n", sinkLatencyMs());
    const QStringList ready {u"--file-ready"_s};
    const QStringList halfSecond {u"--pointer-before"_s, u"500"_s};
    const QStringList twoSeconds {u"--pointer-before"_s, u"2000"_s};
    QList<std::pair<Series, QStringList>> firsts {
        {{"first press of a process (FLAC)", {}}, {}},
        {{"  the pointer on it 0.5 s before", {}}, halfSecond},
        {{"  the pointer on it 2 s before", {}}, twoSeconds},
        {{"  with the file rendered before", {}}, ready},
        {{"    and the pointer 0.5 s before", {}}, ready + halfSecond},
        {{"    and the pointer 2 s before", {}}, ready + twoSeconds},
    };
    const bool firstPresses = !app.arguments().contains(u"--later"_s) && !app.arguments().contains(u"--seeks"_s);
    for (int i = 0; firstPresses && i < rounds; ++i) {
        for (auto &[series, options] : firsts)
            series.ms.append(firstPressOfAProcess(monitor, options));
    }
    for (const auto &first : firsts) {
        if (firstPresses)
            print(first.first);
    }

    Rig rig;
    if (!rig.service.isRunning()) {
        std::fprintf(stderr, "the local service did not start\n");
        return 1;
    }
    const TrackOut flac = rig.track(u"t00008"_s);
    const TrackOut wav = rig.track(u"t00009"_s);
    rig.store.setRepeatMode(RepeatMode::All);
    waitForIdleSink();
    const auto press = [&](const std::function<void()> &action) {
        const qint64 pressed = MonitorRecorder::now();
        action();
        const auto onset = monitor.waitForOnset(pressed, turnEventLoopOnce);
        constexpr qint64 second = 1'000'000'000;
        const bool seamless = !onset && monitor.audibleMs(pressed, pressed + second) > 900;
        const double ms = seamless ? -2 : msSince(pressed, onset);
        if (qEnvironmentVariableIsSet("NIMBRA_BENCH_STEPS"))
            std::fprintf(stderr, "%.0f ms; then at %.2f s of %s, playing %d\n", ms, rig.store.elapsed(),
                qPrintable(rig.store.currentTrack()->id), rig.store.isPlaying());
        // The listener hears the new sound for a while before the next press.
        turnEventLoop(1500);
        return ms;
    };
    if (app.arguments().contains(u"--seeks"_s)) {
        const QString ids = qEnvironmentVariable("NIMBRA_BENCH_TRACKS", u"t00008 t00009 t00010"_s);
        for (const QString &id : ids.split(u' ', Qt::SkipEmptyParts)) {
            Series each {"", {}};
            Series last {"", {}};
            for (int i = 0; i < rounds; ++i)
                seekSeries(rig, monitor, rig.track(id), each, last);
            const QByteArray eachName = "seek series " + id.toUtf8() + ", silent ms 0.7-1.7 s after a seek";
            const QByteArray lastName = "  and 0.7-5 s after the last";
            print({eachName.constData(), each.ms});
            print({lastName.constData(), last.ms});
        }
        return 0;
    }
    // The library is loaded and one track has played.
    press([&] { rig.store.play(wav, {flac, wav}); });

    Series later {"a press while a track plays (FLAC)", {}};
    Series seekFlac {"seek (FLAC)", {}};
    Series next {"next (FLAC to WAV)", {}};
    Series seekWav {"seek (WAV)", {}};
    Series end {"natural end (WAV to FLAC), the gap", {}};
    Series endToSound {"  from the end of the item", {}};
    for (int i = 0; i < rounds; ++i) {
        later.ms.append(press([&] { rig.store.play(flac, {flac, wav}); }));
        seekFlac.ms.append(press([&] { rig.store.seek(150.0 - 25 * (i % 6)); }));
        next.ms.append(press([&] { rig.store.next(); }));
        // Then the WAV plays out into the FLAC, the queue's first track.
        qint64 ended = 0;
        QObject watch;
        QObject::connect(&rig.store, &PlayerStore::currentTrackChanged, &watch, [&] { ended = MonitorRecorder::now(); });
        const double target = double(wav.durationSeconds) - 3.5 + 0.1 * (i % 5);
        seekWav.ms.append(press([&] { rig.store.seek(target); }));
        if (!waitFor([&] { return ended != 0; }, 15000)) {
            end.ms.append(-1);
            endToSound.ms.append(-1);
            continue;
        }
        // The item ends once its last sample has played.
        const auto onset = monitor.waitForOnset(ended - 50'000'000, turnEventLoopOnce);
        const auto lastOfOld = onset ? monitor.lastSoundBefore(*onset - 3'000'000) : std::nullopt;
        end.ms.append(lastOfOld ? msSince(*lastOfOld, onset) : -1);
        endToSound.ms.append(msSince(ended, onset));
        turnEventLoop(1500);
    }
    for (const Series &s : {later, seekFlac, next, seekWav, end, endToSound})
        print(s);
    return 0;
}
