#include "collection/favoritesstore.h"
#include "collection/playlistsstore.h"
#include "collection/ratingsstore.h"
#include "api/session.h"

#include "eventloop.h"
#include "fakehttpserver.h"
#include "testenv.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

TrackOut sampleTrack(bool favorite)
{
    TrackOut track;
    track.id = u"t1"_s;
    track.title = u"Title"_s;
    track.artist = u"Artist"_s;
    track.durationSeconds = 181;
    track.fileUrl = u"/media/t1.flac"_s;
    track.coverUrl = u"/covers/t1.png"_s;
    track.userRating = u"dislike"_s;
    track.isFavorite = favorite;
    return track;
}

QByteArray playlistJson(const QByteArray &id, const QByteArray &title, int count)
{
    return R"({"id": ")" + id + R"(", "title": ")" + title + R"(", "is_public": false, "track_count": )"
        + QByteArray::number(count) + "}";
}

} // namespace

class TstLibraryStores : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeHttpServer> m_server;

    // Three playlists loaded with token "tok".
    void loadThree(PlaylistsStore &store)
    {
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s,
            FakeResponse {200,
                "[" + playlistJson("p1", "One", 1) + "," + playlistJson("p2", "Two", 2) + ","
                    + playlistJson("p3", "Three", 3) + "]"});
        QCoro::waitFor(store.loadAsync());
        QCOMPARE(store.playlists().size(), 3);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init() { m_server->clearRequests(); }

    // The caller's copy decides what is sent; the answer comes back as that
    // copy with only the flag turned over.
    void favouriteToggleFollowsTheCallersCopy_data()
    {
        QTest::addColumn<bool>("favorite");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("path");
        QTest::newRow("a favourite is removed") << true << u"DELETE"_s << u"/api/v1/favorites/t1"_s;
        QTest::newRow("another track is added") << false << u"POST"_s << u"/api/v1/favorites"_s;
    }

    void favouriteToggleFollowsTheCallersCopy()
    {
        QFETCH(bool, favorite);
        QFETCH(QString, method);
        QFETCH(QString, path);
        m_server->setFallback([](const RecordedRequest &) { return FakeResponse {204, {}}; });
        Session session;
        session.setToken(u"tok"_s);
        FavoritesStore store(&session);
        const TrackOut track = sampleTrack(favorite);

        const std::optional<TrackOut> changed = QCoro::waitFor(store.toggleAsync(track));
        QVERIFY(changed);
        QCOMPARE(*changed, track.withFavorite(!favorite));
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_server->lastRequest().method, method);
        QCOMPARE(m_server->lastRequest().path, path);
        QCOMPARE(store.error(), std::nullopt);
    }

    void failedFavouriteToggleLeavesTheTrack()
    {
        m_server->setFallback([](const RecordedRequest &) {
            return FakeResponse {401, R"({"detail": "Not authenticated"})"};
        });
        Session session;
        session.setToken(u"tok"_s);
        FavoritesStore store(&session);
        QSignalSpy changedSpy(&store, &FavoritesStore::trackChanged);

        QCOMPARE(QCoro::waitFor(store.toggleAsync(sampleTrack(false))), std::nullopt);
        QCOMPARE(changedSpy.size(), 0);
        QCOMPARE(store.error(), std::optional<QString>(u"Not authenticated"_s));
        QCOMPARE(m_server->lastRequest().header(u"Authorization"_s), u"Bearer tok"_s);

        // The next toggle clears the message before it sends.
        m_server->setFallback([](const RecordedRequest &) { return FakeResponse {200, "{}"}; });
        QSignalSpy errors(&store, &FavoritesStore::errorTextChanged);
        QVERIFY(QCoro::waitFor(store.toggleAsync(sampleTrack(false))));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(store.error(), std::nullopt);
        QCOMPARE(changedSpy.size(), 1);
        QCOMPARE(changedSpy.first().at(0).value<TrackOut>(), sampleTrack(true));
    }

    void ratingTakesTheServicesAnswer_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<std::optional<QString>>("rating");

        QTest::newRow("set") << 200 << QByteArray(R"({"track_id": "t1", "type": "dislike"})") << true
                             << std::optional<QString>(u"dislike"_s);
        QTest::newRow("taken away, no type")
            << 200 << QByteArray(R"({"track_id": "other"})") << true << std::optional<QString>();
        QTest::newRow("answer does not decode")
            << 200 << QByteArray(R"({"type": "dislike"})") << false << std::optional<QString>();
        QTest::newRow("refused") << 403 << QByteArray(R"({"detail": "Запрещено"})") << false
                                 << std::optional<QString>();
    }

    void ratingTakesTheServicesAnswer()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, answer);
        QFETCH(bool, succeeds);
        QFETCH(std::optional<QString>, rating);
        m_server->on(u"POST"_s, u"/api/v1/rate"_s, FakeResponse {status, answer});
        Session session;
        session.setToken(u"tok"_s);
        RatingsStore store(&session);
        TrackOut track = sampleTrack(false);
        track.userRating = u"like"_s;

        const std::optional<TrackOut> changed = QCoro::waitFor(store.toggleAsync(track, u"dislike"_s));
        QCOMPARE(changed.has_value(), succeeds);
        QCOMPARE(store.error().has_value(), !succeeds);
        if (succeeds)
            QCOMPARE(*changed, track.withUserRating(rating));
        if (status == 403)
            QCOMPARE(store.error(), std::optional<QString>(u"Запрещено"_s));
    }

    void failedLoadKeepsTheListATokenChangeEmptiesIt()
    {
        Session session;
        session.setToken(u"tok"_s);
        PlaylistsStore store(&session);
        loadThree(store);
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, FakeResponse {500, R"({"detail": "Сбой"})"});

        QSignalSpy loading(&store, &PlaylistsStore::isLoadingChanged);
        QCoro::waitFor(store.loadAsync());
        QCOMPARE(loading.size(), 2);
        QVERIFY(!store.isLoading());
        QCOMPARE(store.playlists().size(), 3);
        QCOMPARE(store.error(), std::optional<QString>(u"Сбой"_s));

        // Only a load clears the message as it starts.
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, FakeResponse {200, "[]"});
        QCoro::waitFor(store.loadAsync());
        QCOMPARE(store.error(), std::nullopt);
        QVERIFY(store.playlists().isEmpty());

        // One listener's private playlists are never shown to the next, not
        // even when they arrive after the change.
        session.setToken(u"tok"_s);
        loadThree(store);
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, FakeResponse {500, {}});
        QCoro::waitFor(store.loadAsync());
        QVERIFY(store.error());
        QSignalSpy changes(&store, &PlaylistsStore::playlistsChanged);
        session.setToken(u"tok"_s);
        QCOMPARE(changes.size(), 0);
        session.setToken(std::nullopt);
        QCOMPARE(changes.size(), 1);
        QVERIFY(store.playlists().isEmpty());
        QCOMPARE(store.error(), std::nullopt);

        // A load for the former listener still under way is dropped.
        session.setToken(u"tok"_s);
        AnswerGate former;
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s,
            former.hold(FakeResponse {200, "[" + playlistJson("p1", "Private", 1) + "]"}));
        const int before = m_server->requestCount();
        QCoro::Task<void> late = store.loadAsync();
        QVERIFY(store.isLoading());
        // Under way at the service, so that it cannot reach the service
        // after this test.
        QTRY_COMPARE(m_server->requestCount(), before + 1);
        session.setToken(u"other"_s);
        QVERIFY(!store.isLoading());
        former.open();
        QCoro::waitFor(std::move(late));
        QVERIFY(waitUntilIdle());
        QVERIFY(store.playlists().isEmpty());
        QVERIFY(!store.isLoading());
        QCOMPARE(store.error(), std::nullopt);
    }

    void createdPlaylistStandsFirst()
    {
        Session session;
        session.setToken(u"tok"_s);
        PlaylistsStore store(&session);
        loadThree(store);
        m_server->on(u"POST"_s, u"/api/v1/playlists"_s, FakeResponse {201, playlistJson("p9", "", 0)});
        QSignalSpy changes(&store, &PlaylistsStore::playlistsChanged);

        const std::optional<PlaylistOut> created = QCoro::waitFor(store.createAsync(QString()));
        QVERIFY(created);
        QCOMPARE(QJsonDocument::fromJson(m_server->lastRequest().body).object(),
            (QJsonObject {{"title"_L1, ""_L1}, {"is_public"_L1, false}}));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(store.playlists().size(), 4);
        QCOMPARE(store.playlists().first(), *created);
        QCOMPARE(store.playlists().first().id, u"p9"_s);
        // No reload: the list request was made once, by loadThree().
        int listRequests = 0;
        for (const RecordedRequest &request : m_server->requests())
            listRequests += request.method == "GET"_L1 ? 1 : 0;
        QCOMPARE(listRequests, 1);
    }

    // Creating and adding only ever set the message: an older one stays
    // after they succeed.
    void createAndAddOnlySetTheMessage()
    {
        Session session;
        session.setToken(u"tok"_s);
        PlaylistsStore store(&session);
        loadThree(store);
        m_server->on(u"POST"_s, u"/api/v1/playlists"_s, FakeResponse {422, R"({"detail": [{"msg": "too long"}]})"});
        QSignalSpy created(&store, &PlaylistsStore::createFinished);
        store.create(u"x"_s);
        QTRY_COMPARE(created.size(), 1);
        QVERIFY(created.first().at(1).isNull());
        QCOMPARE(store.error(), std::optional<QString>(u"too long"_s));
        QCOMPARE(store.playlists().size(), 3);

        m_server->on(u"POST"_s, u"/api/v1/playlists/p2/tracks"_s, FakeResponse {200, "not json"});
        QVERIFY(QCoro::waitFor(store.addTrackAsync(u"t1"_s, u"p2"_s)));
        QCOMPARE(store.error(), std::optional<QString>(u"too long"_s));

        m_server->on(u"POST"_s, u"/api/v1/playlists"_s, FakeResponse {201, playlistJson("p9", "New", 0)});
        QVERIFY(QCoro::waitFor(store.createAsync(u"New"_s)));
        QCOMPARE(store.error(), std::optional<QString>(u"too long"_s));
    }

    void addingATrackCountsIt_data()
    {
        QTest::addColumn<QString>("playlist");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QList<qint64>>("counts");
        QTest::addColumn<QByteArray>("answer");

        QTest::newRow("listed") << u"p2"_s << 200 << true << QList<qint64> {1, 3, 3} << QByteArray();
        QTest::newRow("not listed") << u"p7"_s << 204 << true << QList<qint64> {1, 2, 3} << QByteArray();
        QTest::newRow("refused") << u"p2"_s << 404 << false << QList<qint64> {1, 2, 3} << QByteArray();
        // The service's count wins: a track the playlist held is not counted twice.
        QTest::newRow("already held") << u"p2"_s << 200 << true << QList<qint64> {1, 2, 3}
                                      << playlistJson("p2", "Two", 2);
        QTest::newRow("the answer names another playlist")
            << u"p2"_s << 200 << true << QList<qint64> {1, 3, 3} << playlistJson("p3", "Three", 9);
    }

    void addingATrackCountsIt()
    {
        QFETCH(QString, playlist);
        QFETCH(int, status);
        QFETCH(bool, accepted);
        QFETCH(QList<qint64>, counts);
        QFETCH(QByteArray, answer);
        Session session;
        session.setToken(u"tok"_s);
        PlaylistsStore store(&session);
        loadThree(store);
        m_server->on(u"POST"_s, u"/api/v1/playlists/"_s + playlist + u"/tracks"_s, FakeResponse {status, answer});
        QSignalSpy finished(&store, &PlaylistsStore::addTrackFinished);

        store.addTrack(u"t1"_s, playlist);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.first().at(2).toBool(), accepted);
        QList<qint64> actual;
        for (const PlaylistOut &p : store.playlists())
            actual.append(p.trackCount);
        QCOMPARE(actual, counts);
        QCOMPARE(store.error().has_value(), !accepted);
    }
};

QTEST_GUILESS_MAIN(TstLibraryStores)
#include "tst_librarystores.moc"
