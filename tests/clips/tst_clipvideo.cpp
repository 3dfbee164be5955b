// Real clip videos from nimbra-devservice through QtMultimedia, under Xvfb
// (offscreen shows no video) and on the scene graph back-end the program
// picks for this machine (software where there is no GPU): a clip whose
// file is missing is skipped for the next (the first clip of the process,
// with the overlay made as the main window makes it; and reached by playing
// through the clip before it, when the short clip after it plays to its
// end), a clip plays and its frames are not black, a seek while paused
// shows the picture at the new place, a queue in which nothing plays stops
// after one pass with its message, and the overlay shows the picture
// windowed and fullscreen. The overlay is rendered to PNGs for review
// (build/screenshots/clip-overlay-*.png).
//
// Every wait ends when its event comes. Its limit allows for the start of
// the media stack and for the media's own length several times over: real
// playback keeps to the clock, and a sanitizer build on a busy machine
// takes that long to get there.
#include "devserviceprocess.h"
#include "scenerig.h"
#include "screentest.h"
#include "xvfbdisplay.h"

#include "api/apiconfig.h"
#include "api/nimbraapi.h"
#include "api/storeregistry.h"
#include "clips/clipplayerstore.h"
#include "platform/renderbackend.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QVideoFrame>
#include <QVideoSink>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <QCoroTask>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QSGRendererInterface>

#include <cstdio>
#include <cstdlib>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// Mean brightness of an image, 0 to 255, over a coarse grid of pixels.
double brightness(const QImage &image)
{
    if (image.isNull())
        return 0;
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); y += qMax(1, image.height() / 20)) {
        for (int x = 0; x < image.width(); x += qMax(1, image.width() / 20)) {
            sum += qGray(image.pixel(x, y));
            ++count;
        }
    }
    return count ? sum / count : 0;
}

const ClipOut *findClip(const QList<ClipOut> &clips, const QString &id)
{
    for (const ClipOut &clip : clips) {
        if (clip.id == id)
            return &clip;
    }
    return nullptr;
}

// The limit of a wait for an event that comes after this much media.
int withinMs(double mediaSeconds)
{
    return 20000 + int(mediaSeconds * 4000);
}

} // namespace

class TestClipVideo : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    QList<ClipOut> m_clips;
    SceneRig m_scene;

    // The overlay over the store: a fresh engine, since its singleton is
    // the store registered when the engine was made. The main window makes
    // the overlay, and with it the video surface, once the first clip is
    // presented, while that clip loads; atFirstClip does the same.
    std::unique_ptr<QmlScene> showOverlay(ClipPlayerStore &store, bool atFirstClip = false)
    {
        StoreRegistry::set(&store);
        m_scene.dropEngine();
        const QByteArray qml = atFirstClip
            ? QByteArray("import QtQuick\nimport Nimbra\nLoader { width: 1100; height: 720;"
                         " active: ClipPlayerStore.isPresented; source: \"qrc:/qt/qml/Nimbra/clips/ClipPlayerView.qml\" }\n")
            : QByteArray("import QtQuick\nimport Nimbra\nClipPlayerView { width: 1100; height: 720 }\n");
        return std::make_unique<QmlScene>(m_scene.engine(), qml, QSize(1100, 720));
    }

public:
    RenderBackend::Choice m_backend = RenderBackend::Choice::Default;

