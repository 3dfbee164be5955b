// The update strip in the program's own window: what it shows for an offer,
// a download of known and of unknown length (with pictures of each), and
// the whole way from start-up against the local service offering a newer
// build to the opened, complete file.
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "update/updatebannermodel.h"
#include "update/otaservice.h"
#include "update/otaupdatestore.h"

#include "devserviceprocess.h"
#include "fakeaudiobackend.h"
#include "fakehttpserver.h"
#include "fakevideoplayer.h"
#include "heldclock.h"
#include "memorysecretstore.h"
#include "scenerig.h"
#include "screentest.h"
#include "shell/mainnavigationmodel.h"
#include "shell/sidebaritem.h"
#include "trackfixtures.h"

#include <QDir>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;


class TestUpdateBanner : public QObject
{
    Q_OBJECT

    SceneRig m_scene;
    FakeAudioBackend m_audio;
    // The launch pause: asked for, then over at once. Made for each launch.
    std::unique_ptr<HeldClock> m_clock;
    std::unique_ptr<AppContext> m_app;
    QStringList m_opened;
    QList<QByteArray> m_openedBytes;

    QQuickItem *item(const QString &objectName) const
    {
        return m_app && m_app->window() ? findItem(m_app->window(), objectName) : nullptr;
    }

    // The program on its sign-in screen; the launch pause is asked for but
    // takes no time.
    bool launch(VideoBackend *video = nullptr)
    {
        m_app.reset();
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        environment.audio = &m_audio;
        environment.video = video;
        m_clock = std::make_unique<HeldClock>(true);
        environment.clock = m_clock.get();
        environment.openFile = [this](const QString &path) {
            m_opened.append(path);
            QFile file(path);
            m_openedBytes.append(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
            return true;
        };
        m_app = std::make_unique<AppContext>(environment);
        if (!m_app->start() || !waitUntilActive(m_app->window()))
            return false;
        return QTest::qWaitFor([this] { return item(u"guestButton"_s) != nullptr; }, nimbra::test::kEventLimitMs);
    }

    // A guest in the main window.
    bool launchAsGuest(VideoBackend *video = nullptr)
    {
        if (!launch(video))
            return false;
        m_app->auth()->continueAsGuest();
        return QTest::qWaitFor([this] { return item(u"mainView"_s) != nullptr; }, nimbra::test::kEventLimitMs);
    }

    // The strip slides in: click and picture it where it comes to rest
    // (the click waits for that).
    void press(const QString &objectName)
    {
        QVERIFY(isShown(item(objectName)));
        QVERIFY(click(m_app->window(), item(objectName)));
    }

    // The item ends above the strip's top edge, where it can be seen and
    // clicked.
    void endsAboveTheStrip(const QString &objectName)
    {
        QQuickItem *shown = item(objectName);
        QQuickItem *banner = item(u"updateBanner"_s);
        QVERIFY2(isShown(shown), qPrintable(objectName));
        QVERIFY(waitUntilStill(banner));
        QVERIFY(waitUntilStill(shown));
        const QRectF area = shown->mapRectToScene(shown->boundingRect());
        const QRectF strip = banner->mapRectToScene(banner->boundingRect());
        QVERIFY2(area.bottom() <= strip.top() && area.top() >= 0,
            qPrintable(u"%1 spans %2 to %3, the strip starts at %4"_s.arg(objectName)
                           .arg(area.top()).arg(area.bottom()).arg(strip.top())));
    }

    void screenshot(const QString &name)
    {
        QQuickItem *banner = item(u"updateBanner"_s);
        QVERIFY(banner);
        QVERIFY(waitUntilSettled(m_app->window()));
        QVERIFY(waitUntilStill(banner));
        const qreal ratio = m_app->window()->devicePixelRatio();
        const QRect box = banner->mapRectToScene(banner->boundingRect()).toAlignedRect().adjusted(-20, -20, 20, 14);
        QVERIFY(saveScreenshot(m_app->window()->grabWindow().copy(QRect(box.topLeft() * ratio, box.size() * ratio)), name));
    }

private slots:
    void initTestCase() { m_scene.start(); }

    void cleanup()
    {
        if (m_app && !m_app->updates()->downloadFolder().isEmpty())
            QDir(m_app->updates()->downloadFolder()).removeRecursively();
        m_app.reset();
        m_opened.clear();
        m_openedBytes.clear();
        m_scene.finishTest();
    }

    void offerAndDownloads()
    {
        FakeHttpServer server;
        // Nothing newer at start-up: the strip appears only for the offer
        // made below.
        server.on(u"GET"_s, u"/updates/pc/linux/linux-update.json"_s,
            FakeResponse {200, R"({"versionCode":0,"url":"https:\/\/example.org/x"})"});
        auto hold = std::make_shared<std::atomic_bool>(true);
        for (const bool chunked : {false, true}) {
            FakeResponse held {200, QByteArray(400000, 'n'), "application/octet-stream"};
            held.pieceSize = 150000;
            held.chunked = chunked;
            held.hold = hold;
            server.on(u"GET"_s, chunked ? u"/chunked.AppImage"_s : u"/sized.AppImage"_s, held);
        }
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), server.baseUrl().toString());
        QVERIFY(launchAsGuest());
        OtaUpdateStore *store = m_app->updates();
        QTRY_COMPARE(server.requestCount(), 1);
        QTRY_VERIFY(!store->isChecking());
        QVERIFY(!isShown(item(u"updateBanner"_s)));

