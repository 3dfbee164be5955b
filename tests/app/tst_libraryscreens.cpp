// The library screens in the program's own window over the local service,
// signed in as the demo user: the playlists screen with its cards, a
// playlist's tracks, the add-to-playlist sheet creating a playlist and
// adding a track to it (after one failed create), the favourites with a
// favourite taken out, what a guest sees, and a long list of playlists
// with the sheet over it. Fails on any QML warning and writes a picture of
// each state into the screenshot folder.
#include "account/authstore.h"
#include "collection/playlistsstore.h"
#include "api/jsoncoding.h"
#include "player/playerstore.h"
#include "tracks/tracklistmodel.h"

#include "apprig.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestLibraryScreens : public QObject
{
    Q_OBJECT

    AppRig m_rig;

private slots:
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s}); }
    void cleanup() { m_rig.finishTest(false); }
    void cleanupTestCase() { m_rig.stopService(); }

    void guestIsAskedToSignIn()
    {
        QVERIFY(m_rig.launch());
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        m_rig.app()->auth()->continueAsGuest();
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        m_rig.openSection(SidebarItem::Favorites);
        QTRY_VERIFY(isShown(m_rig.item(u"favoritesState"_s)));
        QCOMPARE(m_rig.textOf(m_rig.shownItems(u"stateTitle"_s).value(0)), u"Войдите в аккаунт"_s);
        m_rig.screenshot(u"library-favourites-guest"_s);
        m_rig.openSection(SidebarItem::Playlists);
        QTRY_VERIFY(isShown(m_rig.item(u"playlistsSignIn"_s)));
        QVERIFY(!isShown(m_rig.item(u"playlistsCreate"_s)));
        m_rig.screenshot(u"library-playlists-guest"_s);
        // Nothing of a listener's library is asked for.
        for (const RecordedRequest &request : m_rig.service()->requests())
            QVERIFY2(!request.path.startsWith(u"/api/v1/favorites"_s) && !request.path.startsWith(u"/api/v1/playlists"_s),
                qPrintable(request.target));
    }

    // Create a playlist from the sheet (the first try refused), add the
    // track to it, and find it on the playlists screen and in its detail.
    void sheetCreatesAPlaylistThatShowsEverywhere()
    {
        m_rig.launchSignedIn();

        m_rig.openSection(SidebarItem::Playlists);
        QTRY_COMPARE(m_rig.shownItems(u"playlistRow"_s).size(), 2);
        QCOMPARE(m_rig.textOf(m_rig.shownItems(u"playlistRowCount"_s).value(0)), u"1 трек"_s);
        QCOMPARE(m_rig.textOf(m_rig.shownItems(u"playlistRowCount"_s).value(1)), u"30 треков"_s);
        m_rig.screenshot(u"library-playlists"_s);

        // "В дорогу", the second row.
        m_rig.click(m_rig.shownItems(u"playlistRow"_s).value(1));
        QTRY_VERIFY(isShown(m_rig.item(u"playlistDetailView"_s)));
        QTRY_COMPARE(m_rig.item(u"playlistDetailList"_s)->property("count").toInt(), 30);
        QCOMPARE(m_rig.textOf(m_rig.item(u"backBarTitle"_s)), u"В дорогу"_s);
        m_rig.screenshot(u"library-playlist-detail"_s);

        // The sheet for the detail's first row.
        QObject *sheet = m_rig.item(u"playlistDetailView"_s)->findChild<QObject *>(u"addToPlaylistSheet"_s);
        QVERIFY(sheet);
        auto *tracks = qobject_cast<TrackListModel *>(m_rig.item(u"playlistDetailList"_s)->property("model").value<QObject *>());
        QVERIFY(tracks);
        const QString trackId = tracks->trackAt(0).id;
        QVERIFY(QMetaObject::invokeMethod(sheet, "openFor", Q_ARG(QVariant, QVariant::fromValue<QObject *>(tracks)),
            Q_ARG(QVariant, 0)));
        QTRY_COMPARE(m_rig.shownItems(u"addSheetRow"_s).size(), 2);
        QCOMPARE(m_rig.textOf(m_rig.shownItems(u"addSheetRowCount"_s).value(0)), u"1 трек"_s);

        QVERIFY(m_rig.service()->injectFault(QJsonObject {{"path"_L1, "/api/v1/playlists"_L1}, {"method"_L1, "POST"_L1},
            {"status"_L1, 500}, {"body"_L1, QJsonObject {{"detail"_L1, u"Сервис занят"_s}}}, {"count"_L1, 1}}));
        m_rig.click(m_rig.item(u"addSheetCreate"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"newPlaylistTitle"_s)));
        QVERIFY(!m_rig.item(u"newPlaylistCreate"_s)->isEnabled());
        QVERIFY(typeText(m_rig.window(), m_rig.item(u"newPlaylistTitle"_s), u"  Road trip "_s));
        QTRY_VERIFY(m_rig.item(u"newPlaylistCreate"_s)->isEnabled());
        m_rig.click(m_rig.item(u"newPlaylistCreate"_s));
        QTRY_COMPARE(m_rig.textOf(m_rig.item(u"newPlaylistError"_s)), u"Сервис занят"_s);
        QVERIFY(isShown(m_rig.item(u"newPlaylistTitle"_s)));
        QCOMPARE(m_rig.textOf(m_rig.item(u"newPlaylistTitle"_s)), u"  Road trip "_s);
        m_rig.screenshot(u"library-add-sheet-create-failed"_s);

        // The same action again.
        m_rig.click(m_rig.item(u"newPlaylistCreate"_s));
        QTRY_VERIFY(!isShown(m_rig.item(u"newPlaylistTitle"_s)));
        QTRY_COMPARE(m_rig.shownItems(u"addSheetRow"_s).size(), 3);
        QTRY_VERIFY(isShown(m_rig.item(u"addSheetRowCheck"_s)));
        QCOMPARE(m_rig.textOf(m_rig.shownItems(u"addSheetRowTitle"_s).value(0)), u"Road trip"_s);
        QTRY_COMPARE(m_rig.textOf(m_rig.shownItems(u"addSheetRowCount"_s).value(0)), u"1 трек"_s);
        m_rig.screenshot(u"library-add-sheet"_s);
        m_rig.click(m_rig.item(u"addSheetDone"_s));
        QTRY_VERIFY(!sheet->property("visible").toBool());

        // Back on the playlists screen the new playlist leads, counted.
        m_rig.click(m_rig.item(u"backButton"_s));
        QTRY_COMPARE(m_rig.shownItems(u"playlistRow"_s).size(), 3);
        QCOMPARE(m_rig.textOf(m_rig.shownItems(u"playlistRowTitle"_s).value(0)), u"Road trip"_s);
        QTRY_COMPARE(m_rig.textOf(m_rig.shownItems(u"playlistRowCount"_s).value(0)), u"1 трек"_s);
        m_rig.click(m_rig.shownItems(u"playlistRow"_s).value(0));
        QTRY_COMPARE(m_rig.item(u"playlistDetailList"_s)->property("count").toInt(), 1);
        auto *detail = qobject_cast<TrackListModel *>(m_rig.item(u"playlistDetailList"_s)->property("model").value<QObject *>());
        QCOMPARE(detail->trackAt(0).id, trackId);

        // An empty playlist made from the playlists screen.
        m_rig.click(m_rig.item(u"backButton"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"playlistsCreate"_s)));
        m_rig.click(m_rig.item(u"playlistsCreate"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"newPlaylistTitle"_s)));
        QVERIFY(typeText(m_rig.window(), m_rig.item(u"newPlaylistTitle"_s), u"Empty"_s));
        m_rig.click(m_rig.item(u"newPlaylistCreate"_s));
        QTRY_COMPARE(m_rig.shownItems(u"playlistRow"_s).size(), 4);
        m_rig.click(m_rig.shownItems(u"playlistRow"_s).value(0));
        QTRY_COMPARE(m_rig.textOf(m_rig.shownItems(u"stateTitle"_s).value(0)), u"Пусто"_s);
        QVERIFY(!isShown(m_rig.item(u"playlistPlay"_s)));
        m_rig.screenshot(u"library-playlist-empty"_s);

        // A smart playlist from its card.
        m_rig.click(m_rig.item(u"backButton"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"smartCard_favorites"_s)));
        m_rig.click(m_rig.item(u"smartCard_favorites"_s));
        QTRY_COMPARE(m_rig.item(u"smartPlaylistList"_s)->property("count").toInt(), 12);
        QCOMPARE(m_rig.textOf(m_rig.item(u"backBarTitle"_s)), u"Избранное"_s);
        // The heart in colour, as on the card: the title's own font has a
        // plain one.
        const QList<QQuickItem *> emojis = m_rig.shownItems(u"titleEmoji"_s);
        QCOMPARE(emojis.size(), 1);
        QQuickItem *emoji = emojis.first();
        QCOMPARE(m_rig.textOf(emoji), u"❤️"_s);
        QCOMPARE(emoji->property("font").value<QFont>().family(), u"Noto Color Emoji"_s);
        m_rig.screenshot(u"library-smart-favourites"_s);
    }

    // Taking a favourite out on the favourites screen clears its heart in
    // every other list that shows the track.
    void favouriteRemovedFromItsRow()
    {
        m_rig.launchSignedIn();
        m_rig.openSection(SidebarItem::Favorites);
        QTRY_VERIFY(m_rig.item(u"favoritesList"_s) && m_rig.item(u"favoritesList"_s)->property("count").toInt() >= 11);
        m_rig.screenshot(u"library-favourites"_s);
        auto *favourites = qobject_cast<TrackListModel *>(m_rig.item(u"favoritesList"_s)->property("model").value<QObject *>());
        const int before = favourites->count();
        const TrackOut first = favourites->trackAt(0);
        QVERIFY(first.isFavorite);
        // Another list showing the same track (the catalogue's, say).
        TrackListModel elsewhere;
        elsewhere.setTracks({first});

        QQuickItem *list = m_rig.item(u"favoritesList"_s);
        m_rig.click(findItem(m_rig.rowItem(list, 0), u"trackFavorite"_s));
        QTRY_COMPARE(favourites->count(), before - 1);
        QCOMPARE(favourites->rowOf(first.id), -1);
        QVERIFY(!elsewhere.trackAt(0).isFavorite);
        const QString token = m_rig.service()->signIn();
        QCOMPARE(m_rig.service()->get(u"/api/v1/tracks/"_s + first.id, token).object().value(u"is_favorite"_s).toBool(), false);

        // The pointer moved onto a row readies the output for the press to
        // come; a cover plays its track within the list and opens the player.
        QQuickItem *second = m_rig.rowItem(list, 1);
        QVERIFY(waitUntilStill(second));
        QTest::mouseMove(m_rig.window(), second->mapToScene(QPointF(second->width() / 2, second->height() / 2)).toPoint());
        QTRY_VERIFY(m_rig.audio().readiedLives());
        m_rig.click(findItem(second, u"trackArtwork"_s));
        QTRY_VERIFY(m_rig.app()->player()->currentTrack().has_value());
        QCOMPARE(m_rig.app()->player()->currentTrack()->id, favourites->trackAt(1).id);
        QVERIFY(m_rig.app()->player()->isFullscreenPresented());
        QCOMPARE(m_rig.app()->player()->queue().size(), favourites->count());
    }

    void favouritesEmptyForANewListener()
    {
        QVERIFY(m_rig.launch());
        QTRY_VERIFY(m_rig.item(u"loginView"_s));
        const DevServiceReply registered = m_rig.service()->call("POST", u"/api/v1/auth/register"_s,
            R"({"username": "newcomer", "email": "n@nimbra.local", "password": "password1"})");
        QCOMPARE(registered.status, 200);
        m_rig.app()->auth()->login(u"newcomer"_s, u"password1"_s);
        QTRY_VERIFY(m_rig.item(u"mainView"_s));
        m_rig.openSection(SidebarItem::Favorites);
        QTRY_COMPARE(m_rig.textOf(m_rig.shownItems(u"stateTitle"_s).value(0)), u"Пока пусто"_s);
        m_rig.screenshot(u"library-favourites-empty"_s);
        m_rig.openSection(SidebarItem::Playlists);
        QTRY_VERIFY(isShown(m_rig.item(u"playlistsEmpty"_s)));
        m_rig.screenshot(u"library-playlists-empty"_s);
    }

    // With the service failing, each of the listener's lists shows the
    // failure and its retry, never "nothing here"; the retry brings the list.
    void listsWithTheServiceDownShowTheirFailure()
    {
        m_rig.launchSignedIn();
        for (const char *path : {"/api/v1/playlists*", "/api/v1/favorites*"})
            QVERIFY(m_rig.service()->injectFault(QJsonObject {{u"path"_s, QString::fromLatin1(path)}, {u"status"_s, 503}}));
        m_rig.openSection(SidebarItem::Playlists);
        QTRY_VERIFY(isShown(m_rig.item(u"playlistsFailure"_s)));
        QVERIFY(!isShown(m_rig.item(u"playlistsEmpty"_s)));
        QCOMPARE(m_rig.textOf(findItem(m_rig.item(u"playlistsFailure"_s), u"stateText"_s)), u"Injected fault"_s);
        m_rig.screenshot(u"library-playlists-failed"_s);

        m_rig.click(m_rig.item(u"smartCard_favorites"_s));
        QTRY_COMPARE(m_rig.textOf(m_rig.shownItems(u"stateText"_s).value(0)), u"Injected fault"_s);
        QVERIFY(isShown(m_rig.shownItems(u"stateRetry"_s).value(0)));
        m_rig.screenshot(u"library-smart-favourites-failed"_s);

        m_rig.click(m_rig.item(u"backButton"_s));
        QTRY_VERIFY(isShown(m_rig.item(u"playlistsFailure"_s)));
        m_rig.service()->clearFaults();
        m_rig.click(findItem(m_rig.item(u"playlistsFailure"_s), u"stateRetry"_s));
        QTRY_VERIFY(!m_rig.shownItems(u"playlistRow"_s).isEmpty());
        QVERIFY(!isShown(m_rig.item(u"playlistsFailure"_s)));

        QVERIFY(m_rig.service()->injectFault(QJsonObject {{u"path"_s, u"/api/v1/playlists/*"_s}, {u"status"_s, 500}}));
        m_rig.click(m_rig.shownItems(u"playlistRow"_s).value(0));
        QTRY_COMPARE(m_rig.textOf(m_rig.shownItems(u"stateText"_s).value(0)), u"Injected fault"_s);
        QVERIFY(isShown(m_rig.shownItems(u"stateRetry"_s).value(0)));
        m_rig.screenshot(u"library-playlist-failed"_s);
        m_rig.service()->clearFaults();
    }

    // A listener with many playlists. On the playlists screen the cards are
    // the first section of the list: scrolled down, they leave with the rows
    // above them. (Last, since the playlists it makes stay with the demo
    // user.)
    void aLongListOfPlaylists()
    {
        const QString token = m_rig.service()->signIn();
        for (int i = 0; i < 20; ++i) {
            const QJsonObject playlist {{u"title"_s, u"Подборка %1"_s.arg(i)}, {u"is_public"_s, false}};
            QCOMPARE(m_rig.service()->call("POST", u"/api/v1/playlists"_s, QJsonDocument(playlist).toJson(), token).status,
                200);
        }
        m_rig.launchSignedIn();
        m_rig.openSection(SidebarItem::Playlists);
        QQuickItem *list = m_rig.item(u"playlistsList"_s);
        QTRY_VERIFY(list && list->property("count").toInt() >= 22);
        QQuickItem *card = m_rig.item(u"smartCard_wave"_s);
        QVERIFY(isShown(card));
        // Whole at first, the section's title too, though the rows came
        // after the cards.
        const qreal listTop = list->mapToScene(QPointF()).y();
        auto *cards = list->property("headerItem").value<QQuickItem *>();
        QVERIFY(cards && cards->isAncestorOf(card));
        QCOMPARE(cards->mapToScene(QPointF()).y(), listTop);

        QVERIFY(QMetaObject::invokeMethod(list, "positionViewAtEnd"));
        QTRY_VERIFY(card->mapToScene(QPointF(0, card->height())).y() <= listTop);
        QVERIFY(!m_rig.shownItems(u"playlistRow"_s).isEmpty());
        m_rig.screenshot(u"library-playlists-scrolled"_s);

        // The sheet over the same long list: a refused add leaves its
        // message over the foot of the list, which still scrolls its last
        // row clear of it; the next add that works takes the message away.
        const QList<PlaylistOut> playlists = m_rig.app()->playlists()->playlists();
        const auto onTheRoad = std::find_if(playlists.cbegin(), playlists.cend(),
            [](const PlaylistOut &playlist) { return playlist.title == u"В дорогу"_s; });
        QVERIFY(onTheRoad != playlists.cend());
        m_rig.click(findItem(m_rig.rowItem(list, int(onTheRoad - playlists.cbegin())), u"playlistRow"_s));
        QTRY_COMPARE(m_rig.item(u"playlistDetailList"_s)->property("count").toInt(), 30);
        QObject *sheet = m_rig.item(u"playlistDetailView"_s)->findChild<QObject *>(u"addToPlaylistSheet"_s);
        auto *tracks = qobject_cast<TrackListModel *>(m_rig.item(u"playlistDetailList"_s)->property("model").value<QObject *>());
        QVERIFY(sheet && tracks);
        QVERIFY(QMetaObject::invokeMethod(sheet, "openFor", Q_ARG(QVariant, QVariant::fromValue<QObject *>(tracks)),
            Q_ARG(QVariant, 0)));
        QQuickItem *sheetList = m_rig.item(u"addSheetList"_s);
        QTRY_VERIFY(isShown(sheetList) && sheetList->property("count").toInt() >= 22);
        const QString refused = playlists.first().id;
        QVERIFY(m_rig.service()->injectFault(QJsonObject {{"path"_L1, u"/api/v1/playlists/%1/tracks"_s.arg(refused)},
            {"method"_L1, "POST"_L1}, {"status"_L1, 503}, {"body"_L1, QJsonObject {{"detail"_L1, u"Сервис занят"_s}}}}));
        m_rig.click(m_rig.rowItem(sheetList, 0));
        QTRY_COMPARE(m_rig.textOf(m_rig.item(u"addSheetError"_s)), u"Сервис занят"_s);
        QQuickItem *banner = m_rig.item(u"addSheetErrorBanner"_s);
        QTRY_VERIFY(isShown(banner));
        m_rig.screenshot(u"library-add-sheet-add-failed"_s);
        const int last = sheetList->property("count").toInt() - 1;
        QQuickItem *lastRow = m_rig.rowItem(sheetList, last);
        // As far down as a wheel takes it.
        const auto scrolledToEnd = [sheetList] {
            const qreal end = sheetList->property("originY").toReal() + sheetList->property("contentHeight").toReal()
                + sheetList->property("bottomMargin").toReal() - sheetList->height();
            sheetList->setProperty("contentY", end);
            return sheetList->property("atYEnd").toBool();
        };
        QTRY_VERIFY(scrolledToEnd());
        QTRY_VERIFY(lastRow->mapToScene(QPointF(0, lastRow->height())).y() <= banner->mapToScene(QPointF()).y());

        const qreal lastRowTop = lastRow->mapToScene(QPointF()).y();
        m_rig.click(lastRow);
        QTRY_VERIFY(!isShown(banner));
        QCOMPARE(m_rig.textOf(m_rig.item(u"addSheetError"_s)), QString());
        QTRY_VERIFY(isShown(findItem(lastRow, u"addSheetRowCheck"_s)));
        QVERIFY(waitUntilStill(lastRow));
        QCOMPARE(lastRow->mapToScene(QPointF()).y(), lastRowTop);
        m_rig.screenshot(u"library-add-sheet-add-cleared"_s);
        m_rig.service()->clearFaults();
    }
};

QTEST_MAIN(TestLibraryScreens)
#include "tst_libraryscreens.moc"
