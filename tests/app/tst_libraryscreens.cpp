// The library screens in the program's own window over the local service,
// signed in as the demo user: the playlists screen with its cards, a
// playlist's tracks, the add-to-playlist sheet creating a playlist and
// adding a track to it (after one failed create), the favourites with a
// favourite taken out, and what a guest sees. Fails on any QML warning and
// writes a picture of each state into the screenshot folder.
#include "appcontext.h"

#include "account/authstore.h"
#include "account/playlistsstore.h"
#include "api/apiconfig.h"
#include "api/jsoncoding.h"
#include "player/playerstore.h"
#include "screens/mainnavigationmodel.h"
#include "screens/sidebaritem.h"
#include "screens/tracklistmodel.h"
#include "update/otaservice.h"

#include "devserviceprocess.h"
#include "fakeaudiobackend.h"
#include "memorysecretstore.h"
#include "qmlwarnings.h"
#include "screentest.h"
#include "testenv.h"

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

    std::unique_ptr<DevServiceProcess> m_service;
    std::unique_ptr<QmlWarnings> m_warnings;
    FakeAudioBackend m_audio;
    std::unique_ptr<AppContext> m_app;

    QQuickItem *item(const QString &objectName) const
    {
        return m_app && m_app->window() ? findItem(m_app->window(), objectName) : nullptr;
    }

    // Every shown item of that name, in tree order.
    QList<QQuickItem *> shownItems(const QString &objectName) const
    {
        QList<QQuickItem *> found;
        QList<QQuickItem *> queue {m_app->window()->contentItem()};
        while (!queue.isEmpty()) {
            QQuickItem *next = queue.takeFirst();
            if (next->objectName() == objectName && isShown(next))
                found.append(next);
            queue.append(next->childItems());
        }
        return found;
    }

    bool launch()
    {
        m_app.reset();
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        environment.audio = &m_audio;
        m_app = std::make_unique<AppContext>(environment);
        return m_app->start() && QTest::qWaitForWindowExposed(m_app->window());
    }

    void click(QQuickItem *target)
    {
        QVERIFY(target);
        QVERIFY2(isShown(target), qPrintable(target->objectName()));
        test::click(m_app->window(), target);
    }

    void openSection(SidebarItem section)
    {
        QQuickItem *main = item(u"mainView"_s);
        QVERIFY(main);
        auto *nav = main->findChild<MainNavigationModel *>(u"mainNavigation"_s);
        QVERIFY(nav);
        nav->navigateToSidebar(section);
    }

    void screenshot(const QString &name)
    {
        QTest::qWait(350);
        QVERIFY(saveScreenshot(m_app->window()->grabWindow(), name));
    }

    QString textOf(QQuickItem *item) const { return item ? item->property("text").toString() : QString(); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QQuickStyle::setStyle(u"Basic"_s);
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        APIConfig::setBaseURL(m_service->baseUrl());
        QSettings().setValue(QLatin1StringView(OtaService::settingsKey), m_service->baseUrl().toString());
        m_warnings = std::make_unique<QmlWarnings>();
    }

    void cleanup()
    {
        m_app.reset();
        const QStringList warnings = m_warnings->take();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

    void cleanupTestCase() { m_service.reset(); }

    void guestIsAskedToSignIn()
    {
        QVERIFY(launch());
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->continueAsGuest();
        QTRY_VERIFY(item(u"mainView"_s));
        openSection(SidebarItem::Favorites);
        QTRY_VERIFY(isShown(item(u"favoritesState"_s)));
        QCOMPARE(textOf(shownItems(u"stateTitle"_s).value(0)), u"Войдите в аккаунт"_s);
        screenshot(u"library-favourites-guest"_s);
        openSection(SidebarItem::Playlists);
        QTRY_VERIFY(isShown(item(u"playlistsSignIn"_s)));
        QVERIFY(!isShown(item(u"playlistsCreate"_s)));
        screenshot(u"library-playlists-guest"_s);
        // Nothing of a listener's library is asked for.
        for (const RecordedRequest &request : m_service->requests())
            QVERIFY2(!request.path.startsWith(u"/api/v1/favorites"_s) && !request.path.startsWith(u"/api/v1/playlists"_s),
                qPrintable(request.target));
    }

    // Create a playlist from the sheet (the first try refused), add the
    // track to it, and find it on the playlists screen and in its detail.
    void sheetCreatesAPlaylistThatShowsEverywhere()
    {
        QVERIFY(launch());
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));

        openSection(SidebarItem::Playlists);
        QTRY_COMPARE(shownItems(u"playlistRow"_s).size(), 2);
        QCOMPARE(textOf(shownItems(u"playlistRowCount"_s).value(0)), u"1 трек"_s);
        QCOMPARE(textOf(shownItems(u"playlistRowCount"_s).value(1)), u"30 треков"_s);
        screenshot(u"library-playlists"_s);

        // "В дорогу", the second row.
        click(shownItems(u"playlistRow"_s).value(1));
        QTRY_VERIFY(isShown(item(u"playlistDetailView"_s)));
        QTRY_COMPARE(item(u"playlistDetailList"_s)->property("count").toInt(), 30);
        QCOMPARE(textOf(item(u"backBarTitle"_s)), u"В дорогу"_s);
        screenshot(u"library-playlist-detail"_s);

        // The sheet for the detail's first row.
        QObject *sheet = item(u"playlistDetailView"_s)->findChild<QObject *>(u"addToPlaylistSheet"_s);
        QVERIFY(sheet);
        auto *tracks = qobject_cast<TrackListModel *>(item(u"playlistDetailList"_s)->property("model").value<QObject *>());
        QVERIFY(tracks);
        const QString trackId = tracks->trackAt(0).id;
        QVERIFY(QMetaObject::invokeMethod(sheet, "openFor", Q_ARG(QVariant, QVariant::fromValue<QObject *>(tracks)),
            Q_ARG(QVariant, 0)));
        QTRY_COMPARE(shownItems(u"addSheetRow"_s).size(), 2);
        QCOMPARE(textOf(shownItems(u"addSheetRowCount"_s).value(0)), u"1 треков"_s);

        QVERIFY(m_service->injectFault(QJsonObject {{"path"_L1, "/api/v1/playlists"_L1}, {"method"_L1, "POST"_L1},
            {"status"_L1, 500}, {"body"_L1, QJsonObject {{"detail"_L1, u"Сервис занят"_s}}}, {"count"_L1, 1}}));
        click(item(u"addSheetCreate"_s));
        QTRY_VERIFY(isShown(item(u"newPlaylistTitle"_s)));
        QVERIFY(!item(u"newPlaylistCreate"_s)->isEnabled());
        QVERIFY(typeText(m_app->window(), item(u"newPlaylistTitle"_s), u"  Road trip "_s));
        QTRY_VERIFY(item(u"newPlaylistCreate"_s)->isEnabled());
        click(item(u"newPlaylistCreate"_s));
        QTRY_COMPARE(textOf(item(u"newPlaylistError"_s)), u"Сервис занят"_s);
        QVERIFY(isShown(item(u"newPlaylistTitle"_s)));
        QCOMPARE(textOf(item(u"newPlaylistTitle"_s)), u"  Road trip "_s);
        screenshot(u"library-add-sheet-create-failed"_s);

        // The same action again.
        click(item(u"newPlaylistCreate"_s));
        QTRY_VERIFY(!isShown(item(u"newPlaylistTitle"_s)));
        QTRY_COMPARE(shownItems(u"addSheetRow"_s).size(), 3);
        QTRY_VERIFY(isShown(item(u"addSheetRowCheck"_s)));
        QCOMPARE(textOf(shownItems(u"addSheetRowTitle"_s).value(0)), u"Road trip"_s);
        QTRY_COMPARE(textOf(shownItems(u"addSheetRowCount"_s).value(0)), u"1 треков"_s);
        screenshot(u"library-add-sheet"_s);
        click(item(u"addSheetDone"_s));
        QTRY_VERIFY(!sheet->property("visible").toBool());

        // Back on the playlists screen the new playlist leads, counted.
        click(item(u"backButton"_s));
        QTRY_COMPARE(shownItems(u"playlistRow"_s).size(), 3);
        QCOMPARE(textOf(shownItems(u"playlistRowTitle"_s).value(0)), u"Road trip"_s);
        QTRY_COMPARE(textOf(shownItems(u"playlistRowCount"_s).value(0)), u"1 трек"_s);
        click(shownItems(u"playlistRow"_s).value(0));
        QTRY_COMPARE(item(u"playlistDetailList"_s)->property("count").toInt(), 1);
        auto *detail = qobject_cast<TrackListModel *>(item(u"playlistDetailList"_s)->property("model").value<QObject *>());
        QCOMPARE(detail->trackAt(0).id, trackId);

        // An empty playlist made from the playlists screen.
        click(item(u"backButton"_s));
        QTRY_VERIFY(isShown(item(u"playlistsCreate"_s)));
        click(item(u"playlistsCreate"_s));
        QTRY_VERIFY(isShown(item(u"newPlaylistTitle"_s)));
        QVERIFY(typeText(m_app->window(), item(u"newPlaylistTitle"_s), u"Empty"_s));
        click(item(u"newPlaylistCreate"_s));
        QTRY_COMPARE(shownItems(u"playlistRow"_s).size(), 4);
        click(shownItems(u"playlistRow"_s).value(0));
        QTRY_COMPARE(textOf(shownItems(u"stateTitle"_s).value(0)), u"Пусто"_s);
        QVERIFY(!isShown(item(u"playlistPlay"_s)));
        screenshot(u"library-playlist-empty"_s);

        // A smart playlist from its card.
        click(item(u"backButton"_s));
        QTRY_VERIFY(isShown(item(u"smartCard_favorites"_s)));
        click(item(u"smartCard_favorites"_s));
        QTRY_COMPARE(item(u"smartPlaylistList"_s)->property("count").toInt(), 12);
        QCOMPARE(textOf(item(u"backBarTitle"_s)), u"❤️ Избранное"_s);
        screenshot(u"library-smart-favourites"_s);
    }

    // Taking a favourite out on the favourites screen clears its heart in
    // every other list that shows the track.
    void favouriteRemovedFromItsRow()
    {
        QVERIFY(launch());
        QTRY_VERIFY(item(u"loginView"_s));
        m_app->auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(item(u"mainView"_s));
        openSection(SidebarItem::Favorites);
        QTRY_VERIFY(item(u"favoritesList"_s) && item(u"favoritesList"_s)->property("count").toInt() >= 11);
        screenshot(u"library-favourites"_s);
        auto *favourites = qobject_cast<TrackListModel *>(item(u"favoritesList"_s)->property("model").value<QObject *>());
        const int before = favourites->count();
        const TrackOut first = favourites->trackAt(0);
        QVERIFY(first.isFavorite);
        // Another list showing the same track (the catalogue's, say).
        TrackListModel elsewhere;
        elsewhere.setTracks({first});

        click(shownItems(u"trackFavorite"_s).value(0));
        QTRY_COMPARE(favourites->count(), before - 1);
        QCOMPARE(favourites->rowOf(first.id), -1);
        QVERIFY(!elsewhere.trackAt(0).isFavorite);
        const QString token = m_service->signIn();
        QCOMPARE(m_service->get(u"/api/v1/tracks/"_s + first.id, token).object().value(u"is_favorite"_s).toBool(), false);

        // A cover plays its track within the list and opens the player.
        click(shownItems(u"trackArtwork"_s).value(1));
        QTRY_VERIFY(m_app->player()->currentTrack().has_value());
        QCOMPARE(m_app->player()->currentTrack()->id, favourites->trackAt(1).id);
        QVERIFY(m_app->player()->isFullscreenPresented());
        QCOMPARE(m_app->player()->queueModel()->count(), favourites->count());
    }

    void favouritesEmptyForANewListener()
    {
        QVERIFY(launch());
        QTRY_VERIFY(item(u"loginView"_s));
        const DevServiceReply registered = m_service->call("POST", u"/api/v1/auth/register"_s,
            R"({"username": "newcomer", "email": "n@nimbra.local", "password": "password1"})");
        QCOMPARE(registered.status, 200);
        m_app->auth()->login(u"newcomer"_s, u"password1"_s);
        QTRY_VERIFY(item(u"mainView"_s));
        openSection(SidebarItem::Favorites);
        QTRY_COMPARE(textOf(shownItems(u"stateTitle"_s).value(0)), u"Пока пусто"_s);
        screenshot(u"library-favourites-empty"_s);
        openSection(SidebarItem::Playlists);
        QTRY_VERIFY(isShown(item(u"playlistsEmpty"_s)));
        screenshot(u"library-playlists-empty"_s);
    }
};

QTEST_MAIN(TestLibraryScreens)
#include "tst_libraryscreens.moc"
