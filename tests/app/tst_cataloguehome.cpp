// The home page, the albums grid and an album's page in the program's own
// window against the local service: what each shows once loaded, the quick
// card that switches sections, a release and a row that play, the album
// page on the section's stack and back. Fails on any QML warning and
// writes a picture of each screen for review.
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "player/playerstore.h"
#include "screens/mainnavigationmodel.h"
#include "screens/sidebaritem.h"

#include "devserviceprocess.h"
#include "fakeaudiobackend.h"
#include "memorysecretstore.h"
#include "qmlwarnings.h"
#include "screentest.h"
#include "testenv.h"

#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestCatalogueHome : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    std::unique_ptr<QmlWarnings> m_warnings;
    FakeAudioBackend m_audio;
    std::unique_ptr<AppContext> m_app;

    QQuickItem *item(const QString &objectName) const
    {
        return m_app && m_app->window() ? findItem(m_app->window(), objectName) : nullptr;
    }

    QQuickItem *currentPage() const
    {
        QQuickItem *stack = item(u"sectionStack"_s);
        return stack ? stack->property("currentItem").value<QQuickItem *>() : nullptr;
    }

    void click(QQuickItem *target)
    {
        QVERIFY(target);
        QVERIFY2(isShown(target), qPrintable(target->objectName()));
        test::click(m_app->window(), target);
    }

    // The program, signed in as the demo user who keeps three favourites.
    void launchSignedIn()
    {
        const QString token = m_service->signIn();
        QVERIFY(!token.isEmpty());
        for (const char *id : {"t00003", "t00008", "t00021"})
            m_service->call("POST", u"/api/v1/favorites"_s, QByteArray(R"({"track_id": ")") + id + "\"}", token);
        AppContext::Environment environment;
        auto secrets = std::make_shared<MemorySecretStore>();
        secrets->put(u"access_token"_s, token.toUtf8());
        environment.secrets = secrets;
        environment.audio = &m_audio;
        m_app = std::make_unique<AppContext>(environment);
        QVERIFY(m_app->start());
        QVERIFY(QTest::qWaitForWindowExposed(m_app->window()));
        QTRY_VERIFY(item(u"mainView"_s));
    }

    // Until every cover of that name under root has loaded (the service
    // draws each one on first request).
    void waitForCovers(QQuickItem *root, const QString &name)
    {
        const auto allLoaded = [&] {
            QList<QQuickItem *> pending {root};
            while (!pending.isEmpty()) {
                QQuickItem *next = pending.takeFirst();
                if (next->objectName() == name && next->isVisible() && !next->property("loaded").toBool()
                    && !next->property("source").toUrl().isEmpty())
                    return false;
                pending.append(next->childItems());
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(allLoaded(), 15000);
    }

    void screenshot(const QString &name)
    {
        // Let covers arrive and the last frame settle.
        QTest::qWait(600);
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), name));
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QQuickStyle::setStyle(u"Basic"_s);
        // The service's own sizes: the daily list draws from pages all over
        // the catalogue.
        m_service = std::make_unique<DevServiceProcess>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        APIConfig::setBaseURL(m_service->baseUrl());
        m_warnings = std::make_unique<QmlWarnings>();
    }

    void cleanup()
    {
        m_app.reset();
        const QStringList warnings = m_warnings->take();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

    void cleanupTestCase() { m_service.reset(); }

    void homeShowsTheLibraryTheDayAndTheReleases()
    {
        launchSignedIn();
        QObject *home = nullptr;
        QTRY_VERIFY((home = item(u"homeView"_s) ? item(u"homeView"_s)->findChild<QObject *>(u"homeModel"_s) : nullptr));
        QTRY_VERIFY(!home->property("isLoading").toBool());
        QCOMPARE(home->property("errorMessage").toString(), QString());
        QCOMPARE(home->property("favoritesSubtitle").toString(), u"3 трека"_s);
        QCOMPARE(home->property("collectionSubtitle").toString(), u"600 альбомов · 6000 треков"_s);
        QCOMPARE(home->property("clipsSubtitle").toString(), u"36 клипов"_s);
        QCOMPARE(findItem(item(u"dailyCard"_s), u"dailyCount"_s)->property("text").toString(),
            u"30 треков · обновляется в 00:00"_s);
        QVERIFY(isShown(item(u"releaseStrip"_s)));
        QCOMPARE(item(u"releaseStrip"_s)->property("count").toInt(), 18);
        QVERIFY(!isShown(item(u"releasesSpinner"_s)));
        waitForCovers(item(u"releaseStrip"_s), u"releaseThumb"_s);
        screenshot(u"home"_s);

        auto *scroller = item(u"homeScroller"_s);
        scroller->setProperty("contentY", scroller->property("contentHeight").toReal() - scroller->height());
        screenshot(u"home-scrolled"_s);

        // The newest release is the single t00001; it plays among the
        // track releases.
        click(findItem(item(u"releaseStrip"_s), u"releasePlay"_s));
        QTRY_COMPARE(m_app->player()->currentTrack() ? m_app->player()->currentTrack()->id : QString(), u"t00001"_s);
        // 18 releases, three of them albums.
        QCOMPARE(m_app->player()->queue().size(), 15);

        // The newest album (fourth: its tracks come first, at its date)
        // opens on the section's stack, with the record the page held.
        QQuickItem *card = nullptr;
        const int contain = 4; // ListView.Contain
        QMetaObject::invokeMethod(item(u"releaseStrip"_s), "positionViewAtIndex", Q_ARG(int, 3), Q_ARG(int, contain));
        QMetaObject::invokeMethod(
            item(u"releaseStrip"_s), "itemAtIndex", Q_RETURN_ARG(QQuickItem *, card), Q_ARG(int, 3));
        QVERIFY(card);
        QVERIFY(card->property("subtitle").toString().startsWith(u"Альбом · "_s));
        click(findItem(card, u"releasePlay"_s));
        QTRY_VERIFY(isShown(item(u"albumDetailView"_s)));
        QCOMPARE(item(u"albumDetailTitle"_s)->property("text").toString(), card->property("title").toString());
        QCOMPARE(item(u"albumDetailView"_s)->property("argument").toString(), u"a0001"_s);
        click(item(u"backButton"_s));
        QTRY_COMPARE(item(u"sectionStack"_s)->property("depth").toInt(), 1);

        // Today's card opens the daily smart playlist.
        click(item(u"dailyCard"_s));
        QTRY_COMPARE(item(u"sectionStack"_s)->property("depth").toInt(), 2);
        QCOMPARE(currentPage()->property("argument").toString(), u"daily"_s);
    }

    void collectionCardOpensTheAlbumsAndAnAlbumItsPage()
    {
        launchSignedIn();
        QTRY_VERIFY(item(u"quickCollection"_s));
        click(item(u"quickCollection"_s));
        QTRY_VERIFY(item(u"albumsView"_s));
        auto *nav = item(u"mainView"_s)->findChild<MainNavigationModel *>(u"mainNavigation"_s);
        QCOMPARE(nav->selection(), SidebarItem::Albums);
        QTRY_COMPARE(item(u"albumsGrid"_s)->property("count").toInt(), 600);
        waitForCovers(item(u"albumsGrid"_s), u"albumCover"_s);
        screenshot(u"albums-grid"_s);

        // The fifth album holds more than the newest ones.
        QQuickItem *cell = nullptr;
        QMetaObject::invokeMethod(
            item(u"albumsGrid"_s), "itemAtIndex", Q_RETURN_ARG(QQuickItem *, cell), Q_ARG(int, 4));
        click(findItem(cell, u"albumCover"_s));
        QTRY_VERIFY(item(u"albumDetailView"_s));
        QCOMPARE(item(u"sectionStack"_s)->property("depth").toInt(), 2);
        QObject *album = item(u"albumDetailView"_s)->findChild<QObject *>(u"albumModel"_s);
        QTRY_COMPARE(album->property("loadState").toInt(), 2);
        QCOMPARE(album->property("title").toString(), item(u"backBarTitle"_s)->property("text").toString());
        QVERIFY(album->property("count").toInt() >= 2);
        waitForCovers(item(u"albumDetailView"_s), u"trackArtwork"_s);
        screenshot(u"album-details"_s);

        // The big cover plays the album from its first track, full screen.
        click(item(u"albumDetailCover"_s));
        QTRY_VERIFY(m_app->player()->isFullscreenPresented());
        QCOMPARE(m_app->player()->queue().size(), album->property("count").toInt());
        m_app->player()->dismissFullscreen();

        click(item(u"backButton"_s));
        QTRY_COMPARE(item(u"sectionStack"_s)->property("depth").toInt(), 1);
        QVERIFY(isShown(item(u"albumsView"_s)));
    }

    void aFailedLoadShowsItsLineAndLoadsAgain()
    {
        QVERIFY(m_service->injectFault(QJsonObject {{u"path"_s, u"/api/v1/battles"_s}, {u"status"_s, 503},
            {u"body"_s, QJsonObject {{u"detail"_s, u"Сервис на обслуживании"_s}}}, {u"count"_s, 1}}));
        launchSignedIn();
        QQuickItem *line = nullptr;
        QTRY_VERIFY((line = item(u"homeErrorText"_s)) && isShown(line));
        QVERIFY(line->property("text").toString().contains(u"Сервис на обслуживании"_s));
        QVERIFY(isShown(item(u"releasesEmpty"_s)));
        screenshot(u"home-error"_s);

        click(item(u"homeRetry"_s));
        QTRY_VERIFY(!isShown(item(u"homeError"_s)));
        QTRY_VERIFY(isShown(item(u"releaseStrip"_s)));
    }
};

QTEST_MAIN(TestCatalogueHome)
#include "tst_cataloguehome.moc"
