// The main window's rules without QML: the ten sections, the one way to
// change section and what it closes, which layers show with which insets,
// and the profile card's texts.
#include "api/session.h"
#include "api/storeregistry.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "platform/iconmap.h"
#include "player/playerstore.h"
#include "shell/mainnavigationmodel.h"
#include "shell/sidebaritem.h"
#include "shell/sidebaritemmodel.h"
#include "update/otaupdatestore.h"

#include "authsession.h"
#include "fakeaudiobackend.h"
#include "fakehttpserver.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

UserOut makeUser(const QString &name)
{
    UserOut user;
    user.id = u"id-"_s + name;
    user.username = name;
    user.role = u"user"_s;
    return user;
}

// The stores the main window reads, registered before the model over them
// is made.
struct Window
{
    Window()
    {
        StoreRegistry::set(session.auth.get());
        StoreRegistry::set(&player);
        StoreRegistry::set(&clips);
        StoreRegistry::set(&artists);
        StoreRegistry::set(&updates);
        model = std::make_unique<MainNavigationModel>();
    }

    void playTrack() { player.play(makeTrack(u"t1"_s), {}); }

    AuthSession session;
    FakeAudioBackend audio;
    Session playerSession;
    PlayerStore player {&audio, &playerSession};
    ClipPlayerStore clips;
    ArtistNavigationStore artists;
    OtaUpdateStore updates;
    std::unique_ptr<MainNavigationModel> model;
};

} // namespace