private slots:
    void initTestCase()
    {
        if (!hasVideoDisplay())
            QSKIP("No X display and no xvfb-run: video frames cannot be shown.");
        m_scene.start();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"100"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        ApiConfig::setBaseUrl(m_service->baseUrl());
        m_clips = QCoro::waitFor(NimbraApi().clips(1, 100, u"clip"_s, std::nullopt)).items;
        QVERIFY(m_clips.size() >= 8);
    }

    // The engine's singleton was the test's own store.
    void cleanup() { m_scene.dropEngine(); }

    // c0003's file answers 404: the clip after it plays, loaded once, and
    // the one after that is never reached. Pressed first of all, as the
    // first clip of a listener's session is: the video stack and the
    // overlay's surface are new, and the surface comes while c0003 loads.
    void missingFileIsSkipped()
    {
        ClipPlayerStore store;
        const auto overlay = showOverlay(store, true);
        QmlScene &scene = *overlay;
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QStringList started;
        connect(&store, &ClipPlayerStore::currentClipChanged, this, [&] { started.append(store.currentClipId()); });
        store.play(*findClip(m_clips, u"c0003"_s), m_clips);
        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() >= 0.8, withinMs(0.8));
        QCOMPARE(started, (QStringList {u"c0003"_s, u"c0004"_s}));
        QQuickItem *video = scene.item(u"clipVideo"_s);
        QVERIFY(video);
        QTRY_VERIFY_WITH_TIMEOUT(video->property("hasFrame").toBool(), withinMs(0.1));
        QVERIFY(store.isPlaying());
        QVERIFY(store.failureText().isEmpty());
        store.dismiss();
    }

    // Played through to c0003 (404) from the clip before it: c0004, four
    // seconds long, plays to its end before c0005 starts.
    void missingFileReachedByPlayingThrough()
    {
        ClipPlayerStore store;
        const auto overlay = showOverlay(store, true);
        QVERIFY2(overlay->ok(), qPrintable(overlay->errors()));
        QStringList started;
        // How long c0004 was the current clip. Playback keeps to the clock,
        // so a clip played to its end is current at least its own length,
        // however busy the machine; a skipped one for a moment.
        QElapsedTimer shortClipShown;
        qint64 shortClipMs = 0;
        connect(&store, &ClipPlayerStore::currentClipChanged, this, [&] {
            if (started.value(started.size() - 1) == u"c0004"_s)
                shortClipMs = shortClipShown.elapsed();
            started.append(store.currentClipId());
            if (store.currentClipId() == u"c0004"_s)
                shortClipShown.start();
        });
        const ClipOut &first = *findClip(m_clips, u"c0002"_s);
        const ClipOut &shortClip = *findClip(m_clips, u"c0004"_s);
        store.play(first, m_clips);
        // Where it stands, should it never get there.
        const auto standing = [&] {
            return u"started %1; %2 at %3 s, %4"_s.arg(started.join(u' '), store.currentClipId())
                .arg(store.elapsed())
                .arg(store.isPlaying() ? u"playing"_s : u"not playing"_s);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(started.contains(u"c0005"_s), qPrintable(standing()),
            withinMs(double(first.durationSeconds + shortClip.durationSeconds)));
        QCOMPARE(started, (QStringList {u"c0002"_s, u"c0003"_s, u"c0004"_s, u"c0005"_s}));
        QVERIFY2(shortClipMs >= (shortClip.durationSeconds - 1) * 1000,
            qPrintable(u"c0004 was current %1 ms of its %2 s"_s.arg(shortClipMs).arg(shortClip.durationSeconds)));
        store.dismiss();
    }

    void clipPlaysAndSeeks()
    {
        // What the sink's frames showed, kept until the sink is gone.
        double brightest = 0;
        QList<qint64> frameStarts; // microseconds into the clip
        ClipPlayerStore store;
        QVideoSink sink;
        connect(&sink, &QVideoSink::videoFrameChanged, this, [&](const QVideoFrame &frame) {
            brightest = qMax(brightest, brightness(frame.toImage()));
            frameStarts.append(frame.startTime());
        });
        store.setVideoOutput(&sink);
        store.play(*findClip(m_clips, u"c0001"_s), m_clips);

        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() >= 1.0, withinMs(1.0));
        QVERIFY(store.isPlaying());
        QTRY_VERIFY2_WITH_TIMEOUT(brightest > 40, qPrintable(u"brightest frame %1"_s.arg(brightest)), withinMs(0.1));
        // A seek while paused, away from where the clip stands: the picture
        // that comes next is the one at the target (playing would never
        // bring it, and the clip cannot end meanwhile).
        const QString id = store.currentClipId();
        store.togglePlayPause();
        QVERIFY(!store.isPlaying());
        const double upper = store.seekUpperBound();
        const double target = store.elapsed() < upper / 2 ? upper - 2.0 : 0.5;
        frameStarts.clear();
        store.seek(target);
        QCOMPARE(store.elapsed(), target);
        const auto atTarget = [&] {
            for (const qint64 start : std::as_const(frameStarts)) {
                if (qAbs(double(start) / 1e6 - target) < 0.15)
                    return true;
            }
            return false;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(atTarget(),
            qPrintable(u"%1 frames after the seek to %2"_s.arg(frameStarts.size()).arg(target)), withinMs(0.1));
        // Played on, the end of the item moves on to the next clip.
        store.togglePlayPause();
        QVERIFY(store.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(store.currentClipId() != id, withinMs(upper - target));
        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() >= 0.8, withinMs(0.8));
        QVERIFY(store.failureText().isEmpty());
    }

    // Every clip answers 404: each is tried once, then the overlay stays on
    // the last one with the message instead of loading them round and round.
    void queueWithoutAPlayableClipStopsAfterOnePass()
    {
        QVERIFY(m_service->injectFault(QJsonObject {{u"path"_s, u"/media/clips/*"_s}, {u"status"_s, 404}}));
        ClipPlayerStore store;
        const auto overlay = showOverlay(store);
        QmlScene &scene = *overlay;
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        const QList<ClipOut> queue = m_clips.mid(0, 5);
        QStringList started;
        connect(&store, &ClipPlayerStore::currentClipChanged, this, [&] { started.append(store.currentClipId()); });
        store.play(queue.at(1), queue);

        // Each item fails at its start, with no media played.
        QTRY_COMPARE_WITH_TIMEOUT(store.failureText(), ClipPlayerStore::failureMessage(), withinMs(0) * 2);
        QCOMPARE(started, (QStringList {u"c0002"_s, u"c0003"_s, u"c0004"_s, u"c0005"_s, u"c0001"_s}));
        QVERIFY(!store.isPlaying());
        QVERIFY(store.isPresented());
        QQuickItem *message = scene.item(u"clipFailure"_s);
        QVERIFY(message);
        QTRY_VERIFY_WITH_TIMEOUT(isShown(message) && scene.item(u"clipWindowed"_s)->opacity() == 1.0, withinMs(0));
        QCOMPARE(message->property("text").toString(), ClipPlayerStore::failureMessage());
        QVERIFY(saveScreenshot(scene.grab(), u"clip-overlay-failed"_s));
        store.dismiss();
        m_service->clearFaults();
    }

    void overlayShowsTheVideo()
    {
        ClipPlayerStore store;
        const auto overlay = showOverlay(store);
        QmlScene &scene = *overlay;
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        store.play(*findClip(m_clips, u"c0005"_s), m_clips);
        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() >= 1.2, withinMs(1.2));

        // The video's middle is the clip's colour, not the black of an empty surface.
        // The program's own choice of back-end, which is the software one
        // where the machine has no GPU.
        if (m_backend == RenderBackend::Choice::Software)
            QCOMPARE(scene.window()->rendererInterface()->graphicsApi(), QSGRendererInterface::Software);
        QQuickItem *slot = scene.item(u"clipWindowedVideo"_s);
        QVERIFY(slot);
        const QRect area = slot->mapRectToScene(slot->boundingRect()).toRect();
        QTRY_VERIFY2_WITH_TIMEOUT(brightness(scene.grab().copy(area)) > 40, "no picture in the card", withinMs(0.1));
        QVERIFY(saveScreenshot(scene.grab(), u"clip-overlay-windowed"_s));

        // The same surface in the fullscreen layout, once the cross-fade is over.
        store.setFullscreen(true);
        QQuickItem *fullscreen = scene.item(u"clipFullscreen"_s);
        QQuickItem *windowedLayout = scene.item(u"clipWindowed"_s);
        QTRY_VERIFY_WITH_TIMEOUT(fullscreen->opacity() == 1.0 && !windowedLayout->isVisible(), withinMs(0));
        QQuickItem *video = scene.item(u"clipVideo"_s);
        const int framesBefore = video->property("framesShown").toInt();
        QTRY_VERIFY_WITH_TIMEOUT(video->property("framesShown").toInt() > framesBefore, withinMs(0.1));
        // The middle of the window, between the title bar and the controls.
        const QRect middle(1100 / 4, 720 / 3, 1100 / 2, 720 / 3);
        QTRY_VERIFY2_WITH_TIMEOUT(
            brightness(scene.grab().copy(middle)) > 40, "no picture in fullscreen", withinMs(0.1));
        QVERIFY(saveScreenshot(scene.grab(), u"clip-overlay-fullscreen"_s));
        store.dismiss();
    }
};

int main(int argc, char **argv)
{
    runUnderXvfb(argc, argv);
    int status = 0;
    {
        QGuiApplication app(argc, argv);
        TestClipVideo test;
        // Chosen as the program chooses at start-up.
        test.m_backend = RenderBackend::applyForThisMachine();
        status = QTest::qExec(&test, argc, argv);
    }
    // Qt Multimedia's PulseAudio engine is a library-wide static, torn down
    // after main returns; now and then that teardown races its own main
    // loop thread and libpulse aborts a run whose tests had all passed.
    // Everything of the test's own has been destroyed above.
    std::fflush(nullptr);
    std::_Exit(status);
}

#include "tst_clipvideo.moc"
