// The end of a session in the running program against the local service:
// "Выйти" while a track plays, a token the service stops accepting, and
// another service's address saved in the settings. Pictures for a reviewer
// in build/screenshots/session-*.png.
#include "account/authstore.h"
#include "account/keychainhelper.h"
#include "api/session.h"
#include "settings/settingsmodel.h"
#include "api/apiconfig.h"
#include "artists/artistnavigationstore.h"
#include "catalogue/homepagemodel.h"
#include "api/jsoncoding.h"
#include "platform/mprisservice.h"
#include "player/nowplayingcontroller.h"
#include "player/playerstore.h"

#include "apprig.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "mprisprobe.h"

#include <QJsonObject>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestSessionWalk : public QObject
{
    Q_OBJECT

    AppRig m_rig;
    std::shared_ptr<MemorySecretStore> m_secrets;

    PlayerStore *player() const { return m_rig.app()->player(); }

    void launchAndSignIn()
    {
        m_secrets = std::make_shared<MemorySecretStore>();
        AppContext::Environment environment;
        environment.secrets = m_secrets;
        QVERIFY(m_rig.launch(environment));
        m_rig.signInAsDemo();
    }

    void playTwoTracks()
    {
        QList<TrackOut> list;
        for (const QString &id : {u"t00008"_s, u"t00001"_s})
            list << decodeJson<TrackOut>(m_rig.service()->get(u"/api/v1/tracks/"_s + id).body);
        player()->play(list.first(), list);
        QTRY_VERIFY(isShown(m_rig.item(u"miniPlayer"_s)));
    }

    void retype(const QString &objectName, const QString &value)
    {
        QQuickItem *field = m_rig.item(objectName);
        QVERIFY(field);
        QVERIFY(typeText(m_rig.window(), field, QString()));
        QTest::keyClick(m_rig.window(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_rig.window(), Qt::Key_Backspace);
        QVERIFY(typeText(m_rig.window(), field, value));
    }

    void verifyNothingPlays()
    {
        QVERIFY(!player()->hasCurrentTrack());
        QVERIFY(!player()->isPlaying());
        QVERIFY(player()->queue().isEmpty());
        QVERIFY(!m_rig.audio().lastPlayer() || !m_rig.audio().lastPlayer()->isPlaying());
        if (MprisService *mpris = player()->nowPlaying()->mpris()) {
            const MprisProbe desktop(mpris->serviceName());
            QCOMPARE(desktop.playbackStatus(), u"Stopped"_s);
            QVERIFY(!desktop.metadata().contains(u"xesam:title"_s));
        }
    }

    // Starts what the row names, whose first request (the favourites, held
    // by the service until released) is then on its way.
    void startSlowWork(const QString &work)
    {
        const auto slowFavourites = [this] {
            QVERIFY(m_rig.service()->injectFault(
                QJsonObject {{u"path"_s, u"/api/v1/favorites"_s}, {u"method"_s, u"GET"_s}, {u"hold"_s, true}}));
        };
        if (work == u"home wave") {
            auto *home = m_rig.item(u"homeView"_s)->findChild<HomePageModel *>(u"homeModel"_s);
            QVERIFY(home);
            QTRY_VERIFY(!home->isLoading());
            slowFavourites();
            m_rig.click(m_rig.item(u"waveButton"_s));
        } else if (work == u"smart-playlist wave") {
            m_rig.openSection(SidebarItem::Playlists);
            QTRY_VERIFY(isShown(m_rig.item(u"smartCard_wave"_s)));
            slowFavourites();
            m_rig.click(m_rig.item(u"smartCard_wave"_s));
        } else {
            // The artist's own queue plays at once; as it runs out, the
            // player asks for a wave to go on with.
            m_rig.app()->artistNavigation()->open(u"Пять Озёр"_s);
            const QString button = work.endsWith(u"shuffle") ? u"artistShuffle"_s : u"artistWave"_s;
            QTRY_VERIFY(isShown(m_rig.item(button)));
            slowFavourites();
            m_rig.click(m_rig.item(button));
            QTRY_VERIFY(player()->isPlaying());
            for (int i = 0; i < 5 && !player()->isLoadingWave(); ++i)
                player()->next();
            QVERIFY(player()->isLoadingWave());
        }
        QTRY_VERIFY(requestsWith(m_rig.service()->requests(), u"/api/v1/favorites"_s) > 0);
    }

    static int requestsWith(const QList<RecordedRequest> &requests, const QString &path)
    {
        int count = 0;
        for (const RecordedRequest &request : requests)
            count += request.path == path ? 1 : 0;
        return count;
    }

private slots:
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"40"_s, u"--albums"_s, u"4"_s}); }
    void cleanup()
    {
        m_rig.finishTest();
        ApiConfig::setBaseUrl(m_rig.service()->baseUrl());
    }
    void cleanupTestCase() { m_rig.stopService(); }

    // "Выйти" while a favourite plays: the next account finds no track and
    // no heart of the one before.
    void signOutWhilePlaying()
    {
        launchAndSignIn();
        playTwoTracks();
        m_rig.click(m_rig.item(u"miniFavorite"_s));
        QTRY_VERIFY(player()->currentIsFavorite());
        player()->setSleepTimer(30);

        m_rig.click(m_rig.item(u"sidebarRow9"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"settingsSignOut"_s)));
        m_rig.click(m_rig.item(u"settingsSignOut"_s));
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        verifyNothingPlays();

        m_rig.signIn(u"admin"_s, u"admin12345"_s);
        QVERIFY(!isShown(m_rig.item(u"miniPlayer"_s)));
        verifyNothingPlays();
        m_rig.screenshot(u"session-next-account"_s);
    }

    // Work of the session still waiting for the service as the listener
    // signs out: it sends their token nowhere any more, and nothing of it
    // plays behind the sign-in screen.
    void slowWorkEndsWithTheSession_data()
    {
        QTest::addColumn<QString>("work");
        QTest::newRow("home wave") << u"home wave"_s;
        QTest::newRow("smart-playlist wave") << u"smart-playlist wave"_s;
        QTest::newRow("artist page shuffle, then the player's wave") << u"artist shuffle"_s;
        QTest::newRow("artist page wave, then the player's wave") << u"artist wave"_s;
    }

    void slowWorkEndsWithTheSession()
    {
        QFETCH(QString, work);
        launchAndSignIn();
        const QString bearer = u"Bearer "_s + m_rig.app()->session()->token().value_or(QString());
        startSlowWork(work);
        if (QTest::currentTestFailed())
            return;

        const qsizetype before = m_rig.service()->requests().size();
        m_rig.app()->auth()->signOut();
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        // The slow answer comes now, and all that would follow it has
        // happened once the client is idle.
        QVERIFY(m_rig.service()->releaseHeld() >= 0);
        QVERIFY(waitUntilIdle());
        const QList<RecordedRequest> after = m_rig.service()->requests().mid(before);
        for (const RecordedRequest &request : after)
            QVERIFY2(request.header(u"authorization"_s) != bearer, qPrintable(request.target));
        verifyNothingPlays();
    }

    // The service stops knowing the token (it restarted): the next request
    // that learns it ends the session, with the service's word for why.
    void refusedTokenEndsTheSession()
    {
        launchAndSignIn();
        playTwoTracks();
        QVERIFY(m_rig.service()->injectFault(QJsonObject {{u"path"_s, u"/api/v1/playlists"_s}, {u"status"_s, 401},
            {u"body"_s, QJsonObject {{u"detail"_s, u"Недействительный токен"_s}}}}));
        m_rig.click(m_rig.item(u"sidebarRow4"_s));

        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        QTRY_COMPARE(m_rig.textOf(m_rig.item(u"errorLine"_s)), u"Недействительный токен"_s);
        QVERIFY(!m_rig.app()->auth()->hasToken());
        verifyNothingPlays();
        QTRY_COMPARE(m_secrets->itemCount(), 0);
        m_rig.screenshot(u"session-token-refused"_s);
    }

    // Another service's address ends the session before the token could
    // go there, and the saved token goes with it; the same address spelled
    // otherwise changes nothing, and plain http to another machine or
    // another scheme is refused under the field.
    void addressOfAnotherService_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("another service") << 0;
        QTest::newRow("same service, trailing slash and blanks") << 1;
        QTest::newRow("plain http to another machine") << 2;
        QTest::newRow("another scheme") << 3;
    }

    void addressOfAnotherService()
    {
        QFETCH(int, kind);
        FakeHttpServer other;
        other.setFallback([](const RecordedRequest &) { return FakeResponse {200, "[]"}; });
        launchAndSignIn();
        m_rig.click(m_rig.item(u"sidebarRow9"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"baseUrlField"_s)));
        const QUrl typed = kind == 0 ? other.baseUrl()
            : kind == 1              ? m_rig.service()->baseUrl()
            : kind == 2              ? QUrl(u"http://192.0.2.1"_s)
                                     : QUrl(u"ftp://192.0.2.1/api"_s);
        retype(u"baseUrlField"_s, u" "_s + typed.toString() + u"/ "_s);
        m_rig.click(m_rig.item(u"saveAddress"_s));

        if (kind == 0) {
            QTRY_VERIFY(m_rig.item(u"loginView"_s));
            QVERIFY(!m_rig.app()->auth()->hasToken());
            QTRY_COMPARE(m_secrets->itemCount(), 0);
        } else {
            QVERIFY(waitUntilIdle());
            QVERIFY(m_rig.item(u"mainView"_s));
            QVERIFY(m_rig.app()->auth()->isSignedIn());
        }
        QCOMPARE(isShown(m_rig.item(u"addressError"_s)), kind >= 2);
        if (kind >= 2) {
            QCOMPARE(m_rig.textOf(m_rig.item(u"addressError"_s)), SettingsModel::refusalOf(typed));
            m_rig.screenshot(kind == 2 ? u"session-address-refused"_s : u"session-address-another-scheme"_s);
        }
        QCOMPARE(ApiConfig::baseUrl(), kind >= 2 ? m_rig.service()->baseUrl() : typed);
        QVERIFY(waitUntilIdle());
        for (const RecordedRequest &request : other.requests())
            QVERIFY2(!request.hasHeader(u"authorization"_s), qPrintable(request.target));
    }

    // Signed in on one service, started again with another's address for
    // that run (the command line): the saved token is neither sent nor
    // forgotten, the sign-in screen shows, and the next start without that
    // address is signed in again. An earlier build saved the token alone; it
    // counts as the settings' service's.
    void savedTokenMeetsAnotherService_data()
    {
        QTest::addColumn<bool>("withOrigin");
        QTest::addColumn<bool>("otherForTheRun");
        QTest::newRow("another service for the run") << true << true;
        QTest::newRow("earlier build's token, another service") << false << true;
        QTest::newRow("earlier build's token, its own service") << false << false;
    }

    void savedTokenMeetsAnotherService()
    {
        QFETCH(bool, withOrigin);
        QFETCH(bool, otherForTheRun);
        FakeHttpServer other;
        other.setFallback([](const RecordedRequest &) { return FakeResponse {200, "[]"}; });
        launchAndSignIn();
        m_rig.close();
        if (!withOrigin)
            QVERIFY(QCoro::waitFor(m_secrets->remove(QString(KeychainHelper::originAccount))));
        const int items = withOrigin ? 2 : 1;

        AppContext::Environment environment;
        environment.secrets = m_secrets;
        if (otherForTheRun) {
            ApiConfig::setRunBaseUrl(other.baseUrl());
            QVERIFY(m_rig.launch(environment));
            QTRY_VERIFY(m_rig.item(u"loginView"_s));
            QVERIFY(!m_rig.app()->auth()->hasToken());
            QCoro::waitFor(m_rig.app()->auth()->keychain()->settled());
            QCOMPARE(m_secrets->itemCount(), items);
            m_rig.screenshot(u"session-another-service"_s);
            m_rig.close();
            // The next start without the command line's address.
            ApiConfig::setBaseUrl(m_rig.service()->baseUrl());
        }
        QVERIFY(m_rig.launch(environment));
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        QVERIFY(m_rig.app()->auth()->isSignedIn());
        QCOMPARE(m_secrets->itemCount(), items);
        QVERIFY(waitUntilIdle());
        QCOMPARE(other.requestsTo(u"/api/v1/auth/me"_s), 0);
        for (const RecordedRequest &request : other.requests())
            QVERIFY2(!request.hasHeader(u"authorization"_s), qPrintable(request.target));
    }
};

QTEST_MAIN(TestSessionWalk)
#include "tst_sessionwalk.moc"
