#include "appcontext.h"
#include "devserviceprocess.h"
#include "stallwatch.h"
#include "memorysecretstore.h"
#include "screentest.h"
#include "testenv.h"
#include "xvfbdisplay.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "api/jsoncoding.h"
#include "api/nimbraapi.h"
#include "clips/clipplayerstore.h"
#include "platform/medialibrary.h"
#include "platform/renderbackend.h"
#include "player/playerstore.h"

#include <QQuickItem>

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTimer>
#include <QtTest>

#include <QCoroTask>

#include <malloc.h>

#include <functional>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

// What a listener feels at the first track and the first clip of a run:
// how long the window cannot redraw or answer between the press and the
// moment the item plays, while the media stack loads (the library,
// GStreamer and its plugin registry) and the clip overlay is made. The
// whole client on the scene graph back-end the program picks for this
// machine, under Xvfb, over the local service. Each function is meant for
// a process of its own (name it on the command line), since only the
// first item of a process loads the stack; GStreamer's registry is kept
// in the cache folder of the environment (a first run ever rebuilds it).
// Two more look at many presses: the stalls of a quick series of "next",
// and the heap over 200 tracks.
class BenchFirstPress : public QObject
{
    Q_OBJECT

    struct Client
    {
        DevServiceProcess service {{u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s}};
        std::unique_ptr<AppContext> app;
    };

    void startClient(Client &client)
    {
        QVERIFY2(client.service.isRunning(), qPrintable(client.service.startError()));
        ApiConfig::setBaseUrl(client.service.baseUrl());
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        client.app = std::make_unique<AppContext>(environment);
        QVERIFY(client.app->start());
        QVERIFY(QTest::qWaitForWindowExposed(client.app->window()));
        client.app->auth()->continueAsGuest();
        // The first screen settles before the press.
        QTest::qWait(1500);
        QVERIFY(!MediaLibrary::isLoaded());
    }

    void measure(const QString &what, const std::function<void()> &press, const std::function<bool()> &plays)
    {
        StallWatch watch;
        QElapsedTimer since;
        since.start();
        watch.start();
        press();
        const qint64 callMs = since.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(plays(), 20000);
        const qint64 toPlayMs = since.elapsed();
        // What follows the start (the overlay's first frames) counts too.
        QTest::qWait(500);
        qInfo().noquote() << u"%1: the press took %2 ms, playing after %3 ms, the longest stall %4 ms"_s.arg(what)
                                 .arg(callMs)
                                 .arg(toPlayMs)
                                 .arg(watch.stop());
    }

    void playTrack(Client &client, const QString &label)
    {
        const TrackOut track = decodeJson<TrackOut>(client.service.get(u"/api/v1/tracks/t00008"_s).body);
        PlayerStore *player = client.app->player();
        measure(label, [&] { player->play(track, {track}); }, [&] { return player->elapsed() > 0.3; });
        player->togglePlayPause();
    }

    QList<TrackOut> catalogueTracks(int count)
    {
        return QCoro::waitFor(NimbraApi().tracks(1, count, false, std::nullopt)).items;
    }

    // The process's private resident memory (what the figures call its
    // heap), beside what the C library's heap has in use and holds free.
    static void reportHeap(const char *when)
    {
        double residentKiB = -1;
        QFile status(u"/proc/self/status"_s);
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("RssAnon:"))
                    residentKiB = line.mid(8).trimmed().split(' ').first().toDouble();
            }
        }
        constexpr double mib = 1024.0 * 1024.0;
        const struct mallinfo2 info = mallinfo2();
        qInfo("heap %s: %.1f MiB (the C library's: %.1f MiB in use, %.1f MiB held free)", when, residentKiB / 1024.0,
            double(info.uordblks + info.hblkhd) / mib, double(info.fordblks) / mib);
    }

    void playClip(Client &client, const QString &label)
    {
        const QList<ClipOut> clips = QCoro::waitFor(NimbraApi().clips(1, 20, u"clip"_s, std::nullopt)).items;
        QVERIFY(clips.size() >= 2);
        ClipPlayerStore *store = client.app->clipPlayer();
        QQuickWindow *window = client.app->window();
        // Playing, and its overlay made.
        measure(label, [&] { store->play(clips.at(0), clips); }, [&] {
            QQuickItem *view = findItem(window, u"clipPlayerView"_s);
            return store->elapsed() >= 0.5 && view && isShown(view);
        });
        store->dismiss();
    }

