#include "devserviceprocess.h"
#include "qmlscene.h"
#include "testenv.h"
#include "xvfbdisplay.h"

#include "api/apiconfig.h"
#include "api/nimbraapi.h"
#include "clips/clipplayerstore.h"
#include "api/storeregistry.h"
#include "platform/renderbackend.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <QCoroTask>

#include <sys/resource.h>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int watchSeconds = 20;

// User and system CPU time of the whole process so far, in seconds.
std::pair<double, double> processCpuTime()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

} // namespace

// What watching a clip costs the client: the clips of nimbra-devservice in
// the windowed overlay (video decoding, the video surface and the store's
// 0.4 s tick) for 20 s, as process CPU time, on the scene graph back-end the
// program picks for this machine (software where there is no GPU). Runs
// itself under Xvfb, since the offscreen platform shows no video.
class BenchClipCpu : public QObject
{
    Q_OBJECT
private slots:
    void watchWindowed()
    {
        if (!hasVideoDisplay())
            QSKIP("No X display and no xvfb-run.");
        initTestEnvironment();
        DevServiceProcess service({u"--tracks"_s, u"100"_s});
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));
        ApiConfig::setBaseUrl(service.baseUrl());
        const QList<ClipOut> clips = QCoro::waitFor(NimbraApi().clips(1, 100, u"clip"_s, std::nullopt)).items;
        QVERIFY(!clips.isEmpty());

        ClipPlayerStore store;
        StoreRegistry::set(&store);
        QQuickStyle::setStyle(u"Basic"_s);
        QQmlEngine engine;
        engine.addImportPath(u"qrc:/qt/qml"_s);
        QmlScene scene(engine, QByteArray("import QtQuick\nimport Nimbra\nClipPlayerView { width: 1100; height: 720 }\n"),
            QSize(1100, 720));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        store.play(clips.first(), clips);
        QTRY_VERIFY_WITH_TIMEOUT(store.elapsed() > 0.4, 15000);

        const auto [userBefore, systemBefore] = processCpuTime();
        QElapsedTimer wall;
        wall.start();
        // A fixed stretch rather than QBENCHMARK, which would repeat it:
        // what counts is the CPU time, not the wall time.
        QTest::qWait(watchSeconds * 1000);
        const auto [userAfter, systemAfter] = processCpuTime();
        const double seconds = double(wall.elapsed()) / 1000.0;
        const double user = userAfter - userBefore;
        const bool software = scene.window()->rendererInterface()->graphicsApi() == QSGRendererInterface::Software;
        const int frames = scene.item(u"clipVideo"_s)->property("framesShown").toInt();
        const double system = systemAfter - systemBefore;
        QVERIFY(store.isPlaying());
        qInfo().noquote() << u"%8 renderer, %9 frames shown in all"_s.arg(software ? u"software"_s : u"RHI"_s).arg(frames);
        qInfo().noquote() << u"watched %1 s (now %2 at %3 s): CPU user %4 s + system %5 s = %6 s, %7% of one core"_s
                                 .arg(seconds, 0, 'f', 1)
                                 .arg(store.currentClipId())
                                 .arg(store.elapsed(), 0, 'f', 1)
                                 .arg(user, 0, 'f', 3)
                                 .arg(system, 0, 'f', 3)
                                 .arg(user + system, 0, 'f', 3)
                                 .arg(100.0 * (user + system) / seconds, 0, 'f', 1);
        store.dismiss();
    }
};

int main(int argc, char **argv)
{
    runUnderXvfb(argc, argv);
    QGuiApplication app(argc, argv);
    nimbra::RenderBackend::applyForThisMachine();
    BenchClipCpu bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_clipcpu.moc"
