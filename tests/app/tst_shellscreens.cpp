// The program's own window over its real store graph and the local service:
// the launch screen while the saved session is read, the sign-in screen,
// signing in with the demo user, every section of the main window, the
// layers over it and signing out again. Fails on any QML warning, and
// writes a picture of each section, the profile card and the layers into
// the screenshot folder for review.
#include "appcontext.h"

#include "account/authstore.h"
#include "account/keychainhelper.h"
#include "collection/playlistsstore.h"
#include "api/apiconfig.h"
#include "api/jsoncoding.h"
#include "api/session.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "shell/mainnavigationmodel.h"
#include "shell/rootviewmodel.h"
#include "shell/sidebaritem.h"
#include "update/otaservice.h"
#include "update/otaupdatestore.h"

#include "apprig.h"
#include "eventloop.h"
#include "fakevideoplayer.h"
#include "heldclock.h"

#include <QDir>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestShellScreens : public QObject
{
    Q_OBJECT

    std::shared_ptr<MemorySecretStore> m_secrets;
    // The launch delay: what was asked for, and held until the test lets
    // it go. Made afresh for each launch.
    std::unique_ptr<HeldClock> m_clock;
    AppRig m_rig;

    MainNavigationModel *navigation() const
    {
        QQuickItem *main = m_rig.item(u"mainView"_s);
        return main ? main->findChild<MainNavigationModel *>(u"mainNavigation"_s) : nullptr;
    }

    // A fresh program: its stores, its window, a keychain in memory.
    bool launch(std::optional<QByteArray> savedToken = std::nullopt, bool holdKeychain = false,
        VideoBackend *video = nullptr)
    {
        m_rig.close();
        m_secrets = std::make_shared<MemorySecretStore>();
        if (savedToken)
            m_secrets->put(QString(KeychainHelper::account), *savedToken);
        m_secrets->setHeld(holdKeychain);
        m_clock = std::make_unique<HeldClock>();
        AppContext::Environment environment;
        environment.secrets = m_secrets;
        environment.clock = m_clock.get();
        environment.video = video;
        return m_rig.launch(environment);
    }

    // Requests for the update manifest that the service has received.
    int manifestRequests() const
    {
        int count = 0;
        for (const RecordedRequest &request : m_rig.service()->requests())
            count += request.path == OtaService::manifestPath() ? 1 : 0;
        return count;
    }

    // Lets covers load and transitions end before a picture is taken.
    void settle() { QVERIFY(waitUntilSettled(m_rig.window())); }

    void screenshot(const QString &name, const QRect &area = {})
    {
        QImage image = m_rig.window()->grabWindow();
        if (!area.isNull()) {
            const qreal ratio = m_rig.window()->devicePixelRatio();
            image = image.copy(QRect(area.topLeft() * ratio, area.size() * ratio));
        }
        QVERIFY(saveScreenshot(image, name));
    }

    // The section's screen is on its stack; a placeholder names the section.
    bool sectionScreenShown(const SidebarEntry &entry) const
    {
        QQuickItem *stack = m_rig.item(u"sectionStack"_s);
        auto *screen = stack ? stack->property("currentItem").value<QQuickItem *>() : nullptr;
        if (!screen)
            return false;
        if (screen->objectName() != u"sectionPlaceholder")
            return true;
        QQuickItem *title = findItem(screen, u"sectionTitle"_s);
        return title && title->property("text").toString() == entry.title;
    }

    TrackOut serviceTrack(const QString &id)
    {
        const DevServiceReply reply = m_rig.service()->get(u"/api/v1/tracks/"_s + id);
        return decodeJson<TrackOut>(reply.body);
    }

private slots:
    // The local service's manifest offers nothing newer.
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s}); }
    void cleanup() { m_rig.finishTest(false); }
    void cleanupTestCase() { m_rig.stopService(); }

    void calmScreenUntilTheSavedSessionIsRead()
    {
        QVERIFY(launch(std::nullopt, true));
        // The keychain has not answered: neither form nor window yet.
        QVERIFY(m_rig.item(u"launchScreen"_s));
        QVERIFY(!m_rig.item(u"loginView"_s));
        screenshot(u"launch"_s);
        const QPointF header = m_rig.item(u"signInHeader"_s)->mapToScene({});
        m_secrets->release(1);
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        QVERIFY(!m_rig.item(u"launchScreen"_s));
        // The mark and the name stay where they stood.
        QCOMPARE(m_rig.item(u"signInHeader"_s)->mapToScene({}), header);
        screenshot(u"sign-in"_s);
    }

    void offlineStartRetriesIntoTheMainWindow()
    {
        const QString token = m_rig.service()->signIn();
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:%1"_s.arg(port)));
        closed.close();
        const auto restore = qScopeGuard([this] {
            m_rig.close();
            ApiConfig::setBaseUrl(m_rig.service()->baseUrl());
        });

        QVERIFY(launch(token.toUtf8()));
        QTRY_VERIFY(isShown(m_rig.item(u"launchError"_s)));
        QVERIFY(!m_rig.item(u"loginView"_s));
        QCOMPARE(m_rig.item(u"launchError"_s)->property("text").toString(), u"Не удалось подключиться к серверу"_s);
        screenshot(u"launch-offline"_s);

        // The service answers again at the same address (the token goes to
        // no other): a relay to the local service.
        QVERIFY(closed.listen(QHostAddress::LocalHost, port));
        const quint16 servicePort = quint16(m_rig.service()->baseUrl().port());
        connect(&closed, &QTcpServer::newConnection, &closed, [&closed, servicePort] {
            while (QTcpSocket *client = closed.nextPendingConnection()) {
                auto *service = new QTcpSocket(client);
                service->connectToHost(QHostAddress::LocalHost, servicePort);
                connect(
                    client, &QTcpSocket::readyRead, service, [client, service] { service->write(client->readAll()); });
                connect(
                    service, &QTcpSocket::readyRead, client, [client, service] { client->write(service->readAll()); });
                connect(service, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
                connect(client, &QTcpSocket::disconnected, service, &QTcpSocket::disconnectFromHost);
            }
        });
        m_rig.click(m_rig.item(u"retryButton"_s));
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        QCOMPARE(m_rig.app()->auth()->user()->username, u"demo"_s);
    }

    // A service that holds the saved token's profile: after a while the
    // launch screen says it waits, with the way to another account; taken,
    // the sign-in form stays when the profile comes after all.
    void slowServiceAtLaunch()
    {
        const QString token = m_rig.service()->signIn();
        QVERIFY(m_rig.service()->injectFault(QJsonObject {{u"path"_s, u"/api/v1/auth/me"_s}, {u"hold"_s, true}}));
        // The launch screen's waits last until the test lets them go.
        HeldClock wait;
        const auto closeFirst = qScopeGuard([this] {
            m_rig.close();
            m_rig.service()->clearFaults();
        });
        QVERIFY(launch(token.toUtf8(), true));
        auto *gate = m_rig.window()->findChild<RootViewModel *>();
        QVERIFY(gate);
        gate->setClock(&wait);
        wait.asked.clear();
        m_secrets->setHeld(false);
        QTRY_COMPARE(wait.asked, QList {RootViewModel::serviceNoticeDelay});
        const auto profileAsked = [this] {
            for (const RecordedRequest &request : m_rig.service()->requests()) {
                if (request.path == "/api/v1/auth/me"_L1)
                    return true;
            }
            return false;
        };
        QTRY_VERIFY(profileAsked());
        QVERIFY(!isShown(m_rig.item(u"launchPanel"_s)));
        wait.releaseRunning();
        QTRY_VERIFY(isShown(m_rig.item(u"launchWait"_s)));
        QCOMPARE(m_rig.item(u"launchWait"_s)->property("text").toString(), u"Ждём ответа сервера…"_s);
        QVERIFY(!isShown(m_rig.item(u"retryButton"_s)));
        screenshot(u"launch-waiting"_s);

        m_rig.click(m_rig.item(u"otherAccountButton"_s));
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        m_rig.service()->releaseHeld();
        QVERIFY(waitUntilIdle());
        QVERIFY(m_rig.item(u"loginView"_s));
        QVERIFY(!m_rig.app()->auth()->isSignedIn());
    }

    void savedSessionOpensTheMainWindow()
    {
        const QString token = m_rig.service()->signIn();
        QVERIFY(!token.isEmpty());
        QVERIFY(launch(token.toUtf8()));
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        QCOMPARE(m_rig.app()->auth()->user()->username, u"demo"_s);
        QCOMPARE(m_rig.app()->player()->authToken(), std::optional(token));
    }

    void silentUpdateCheckTwoSecondsAfterStart()
    {
        const int manifestsBefore = manifestRequests();
        QVERIFY(launch());
        QSignalSpy checked(m_rig.app()->updates(), &OtaUpdateStore::checkFinished);
        QCOMPARE(m_clock->asked, QList {std::chrono::milliseconds(2000)});
        // Whatever the start-up sent has been answered: no check among it.
        QVERIFY(waitUntilIdle());
        QCOMPARE(checked.size(), 0);
        QCOMPARE(manifestRequests(), manifestsBefore);
        m_clock->setOpen(true);
        QTRY_COMPARE(checked.size(), 1);
        QCOMPARE(checked.first().first().toBool(), true);
        QVERIFY(!m_rig.app()->updates()->hasAvailableManifest());
    }

    void noUpdateCheckWhenTheProgramEndsFirst()
    {
        const int manifestsBefore = manifestRequests();
        QVERIFY(launch());
        QSignalSpy checked(m_rig.app()->updates(), &OtaUpdateStore::checkFinished);
        m_rig.close();
        QVERIFY(waitUntilIdle());
        QCOMPARE(m_clock->ended, 1);
        QCOMPARE(checked.size(), 0);
        QCOMPARE(manifestRequests(), manifestsBefore);
    }

    void tokenReachesThePlayerAndThePlaylistsOnEveryChange()
    {
        QVERIFY(launch());
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        QCOMPARE(m_rig.app()->player()->authToken(), std::nullopt);
        m_rig.signInAsDemo();
        const auto token = m_rig.app()->session()->token();
        QVERIFY(token);
        QCOMPARE(m_rig.app()->player()->authToken(), token);

        QVERIFY(QCoro::waitFor(m_rig.app()->playlists()->createAsync(u"Вечер"_s)));
        QCOMPARE(m_rig.app()->playlists()->playlists().size(), 1);
        m_rig.app()->auth()->signOut();
        // The next listener sees neither the token nor the playlists.
        QCOMPARE(m_rig.app()->player()->authToken(), std::nullopt);
        QVERIFY(m_rig.app()->playlists()->playlists().isEmpty());
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
    }

    void everySection()
    {
        QVERIFY(launch());
        m_rig.signInAsDemo();
        MainNavigationModel *nav = navigation();
        QVERIFY(nav);
        QCOMPARE(nav->selection(), SidebarItem::Home);
        QTRY_VERIFY(m_rig.item(u"profileAvatar"_s) && m_rig.item(u"profileAvatar"_s)->property("ready").toBool());

        for (const SidebarEntry &entry : sidebarEntries()) {
            m_rig.click(m_rig.item(u"sidebarRow%1"_s.arg(int(entry.item))));
            QCOMPARE(nav->selection(), entry.item);
            // A section without a screen of its own yet shows its title.
            QTRY_VERIFY(sectionScreenShown(entry));
            settle();
            screenshot(u"section-%1-%2"_s.arg(int(entry.item) + 1, 2, 10, QChar(u'0')).arg(sidebarIcon(entry.item)));
        }

        m_rig.click(m_rig.item(u"sidebarRow0"_s));
        QQuickItem *card = m_rig.item(u"profileCard"_s);
        QVERIFY(isShown(card));
        m_rig.click(card);
        QCOMPARE(nav->selection(), SidebarItem::Profile);
        QCOMPARE(m_rig.item(u"profileName"_s)->property("text").toString(), u"demo"_s);
        settle();
        const QRectF cardArea = card->mapRectToScene(QRectF(0, 0, card->width(), card->height()));
        screenshot(u"profile-card"_s, cardArea.toAlignedRect().adjusted(-8, -8, 8, 8));
    }

    void layersOverTheMainWindow()
    {
        QVERIFY(launch());
        m_rig.signInAsDemo();
        MainNavigationModel *nav = navigation();
        QVERIFY(nav);
        QVERIFY(!isShown(m_rig.item(u"miniPlayer"_s)));

        const TrackOut track = serviceTrack(u"t00008"_s);
        m_rig.app()->player()->play(track, {track});
        QTRY_VERIFY(isShown(m_rig.item(u"miniPlayer"_s)));
        // The last rows stay above the bar.
        QTRY_COMPARE(m_rig.item(u"detailColumn"_s)->height() - m_rig.item(u"sectionArea"_s)->height(), 72.0);
        settle();
        screenshot(u"layer-mini-player"_s);

        // The mini player's track opens the fullscreen player, which a
        // change of section closes.
        m_rig.click(m_rig.item(u"miniPlayer"_s));
        QVERIFY(m_rig.app()->player()->isFullscreenPresented());
        QTRY_VERIFY(isShown(m_rig.item(u"fullscreenPlayer"_s)));
        QTRY_VERIFY(!isShown(m_rig.item(u"miniPlayer"_s)));
        // The section behind fades out.
        QTRY_COMPARE(m_rig.item(u"sectionArea"_s)->opacity(), 0.35);
        settle();
        screenshot(u"layer-fullscreen-player"_s);
        m_rig.click(m_rig.item(u"sidebarRow1"_s));
        QVERIFY(!m_rig.app()->player()->isFullscreenPresented());
        QTRY_VERIFY(!isShown(m_rig.item(u"fullscreenPlayer"_s)));
        QTRY_VERIFY(isShown(m_rig.item(u"miniPlayer"_s)));

        // "Свернуть" closes it as well.
        m_rig.app()->player()->setFullscreenPresented(true);
        QTRY_VERIFY(isShown(m_rig.item(u"collapseButton"_s)));
        settle();
        m_rig.click(m_rig.item(u"collapseButton"_s));
        QVERIFY(!m_rig.app()->player()->isFullscreenPresented());

        OtaManifest manifest;
        manifest.versionCode = 99;
        manifest.versionName = u"2.0"_s;
        manifest.downloadUrl = u"https://example.org/Nimbra-2.0.dmg"_s;
        m_rig.app()->updates()->setAvailableManifest(manifest);
        QTRY_VERIFY(isShown(m_rig.item(u"updateBanner"_s)));
        settle();
        screenshot(u"layer-update-banner"_s);
        m_rig.click(m_rig.item(u"closeUpdateButton"_s));
        QVERIFY(!m_rig.app()->updates()->hasAvailableManifest());
        QTRY_VERIFY(!isShown(m_rig.item(u"updateBanner"_s)));

        // A fullscreen clip hides the sidebar and the screens.
        m_rig.app()->clipPlayer()->setFullscreen(true);
        QTRY_COMPARE(m_rig.item(u"splitView"_s)->opacity(), 0.0);
        QTRY_VERIFY(!isShown(m_rig.item(u"miniPlayer"_s)));
        QVERIFY(!m_rig.item(u"splitView"_s)->isEnabled());
        m_rig.app()->clipPlayer()->setFullscreen(false);
        QTRY_COMPARE(m_rig.item(u"splitView"_s)->opacity(), 1.0);
    }

    // A clip started over the open fullscreen player: the clip overlay lies
    // on top, so Esc is its alone, one layer at a time, and the windowed
    // card keeps its controls clear of the mini player.
    void escAnswersTheTopmostLayer()
    {
        FakeVideoBackend video;
        QVERIFY(launch(std::nullopt, false, &video));
        m_rig.signInAsDemo();
        m_rig.window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(m_rig.window(), nimbra::test::kEventLimitMs));
        const TrackOut track = serviceTrack(u"t00008"_s);
        m_rig.app()->player()->play(track, {track});
        QTRY_VERIFY(isShown(m_rig.item(u"miniPlayer"_s)));

        ClipOut clip;
        clip.id = u"c0001"_s;
        clip.title = u"Клип 1"_s;
        clip.artist = u"Artist One, Artist Two"_s;
        clip.fileUrl = u"/media/clips/c0001.avi"_s;
        clip.durationSeconds = 6;
        ClipPlayerStore *clips = m_rig.app()->clipPlayer();
        clips->play(clip, {clip});
        QTRY_VERIFY(isShown(m_rig.item(u"clipWindowed"_s)));
        settle();
        // The mini player stays over the overlay, yet below the card's controls.
        QQuickItem *controls = m_rig.item(u"clipControls"_s);
        QQuickItem *mini = m_rig.item(u"miniPlayerLayer"_s);
        QVERIFY(controls && mini && isShown(mini));
        const QRectF controlsArea = controls->mapRectToScene(controls->boundingRect());
        QVERIFY2(controlsArea.bottom() <= mini->mapRectToScene(mini->boundingRect()).top(),
            qPrintable(u"controls end at %1"_s.arg(controlsArea.bottom())));
        QVERIFY(controlsArea.top() >= 0);

        m_rig.app()->player()->setFullscreenPresented(true);
        QTRY_VERIFY(isShown(m_rig.item(u"fullscreenPlayer"_s)));
        clips->setFullscreen(true);
        QTRY_VERIFY(isShown(m_rig.item(u"clipFullscreen"_s)));
        // The picture ends where the controls bar begins, not under it.
        QQuickItem *picture = m_rig.item(u"clipFullscreenVideo"_s);
        QQuickItem *bar = m_rig.item(u"clipControlsBar"_s);
        QVERIFY(picture->mapRectToScene(picture->boundingRect()).bottom() <= bar->mapRectToScene(bar->boundingRect()).top());

        // Fullscreen clip -> windowed clip -> no clip -> no fullscreen player.
        QTest::keyClick(m_rig.window(), Qt::Key_Escape);
        QTRY_VERIFY(!clips->isFullscreen());
        QVERIFY(clips->isPresented());
        QVERIFY(m_rig.app()->player()->isFullscreenPresented());
        QTest::keyClick(m_rig.window(), Qt::Key_Escape);
        QTRY_VERIFY(!clips->isPresented());
        QVERIFY(m_rig.app()->player()->isFullscreenPresented());
        QTest::keyClick(m_rig.window(), Qt::Key_Escape);
        QTRY_VERIFY(!m_rig.app()->player()->isFullscreenPresented());
    }

    void artistPageOverTheDetailColumn()
    {
        QVERIFY(launch());
        m_rig.signInAsDemo();
        m_rig.window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(m_rig.window(), nimbra::test::kEventLimitMs));

        // A field of the section screen holds the keyboard; naming an artist
        // by writing the store directly takes it away.
        QQmlComponent field(&m_rig.app()->engine());
        field.setData("import QtQuick\nTextInput { width: 200; height: 30 }", QUrl());
        auto *input = qobject_cast<QQuickItem *>(field.create());
        QVERIFY(input);
        input->setParentItem(m_rig.item(u"sectionArea"_s));
        input->forceActiveFocus();
        QTRY_VERIFY(input->hasActiveFocus());
        m_rig.app()->artistNavigation()->setPresentedArtistName(u"MOKKO"_s);
        QTRY_VERIFY(isShown(m_rig.item(u"artistPage"_s)));
        QVERIFY(!input->hasActiveFocus());
        QCOMPARE(findItem(m_rig.item(u"artistPage"_s), u"backBarTitle"_s)->property("text").toString(), u"MOKKO"_s);
        QVERIFY(!m_rig.item(u"sectionArea"_s)->isEnabled());
        delete input;
        settle();
        screenshot(u"layer-artist-page"_s);

        m_rig.click(findItem(m_rig.item(u"artistPage"_s), u"backButton"_s));
        QVERIFY(m_rig.app()->artistNavigation()->presentedArtistName().isNull());
        QTRY_VERIFY(!m_rig.item(u"artistPage"_s));
        QVERIFY(m_rig.item(u"sectionArea"_s)->isEnabled());
    }

    // A page opened from a section lands on that section's stack, over an
    // artist page on the artist's; the back bar takes it off again, and
    // another section starts at its root.
    void pagesPushOntoTheStackShown()
    {
        QVERIFY(launch());
        m_rig.signInAsDemo();
        m_rig.click(m_rig.item(u"sidebarRow5"_s)); // albums: a section with a stack
        QTRY_VERIFY(m_rig.item(u"sectionStack"_s));
        QObject *navigation = m_rig.app()->engine().singletonInstance<QObject *>(
            qmlTypeId("Nimbra", 1, 0, "Navigation"));
        QVERIFY(navigation);
        QMetaObject::invokeMethod(navigation, "openAlbum", Q_ARG(QString, u"a0007"_s));
        QTRY_COMPARE(m_rig.item(u"sectionStack"_s)->property("depth").toInt(), 2);
        QTRY_VERIFY(isShown(m_rig.item(u"albumDetailView"_s)));
        QCOMPARE(m_rig.item(u"albumDetailView"_s)->property("argument").toString(), u"a0007"_s);
        settle();
        screenshot(u"pushed-page"_s);

        QObject *links = m_rig.app()->engine().singletonInstance<QObject *>(qmlTypeId("Nimbra", 1, 0, "ArtistLinks"));
        QVERIFY(links);
        QMetaObject::invokeMethod(links, "open", Q_ARG(QString, u"MOKKO"_s));
        QTRY_VERIFY(m_rig.item(u"artistStack"_s));
        QMetaObject::invokeMethod(navigation, "openPlaylist", Q_ARG(QString, u"p1"_s));
        QTRY_COMPARE(m_rig.item(u"artistStack"_s)->property("depth").toInt(), 2);
        QCOMPARE(m_rig.item(u"sectionStack"_s)->property("depth").toInt(), 2);

        m_rig.click(findItem(m_rig.item(u"artistStack"_s)->property("currentItem").value<QQuickItem *>(), u"backButton"_s));
        QTRY_COMPARE(m_rig.item(u"artistStack"_s)->property("depth").toInt(), 1);
        QMetaObject::invokeMethod(navigation, "back");
        QTRY_VERIFY(!m_rig.item(u"artistStack"_s));
        // The closed page's stack goes on the next turn, while the window lives.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QMetaObject::invokeMethod(navigation, "back");
        QTRY_COMPARE(m_rig.item(u"sectionStack"_s)->property("depth").toInt(), 1);

        QMetaObject::invokeMethod(navigation, "openAlbum", Q_ARG(QString, u"a7"_s));
        m_rig.click(m_rig.item(u"sidebarRow6"_s));
        QTRY_COMPARE(m_rig.item(u"sectionStack"_s)->property("depth").toInt(), 1);
        QCOMPARE(navigation->property("sectionDepth").toInt(), 0);
    }

    void signOutAndBackStartsOnHome()
    {
        QVERIFY(launch());
        m_rig.signInAsDemo();
        m_rig.click(m_rig.item(u"sidebarRow4"_s));
        QCOMPARE(navigation()->selection(), SidebarItem::Playlists);
        m_rig.app()->auth()->signOut();
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        QVERIFY(!m_rig.item(u"mainView"_s));
        m_rig.signInAsDemo();
        QCOMPARE(navigation()->selection(), SidebarItem::Home);
    }

    void guestSeesNoProfileCard()
    {
        QVERIFY(launch());
        QTRY_VERIFY(m_rig.item(u"guestButton"_s));
        m_rig.click(m_rig.item(u"guestButton"_s));
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        QVERIFY(!isShown(m_rig.item(u"profileCard"_s)));
        m_rig.click(m_rig.item(u"sidebarRow8"_s));
        QCOMPARE(navigation()->selection(), SidebarItem::Profile);
        settle();
        screenshot(u"guest"_s);
    }
};

QTEST_MAIN(TestShellScreens)
#include "tst_shellscreens.moc"
