// The artist catalogue against the local service while favourites change:
// the changed copy reaches every page built afterwards, a refused change
// reaches none, and a load that starts after the change brings back what
// the service holds.
#include "collection/favoritesstore.h"
#include "collection/ratingsstore.h"
#include "api/session.h"
#include "api/apiconfig.h"
#include "api/storeregistry.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistpagemodel.h"

#include "devserviceprocess.h"
#include "testenv.h"

#include <QJsonArray>
#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kArtist = u"Лунный Свет"_s;

bool markOf(const QList<TrackOut> &tracks, const QString &id)
{
    for (const TrackOut &track : tracks) {
        if (track.id == id)
            return track.isFavorite;
    }
    return false;
}

// "favourite", "like" or "dislike" as the copy of id in tracks carries it.
bool carries(const QList<TrackOut> &tracks, const QString &id, const QString &mark)
{
    for (const TrackOut &track : tracks) {
        if (track.id == id)
            return mark == u"favourite"_s ? track.isFavorite : track.userRating == mark;
    }
    return false;
}

} // namespace

class TestArtistCatalogChanges : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    QString m_token;

    QStringList favouriteIds() const
    {
        QStringList ids;
        for (const QJsonValue &track : m_service->get(u"/api/v1/favorites"_s, m_token).json().array())
            ids.append(track.toObject().value("id"_L1).toString());
        return ids;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"200"_s, u"--albums"_s, u"12"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        ApiConfig::setBaseUrl(m_service->baseUrl());
        m_token = m_service->signIn();
        QVERIFY(!m_token.isEmpty());
    }

    void cleanupTestCase() { m_service.reset(); }

    void pagesFollowTheFavouritesStore()
    {
        Session session;
        session.setToken(m_token);
        session.setHasUser(true);
        FavoritesStore favorites(&session);
        TrackStores stores;
        stores.favorites = &favorites;
        stores.session = &session;
        ArtistCatalogStore catalog {NimbraApi()};
        catalog.followTrackChanges(stores);
        QCoro::waitFor(catalog.reloadAsync(m_token));
        QVERIFY(catalog.isReady());

        const std::optional<ArtistPageContent> before = catalog.artistPage(kArtist, std::nullopt);
        QVERIFY(before && !before->allTracks.isEmpty());
        TrackOut chosen;
        for (const TrackOut &track : before->allTracks) {
            if (!track.isFavorite) {
                chosen = track;
                break;
            }
        }
        QVERIFY(!chosen.id.isEmpty());

        QVERIFY(QCoro::waitFor(favorites.toggleAsync(chosen)));
        QVERIFY(favouriteIds().contains(chosen.id));

        // A page opened afterwards, as a fresh artist page builds it.
        {
            StoreRegistry::set(&catalog);
            ArtistPageModel reopened(stores);
            reopened.setArtistName(kArtist);
            QTRY_COMPARE(reopened.loadStateValue(), int(LoadState::Loaded));
            QVERIFY(markOf(reopened.tracks()->tracks(), chosen.id));
            QVERIFY(markOf(reopened.page()->playQueue, chosen.id));

            // One click on the page's copy takes it out again.
            const QList<TrackOut> rows = reopened.tracks()->tracks();
            int row = -1;
            for (int i = 0; i < rows.size() && row < 0; ++i)
                row = rows.at(i).id == chosen.id ? i : -1;
            QVERIFY(row >= 0);
            QVERIFY(QCoro::waitFor(favorites.toggleAsync(reopened.tracks()->trackAt(row))));
            QVERIFY(!favouriteIds().contains(chosen.id));
        }
        QVERIFY(!markOf(catalog.artistPage(kArtist, std::nullopt)->allTracks, chosen.id));

        // A refused change reaches no page.
        QVERIFY(m_service->injectFault(QJsonObject {{"path"_L1, u"/api/v1/favorites"_s}, {"method"_L1, u"POST"_s},
            {"status"_L1, 500}}));
        QCOMPARE(QCoro::waitFor(favorites.toggleAsync(chosen)), std::nullopt);
        QVERIFY(!favorites.errorText().isEmpty());
        QVERIFY(!markOf(catalog.artistPage(kArtist, std::nullopt)->allTracks, chosen.id));
        m_service->clearFaults();

        // Marked here, then taken out by another client: the next load shows
        // the service's answer, not the copy kept since.
        QVERIFY(QCoro::waitFor(favorites.toggleAsync(chosen)));
        QVERIFY(markOf(catalog.artistPage(kArtist, std::nullopt)->allTracks, chosen.id));
        QCOMPARE(m_service->call("DELETE", u"/api/v1/favorites/"_s + chosen.id, {}, m_token).status / 100, 2);
        QCoro::waitFor(catalog.reloadAsync(m_token));
        QVERIFY(catalog.isReady());
        QVERIFY(!markOf(catalog.artistPage(kArtist, std::nullopt)->allTracks, chosen.id));
    }

    // A heart, a like or a dislike reaches the copies the artist page plays
    // and lists: on a page already open when it is given after the load,
    // and on pages built after a load it was given during.
    void marksReachThePageCopies_data()
    {
        QTest::addColumn<QString>("mark");
        QTest::addColumn<bool>("whileLoading");
        // Each row marks its own track of the artist, the first is left to
        // the test above.
        QTest::addColumn<int>("pick");
        QTest::newRow("like after the load") << u"like"_s << false << 1;
        QTest::newRow("dislike after the load") << u"dislike"_s << false << 2;
        QTest::newRow("favourite after the load") << u"favourite"_s << false << 3;
        QTest::newRow("like while loading") << u"like"_s << true << 4;
        QTest::newRow("favourite while loading") << u"favourite"_s << true << 5;
    }

    void marksReachThePageCopies()
    {
        QFETCH(QString, mark);
        QFETCH(bool, whileLoading);
        QFETCH(int, pick);
        Session session;
        session.setToken(m_token);
        session.setHasUser(true);
        FavoritesStore favorites(&session);
        RatingsStore ratings(&session);
        TrackStores stores;
        stores.favorites = &favorites;
        stores.ratings = &ratings;
        stores.session = &session;
        ArtistCatalogStore catalog {NimbraApi()};
        catalog.followTrackChanges(stores);
        StoreRegistry::set(&catalog);
        ArtistPageModel open(stores);
        open.setArtistName(kArtist);
        QTRY_COMPARE(open.loadStateValue(), int(LoadState::Loaded));
        QVERIFY(open.page()->allTracks.size() > pick);
        const TrackOut chosen = open.page()->allTracks.at(pick);
        QVERIFY(!carries({chosen}, chosen.id, mark));

        if (whileLoading) {
            QVERIFY(m_service->injectFault(
                QJsonObject {{"path"_L1, u"/api/v1/tracks"_s}, {"hold"_L1, true}, {"count"_L1, 1}}));
            catalog.reload(m_token);
            QVERIFY(catalog.isLoading());
        }
        const std::optional<TrackOut> given = mark == u"favourite"_s
            ? QCoro::waitFor(favorites.toggleAsync(chosen))
            : QCoro::waitFor(ratings.toggleAsync(chosen, mark));
        QVERIFY(given);
        if (whileLoading) {
            QVERIFY(catalog.isLoading());
            QVERIFY(m_service->releaseHeld() >= 0);
            QTRY_VERIFY(!catalog.isLoading());
        } else {
            QVERIFY(carries(open.tracks()->tracks(), chosen.id, mark));
            QVERIFY(carries(open.page()->playQueue, chosen.id, mark));
            QVERIFY(carries(open.page()->allTracks, chosen.id, mark));
        }
        ArtistPageModel reopened(stores);
        reopened.setArtistName(kArtist);
        QTRY_COMPARE(reopened.loadStateValue(), int(LoadState::Loaded));
        QVERIFY(carries(reopened.tracks()->tracks(), chosen.id, mark));
        QVERIFY(carries(reopened.page()->playQueue, chosen.id, mark));
        StoreRegistry::set<ArtistCatalogStore>(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestArtistCatalogChanges)
#include "tst_artistcatalogchanges.moc"
