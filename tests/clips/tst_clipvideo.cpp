// Real clip videos from nimbra-devservice through QtMultimedia, under Xvfb
// (offscreen shows no video) and on the scene graph back-end the program
// picks for this machine (software where there is no GPU): a clip whose
// file is missing is skipped for the next (the first clip of the process,
// with the overlay made as the main window makes it; and reached by playing
// through the clip before it, when the short clip after it plays to its
// end), a clip plays and its frames are not black, a seek moves the
// position, a queue in which nothing plays stops after one pass with its
// message, and the overlay shows the picture windowed and fullscreen. The
// overlay is rendered to PNGs for review (build/screenshots/clip-overlay-*.png).
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
        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() >= 0.8, 15000);
        QCOMPARE(started, (QStringList {u"c0003"_s, u"c0004"_s}));
        QQuickItem *video = scene.item(u"clipVideo"_s);
        QVERIFY(video);
        QTRY_VERIFY(video->property("hasFrame").toBool());
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
        double reached = 0; // furthest time of c0004
        connect(&store, &ClipPlayerStore::currentClipChanged, this, [&] { started.append(store.currentClipId()); });
        connect(&store, &ClipPlayerStore::timeChanged, this, [&] {
            if (store.currentClipId() == u"c0004"_s)
                reached = qMax(reached, store.elapsed());
        });
        const ClipOut &shortClip = *findClip(m_clips, u"c0004"_s);
        store.play(*findClip(m_clips, u"c0002"_s), m_clips);
        QTRY_VERIFY_WITH_TIMEOUT(started.contains(u"c0005"_s), 30000);
        QCOMPARE(started, (QStringList {u"c0002"_s, u"c0003"_s, u"c0004"_s, u"c0005"_s}));
        QVERIFY2(reached >= double(shortClip.durationSeconds) - 1.0,
            qPrintable(u"c0004 reached %1 of %2 s"_s.arg(reached).arg(shortClip.durationSeconds)));
        store.dismiss();
    }

    void clipPlaysAndSeeks()
    {
        ClipPlayerStore store;
        QVideoSink sink;
        double brightest = 0;
        connect(&sink, &QVideoSink::videoFrameChanged, this,
            [&](const QVideoFrame &frame) { brightest = qMax(brightest, brightness(frame.toImage())); });
        store.setVideoOutput(&sink);
        store.play(*findClip(m_clips, u"c0001"_s), m_clips);

        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() >= 1.0, 15000);
        QVERIFY(store.isPlaying());
        QVERIFY2(brightest > 40, qPrintable(u"brightest frame %1"_s.arg(brightest)));
        // A seek ahead: the ticks that follow go on from there, further than
        // the playing alone could have got by then.
        const QString id = store.currentClipId();
        const double target = qMin(store.elapsed() + 2.0, store.seekUpperBound() - 1.0);
        QList<double> after;
        connect(&store, &ClipPlayerStore::timeChanged, this, [&] {
            if (store.currentClipId() == id)
                after.append(store.elapsed());
        });
        store.seek(target);
        QCOMPARE(store.elapsed(), target);
        QTRY_VERIFY_WITH_TIMEOUT(after.size() >= 3 || store.currentClipId() != id, 10000);
        QStringList seen;
        for (const double position : std::as_const(after))
            seen.append(QString::number(position));
        QVERIFY2(after.size() >= 3 && after.last() >= target,
            qPrintable(u"%1 after the seek to %2: %3"_s.arg(id).arg(target).arg(seen.join(u' '))));
        // ... and the end of the item moves on to the next clip.
        QTRY_VERIFY_WITH_TIMEOUT(store.currentClipId() != id, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() >= 0.8, 10000);
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

        QTRY_COMPARE_WITH_TIMEOUT(store.failureText(), ClipPlayerStore::failureMessage(), 20000);
        QCOMPARE(started, (QStringList {u"c0002"_s, u"c0003"_s, u"c0004"_s, u"c0005"_s, u"c0001"_s}));
        QVERIFY(!store.isPlaying());
        QVERIFY(store.isPresented());
        QQuickItem *message = scene.item(u"clipFailure"_s);
        QVERIFY(message);
        QTRY_VERIFY(isShown(message) && scene.item(u"clipWindowed"_s)->opacity() == 1.0);
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
        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() >= 1.2, 15000);

        // The video's middle is the clip's colour, not the black of an empty surface.
        // The program's own choice of back-end, which is the software one
        // where the machine has no GPU.
        if (m_backend == RenderBackend::Choice::Software)
            QCOMPARE(scene.window()->rendererInterface()->graphicsApi(), QSGRendererInterface::Software);
        QQuickItem *slot = scene.item(u"clipWindowedVideo"_s);
        QVERIFY(slot);
        const QRect area = slot->mapRectToScene(slot->boundingRect()).toRect();
        QTRY_VERIFY2_WITH_TIMEOUT(brightness(scene.grab().copy(area)) > 40, "no picture in the card", 10000);
        QVERIFY(saveScreenshot(scene.grab(), u"clip-overlay-windowed"_s));

        // The same surface in the fullscreen layout, once the cross-fade is over.
        store.setFullscreen(true);
        QQuickItem *fullscreen = scene.item(u"clipFullscreen"_s);
        QQuickItem *windowedLayout = scene.item(u"clipWindowed"_s);
        QTRY_VERIFY(fullscreen->opacity() == 1.0 && !windowedLayout->isVisible());
        QQuickItem *video = scene.item(u"clipVideo"_s);
        const int framesBefore = video->property("framesShown").toInt();
        QTRY_VERIFY_WITH_TIMEOUT(video->property("framesShown").toInt() > framesBefore, 10000);
        // The middle of the window, between the title bar and the controls.
        const QRect middle(1100 / 4, 720 / 3, 1100 / 2, 720 / 3);
        QTRY_VERIFY2_WITH_TIMEOUT(brightness(scene.grab().copy(middle)) > 40, "no picture in fullscreen", 10000);
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
