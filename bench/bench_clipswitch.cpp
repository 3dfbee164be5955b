#include "devserviceprocess.h"
#include "stallwatch.h"
#include "qmlscene.h"
#include "testenv.h"
#include "xvfbdisplay.h"

#include "api/apiconfig.h"
#include "api/nimbraapi.h"
#include "api/storeregistry.h"
#include "clips/clipplayerstore.h"
#include "platform/renderbackend.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <QCoroTask>

#include <functional>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

// What a listener feels when a clip starts or changes: how long the window
// cannot redraw or answer while the clip player loads the next item, for a
// press on a clip whose file is missing (the next one plays instead), for
// steps forward and back, and for closing the player. The overlay runs on
// the scene graph back-end the program picks for this machine, under Xvfb.
class BenchClipSwitch : public QObject
{
    Q_OBJECT
private slots:
    void switchClips()
    {
        if (!hasVideoDisplay())
            QSKIP("No X display and no xvfb-run.");
        initTestEnvironment();
        DevServiceProcess service({u"--tracks"_s, u"100"_s});
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));
        ApiConfig::setBaseUrl(service.baseUrl());
        const QList<ClipOut> clips = QCoro::waitFor(NimbraApi().clips(1, 100, u"clip"_s, std::nullopt)).items;
        QVERIFY(clips.size() >= 8);

        ClipPlayerStore store;
        StoreRegistry::set(&store);
        QQuickStyle::setStyle(u"Basic"_s);
        QQmlEngine engine;
        engine.addImportPath(u"qrc:/qt/qml"_s);
        // Made at the first clip, as the main window makes it.
        QmlScene scene(engine,
            QByteArray("import QtQuick\nimport Nimbra\nItem { width: 1100; height: 720\n"
                       "  Loader { anchors.fill: parent; active: ClipPlayerStore.isPresented;"
                       " source: \"qrc:/qt/qml/Nimbra/clips/ClipPlayerView.qml\" } }\n"),
            QSize(1100, 720));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));

        QStringList started;
        connect(&store, &ClipPlayerStore::currentClipChanged, this, [&] { started.append(store.currentClipId()); });
        StallWatch watch;
        const auto measure = [&](const QString &what, const std::function<void()> &step, bool plays) {
            const QString before = store.currentClipId();
            started.clear();
            watch.start();
            QElapsedTimer call;
            call.start();
            step();
            const qint64 callMs = call.elapsed();
            if (plays)
                QTRY_VERIFY_WITH_TIMEOUT(store.currentClipId() != before && store.elapsed() >= 0.8, 15000);
            else
                QTRY_VERIFY_WITH_TIMEOUT(!store.isPresented(), 5000);
            qInfo().noquote() << u"%1: the call took %2 ms, the longest stall until it played %3 ms (started %4)"_s.arg(what)
                                     .arg(callMs)
                                     .arg(watch.stop())
                                     .arg(started.join(u' '));
        };
        measure(u"first press of the process, on c0003 (missing)"_s, [&] { store.play(clips.at(2), clips); }, true);
        measure(u"next"_s, [&] { store.next(); }, true);
        measure(u"next"_s, [&] { store.next(); }, true);
        measure(u"previous"_s, [&] { store.previous(); }, true);
        measure(u"press on c0003 (missing) again"_s, [&] { store.play(clips.at(2), clips); }, true);
        measure(u"close"_s, [&] { store.dismiss(); }, false);
    }
};

int main(int argc, char **argv)
{
    runUnderXvfb(argc, argv);
    QGuiApplication app(argc, argv);
    nimbra::RenderBackend::applyForThisMachine();
    BenchClipSwitch bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_clipswitch.moc"
