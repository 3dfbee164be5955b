// The track catalogue and the search screen in the program's own window,
// over its real stores and the local service: the catalogue scrolled past
// its second page, a track played from it with the loaded list as the
// queue, search with albums and tracks and with nothing found, and a guest's
// heart bringing the sign-in alert. Fails on any QML warning; writes a
// picture of each for review.
#include "account/authstore.h"
#include "artists/artistnavigationstore.h"
#include "player/playerstore.h"
#include "catalogue/catalogmodel.h"
#include "catalogue/searchmodel.h"

#include "apprig.h"
#include "eventloop.h"

#include <QJsonObject>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestCatalogueScreens : public QObject
{
    Q_OBJECT

    AppRig m_rig;

    template<typename Model> Model *model(const QString &screen, const QString &name) const
    {
        QQuickItem *root = m_rig.item(screen);
        return root ? root->findChild<Model *>(name) : nullptr;
    }

    // The delegate of a list's row, made on demand.
    QQuickItem *rowOf(QQuickItem *list, int row)
    {
        QQuickItem *delegate = nullptr;
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 0 /* Beginning */));
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, delegate), Q_ARG(int, row));
        return delegate;
    }

private slots:
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"400"_s, u"--albums"_s, u"40"_s}, false); }
    void cleanup() { m_rig.finishTest(false); }
    void cleanupTestCase() { m_rig.stopService(); }

    void catalogueScrollsPagesAndPlaysWithTheLoadedQueue()
    {
        m_rig.launchSignedIn();
        m_rig.openSection(SidebarItem::Catalog);
        QTRY_VERIFY(m_rig.item(u"catalogList"_s));
        auto *catalog = model<CatalogModel>(u"catalogScreen"_s, u"catalogModel"_s);
        QVERIFY(catalog);
        QTRY_COMPARE(catalog->count(), CatalogModel::pageSize);
        // The first screenful asks for no second page.
        QVERIFY(waitUntilSettled(m_rig.window()));
        QVERIFY(!catalog->isFetching());
        QCOMPARE(catalog->count(), CatalogModel::pageSize);

        // Scrolling to the end brings the next page.
        QQuickItem *list = m_rig.item(u"catalogList"_s);
        // Scrolling down as a listener does brings the next pages as the
        // end nears, one request at a time.
        for (int step = 0; step < 200 && catalog->count() < 3 * CatalogModel::pageSize; ++step) {
            list->setProperty("contentY", list->property("contentY").toReal() + 300);
            list->ensurePolished();
            QTRY_VERIFY(!catalog->isFetching());
            QVERIFY(catalog->count() % CatalogModel::pageSize == 0);
        }
        QTRY_VERIFY(!catalog->isFetching());
        QVERIFY(catalog->count() >= 3 * CatalogModel::pageSize);
        QCOMPARE(m_rig.item(u"catalogCount"_s)->property("text").toString(), u"%1 треков"_s.arg(catalog->count()));
        QVERIFY(rowOf(list, 120));
        m_rig.screenshot(u"catalog-scrolled"_s);

        // The third row plays with every loaded track as the queue.
        QQuickItem *third = rowOf(list, 2);
        QVERIFY(third);
        QVERIFY(click(m_rig.window(), findItem(third, u"trackPlay"_s)));
        PlayerStore *player = m_rig.app()->player();
        QTRY_VERIFY(player->currentTrack());
        QCOMPARE(player->currentTrack()->id, catalog->trackAt(2).id);
        QCOMPARE(player->queue().size(), catalog->count());
        QCOMPARE(player->queue().at(149).id, catalog->trackAt(149).id);
        QTRY_VERIFY(third->property("isCurrent").toBool());
        m_rig.screenshot(u"catalog-playing"_s);

        // Each artist of a row's credit opens that artist's page.
        QQuickItem *name = findItem(third, u"artistName0"_s);
        QVERIFY(name);
        const QString artist = name->property("name").toString();
        QVERIFY(click(m_rig.window(), name));
        QTRY_COMPARE(m_rig.app()->artistNavigation()->presentedArtistName(), artist);
    }

    void searchShowsAlbumsAndTracksOrNothing()
    {
        m_rig.launchSignedIn();
        m_rig.openSection(SidebarItem::Search);
        QTRY_VERIFY(m_rig.item(u"searchField"_s));
        auto *search = model<SearchModel>(u"searchScreen"_s, u"searchModel"_s);
        QVERIFY(search);
        QCOMPARE(search->loadState().state, LoadState::Empty);
        QVERIFY(!search->hasSearched());
        m_rig.screenshot(u"search-prompt"_s);

        QVERIFY(typeText(m_rig.window(), m_rig.item(u"searchField"_s), u"Nova"_s));
        QTRY_COMPARE(search->loadState().state, LoadState::Loaded);
        QVERIFY(search->albums()->count() > 0);
        QVERIFY(search->tracks()->count() > 0);
        QTRY_VERIFY(isShown(m_rig.item(u"albumsSection"_s)));
        QQuickItem *results = m_rig.item(u"searchResults"_s);
        // The list starts at its top: the albums' section shows first.
        QTRY_VERIFY(results->property("originY").toReal() < 0);
        QTRY_COMPARE(results->property("contentY").toReal(), results->property("originY").toReal());
        m_rig.screenshot(u"search-results"_s);

        QQuickItem *field = m_rig.item(u"searchField"_s);
        field->setProperty("text", u"zzqxw"_s);
        QVERIFY(click(m_rig.window(), m_rig.item(u"searchSubmit"_s)));
        QTRY_COMPARE(search->loadState().state, LoadState::Empty);
        QVERIFY(search->hasSearched());
        QTRY_COMPARE(m_rig.item(u"stateTitle"_s)->property("text").toString(), u"Ничего не найдено"_s);
        m_rig.screenshot(u"search-nothing"_s);
    }

    // The catalogue's first load says what it loads; a refused heart of a
    // signed-in listener is a failure shown where each list shows one, not
    // a sign-in alert.
    void refusedHeartShowsWhereItsListShowsFailures()
    {
        m_rig.launchSignedIn();
        // The home page's own reads of the tracks are over: the one held is the catalogue's.
        QVERIFY(waitUntilIdle());
        QVERIFY(m_rig.service()->injectFault(
            QJsonObject {{u"path"_s, u"/api/v1/tracks"_s}, {u"hold"_s, true}, {u"count"_s, 1}}));
        m_rig.openSection(SidebarItem::Catalog);
        QTRY_VERIFY(isShown(m_rig.item(u"stateSpinner"_s)));
        QCOMPARE(m_rig.item(u"stateText"_s)->property("text").toString(), u"Загрузка каталога…"_s);
        m_rig.screenshot(u"catalog-first-load"_s);
        QVERIFY(m_rig.service()->releaseHeld() >= 0);
        auto *catalog = model<CatalogModel>(u"catalogScreen"_s, u"catalogModel"_s);
        QTRY_VERIFY(catalog->count() > 0);

        const QJsonObject refusal {{u"path"_s, u"/api/v1/favorites*"_s}, {u"status"_s, 503},
            {u"body"_s, QJsonObject {{u"detail"_s, u"Избранное временно недоступно"_s}}}, {u"count"_s, 1}};
        QVERIFY(m_rig.service()->injectFault(refusal));
        QVERIFY(click(m_rig.window(), findItem(rowOf(m_rig.item(u"catalogList"_s), 0), u"trackFavorite"_s)));
        QTRY_COMPARE(catalog->loadState().state, LoadState::Failed);
        QTRY_VERIFY(!isShown(m_rig.item(u"catalogList"_s)));
        QCOMPARE(m_rig.item(u"stateTitle"_s)->property("text").toString(), u"Ошибка"_s);
        QCOMPARE(m_rig.item(u"stateText"_s)->property("text").toString(), u"Избранное временно недоступно"_s);
        QVERIFY(!isShown(m_rig.item(u"signInOk"_s)));
        m_rig.screenshot(u"catalog-favorite-failed"_s);

        // An album's page: the same text in red where its tracks were.
        m_rig.openSection(SidebarItem::Albums);
        QTRY_VERIFY(m_rig.item(u"albumsGrid"_s) && m_rig.item(u"albumsGrid"_s)->property("count").toInt() > 0);
        QQuickItem *cell = nullptr;
        QMetaObject::invokeMethod(
            m_rig.item(u"albumsGrid"_s), "itemAtIndex", Q_RETURN_ARG(QQuickItem *, cell), Q_ARG(int, 0));
        QVERIFY(click(m_rig.window(), findItem(cell, u"albumCover"_s)));
        QQuickItem *tracks = nullptr;
        QTRY_VERIFY((tracks = m_rig.item(u"albumTracks"_s)) && tracks->property("count").toInt() > 0);
        QVERIFY(m_rig.service()->injectFault(refusal));
        QVERIFY(click(m_rig.window(), findItem(rowOf(tracks, 0), u"trackFavorite"_s)));
        QQuickItem *error = nullptr;
        QTRY_VERIFY((error = m_rig.item(u"albumError"_s)) && isShown(error));
        QCOMPARE(error->property("text").toString(), u"Избранное временно недоступно"_s);
        QVERIFY(!isShown(tracks));
        QVERIFY(!isShown(m_rig.item(u"signInOk"_s)));
        m_rig.screenshot(u"album-favorite-failed"_s);
    }

    // Search torn down with albums on screen, and the field after a visit
    // to an artist's page opened from the results.
    void searchFieldOutlivesAnArtistPage()
    {
        m_rig.launchSignedIn();
        m_rig.openSection(SidebarItem::Search);
        QTRY_VERIFY(m_rig.item(u"searchField"_s));
        auto *search = model<SearchModel>(u"searchScreen"_s, u"searchModel"_s);
        QVERIFY(typeText(m_rig.window(), m_rig.item(u"searchField"_s), u"Nova"_s));
        QTRY_COMPARE(search->loadState().state, LoadState::Loaded);
        QTRY_VERIFY(isShown(m_rig.item(u"albumsSection"_s)));

        QQuickItem *name = findItem(m_rig.item(u"searchResults"_s), u"artistName0"_s);
        QVERIFY(name);
        QVERIFY(click(m_rig.window(), name));
        QTRY_VERIFY(!m_rig.app()->artistNavigation()->presentedArtistName().isEmpty());
        QTRY_VERIFY(!m_rig.item(u"searchField"_s)->hasActiveFocus());
        m_rig.app()->artistNavigation()->close();
        QTRY_VERIFY(!isShown(m_rig.item(u"artistLayer"_s)));

        QQuickItem *field = m_rig.item(u"searchField"_s);
        QVERIFY(click(m_rig.window(), field));
        QTRY_VERIFY(field->hasActiveFocus());
        QTest::keyClick(m_rig.window(), Qt::Key_Backspace);
        QTRY_COMPARE(search->query(), u"Nov"_s);
        QVERIFY(typeText(m_rig.window(), field, u"a"_s));
        QTRY_COMPARE(search->query(), u"Nova"_s);

        // Another section replaces the screen with its albums still shown.
        QTRY_COMPARE(search->loadState().state, LoadState::Loaded);
        m_rig.openSection(SidebarItem::Catalog);
        QTRY_VERIFY(m_rig.item(u"catalogList"_s));
    }

    void guestHeartAsksToSignIn()
    {
        QVERIFY(m_rig.launch());
        QTRY_VERIFY(m_rig.item(u"guestButton"_s));
        QVERIFY(click(m_rig.window(), m_rig.item(u"guestButton"_s)));
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        m_rig.openSection(SidebarItem::Catalog);
        QTRY_VERIFY(m_rig.item(u"catalogList"_s));
        auto *catalog = model<CatalogModel>(u"catalogScreen"_s, u"catalogModel"_s);
        QTRY_VERIFY(catalog && catalog->count() > 0);
        m_rig.service()->clearRequests();
        QQuickItem *first = rowOf(m_rig.item(u"catalogList"_s), 0);
        QVERIFY(click(m_rig.window(), findItem(first, u"trackFavorite"_s)));
        QTRY_VERIFY(isShown(m_rig.item(u"signInOk"_s)));
        QCOMPARE(m_rig.item(u"signInMessage"_s)->property("text").toString(),
            u"Войдите в аккаунт, чтобы добавлять треки в избранное."_s);
        m_rig.screenshot(u"catalog-guest-signin"_s);
        // Nothing was sent, and OK closes the alert for good.
        for (const RecordedRequest &request : m_rig.service()->requests())
            QVERIFY2(!request.path.contains(u"favorites"), qPrintable(request.path));
        QVERIFY(click(m_rig.window(), m_rig.item(u"signInOk"_s)));
        QTRY_VERIFY(!isShown(m_rig.item(u"signInOk"_s)));
        QCOMPARE(catalog->signInPrompt(), QString());
    }
};

QTEST_MAIN(TestCatalogueScreens)
#include "tst_cataloguescreens.moc"
