// The home page, the albums grid and an album's page in the program's own
// window against the local service: what each shows once loaded, the quick
// card that switches sections, a release and a row that play, the album
// page on the section's stack and back. Fails on any QML warning and
// writes a picture of each screen for review.
#include "account/authstore.h"
#include "player/playerstore.h"
#include "tracks/loadstate.h"

#include "apprig.h"

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

    AppRig m_rig;

    QQuickItem *currentPage() const
    {
        QQuickItem *stack = m_rig.item(u"sectionStack"_s);
        return stack ? stack->property("currentItem").value<QQuickItem *>() : nullptr;
    }

    // The program, signed in as the demo user who keeps three favourites.
    void launchSignedIn()
    {
        const QString token = m_rig.service()->signIn();
        QVERIFY(!token.isEmpty());
        // The demo user starts with twelve favourites (t00008-t00019); this
        // listener keeps three.
        for (int index = 8; index <= 19; ++index)
            m_rig.service()->call("DELETE", u"/api/v1/favorites/t%1"_s.arg(index, 5, 10, QChar(u'0')), {}, token);
        for (const char *id : {"t00003", "t00008", "t00021"})
            m_rig.service()->call("POST", u"/api/v1/favorites"_s, QByteArray(R"({"track_id": ")") + id + "\"}", token);
        AppContext::Environment environment;
        auto secrets = std::make_shared<MemorySecretStore>();
        secrets->put(u"access_token"_s, token.toUtf8());
        environment.secrets = secrets;
        QVERIFY(m_rig.launch(environment));
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
    }

    // Until every cover of that name under root has loaded.
    void waitForCovers(QQuickItem *root, const QString &name)
    {
        QTRY_VERIFY(AppRig::coversLoaded(root, name));
    }

    // The service's API paths asked since the last clear (covers left out).
    QStringList apiRequests() const
    {
        QStringList paths;
        for (const RecordedRequest &request : m_rig.service()->requests()) {
            if (request.path.startsWith(u"/api/"_s))
                paths << request.path;
        }
        return paths;
    }

