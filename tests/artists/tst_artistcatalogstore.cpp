// The artist catalogue store against an in-process fake service: one load
// of the whole catalogue, calls that meet a running load, failures that keep
// the last good catalogue, and the album track counts.
#include "api/jsoncoding.h"
#include "artists/artistcatalogstore.h"

#include "catalogpages.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "testenv.h"

#include <QMutex>
#include <QSet>
#include <QSignalSpy>
#include <QWaitCondition>
#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kTracks = u"/api/v1/tracks"_s;
const QString kAlbums = u"/api/v1/albums"_s;
const QString kFeatured = u"/api/v1/catalog/featured-artist-names"_s;

// How the fake answers one request of a path.
struct Route
{
    int status = 200;
    QByteArray body;
    bool held = false; // waits until the test releases its path
    bool drop = false;
};

} // namespace

Q_DECLARE_METATYPE(Route)

namespace {

// The three endpoints of a catalogue load. A path answers from a list of
// routes, one per request, the last one for every request after it.
class CatalogueService
{
public:
    explicit CatalogueService(FakeHttpServer &server) : m_server(server) { }

    void reset()
    {
        release();
        {
            QMutexLocker lock(&m_mutex);
            m_routes.clear();
        }
        const QJsonArray tracks {track(u"a1"_s, u"Ann"_s, u"al1"_s), track(u"a2"_s, u"Ann"_s, u"al1"_s),
            track(u"a3"_s, u"Ann & Бо"_s, u"al1"_s), track(u"s1"_s, u"Ann"_s), track(u"b1"_s, u"Бо"_s, u"al2"_s)};
        set(kTracks, {Route {200, trackPageBody(tracks, tracks.size(), 1, 1000, 1)}});
        set(kAlbums, {Route {200, listBody({album(u"al1"_s, u"Ann"_s), album(u"al2"_s, u"Бо"_s)})}});
        set(kFeatured, {Route {200, R"({"names": ["ann"]})"}});
        m_server.clearRequests();
        for (const QString &path : {kTracks, kAlbums, kFeatured})
            m_server.on(u"GET"_s, path, [this, path](const RecordedRequest &) { return answer(path); });
    }

    static QJsonObject track(const QString &id, const QString &artist, const QString &albumId = {})
    {
        QJsonObject o = trackJson(id, u"Song "_s + id);
        o.insert("artist"_L1, artist);
        if (!albumId.isEmpty())
            o.insert("album_id"_L1, albumId);
        return o;
    }
    static QJsonObject album(const QString &id, const QString &artist)
    {
        QJsonObject o = albumJson(id);
        o.insert("artist"_L1, artist);
        return o;
    }

    void set(const QString &path, QList<Route> routes)
    {
        QMutexLocker lock(&m_mutex);
        for (const Route &route : routes) {
            if (route.held)
                m_heldPaths.insert(path);
        }
        m_routes.insert(path, std::move(routes));
    }

    // Lets the held answers of the path (of every path when not given) go.
    void release(const QString &path = {})
    {
        QMutexLocker lock(&m_mutex);
        if (path.isEmpty())
            m_heldPaths.clear();
        else
            m_heldPaths.remove(path);
        m_released.wakeAll();
    }

    int count(const QString &path) const
    {
        int n = 0;
        for (const RecordedRequest &r : m_server.requests())
            n += r.path == path;
        return n;
    }

private:
    FakeResponse answer(const QString &path)
    {
        QMutexLocker lock(&m_mutex);
        QList<Route> &routes = m_routes[path];
        const Route route = routes.size() > 1 ? routes.takeFirst() : routes.value(0);
        while (route.held && m_heldPaths.contains(path))
            m_released.wait(&m_mutex);
        FakeResponse response = jsonResponse(route.body, route.status);
        response.dropConnection = route.drop;
        return response;
    }

    FakeHttpServer &m_server;
    QMutex m_mutex;
    QWaitCondition m_released;
    QSet<QString> m_heldPaths;
    QMap<QString, QList<Route>> m_routes;
};

// The store's state after every change, each distinct state once in a row.
class StateLog
{
public:
    explicit StateLog(ArtistCatalogStore &store) : m_store(store)
    {
        for (auto signal : {&ArtistCatalogStore::isLoadingChanged, &ArtistCatalogStore::isReadyChanged,
                 &ArtistCatalogStore::errorTextChanged})
            QObject::connect(&store, signal, &store, [this] { record(); });
    }
    QStringList states;

private:
    void record()
    {
        const QString state = u"%1 %2 %3"_s.arg(m_store.isLoading() ? u"loading"_s : u"idle"_s,
            m_store.isReady() ? u"ready"_s : u"unready"_s, m_store.error().value_or(u"-"_s));
        if (states.isEmpty() || states.last() != state)
            states.append(state);
    }
    ArtistCatalogStore &m_store;
};

bool loadedCatalogue(ArtistCatalogStore &store)
{
    QCoro::waitFor(store.reloadAsync(u"tok"_s));
    return store.isReady() && !store.isLoading() && !store.error();
}

const QHash<QString, int> kCounts {{u"al1"_s, 3}, {u"al2"_s, 1}};

} // namespace

class TestArtistCatalogStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<CatalogueService> m_service;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_service = std::make_unique<CatalogueService>(*m_server);
    }
    void init() { m_service->reset(); }
    void cleanup() { m_service->release(); }

    void loadsTheWholeCatalogue_data()
    {
        QTest::addColumn<QString>("token");
        QTest::newRow("signed in") << u"tok"_s;
        QTest::newRow("guest") << QString();
    }
    void loadsTheWholeCatalogue()
    {
        QFETCH(QString, token);
        ArtistCatalogStore store {NimbraApi()};
        QSignalSpy counts(&store, &ArtistCatalogStore::albumTrackCountsChanged);
        store.reload(token);
        QVERIFY(store.isLoading());
        QTRY_VERIFY(!store.isLoading());
        QVERIFY(store.isReady());
        QVERIFY(!store.error());
        QVERIFY(store.property("errorText").toString().isNull());

        QCOMPARE(m_server->requestCount(), 3);
        for (const RecordedRequest &r : m_server->requests()) {
            if (r.path != kTracks) {
                QVERIFY(!r.hasHeader(u"Authorization"_s));
                continue;
            }
            QCOMPARE(r.queryItems,
                (QList<QPair<QString, QString>> {
                    {u"brief"_s, u"true"_s}, {u"page"_s, u"1"_s}, {u"size"_s, u"1000"_s}}));
            QCOMPARE(r.header(u"Authorization"_s), token.isEmpty() ? QString() : u"Bearer "_s + token);
        }

        // Three tracks of al1, one of al2, and a single without an album
        // that counts nowhere.
        QCOMPARE(counts.count(), 1);
        QCOMPARE(store.albumTrackCounts(), kCounts);

        const auto page = store.artistPage(u"ANN"_s, std::nullopt);
        QVERIFY(page);
        QCOMPARE(page->resolvedName, u"Ann"_s);
        QCOMPARE(page->allTracks.size(), 4);
        QVERIFY(page->isFeatured);
        QVERIFY(!store.artistPage(u"Nobody"_s, std::nullopt));
    }

    void failedLoadKeepsTheLastCatalogue_data()
    {
        QTest::addColumn<QList<Route>>("tracks");
        QTest::addColumn<QList<Route>>("albums");
        QTest::addColumn<QString>("error");

        const Route held {200, {}, true};
        QTest::newRow("tracks fail, albums still on their way")
            << QList<Route> {{503, R"({"detail": "busy"})"}} << QList<Route> {held} << u"busy"_s;
        QTest::newRow("albums fail") << QList<Route> {} << QList<Route> {{500, R"({"detail": "no albums"})"}}
                                     << u"no albums"_s;
        QTest::newRow("both fail, the albums first: the tracks' error counts")
            << QList<Route> {{503, R"({"detail": "busy"})", true}} << QList<Route> {{500, R"({"detail": "no albums"})"}}
            << u"busy"_s;
        QTest::newRow("albums that do not decode")
            << QList<Route> {} << QList<Route> {{200, R"([{"id": 7}])"}} << QString();
    }
    void failedLoadKeepsTheLastCatalogue()
    {
        QFETCH(QList<Route>, tracks);
        QFETCH(QList<Route>, albums);
        QFETCH(QString, error);
        if (error.isNull()) {
            try {
                decodeJsonList<AlbumOut>(albums.at(0).body);
                QFAIL("the album list decodes");
            } catch (const DecodingError &e) {
                error = e.description();
            }
        }

        ArtistCatalogStore store {NimbraApi()};
        QVERIFY(!store.artistPage(u"Ann"_s, std::nullopt));
        QVERIFY(loadedCatalogue(store));
        QVERIFY(store.artistPage(u"Ann"_s, std::nullopt));

        if (!tracks.isEmpty())
            m_service->set(kTracks, tracks);
        m_service->set(kAlbums, albums);
        m_service->set(kFeatured, {Route {200, R"({"names": []})", true}});
        QSignalSpy counts(&store, &ArtistCatalogStore::albumTrackCountsChanged);
        auto reload = store.reloadAsync(u"tok"_s);
        QVERIFY(!store.isReady());
        QVERIFY(!store.artistPage(u"Ann"_s, std::nullopt));
        if (!tracks.isEmpty() && tracks.first().held) {
            // Held tracks fail once everything else has been taken in.
            QTRY_COMPARE(m_service->count(kTracks), 2);
            QVERIFY(waitUntilIdle(2));
            m_service->release(kTracks);
        }
        // What is still on its way is aborted: the load ends without it.
        QTRY_VERIFY(reload.isReady());

        QVERIFY(!store.isLoading());
        QVERIFY(!store.isReady());
        QCOMPARE(store.error(), error);
        QCOMPARE(store.property("errorText").toString(), error);
        QVERIFY(!store.artistPage(u"Ann"_s, std::nullopt));
        QCOMPARE(counts.count(), 0);
        QCOMPARE(store.albumTrackCounts(), kCounts);

        m_service->reset();
        QVERIFY(loadedCatalogue(store));
        QVERIFY(store.artistPage(u"Ann"_s, std::nullopt));
    }

    void noPageWhileLoading()
    {
        ArtistCatalogStore store {NimbraApi()};
        QVERIFY(loadedCatalogue(store));
        m_service->set(kTracks, {Route {200, trackPageBody({}, 0, 1, 1000, 0), true}});
        store.reload(u"tok"_s);
        QTRY_COMPARE(m_service->count(kTracks), 2);
        QVERIFY(store.isLoading());
        QVERIFY(!store.artistPage(u"Ann"_s, std::nullopt));
        m_service->release();
        QTRY_VERIFY(!store.isLoading());
        // The new catalogue has no tracks at all; Ann stays by her album.
        QVERIFY(store.isReady());
        QVERIFY(store.albumTrackCounts().isEmpty());
        const auto page = store.artistPage(u"Ann"_s, std::nullopt);
        QVERIFY(page);
        QVERIFY(page->allTracks.isEmpty());
    }

    void reloadOfAReadyCatalogueLoadsAgain()
    {
        ArtistCatalogStore store {NimbraApi()};
        QVERIFY(loadedCatalogue(store));
        StateLog log(store);
        QVERIFY(loadedCatalogue(store));
        QCOMPARE(m_server->requestCount(), 6);
        QCOMPARE(log.states,
            (QStringList {u"loading ready -"_s, u"loading unready -"_s, u"loading ready -"_s, u"idle ready -"_s}));
    }

    // Also: a heart given while the load runs is missing from the answer
    // held meanwhile, and stays on the pages built from it.
    void reloadWhileLoadingWaitsForTheRunningLoad()
    {
        const QJsonObject x = CatalogueService::track(u"x"_s, u"Ann"_s, u"al9"_s);
        m_service->set(kTracks, {Route {200, trackPageBody({x}, 1, 1, 1000, 1), true}});
        ArtistCatalogStore store {NimbraApi()};
        auto first = store.reloadAsync(u"tok"_s);
        auto second = store.reloadAsync(u"tok"_s);
        QTRY_COMPARE(m_server->requestCount(), 3);
        // Everything but the held tracks has been answered and taken in.
        QVERIFY(waitUntilIdle(1));
        QVERIFY(!first.isReady());
        QVERIFY(!second.isReady());
        store.replaceTrack(decodeJson<TrackOut>(QJsonDocument(x).toJson()).withFavorite(true));

        m_service->release();
        QCoro::waitFor(std::move(second));
        QVERIFY(first.isReady());
        QVERIFY(store.isReady());
        QCOMPARE(store.albumTrackCounts(), (QHash<QString, int> {{u"al9"_s, 1}}));
        QCOMPARE(m_server->requestCount(), 3);
        QVERIFY(store.artistPage(u"Ann"_s, std::nullopt)->allTracks.value(0).isFavorite);
    }

    // A call that waited for a load which then failed starts a load of its
    // own; the store stays loading until it ends.
    void reloadWaitingForAFailedLoadLoadsAgain()
    {
        m_service->set(kTracks,
            {Route {503, R"({"detail": "busy"})", true},
                Route {200, trackPageBody({CatalogueService::track(u"x"_s, u"Ann"_s, u"al9"_s)}, 1, 1, 1000, 1)}});
        ArtistCatalogStore store {NimbraApi()};
        StateLog log(store);
        auto first = store.reloadAsync(std::nullopt);
        auto waiting = store.reloadAsync(std::nullopt);
        QTRY_COMPARE(m_server->requestCount(), 3);

        m_service->release();
        QCoro::waitFor(std::move(first));
        QCoro::waitFor(std::move(waiting));
        QCOMPARE(log.states,
            (QStringList {u"loading unready -"_s, u"loading unready busy"_s, u"idle unready busy"_s,
                u"loading unready busy"_s, u"loading unready -"_s, u"loading ready -"_s, u"idle ready -"_s}));
        QCOMPARE(store.albumTrackCounts(), (QHash<QString, int> {{u"al9"_s, 1}}));
        QCOMPARE(m_server->requestCount(), 6);
    }

    void failingFeaturedNamesAreNoError_data()
    {
        QTest::addColumn<Route>("featured");
        QTest::addColumn<bool>("isFeatured");
        QTest::newRow("answered") << Route {200, R"({"names": ["ANN"]})"} << true;
        QTest::newRow("status") << Route {500, R"({"detail": "down"})"} << false;
        QTest::newRow("connection dropped") << Route {200, {}, false, true} << false;
    }
    void failingFeaturedNamesAreNoError()
    {
        QFETCH(Route, featured);
        QFETCH(bool, isFeatured);
        m_service->set(kFeatured, {featured});
        ArtistCatalogStore store {NimbraApi()};
        QVERIFY(loadedCatalogue(store));
        const auto page = store.artistPage(u"Ann"_s, std::nullopt);
        QVERIFY(page);
        QCOMPARE(page->isFeatured, isFeatured);
    }
};

QTEST_GUILESS_MAIN(TestArtistCatalogStore)
#include "tst_artistcatalogstore.moc"
