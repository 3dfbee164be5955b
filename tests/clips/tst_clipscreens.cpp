// The clips and battles screens and the clip player overlay on screen,
// offscreen: the grids from nimbra-devservice with their posters, the empty
// state and the load error from a fake service, and the overlay's clicks
// and Esc. Pictures go to
// build/screenshots/clips-*.png (the overlay with video: tst_clipvideo).
#include "devserviceprocess.h"
#include "fakehttpserver.h"
#include "fakevideoplayer.h"
#include "playerrig.h"
#include "scenerig.h"
#include "screentest.h"

#include "api/apiconfig.h"
#include "api/storeregistry.h"
#include "clips/clipplayerstore.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

Q_DECLARE_METATYPE(nimbra::test::FakeResponse)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray screen(const char *type)
{
    return QByteArray("import QtQuick\nimport Nimbra\n") + type + " { width: 900; height: 700 }\n";
}

} // namespace

class TestClipScreens : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    std::unique_ptr<FakeHttpServer> m_fake;
    std::unique_ptr<PlayerRig> m_audio;
    std::unique_ptr<FakeVideoBackend> m_video;
    std::unique_ptr<ClipPlayerStore> m_clips;
    SceneRig m_scene;

    // Shows the grid screen until its load ended; the first card's poster
    // is in when the service has posters.
    std::unique_ptr<QmlScene> showGrid(const char *type, int expectedState)
    {
        auto scene = std::make_unique<QmlScene>(m_scene.engine(), screen(type), QSize(900, 700));
        if (!scene->ok())
            qWarning().noquote() << scene->errors();
        QObject *model = scene->root()->findChild<QObject *>(u"clipGridModel"_s);
        if (!QTest::qWaitFor([&] { return model->property("loadState").toInt() == expectedState; }, nimbra::test::kEventLimitMs))
            qWarning() << "load state stayed" << model->property("loadState");
        return scene;
    }