private slots:
    // The service's own sizes: the daily list draws from pages all over
    // the catalogue.
    void initTestCase() { m_rig.startService({}, false); }
    void cleanup() { m_rig.finishTest(false); }
    void cleanupTestCase() { m_rig.stopService(); }

    void homeShowsTheLibraryTheDayAndTheReleases()
    {
        launchSignedIn();
        QObject *home = nullptr;
        QTRY_VERIFY((home = m_rig.item(u"homeView"_s) ? m_rig.item(u"homeView"_s)->findChild<QObject *>(u"homeModel"_s) : nullptr));
        QTRY_VERIFY(home->property("loadState").toInt() != int(LoadState::Loading));
        QCOMPARE(home->property("errorText").toString(), QString());
        QCOMPARE(home->property("favoritesSubtitle").toString(), u"3 трека"_s);
        QCOMPARE(home->property("collectionSubtitle").toString(), u"600 альбомов · 6000 треков"_s);
        QCOMPARE(home->property("clipsSubtitle").toString(), u"36 клипов"_s);
        QCOMPARE(findItem(m_rig.item(u"dailyCard"_s), u"dailyCount"_s)->property("text").toString(),
            u"30 треков · обновляется в 00:00"_s);
        QVERIFY(isShown(m_rig.item(u"releaseStrip"_s)));
        QCOMPARE(m_rig.item(u"releaseStrip"_s)->property("count").toInt(), 18);
        QVERIFY(!isShown(m_rig.item(u"releasesSpinner"_s)));
        waitForCovers(m_rig.item(u"releaseStrip"_s), u"releaseThumb"_s);
        m_rig.screenshot(u"home"_s);

        auto *scroller = m_rig.item(u"homeScroller"_s);
        scroller->setProperty("contentY", scroller->property("contentHeight").toReal() - scroller->height());
        m_rig.screenshot(u"home-scrolled"_s);

        // The newest release is the single t00001; it plays among the
        // track releases.
        m_rig.click(findItem(m_rig.item(u"releaseStrip"_s), u"releasePlay"_s));
        QTRY_COMPARE(m_rig.app()->player()->currentTrack() ? m_rig.app()->player()->currentTrack()->id : QString(), u"t00001"_s);
        // 18 releases, three of them albums.
        QCOMPARE(m_rig.app()->player()->queue().size(), 15);

        // The newest album (fourth: its tracks come first, at its date)
        // opens on the section's stack, with the record the page held.
        QQuickItem *card = nullptr;
        const int contain = 4; // ListView.Contain
        QMetaObject::invokeMethod(m_rig.item(u"releaseStrip"_s), "positionViewAtIndex", Q_ARG(int, 3), Q_ARG(int, contain));
        QMetaObject::invokeMethod(
            m_rig.item(u"releaseStrip"_s), "itemAtIndex", Q_RETURN_ARG(QQuickItem *, card), Q_ARG(int, 3));
        QVERIFY(card);
        QVERIFY(card->property("subtitle").toString().startsWith(u"Альбом · "_s));
        m_rig.click(findItem(card, u"releasePlay"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"albumDetailView"_s)));
        QCOMPARE(m_rig.item(u"albumDetailTitle"_s)->property("text").toString(), card->property("title").toString());
        QCOMPARE(m_rig.item(u"albumDetailView"_s)->property("argument").toString(), u"a0001"_s);
        // Back on the home page, it loads afresh.
        m_rig.service()->clearRequests();
        m_rig.click(m_rig.item(u"backButton"_s));
        QTRY_COMPARE(m_rig.item(u"sectionStack"_s)->property("depth").toInt(), 1);
        QTRY_VERIFY(apiRequests().contains(u"/api/v1/battles"_s));
        QTRY_VERIFY(home->property("loadState").toInt() != int(LoadState::Loading));

        // Today's card opens the daily list in a sheet over the window: the
        // list the page holds, in its order, without asking again.
        m_rig.service()->clearRequests();
        m_rig.click(m_rig.item(u"dailyCard"_s));
        QQuickItem *sheetList = nullptr;
        QTRY_VERIFY((sheetList = m_rig.item(u"smartPlaylistList"_s)) && isShown(sheetList));
        QCOMPARE(m_rig.item(u"sectionStack"_s)->property("depth").toInt(), 1);
        QObject *sheetModel = sheetList->property("model").value<QObject *>();
        QCOMPARE(sheetModel->property("count").toInt(), 30);
        QCOMPARE(sheetModel->property("loadState").toInt(), 2);
        QVERIFY(isShown(m_rig.item(u"smartPlay"_s)));
        // The sheet is at least 480 by 520, its one-pixel border included.
        QQuickItem *sheetPage = m_rig.item(u"smartPlaylistView"_s);
        QVERIFY(sheetPage->width() + 2 >= 480 && sheetPage->height() + 2 >= 520);
        waitForCovers(sheetList, u"trackArtwork"_s);
        m_rig.screenshot(u"home-daily-sheet"_s);
        QCOMPARE(apiRequests(), QStringList());
        m_rig.click(m_rig.item(u"backButton"_s));
        QTRY_VERIFY(!isShown(m_rig.item(u"smartPlaylistList"_s)));
        QVERIFY(isShown(m_rig.item(u"homeView"_s)));
    }

    void collectionCardOpensTheAlbumsAndAnAlbumItsPage()
    {
        launchSignedIn();
        QTRY_VERIFY(m_rig.item(u"quickCollection"_s));
        m_rig.click(m_rig.item(u"quickCollection"_s));
        QTRY_VERIFY(m_rig.item(u"albumsView"_s));
        auto *nav = m_rig.item(u"mainView"_s)->findChild<MainNavigationModel *>(u"mainNavigation"_s);
        QCOMPARE(nav->selection(), SidebarItem::Albums);
        QTRY_COMPARE(m_rig.item(u"albumsGrid"_s)->property("count").toInt(), 600);
        waitForCovers(m_rig.item(u"albumsGrid"_s), u"albumCover"_s);
        m_rig.screenshot(u"albums-grid"_s);

        // The fifth album holds more than the newest ones.
        QQuickItem *cell = nullptr;
        QMetaObject::invokeMethod(
            m_rig.item(u"albumsGrid"_s), "itemAtIndex", Q_RETURN_ARG(QQuickItem *, cell), Q_ARG(int, 4));
        m_rig.click(findItem(cell, u"albumCover"_s));
        QTRY_VERIFY(m_rig.item(u"albumDetailView"_s));
        QCOMPARE(m_rig.item(u"sectionStack"_s)->property("depth").toInt(), 2);
        QObject *album = m_rig.item(u"albumDetailView"_s)->findChild<QObject *>(u"albumModel"_s);
        QTRY_COMPARE(album->property("loadState").toInt(), 2);
        QCOMPARE(album->property("title").toString(), m_rig.item(u"backBarTitle"_s)->property("text").toString());
        QVERIFY(album->property("count").toInt() >= 2);
        waitForCovers(m_rig.item(u"albumDetailView"_s), u"trackArtwork"_s);
        m_rig.screenshot(u"album-details"_s);

        // The big cover plays the album from its first track, full screen.
        m_rig.click(m_rig.item(u"albumDetailCover"_s));
        QTRY_VERIFY(m_rig.app()->player()->isFullscreenPresented());
        QCOMPARE(m_rig.app()->player()->queue().size(), album->property("count").toInt());
        m_rig.app()->player()->dismissFullscreen();

        m_rig.click(m_rig.item(u"backButton"_s));
        QTRY_COMPARE(m_rig.item(u"sectionStack"_s)->property("depth").toInt(), 1);
        QVERIFY(isShown(m_rig.item(u"albumsView"_s)));
    }

    void aFailedLoadShowsItsLineAndLoadsAgain()
    {
        QVERIFY(m_rig.service()->injectFault(QJsonObject {{u"path"_s, u"/api/v1/battles"_s}, {u"status"_s, 503},
            {u"body"_s, QJsonObject {{u"detail"_s, u"Сервис на обслуживании"_s}}}, {u"count"_s, 1}}));
        launchSignedIn();
        QQuickItem *line = nullptr;
        QTRY_VERIFY((line = findItem(m_rig.item(u"homeError"_s), u"stateText"_s)) && isShown(line));
        QVERIFY(line->property("text").toString().contains(u"Сервис на обслуживании"_s));
        QVERIFY(isShown(m_rig.item(u"releasesEmpty"_s)));
        m_rig.screenshot(u"home-error"_s);

        m_rig.click(findItem(m_rig.item(u"homeError"_s), u"stateRetry"_s));
        QTRY_VERIFY(!isShown(m_rig.item(u"homeError"_s)));
        QTRY_VERIFY(isShown(m_rig.item(u"releaseStrip"_s)));
    }
};

QTEST_MAIN(TestCatalogueHome)
#include "tst_cataloguehome.moc"
