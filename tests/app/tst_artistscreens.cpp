// The artist page in the program's own window against the local service:
// the load error and "Повторить", the page with its latest release, the
// track list opened, an artist without a cover, a name the catalogue does
// not know; one walk from the page through playing and an album and back;
// and a favourite given on the page that the page shows again when
// reopened. Fails on any QML warning and writes a picture of each state.
#include "account/authstore.h"
#include "artists/artistnavigationstore.h"
#include "player/playerstore.h"
#include "artists/artistpagemodel.h"
#include "catalogue/catalogmodel.h"
#include "shell/sidebaritem.h"
#include "tracks/tracklistmodel.h"

#include "apprig.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestArtistScreens : public QObject
{
    Q_OBJECT

    AppRig m_rig;

    ArtistPageModel *page() const
    {
        QQuickItem *view = m_rig.item(u"artistPage"_s);
        return view ? view->findChild<ArtistPageModel *>(u"artistPageModel"_s) : nullptr;
    }

    void open(const QString &name, int state)
    {
        m_rig.app()->artistNavigation()->open(name);
        QTRY_VERIFY(page());
        QTRY_COMPARE(page()->artistName(), name);
        QTRY_COMPARE(page()->loadStateValue(), state);
    }

    // Brings the row of that kind (and item) into the middle of the page.
    void scrollTo(ArtistPageRows::Kind kind, int item = 0)
    {
        QQuickItem *scroll = m_rig.item(u"artistScroll"_s);
        QVERIFY(scroll);
        const int row = page()->rows()->rowOf(kind, item);
        QVERIFY(row >= 0);
        // Rows get their height as they are made, so the place is asked for
        // again until the row is laid out inside the view.
        const auto inView = [scroll, row] {
            QMetaObject::invokeMethod(scroll, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 1 /* Center */));
            QQuickItem *delegate = nullptr;
            QMetaObject::invokeMethod(scroll, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, delegate), Q_ARG(int, row));
            if (!delegate)
                return false;
            const qreal top = delegate->mapToItem(scroll, QPointF()).y();
            return top >= 0 && top + delegate->height() <= scroll->height();
        };
        QTRY_VERIFY(inView());
    }

    // The shown row of the page's track list for track row `row`.
    QQuickItem *trackRow(int row) const
    {
        for (QQuickItem *found : m_rig.shownItems(u"artistTrackRow"_s)) {
            if (found->property("index").toInt() == row)
                return found;
        }
        return nullptr;
    }

    // Opens the favourites screen afresh (from another section, so that it
    // loads) and waits for it to list the track, or not to.
    void expectOnFavouritesScreen(const QString &id, bool listed)
    {
        m_rig.openSection(SidebarItem::Home);
        m_rig.openSection(SidebarItem::Favorites);
        const auto lists = [this, &id, listed] {
            QQuickItem *list = m_rig.item(u"favoritesList"_s);
            auto *tracks = list ? qobject_cast<TrackListModel *>(list->property("model").value<QObject *>()) : nullptr;
            return tracks && tracks->count() > 0 && (tracks->rowOf(id) >= 0) == listed;
        };
        QTRY_VERIFY(lists());
    }