private slots:
    void initTestCase()
    {
        m_scene.start();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"100"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        m_fake = std::make_unique<FakeHttpServer>();
        m_audio = std::make_unique<PlayerRig>();
        m_video = std::make_unique<FakeVideoBackend>();
        m_clips = std::make_unique<ClipPlayerStore>(m_video.get());
        StoreRegistry::set(&m_audio->session); // a guest
        StoreRegistry::set(m_audio->store.get());
        StoreRegistry::set(m_clips.get());
    }

    void cleanup()
    {
        m_clips->dismiss();
        m_scene.finishTest();
    }

    void grids_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("picture");
        QTest::newRow("clips") << QByteArray("ClipsView") << u"Клипы"_s << u"clips-grid"_s;
        QTest::newRow("battles") << QByteArray("BattlesView") << u"Баттлы"_s << u"clips-battles-grid"_s;
    }

    void grids()
    {
        QFETCH(QByteArray, type);
        QFETCH(QString, title);
        QFETCH(QString, picture);
        ApiConfig::setBaseUrl(m_service->baseUrl());
        const auto scene = showGrid(type.constData(), 2);
        QVERIFY(scene->ok());
        QCOMPARE(findItem(scene->root(), u"headerTitle"_s)->property("text").toString(), title);
        QQuickItem *grid = scene->item(u"clipGrid"_s);
        QVERIFY(isShown(grid));
        QVERIFY(!isShown(scene->item(u"clipGridState"_s)));
        // The service draws each poster when it is first asked for, which
        // takes a while on a busy machine; the other posters of the first
        // rows come in with it.
        QTRY_VERIFY_WITH_TIMEOUT(findItem(scene->root(), u"clipCover"_s)
                && findItem(scene->root(), u"clipCover"_s)->property("loaded").toBool(),
            30000);
        QVERIFY(waitUntilSettled(scene->window()));
        QVERIFY(saveScreenshot(scene->grab(), picture));
    }

    // A walk through the section: the third card pauses the audio and opens
    // the overlay on that clip with the whole list as the queue; next steps
    // on, a step back (the window's Esc) closes.
    void cardOpensThePlayer()
    {
        ApiConfig::setBaseUrl(m_service->baseUrl());
        QmlScene scene(m_scene.engine(),
            QByteArray("import QtQuick\nimport Nimbra\nItem {\n width: 1100\n height: 720\n ClipsView { anchors.fill: parent }\n"
                       " ClipPlayerView { anchors.fill: parent }\n}\n"),
            QSize(1100, 720));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QObject *model = scene.root()->findChild<QObject *>(u"clipGridModel"_s);
        QTRY_COMPARE(model->property("loadState").toInt(), 2);
        m_audio->play({u"t1"_s}, 0);
        // The cards' buttons in reading order, once the grid made them.
        const auto cardButtons = [&] {
            QList<QQuickItem *> buttons;
            QQuickItem *content = scene.item(u"clipGrid"_s)->property("contentItem").value<QQuickItem *>();
            for (QQuickItem *cell : content->childItems()) {
                if (QQuickItem *button = findItem(cell, u"clipCardButton"_s))
                    buttons.append(button);
            }
            std::sort(buttons.begin(), buttons.end(), [](QQuickItem *a, QQuickItem *b) {
                const QPointF pa = a->mapToScene({}), pb = b->mapToScene({});
                return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
            });
            return buttons;
        };
        QTRY_VERIFY(cardButtons().size() >= 3);
        const QList<QQuickItem *> buttons = cardButtons();
        // "Смотреть" shows while the pointer rests on the card, and goes
        // with the press that opens the overlay; the overlay then takes the
        // hover from the card under it.
        QObject *tip = nullptr;
        for (QObject *child : buttons.at(2)->findChildren<QObject *>()) {
            if (QByteArray(child->metaObject()->className()).startsWith("ToolTipGate"))
                tip = child;
        }
        QVERIFY(tip);
        const QPoint cardCentre = buttons.at(2)->mapToScene(QPointF(buttons.at(2)->width() / 2, 40)).toPoint();
        QTest::mouseMove(scene.window(), cardCentre);
        QTRY_VERIFY(tip->property("shown").toBool());
        QVERIFY(click(scene.window(), buttons.at(2)));
        QVERIFY(!tip->property("shown").toBool());
        QVERIFY(!m_audio->store->isPlaying());
        QCOMPARE(m_clips->currentClipId(), u"c0003"_s);
        QCOMPARE(m_clips->queue().size(), qobject_cast<QAbstractItemModel *>(model)->rowCount());
        QTRY_VERIFY(isShown(scene.item(u"clipWindowed"_s)));
        QTest::mouseMove(scene.window(), cardCentre + QPoint(0, 2));
        QTRY_VERIFY(!tip->property("hovered").toBool());
        QVERIFY(!tip->property("shown").toBool());
        QCOMPARE(scene.item(u"clipTitle"_s)->property("text").toString(), m_clips->currentTitle());
        QVERIFY(click(scene.window(), scene.item(u"clipNext"_s)));
        QCOMPARE(m_clips->currentClipId(), u"c0004"_s);
        QVERIFY(QMetaObject::invokeMethod(scene.item(u"clipPlayerView"_s), "goBack"));
        QVERIFY(!m_clips->isPresented());
    }

    void emptyAndError_data()
    {
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("picture");
        QTest::newRow("empty") << FakeResponse {200, R"({"items": [], "total": 0})"} << 3 << u"Нет клипов"_s << u""_s
                               << u"clips-empty"_s;
        QTest::newRow("error") << FakeResponse {500, ""} << 4 << u"Ошибка"_s << u"Ошибка сервера (500)"_s
                               << u"clips-error"_s;
    }

    void emptyAndError()
    {
        QFETCH(FakeResponse, response);
        QFETCH(int, state);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, picture);
        m_fake->on(u"GET"_s, u"/api/v1/clips"_s, response);
        ApiConfig::setBaseUrl(m_fake->baseUrl());
        const auto scene = showGrid("ClipsView", state);
        QVERIFY(scene->ok());
        QVERIFY(isShown(scene->item(u"clipGridState"_s)));
        QVERIFY(!isShown(scene->item(u"clipGrid"_s)));
        QCOMPARE(findItem(scene->root(), u"stateTitle"_s)->property("text").toString(), title);
        QCOMPARE(findItem(scene->root(), u"stateText"_s)->property("text").toString(), text);
        QVERIFY(saveScreenshot(scene->grab(), picture));
    }

    // Clicks on the card never close it, the backdrop does; a step back
    // (the window's Esc) leaves fullscreen first, then closes.
    void overlayClicksAndEsc()
    {
        ApiConfig::setBaseUrl(m_fake->baseUrl());
        QmlScene scene(m_scene.engine(), QByteArray("import QtQuick\nimport Nimbra\nClipPlayerView { width: 1100; height: 720 }\n"),
            QSize(1100, 720));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(!isShown(scene.root()));
        ClipOut clip;
        clip.id = u"c1"_s;
        clip.title = u"Очень длинное название клипа, которое не помещается в одну строку заголовка и переносится"_s;
        clip.artist = u"Мокко feat. Сахар"_s;
        clip.durationSeconds = 185;
        clip.fileUrl = u"media/clips/c1.avi"_s;
        m_clips->play(clip, {clip});
        QTRY_VERIFY(isShown(scene.item(u"clipWindowed"_s)));
        // The surface's sink comes once the media library has loaded.
        QTRY_VERIFY(scene.item(u"clipVideo"_s)->property("videoSink").value<QObject *>());
        QCOMPARE(m_video->player()->output(), scene.item(u"clipVideo"_s)->property("videoSink").value<QObject *>());
        // Each credited artist is a link, drawn light on the dark overlay.
        QQuickItem *credits = nullptr;
        QList<QQuickItem *> queue {scene.item(u"clipCard"_s)};
        while (!queue.isEmpty() && !credits) {
            QQuickItem *next = queue.takeFirst();
            if (next->objectName() == u"clipArtist"_s && isShown(next))
                credits = next;
            queue.append(next->childItems());
        }
        QVERIFY(credits);
        for (const QString &name : {u"artistName0"_s, u"artistName1"_s}) {
            QQuickItem *link = findItem(credits, name);
            QVERIFY2(isShown(link), qPrintable(name));
            QVERIFY2(link->property("color").value<QColor>().lightnessF() > 0.8, qPrintable(name));
        }
        QCOMPARE(findItem(credits, u"artistName0"_s)->property("text").toString(), u"Мокко"_s);
        QCOMPARE(scene.item(u"clipDuration"_s)->property("text").toString(), u"3:05"_s);

        for (const QString &name : {u"clipTitle"_s, u"clipWindowedVideo"_s, u"clipSeekTrack"_s, u"clipPlayPause"_s}) {
            QVERIFY(click(scene.window(), scene.item(name)));
            QVERIFY2(m_clips->isPresented(), qPrintable(name));
        }
        QVERIFY(!m_clips->isPlaying()); // the play-pause button paused it
        QCOMPARE(scene.item(u"clipPlayPause"_s)->property("systemImage").toString(), u"play.fill"_s);

        QVERIFY(click(scene.window(), scene.item(u"clipFullscreenButton"_s)));
        QVERIFY(m_clips->isFullscreen());
        QTRY_VERIFY(isShown(scene.item(u"clipFullscreen"_s)));
        QTRY_VERIFY(!isShown(scene.item(u"clipWindowed"_s)));
        QVERIFY(saveScreenshot(scene.grab(), u"clips-overlay-fullscreen-offscreen"_s));
        QVERIFY(QMetaObject::invokeMethod(scene.root(), "goBack"));
        QVERIFY(!m_clips->isFullscreen());
        QVERIFY(m_clips->isPresented());
        QVERIFY(QMetaObject::invokeMethod(scene.root(), "goBack"));
        QVERIFY(!m_clips->isPresented());
        QTRY_VERIFY(!isShown(scene.root()));

        m_clips->play(clip, {clip});
        QTRY_VERIFY(isShown(scene.item(u"clipWindowed"_s)));
        QTest::mouseClick(scene.window(), Qt::LeftButton, {}, QPoint(10, 10)); // the backdrop
        QVERIFY(!m_clips->isPresented());
    }
};

QTEST_MAIN(TestClipScreens)
#include "tst_clipscreens.moc"