        const QString notes = u"Плавные переходы между треками\nИсправления ошибок"_s;
        store->setAvailableManifest(
            OtaManifest {99, u"2.0.0"_s, server.baseUrl().toString() + u"/sized.AppImage"_s, notes});
        QTRY_VERIFY(isShown(item(u"updateBanner"_s)));
        QCOMPARE(item(u"updateNotes"_s)->property("text").toString(), u"Плавные переходы между треками"_s);
        QVERIFY(isShown(item(u"updateVersion"_s)));
        screenshot(u"update-banner-offer"_s);

        press(u"updateDownloadButton"_s);
        QTRY_VERIFY(store->downloadProgress() > 0.3);
        QTRY_VERIFY(isShown(item(u"updateProgressBar"_s)));
        QVERIFY(!isShown(item(u"updateDownloadButton"_s)));
        QVERIFY(!isShown(item(u"updateSpinner"_s)));
        screenshot(u"update-banner-progress"_s);
        *hold = false;
        QTRY_COMPARE(m_opened.size(), 1);
        QTRY_VERIFY(!isShown(item(u"updateBanner"_s)));

        // Without a length: the spinner until the end.
        *hold = true;
        store->setAvailableManifest(
            OtaManifest {99, std::nullopt, server.baseUrl().toString() + u"/chunked.AppImage"_s, std::nullopt});
        QTRY_VERIFY(isShown(item(u"updateDownloadButton"_s)));
        QVERIFY(!isShown(item(u"updateVersion"_s)));
        QVERIFY(!isShown(item(u"updateNotes"_s)));
        press(u"updateDownloadButton"_s);
        QTRY_VERIFY(isShown(item(u"updateSpinner"_s)));
        QVERIFY(!isShown(item(u"updateProgressBar"_s)));
        screenshot(u"update-banner-spinner"_s);
        *hold = false;
        QTRY_COMPARE(m_opened.size(), 2);
    }

    // The start-up check finds the offer while the sign-in screen shows:
    // the strip is there as soon as the main window comes.
    void offerFoundBeforeTheMainWindow()
    {
        FakeHttpServer server;
        server.on(u"GET"_s, u"/updates/pc/linux/linux-update.json"_s,
            FakeResponse {200, R"({"versionCode":99,"versionName":"2.0.0","url":"https:\/\/example.org/n.AppImage"})"});
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), server.baseUrl().toString());
        QVERIFY(launch());
        QTRY_VERIFY(m_app->updates()->hasAvailableManifest());
        QVERIFY(!item(u"mainView"_s));
        m_app->auth()->continueAsGuest();
        QTRY_VERIFY(item(u"mainView"_s));
        QTRY_VERIFY(isShown(item(u"updateBanner"_s)));
        QCOMPARE(item(u"updateVersion"_s)->property("visible").toBool(), true);
    }

    // A cut download: the strip's second line and the settings tell why, the
    // offer stays, and the strip hides no row of the settings.
    void failedDownloadStaysInView()
    {
        FakeHttpServer server;
        server.on(u"GET"_s, u"/updates/pc/linux/linux-update.json"_s,
            FakeResponse {200, R"({"versionCode":0,"url":"https:\/\/example.org/x"})"});
        FakeResponse cut {200, QByteArray(200000, 'n'), "application/octet-stream"};
        cut.cutAfter = 50000;
        server.on(u"GET"_s, u"/cut.AppImage"_s, cut);
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), server.baseUrl().toString());
        QVERIFY(launchAsGuest());
        OtaUpdateStore *store = m_app->updates();
        store->setAvailableManifest(
            OtaManifest {99, u"2.0.0"_s, server.baseUrl().toString() + u"/cut.AppImage"_s, u"Заметки"_s});
        QTRY_VERIFY(isShown(item(u"updateBanner"_s)));
        press(u"updateDownloadButton"_s);
        QTRY_VERIFY(!store->errorText().isEmpty());
        QTRY_VERIFY(isShown(item(u"updateDownloadButton"_s)));
        QCOMPARE(item(u"updateNotes"_s)->property("text").toString(), store->errorText());
        QVERIFY(store->errorText().startsWith(u"Не удалось загрузить обновление: "_s));
        screenshot(u"update-banner-failed"_s);

        auto *nav = item(u"mainView"_s)->findChild<MainNavigationModel *>(u"mainNavigation"_s);
        QVERIFY(nav);
        nav->navigateToSidebar(SidebarItem::Settings);
        QTRY_VERIFY(isShown(item(u"updateError"_s)));
        QCOMPARE(item(u"updateError"_s)->property("text").toString(), store->errorText());
        // The last row scrolled to the end lies above the strip.
        QQuickItem *apiRow = item(u"apiHostRow"_s);
        QQuickItem *scroll = item(u"settingsView"_s)->findChild<QQuickItem *>(u"settingsScroll"_s);
        QVERIFY(apiRow && scroll);
        QQuickItem *flickable = scroll->property("contentItem").value<QQuickItem *>();
        QVERIFY(flickable);
        flickable->setProperty("contentY",
            std::max(0.0, flickable->property("contentHeight").toDouble() - flickable->height()));
        endsAboveTheStrip(u"apiHostRow"_s);
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), u"update-settings-failed"_s));
    }

    // With the mini player below it, the strip still leaves the end of a
    // screen in view, and it lies over neither player's controls.
    void stripHidesNoControls()
    {
        FakeHttpServer server;
        server.on(u"GET"_s, u"/updates/pc/linux/linux-update.json"_s,
            FakeResponse {200, R"({"versionCode":0,"url":"https:\/\/example.org/x"})"});
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), server.baseUrl().toString());
        FakeVideoBackend video;
        QVERIFY(launchAsGuest(&video));
        m_app->updates()->setAvailableManifest(
            OtaManifest {99, u"2.0.0"_s, u"https://example.org/n.AppImage"_s, u"Заметки"_s});
        const TrackOut track = makeTrack(u"t1"_s);
        m_app->player()->play(track, {track});
        QTRY_VERIFY(isShown(item(u"miniPlayer"_s)));
        QTRY_VERIFY(isShown(item(u"updateBanner"_s)));

        item(u"mainView"_s)->findChild<MainNavigationModel *>(u"mainNavigation"_s)
            ->navigateToSidebar(SidebarItem::Settings);
        QTRY_VERIFY(isShown(item(u"apiHostRow"_s)));
        // Scrolled to the end once the room below has grown to its height.
        QVERIFY(waitUntilStill(item(u"sectionArea"_s)));
        QQuickItem *scroll = item(u"settingsView"_s)->findChild<QQuickItem *>(u"settingsScroll"_s);
        QQuickItem *flickable = scroll->property("contentItem").value<QQuickItem *>();
        QVERIFY(flickable);
        QVERIFY(flickable->property("contentHeight").toDouble() > flickable->height());
        flickable->setProperty("contentY", flickable->property("contentHeight").toDouble() - flickable->height());
        endsAboveTheStrip(u"apiHostRow"_s);
        if (QTest::currentTestFailed())
            return;

        ClipOut clip;
        clip.id = u"c1"_s;
        clip.title = u"Клип"_s;
        clip.artist = u"Artist"_s;
        clip.fileUrl = u"/media/clips/c1.avi"_s;
        clip.durationSeconds = 6;
        // The windowed clip over the mini player, the strip above both.
        m_app->clipPlayer()->play(clip, {clip});
        QTRY_VERIFY(isShown(item(u"clipWindowed"_s)));
        QVERIFY(isShown(item(u"miniPlayer"_s)));
        QVERIFY(waitUntilSettled(m_app->window()));
        endsAboveTheStrip(u"clipControls"_s);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), u"update-strip-windowed-clip"_s));
        m_app->clipPlayer()->dismiss();
        QTRY_VERIFY(!isShown(item(u"clipWindowed"_s)));

        m_app->player()->setFullscreenPresented(true);
        QTRY_VERIFY(isShown(item(u"fullscreenPlayer"_s)));
        QVERIFY(waitUntilSettled(m_app->window()));
        endsAboveTheStrip(u"fullscreenControls"_s);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), u"update-strip-fullscreen-player"_s));

        m_app->clipPlayer()->play(clip, {clip});
        QTRY_VERIFY(isShown(item(u"clipWindowed"_s)));
        QVERIFY(waitUntilSettled(m_app->window()));
        endsAboveTheStrip(u"clipControls"_s);
        if (QTest::currentTestFailed())
            return;
        m_app->clipPlayer()->setFullscreen(true);
        QTRY_VERIFY(isShown(item(u"clipFullscreen"_s)));
        QTRY_VERIFY(!isShown(item(u"clipWindowed"_s)));
        endsAboveTheStrip(u"clipFullscreenControls"_s);
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), u"update-strip-fullscreen-clip"_s));
    }

    void fromStartUpToTheOpenedFile()
    {
        DevServiceProcess service({u"--tracks"_s, u"50"_s, u"--albums"_s, u"5"_s, u"--update-offer"_s});
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));
        ApiConfig::setBaseUrl(service.baseUrl());
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), service.baseUrl().toString());
        const QString packagePath = u"/updates/pc/linux/Nimbras-Setup.AppImage"_s;
        const QByteArray package = service.get(packagePath).body;
        QVERIFY(package.startsWith("NIMBRA-UPDATE-PACKAGE"));
        service.clearRequests();

        QVERIFY(launchAsGuest());
        QCOMPARE(m_clock->asked, QList {AppContext::updateCheckDelay});
        QTRY_VERIFY(isShown(item(u"updateBanner"_s)));
        // The first request of the update check (the home page asks the
        // catalogue meanwhile).
        RecordedRequest check;
        for (const RecordedRequest &request : service.requests()) {
            if (request.path.startsWith(u"/updates/"_s)) {
                check = request;
                break;
            }
        }
        QCOMPARE(check.path, u"/updates/pc/linux/linux-update.json"_s);
        QVERIFY(check.header(u"User-Agent"_s).startsWith(u"Nimbras-Linux/"_s));

        press(u"updateDownloadButton"_s);
        QTRY_COMPARE(m_opened.size(), 1);
        QCOMPARE(QFileInfo(m_opened.first()).fileName(), u"Nimbras-Setup.AppImage"_s);
        QVERIFY(m_openedBytes.first() == package);
        QTRY_VERIFY(!isShown(item(u"updateBanner"_s)));
        QVERIFY(m_app->updates()->errorText().isNull());
    }
};

QTEST_MAIN(TestUpdateBanner)
#include "tst_updatebanner.moc"