private slots:
    void initTestCase() { m_rig.startService({u"--tracks"_s, u"400"_s, u"--albums"_s, u"24"_s}); }
    void cleanup() { m_rig.finishTest(); }
    void cleanupTestCase() { m_rig.stopService(); }

    void everyStateOfThePage()
    {
        m_rig.launchSignedIn();
        QVERIFY(m_rig.service()->injectFault(QJsonObject {{"path"_L1, u"/api/v1/tracks"_s}, {"status"_L1, 503},
            {"body"_L1, QJsonObject {{"detail"_L1, u"Сервис на обслуживании"_s}}}}));
        open(u"Лунный Свет"_s, LoadState::Failed);
        QCOMPARE(findItem(m_rig.item(u"artistPage"_s), u"stateText"_s)->property("text").toString(),
            u"Сервис на обслуживании"_s);
        m_rig.screenshot(u"artist-load-error"_s);
        m_rig.service()->clearFaults();

        m_rig.click(findItem(m_rig.item(u"artistPage"_s), u"stateRetry"_s));
        QTRY_COMPARE(page()->loadStateValue(), int(LoadState::Loaded));
        QVERIFY(isShown(m_rig.item(u"mineMark"_s)));
        QVERIFY(isShown(m_rig.item(u"latestRelease"_s)));
        QVERIFY(isShown(m_rig.item(u"artistWave"_s)));
        QTRY_VERIFY(!isShown(m_rig.item(u"avatarPlaceholder"_s))); // the cover arrived
        m_rig.screenshot(u"artist-page-top"_s);

        // Collapsed: five rows, the toggle below the fifth and clear of it.
        scrollTo(ArtistPageRows::Kind::TracksToggle);
        QTRY_VERIFY(isShown(m_rig.item(u"tracksToggle"_s)));
        QVERIFY(page()->tracks()->count() > 5);
        QCOMPARE(m_rig.shownItems(u"artistTrackRow"_s).size(), 5);
        QQuickItem *fifth = trackRow(4);
        QQuickItem *toggle = m_rig.item(u"tracksToggle"_s);
        QVERIFY(fifth);
        QVERIFY(fifth->mapToScene(QPointF(0, fifth->height())).y() <= toggle->mapToScene(QPointF()).y());
        m_rig.screenshot(u"artist-tracks-collapsed"_s);
        m_rig.click(toggle);
        QVERIFY(page()->tracksExpanded());
        QVERIFY(page()->rows()->rowOf(ArtistPageRows::Kind::Track, page()->tracks()->count() - 1) >= 0);
        m_rig.screenshot(u"artist-tracks-open"_s);
        scrollTo(ArtistPageRows::Kind::DiscographyTitle);
        m_rig.screenshot(u"artist-page-albums"_s);

        // Folded again from below: the rows that went leave nothing over
        // the toggle.
        scrollTo(ArtistPageRows::Kind::TracksToggle);
        m_rig.click(m_rig.item(u"tracksToggle"_s));
        QVERIFY(!page()->tracksExpanded());
        QTRY_COMPARE(m_rig.shownItems(u"artistTrackRow"_s).size(), 5);
        scrollTo(ArtistPageRows::Kind::TracksToggle);
        toggle = m_rig.item(u"tracksToggle"_s);
        QVERIFY(trackRow(4));
        QVERIFY(trackRow(4)->mapToScene(QPointF(0, trackRow(4)->height())).y() <= toggle->mapToScene(QPointF()).y());

        // From a warm catalogue another artist opens without loading.
        m_rig.app()->artistNavigation()->open(u"Пять Озёр"_s);
        QTRY_VERIFY(page() && page()->artistName() == u"Пять Озёр"_s);
        QCOMPARE(page()->loadStateValue(), int(LoadState::Loaded));
        QVERIFY(page()->coverUrl().isEmpty());
        QVERIFY(isShown(m_rig.item(u"avatarPlaceholder"_s)));
        QVERIFY(!isShown(m_rig.item(u"tracksToggle"_s)));
        m_rig.screenshot(u"artist-no-cover"_s);

        // Only a guest on another's album: no discography, one album with them.
        open(u"Эхо Гость"_s, LoadState::Loaded);
        QCOMPARE(page()->rows()->rowOf(ArtistPageRows::Kind::DiscographyTitle), -1);
        scrollTo(ArtistPageRows::Kind::FeatTitle);
        QVERIFY(isShown(m_rig.item(u"featAlbums"_s)));
        QVERIFY(!isShown(m_rig.item(u"discography"_s)));
        m_rig.screenshot(u"artist-guest-only"_s);

        open(u"Нет Такого"_s, LoadState::Empty);
        QCOMPARE(findItem(m_rig.item(u"artistPage"_s), u"stateText"_s)->property("text").toString(),
            u"«Нет Такого» нет в каталоге"_s);
        m_rig.screenshot(u"artist-not-found"_s);
    }

    // From a credits line of the catalogue open an artist, play from the
    // header, open an album of the discography and come back to the page as
    // it was.
    void playAndVisitAnAlbum()
    {
        m_rig.launchSignedIn();
        m_rig.click(m_rig.item(u"sidebarRow1"_s)); // "Каталог"
        QTRY_VERIFY(m_rig.item(u"catalogScreen"_s));
        auto *catalog = m_rig.item(u"catalogScreen"_s)->findChild<CatalogModel *>(u"catalogModel"_s);
        QVERIFY(catalog);
        const QString artist = u"Лунный Свет"_s;
        int row = -1;
        while (row < 0) {
            QTRY_VERIFY(!catalog->isFetching());
            for (int i = 0; i < catalog->count() && row < 0; ++i)
                row = catalog->trackAt(i).artist == artist ? i : -1;
            if (row < 0) {
                QVERIFY(catalog->hasMore());
                catalog->fetchMore({});
            }
        }
        QQuickItem *list = m_rig.item(u"catalogList"_s);
        QQuickItem *delegate = nullptr;
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, row), Q_ARG(int, 0));
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, delegate), Q_ARG(int, row));
        QVERIFY(delegate);
        m_rig.click(findItem(delegate, u"artistName0"_s));
        QTRY_VERIFY(page());
        QTRY_COMPARE(page()->loadStateValue(), int(LoadState::Loaded));
        QCOMPARE(page()->title(), artist);
        m_rig.click(m_rig.item(u"artistPlay"_s));
        QTRY_COMPARE(m_rig.app()->player()->currentTrack()->id, page()->page()->playQueue.first().id);

        // The share control copies the link and says so.
        QSignalSpy copied(page(), &ArtistPageModel::linkCopied);
        m_rig.click(m_rig.item(u"artistShare"_s));
        QCOMPARE(QGuiApplication::clipboard()->text(), page()->shareLink());
        QCOMPARE(copied.value(0).value(0).toString(), u"Ссылка скопирована"_s);
        QVERIFY(page()->shareLink().endsWith(u"#artist:%D0%9B%D1%83%D0%BD%D0%BD%D1%8B%D0%B9%20%D0%A1%D0%B2%D0%B5%D1%82"_s));
        QTRY_VERIFY(isShown(findItem(m_rig.item(u"artistPage"_s), u"copiedToast"_s)));

        scrollTo(ArtistPageRows::Kind::TracksToggle);
        m_rig.click(m_rig.item(u"tracksToggle"_s));
        scrollTo(ArtistPageRows::Kind::Albums);
        QTRY_VERIFY(isShown(m_rig.item(u"discographyGrid"_s)));
        m_rig.click(findItem(m_rig.item(u"discographyGrid"_s), u"albumCell"_s));
        QQuickItem *stack = m_rig.item(u"artistStack"_s);
        QTRY_COMPARE(stack->property("depth").toInt(), 2);
        QTRY_VERIFY(!isShown(m_rig.item(u"artistScroll"_s)));
        m_rig.screenshot(u"artist-album-over-page"_s);

        QQuickItem *album = stack->property("currentItem").value<QQuickItem *>();
        m_rig.click(findItem(album, u"backButton"_s));
        QTRY_COMPARE(stack->property("depth").toInt(), 1);
        QTRY_VERIFY(isShown(m_rig.item(u"artistScroll"_s)));
        QVERIFY(page()->tracksExpanded());

        // "Назад" on the page itself closes it.
        m_rig.click(findItem(m_rig.item(u"artistPage"_s), u"backButton"_s));
        QTRY_VERIFY(m_rig.app()->artistNavigation()->presentedArtistName().isNull());
    }

    // A heart given on the page is there when the artist opens again, one
    // click takes it back out, and the favourites screen says the same.
    void favouriteStaysWhenReopened()
    {
        m_rig.launchSignedIn();
        const QString artist = u"Лунный Свет"_s;
        open(artist, LoadState::Loaded);
        int row = -1;
        for (int i = 0; i < 5 && row < 0; ++i)
            row = page()->tracks()->trackAt(i).isFavorite ? -1 : i;
        QVERIFY(row >= 0);
        const QString id = page()->tracks()->trackAt(row).id;
        scrollTo(ArtistPageRows::Kind::Track, row);
        QTRY_VERIFY(trackRow(row));
        m_rig.click(findItem(trackRow(row), u"trackFavorite"_s));
        QTRY_VERIFY(trackRow(row) && trackRow(row)->property("isFavorite").toBool());

        m_rig.click(findItem(m_rig.item(u"artistPage"_s), u"backButton"_s));
        QTRY_VERIFY(m_rig.app()->artistNavigation()->presentedArtistName().isNull());
        open(artist, LoadState::Loaded);
        scrollTo(ArtistPageRows::Kind::Track, row);
        QTRY_VERIFY(trackRow(row));
        QCOMPARE(trackRow(row)->property("trackId").toString(), id);
        QVERIFY(trackRow(row)->property("isFavorite").toBool());
        m_rig.screenshot(u"artist-favourite-reopened"_s);
        expectOnFavouritesScreen(id, true);

        open(artist, LoadState::Loaded);
        scrollTo(ArtistPageRows::Kind::Track, row);
        QTRY_VERIFY(trackRow(row));
        m_rig.click(findItem(trackRow(row), u"trackFavorite"_s));
        QTRY_VERIFY(trackRow(row) && !trackRow(row)->property("isFavorite").toBool());
        const QString token = m_rig.service()->signIn();
        QTRY_COMPARE(
            m_rig.service()->get(u"/api/v1/tracks/"_s + id, token).object().value(u"is_favorite"_s).toBool(), false);
        expectOnFavouritesScreen(id, false);
    }
};

QTEST_MAIN(TestArtistScreens)
#include "tst_artistscreens.moc"