class TestMainNavigation : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init() { m_server->clearRequests(); }

    void sectionsInSidebarOrderWithDrawableIcons()
    {
        const QStringList titles {u"Главная"_s, u"Каталог"_s, u"Поиск"_s, u"Избранное"_s, u"Плейлисты"_s, u"Альбомы"_s,
            u"Клипы"_s, u"Баттлы"_s, u"Профиль"_s, u"Настройки"_s};
        const auto entries = sidebarEntries();
        QCOMPARE(qsizetype(entries.size()), titles.size());
        for (qsizetype i = 0; i < titles.size(); ++i) {
            const SidebarEntry &entry = entries[size_t(i)];
            QCOMPARE(int(entry.item), int(i));
            QCOMPARE(entry.title.toString(), titles.at(i));
            QCOMPARE(sidebarItemFromTitle(titles.at(i)), std::optional(entry.item));
            // Icons come from C++, out of sight of the QML icon scan.
            QVERIFY2(!IconMap::glyph(entry.icon.toString()).isEmpty(), qPrintable(entry.icon.toString()));
        }
        // Only Catalog and Favourites show their screen without a page stack.
        for (const SidebarEntry &entry : entries)
            QCOMPARE(entry.navigationStack, entry.item != SidebarItem::Catalog && entry.item != SidebarItem::Favorites);
    }

    void titlesMatchExactly_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("lower case") << u"главная"_s;
        QTest::newRow("padded") << u" Главная"_s;
        QTest::newRow("Latin look-alike") << u"Kлипы"_s;
    }

    void titlesMatchExactly()
    {
        QFETCH(QString, title);
        QCOMPARE(sidebarItemFromTitle(title), std::nullopt);
    }

    void sidebarRowsMarkTheSelection()
    {
        SidebarItemModel rows;
        QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(rows.rowCount(), 10);
        const auto selected = [&rows] {
            QList<int> found;
            for (int row = 0; row < rows.rowCount(); ++row)
                if (rows.data(rows.index(row), SidebarItemModel::IsSelectedRole).toBool())
                    found.append(row);
            return found;
        };
        QCOMPARE(selected(), QList<int> {0});

        QSignalSpy changed(&rows, &QAbstractItemModel::dataChanged);
        rows.setSelection(SidebarItem::Clips);
        QCOMPARE(selected(), QList<int> {6});
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 0);
        QCOMPARE(changed.at(1).at(0).toModelIndex().row(), 6);

        rows.setSelection(SidebarItem::Clips);
        QCOMPARE(changed.size(), 2);
    }

    void navigationClosesWhatCoversTheScreens_data()
    {
        QTest::addColumn<bool>("fullscreen");
        QTest::addColumn<bool>("clipFullscreen");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<SidebarItem>("target");
        QTest::addColumn<bool>("fullscreenAfter");
        QTest::addColumn<bool>("clipFullscreenAfter");

        QTest::newRow("another section closes the player")
            << true << false << QString() << SidebarItem::Catalog << false << false;
        QTest::newRow("the same section leaves the player open")
            << true << false << QString() << SidebarItem::Home << true << false;
        QTest::newRow("another section shrinks the clip")
            << false << true << QString() << SidebarItem::Search << false << false;
        QTest::newRow("the same section closes the artist page too")
            << false << false << u"Mokko"_s << SidebarItem::Home << false << false;
        QTest::newRow("everything at once") << true << true << u"Сахар"_s << SidebarItem::Profile << false << false;
        QTest::newRow("the same section with everything open")
            << true << true << u"Сахар"_s << SidebarItem::Home << true << true;
    }

    void navigationClosesWhatCoversTheScreens()
    {
        QFETCH(bool, fullscreen);
        QFETCH(bool, clipFullscreen);
        QFETCH(QString, artist);
        QFETCH(SidebarItem, target);
        QFETCH(bool, fullscreenAfter);
        QFETCH(bool, clipFullscreenAfter);

        Window window;
        window.playTrack();
        window.player.setFullscreenPresented(fullscreen);
        window.player.setFullscreenWantsLyrics(fullscreen);
        window.clips.setFullscreen(clipFullscreen);
        window.artists.setPresentedArtistName(artist);
        QCOMPARE(window.model->showsArtistPage(), !artist.isEmpty());
        QCOMPARE(window.model->presentedArtistName(), artist);

        QSignalSpy selection(window.model.get(), &MainNavigationModel::selectionChanged);
        window.model->navigateToSidebar(target);

        QCOMPARE(window.model->selection(), target);
        QCOMPARE(selection.size(), target == SidebarItem::Home ? 0 : 1);
        QCOMPARE(window.player.isFullscreenPresented(), fullscreenAfter);
        // Closing the player also drops its request for the lyrics.
        QCOMPARE(window.player.fullscreenWantsLyrics(), fullscreenAfter);
        QCOMPARE(window.clips.isFullscreen(), clipFullscreenAfter);
        QVERIFY(window.artists.presentedArtistName().isNull());
        QVERIFY(!window.model->showsArtistPage());
    }

    void layersFollowTheStores_data()
    {
        QTest::addColumn<bool>("track");
        QTest::addColumn<bool>("fullscreen");
        QTest::addColumn<bool>("clipFullscreen");
        QTest::addColumn<bool>("miniPlayer");
        QTest::addColumn<bool>("fullscreenPlayer");

        QTest::newRow("nothing") << false << false << false << false << false;
        QTest::newRow("a track") << true << false << false << true << false;
        QTest::newRow("fullscreen player") << true << true << false << false << true;
        QTest::newRow("fullscreen clip") << true << false << true << false << false;
        QTest::newRow("both fullscreen") << true << true << true << false << true;
        // Asked for with nothing to play: no player, and nothing is dimmed
        // or blocked under a layer that is not there.
        QTest::newRow("fullscreen without a track") << false << true << false << false << false;
    }

    void layersFollowTheStores()
    {
        QFETCH(bool, track);
        QFETCH(bool, fullscreen);
        QFETCH(bool, clipFullscreen);
        QFETCH(bool, miniPlayer);
        QFETCH(bool, fullscreenPlayer);

        Window window;
        if (track)
            window.playTrack();
        window.player.setFullscreenPresented(fullscreen);
        window.clips.setFullscreen(clipFullscreen);

        const MainNavigationModel &model = *window.model;
        QCOMPARE(model.showsMiniPlayer(), miniPlayer);
        QCOMPARE(model.showsFullscreenPlayer(), fullscreenPlayer);
        QCOMPARE(model.contentOpacity(), fullscreenPlayer ? 0.35 : 1.0);
        QCOMPARE(model.contentEnabled(), !fullscreenPlayer);
        QCOMPARE(model.splitViewOpacity(), clipFullscreen ? 0.0 : 1.0);
        QCOMPARE(model.splitViewInteractive(), !clipFullscreen);
    }

    void layoutSignalsOnlyRealChanges()
    {
        Window window;
        QSignalSpy layout(window.model.get(), &MainNavigationModel::layoutChanged);
        // Without a track the request changes nothing that is shown.
        window.player.setFullscreenPresented(true);
        window.player.setFullscreenPresented(false);
        QCOMPARE(layout.size(), 0);
        window.playTrack();
        QCOMPARE(layout.size(), 1);
        QVERIFY(window.model->showsMiniPlayer());
        window.player.setFullscreenPresented(true);
        QCOMPARE(layout.size(), 2);
        QVERIFY(!window.model->showsMiniPlayer());
    }

    void artistPageBlocksTheScreenUnderIt()
    {
        Window window;
        window.playTrack();
        window.artists.open(u"  Mokko\n"_s);
        QVERIFY(window.model->showsArtistPage());
        QCOMPARE(window.model->presentedArtistName(), u"Mokko"_s);
        QVERIFY(!window.model->contentEnabled());
        // Not dimmed, and the mini player keeps its room under the page.
        QCOMPARE(window.model->contentOpacity(), 1.0);
        QVERIFY(window.model->showsMiniPlayer());
        // The fullscreen player opens in front of the page; closing it
        // shows the page again.
        window.player.setFullscreenPresented(true);
        QVERIFY(window.model->showsFullscreenPlayer());
        QVERIFY(window.model->showsArtistPage());
        window.player.dismissFullscreen();
        QVERIFY(window.model->showsArtistPage());
        window.artists.close();
        QVERIFY(window.model->contentEnabled());
    }

    void updateStripFollowsTheOffer()
    {
        Window window;
        QVERIFY(!window.model->showsUpdateBanner());
        OtaManifest manifest;
        manifest.versionCode = 42;
        manifest.versionName = u"1.4"_s;
        manifest.downloadUrl = u"https://example.org/Nimbra.dmg"_s;
        window.updates.setAvailableManifest(manifest);
        QVERIFY(window.model->showsUpdateBanner());
        window.updates.dismissAvailableManifest();
        QVERIFY(!window.model->showsUpdateBanner());
    }

    void aStoreThatGoesAwayCountsAsNone()
    {
        Window window;
        auto clips = std::make_unique<ClipPlayerStore>();
        StoreRegistry::set(clips.get());
        window.model = std::make_unique<MainNavigationModel>();
        clips->setFullscreen(true);
        QCOMPARE(window.model->splitViewOpacity(), 0.0);
        clips.reset();
        QCOMPARE(window.model->splitViewOpacity(), 1.0);
        QCOMPARE(window.model->clipPlayer(), nullptr);
        window.model->navigateToSidebar(SidebarItem::Albums);
        QCOMPARE(window.model->selection(), SidebarItem::Albums);
    }

    void profileCard_data()
    {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("avatar");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("avatarUrl"); // "<base>" stands for the base address

        QTest::newRow("relative avatar") << u"demo"_s << u"media/avatars/u1.png"_s << u"D"_s
                                         << u"<base>/media/avatars/u1.png"_s;
        QTest::newRow("absolute avatar") << u"ёжик"_s << u"https://cdn.example.org/a.png"_s << u"Ё"_s
                                         << u"https://cdn.example.org/a.png"_s;
        QTest::newRow("no avatar") << u"anna"_s << QString() << u"A"_s << QString();
        QTest::newRow("accent as its own code point") << u"e\u0301lan"_s << QString() << u"E\u0301"_s << QString();
        QTest::newRow("empty name") << QString() << QString() << QString() << QString();
    }

    void profileCard()
    {
        QFETCH(QString, username);
        QFETCH(QString, avatar);
        QFETCH(QString, initial);
        QFETCH(QString, avatarUrl);

        Window window;
        QVERIFY(!window.model->showsProfileCard());
        QSignalSpy profile(window.model.get(), &MainNavigationModel::profileChanged);
        UserOut user = makeUser(username);
        if (!avatar.isNull())
            user.avatarUrl = avatar;
        window.session.auth->setUser(user);

        QCOMPARE(profile.size(), 1);
        QVERIFY(window.model->showsProfileCard());
        QCOMPARE(window.model->profileName(), username);
        QCOMPARE(window.model->profileInitial(), initial);
        avatarUrl.replace(u"<base>"_s, m_server->baseUrl().toString());
        QCOMPARE(window.model->profileAvatarUrl().toString(), avatarUrl);
        QCOMPARE(window.model->profileBadges().size(), 1);
        QCOMPARE(window.model->profileBadges().first().toMap().value(u"name"_s).toString(), u"Подписчик"_s);
    }

    void profileCardHighlightsWithTheProfileSection()
    {
        Window window;
        QVERIFY(!window.model->profileCardHighlighted());
        window.model->navigateToSidebar(SidebarItem::Profile);
        QVERIFY(window.model->profileCardHighlighted());
        window.model->navigateToSidebar(SidebarItem::Settings);
        QVERIFY(!window.model->profileCardHighlighted());
    }
};

QTEST_GUILESS_MAIN(TestMainNavigation)
#include "tst_mainnavigation.moc"