private slots:
    void initTestCase()
    {
        if (!hasVideoDisplay())
            QSKIP("No X display and no xvfb-run.");
        if (!soundServerAnswers())
            QSKIP("No PulseAudio server answers.");
        initTestEnvironment();
    }

    void firstTrackThenClip()
    {
        Client client;
        startClient(client);
        playTrack(client, u"first track of the process"_s);
        playClip(client, u"first clip, after a track"_s);
    }

    // The pointer moved onto a control that plays half a second before the
    // press: the media stack loads and the output opens meanwhile (the press
    // line's time includes that half second).
    void firstTrackAfterThePointer()
    {
        Client client;
        startClient(client);
        QQuickWindow *window = client.app->window();
        QQuickItem *wave = findItem(window, u"waveButton"_s);
        QVERIFY(wave && isShown(wave));
        const QPoint on = wave->mapToScene(QPointF(wave->width() / 2, wave->height() / 2)).toPoint();
        const TrackOut track = decodeJson<TrackOut>(client.service.get(u"/api/v1/tracks/t00008"_s).body);
        PlayerStore *player = client.app->player();
        measure(u"first track, the pointer on a control 0.5 s before"_s, [&] {
            QTest::mouseMove(window, on - QPoint(30, 0));
            QTest::mouseMove(window, on);
            QTest::qWait(500);
            player->play(track, {track});
        }, [&] { return player->elapsed() > 0.3; });
        player->togglePlayPause();
    }

    void firstClipThenTrack()
    {
        Client client;
        startClient(client);
        playClip(client, u"first clip of the process"_s);
        playTrack(client, u"first track, after a clip"_s);
    }

    // Once the stack is there: another track pressed while one plays, a
    // seek, "next", and a track's end into the next.
    void laterPressesNextSeekAndEnd()
    {
        Client client;
        startClient(client);
        PlayerStore *player = client.app->player();
        const auto track = [&](const QString &id) {
            return decodeJson<TrackOut>(client.service.get(u"/api/v1/tracks/"_s + id).body);
        };
        const TrackOut first = track(u"t00008"_s);
        const TrackOut second = track(u"t00009"_s);
        player->setRepeatMode(RepeatMode::All);
        player->play(first, {first, second});
        QTRY_VERIFY_WITH_TIMEOUT(player->elapsed() > 1.0, 20000);
        const auto playsFrom = [&](const QString &id, double seconds) {
            return [=] { return player->currentTrack()->id == id && player->elapsed() > seconds; };
        };
        measure(u"a press while a track plays"_s, [&] { player->play(second, {first, second}); },
            playsFrom(second.id, 0.3));
        measure(u"a seek"_s, [&] { player->seek(60); }, playsFrom(second.id, 60.3));
        measure(u"next"_s, [&] { player->next(); }, playsFrom(first.id, 0.3));
        player->seek(double(first.durationSeconds) - 2.0);
        QTRY_VERIFY_WITH_TIMEOUT(player->elapsed() > double(first.durationSeconds) - 1.8, 20000);
        // The item's end comes about two seconds after the call.
        measure(u"the end of a track into the next"_s, [] { }, playsFrom(second.id, 0.3));
        player->togglePlayPause();
    }

    // A listener who holds "next" down or clicks through a list: fifty
    // presses within two seconds, then the track landed on has to sound.
    void fiftyQuickNextPresses()
    {
        Client client;
        startClient(client);
        PlayerStore *player = client.app->player();
        const QList<TrackOut> tracks = catalogueTracks(100);
        QVERIFY(tracks.size() >= 60);
        player->play(tracks.first(), tracks);
        QTRY_VERIFY_WITH_TIMEOUT(player->elapsed() > 1.0, 20000);
        client.service.clearRequests();
        constexpr int presses = 50;
        QElapsedTimer sinceLast;
        qint64 landedMs = -1;
        measure(u"50 presses of next within 2 s"_s, [&] {
            for (int i = 0; i < presses; ++i) {
                player->next();
                sinceLast.start();
                QTest::qWait(2000 / presses);
            }
        }, [&] {
            const bool plays = player->queueIndex() == presses && player->elapsed() > 0.3;
            if (plays && landedMs < 0)
                landedMs = sinceLast.elapsed();
            return plays;
        });
        qInfo("from the last press to 0.3 s played: %lld ms", landedMs);
        int mediaRequests = 0;
        for (const RecordedRequest &request : client.service.requests())
            mediaRequests += request.path.contains(u"/media/"_s);
        qInfo("media requests during the presses: %d", mediaRequests);
        player->togglePlayPause();
    }

    // The heap over a listener's hour of skipping: "next" pressed 200 times,
    // each once the track before has sounded for a moment.
    void heapOverNextPresses()
    {
        Client client;
        startClient(client);
        PlayerStore *player = client.app->player();
        const QList<TrackOut> tracks = catalogueTracks(200);
        QVERIFY(tracks.size() >= 200);
        player->play(tracks.first(), tracks);
        QTRY_VERIFY_WITH_TIMEOUT(player->elapsed() > 0.5, 20000);
        reportHeap("at the first track");
        for (int press = 1; press < 200; ++press) {
            player->next();
            QTRY_VERIFY_WITH_TIMEOUT(player->queueIndex() == press && player->elapsed() > 0.5, 20000);
            if (press % 40 == 0 || press == 199)
                reportHeap(qPrintable(u"after %1 presses"_s.arg(press)));
        }
        player->togglePlayPause();
        // Paused, the window rests and the players kept go.
        QTest::qWait(5000);
        reportHeap("paused 5 s later");
        malloc_trim(0);
        reportHeap("trimmed");
    }
};

int main(int argc, char **argv)
{
    runUnderXvfb(argc, argv);
    QGuiApplication app(argc, argv);
    RenderBackend::applyForThisMachine();
    BenchFirstPress bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_firstpress.moc"
