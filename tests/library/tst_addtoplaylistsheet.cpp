// The add-to-playlist sheet's create step when something goes wrong on the
// way: an add that fails after the create, a create whose answer never
// arrives, and the message of a failed add once a later one succeeded.
// Against an in-process fake service that counts what it was sent.
#include "collection/playlistsstore.h"
#include "api/session.h"
#include "library/addtoplaylistmodel.h"
#include "tracks/tracklistmodel.h"

#include "catalogpages.h"
#include "fakehttpserver.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kPlaylists = u"/api/v1/playlists"_s;

} // namespace

class TestAddToPlaylistSheet : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    Session m_session;
    std::unique_ptr<PlaylistsStore> m_playlists;
    std::unique_ptr<TrackListModel> m_source;

    int sent(const QString &method, const QString &path) const
    {
        int n = 0;
        for (const RecordedRequest &request : m_server->requests())
            n += request.method == method && request.path == path;
        return n;
    }

    // A sheet for track t1 over the store, its playlists loaded.
    std::unique_ptr<AddToPlaylistModel> openSheet(int rows)
    {
        auto sheet = std::make_unique<AddToPlaylistModel>(m_playlists.get(), &m_session);
        sheet->begin(m_source.get(), 0);
        [&] { QTRY_COMPARE(sheet->count(), rows); }();
        return sheet;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_session.setToken(u"tok"_s);
        m_session.setHasUser(true);
        TrackStores stores;
        stores.session = &m_session;
        m_source = std::make_unique<TrackListModel>(stores);
        m_source->setTracks(makeTracks({u"t1"_s}));
    }

    void init()
    {
        m_server->clearRequests();
        m_server->setFallback([](const RecordedRequest &) { return FakeResponse {404, {}}; });
        m_server->on(u"GET"_s, kPlaylists, jsonResponse("[" + playlistJson(u"p1"_s, u"A"_s, 1) + "]"));
        m_playlists = std::make_unique<PlaylistsStore>(&m_session);
    }

    // Made, but the add refused: "Создать" again adds to the playlist made
    // then; a different title afterwards makes a playlist of its own.
    void addFailsAfterCreateThenRetry()
    {
        m_server->on(u"POST"_s, kPlaylists, jsonResponse(playlistJson(u"p7"_s, u"Mix"_s, 0)));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s, FakeResponse {503, R"({"detail": "Недоступно"})"});
        auto sheet = openSheet(1);
        QSignalSpy finished(sheet.get(), &PlaylistRowsModel::createFinished);

        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.last().first().toBool(), false);
        QCOMPARE(sheet->createError(), u"Недоступно"_s);
        QCOMPARE(sheet->playlistAt(0).id, u"p7"_s);
        QCOMPARE(sheet->createdCount(), 0);

        m_server->on(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s, FakeResponse {200, "{}"});
        sheet->create(u" Mix "_s);
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(finished.last().first().toBool(), true);
        QCOMPARE(sent(u"POST"_s, kPlaylists), 1);
        QCOMPARE(sent(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s), 2);
        QCOMPARE(sheet->count(), 2);
        QVERIFY(sheet->data(sheet->index(0), PlaylistRowsModel::IsAddedRole).toBool());
        QCOMPARE(sheet->data(sheet->index(0), PlaylistRowsModel::TrackCountRole).toLongLong(), 1);
        QCOMPARE(sheet->createError(), QString());

        // Once finished, the same title is a new playlist again.
        m_server->on(u"POST"_s, kPlaylists, jsonResponse(playlistJson(u"p8"_s, u"Mix"_s, 0)));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p8/tracks"_s, FakeResponse {200, "{}"});
        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 3);
        QCOMPARE(sent(u"POST"_s, kPlaylists), 2);
        QCOMPARE(sheet->playlistAt(0).id, u"p8"_s);
    }

    // Made, the add refused, then the track added from the new playlist's
    // row: nothing is left to retry, so "Создать" with that title makes a
    // playlist of its own rather than adding the track there a second time.
    void rowAddFinishesTheCreate()
    {
        m_server->on(u"POST"_s, kPlaylists, jsonResponse(playlistJson(u"p7"_s, u"Mix"_s, 0)));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s, FakeResponse {503, R"({"detail": "Недоступно"})"});
        auto sheet = openSheet(1);
        QSignalSpy finished(sheet.get(), &PlaylistRowsModel::createFinished);
        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 1);

        m_server->on(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s, FakeResponse {200, "{}"});
        QCOMPARE(sheet->playlistAt(0).id, u"p7"_s);
        sheet->addTo(0);
        QTRY_VERIFY(sheet->data(sheet->index(0), PlaylistRowsModel::IsAddedRole).toBool());

        m_server->on(u"POST"_s, kPlaylists, jsonResponse(playlistJson(u"p8"_s, u"Mix"_s, 0)));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p8/tracks"_s, FakeResponse {200, "{}"});
        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(finished.last().first().toBool(), true);
        QCOMPARE(sent(u"POST"_s, kPlaylists), 2);
        QCOMPARE(sent(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s), 2);
        QCOMPARE(sent(u"POST"_s, u"/api/v1/playlists/p8/tracks"_s), 1);
    }

    // The service made the playlist but its answer broke off: the next
    // "Создать" finds it in a fresh list and only adds. A playlist of the
    // same title that stood before is not taken for it.
    void unansweredCreateIsLookedUpFirst()
    {
        m_server->on(u"GET"_s, kPlaylists, jsonResponse("[" + playlistJson(u"p1"_s, u"Mix"_s, 1) + "]"));
        FakeResponse dropped = jsonResponse(playlistJson(u"p9"_s, u"Mix"_s, 0));
        dropped.dropConnection = true;
        m_server->on(u"POST"_s, kPlaylists, dropped);
        auto sheet = openSheet(1);
        QSignalSpy finished(sheet.get(), &PlaylistRowsModel::createFinished);

        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.last().first().toBool(), false);
        QVERIFY(!sheet->createError().isEmpty());
        QCOMPARE(sheet->count(), 1);

        // The older one is listed first.
        m_server->on(u"GET"_s, kPlaylists,
            jsonResponse("[" + playlistJson(u"p1"_s, u"Mix"_s, 1) + "," + playlistJson(u"p9"_s, u"Mix"_s, 0) + "]"));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p9/tracks"_s, FakeResponse {200, "{}"});
        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(finished.last().first().toBool(), true);
        QCOMPARE(sent(u"POST"_s, kPlaylists), 1);
        QCOMPARE(sent(u"POST"_s, u"/api/v1/playlists/p9/tracks"_s), 1);
        QCOMPARE(sent(u"POST"_s, u"/api/v1/playlists/p1/tracks"_s), 0);
        QCOMPARE(sheet->playlistAt(1).id, u"p9"_s);
        QVERIFY(sheet->data(sheet->index(1), PlaylistRowsModel::IsAddedRole).toBool());
    }

    // Refused outright, so not in the fresh list: the retry creates it.
    // While the list cannot be fetched, nothing is created.
    void refusedCreateIsSentAgain()
    {
        m_server->on(u"POST"_s, kPlaylists, FakeResponse {500, R"({"detail": "Сбой"})"});
        auto sheet = openSheet(1);
        QSignalSpy finished(sheet.get(), &PlaylistRowsModel::createFinished);
        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 1);

        m_server->on(u"GET"_s, kPlaylists, FakeResponse {503, R"({"detail": "Нет связи"})"});
        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(sheet->createError(), u"Нет связи"_s);
        QCOMPARE(sent(u"POST"_s, kPlaylists), 1);

        m_server->on(u"GET"_s, kPlaylists, jsonResponse("[" + playlistJson(u"p1"_s, u"A"_s, 1) + "]"));
        m_server->on(u"POST"_s, kPlaylists, jsonResponse(playlistJson(u"p7"_s, u"Mix"_s, 0)));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s, FakeResponse {200, "{}"});
        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 3);
        QCOMPARE(finished.last().first().toBool(), true);
        QCOMPARE(sent(u"POST"_s, kPlaylists), 2);
    }

    // A failed add's message goes once an add succeeds, from a row or
    // from "Создать".
    void staleAddErrorIsCleared()
    {
        m_server->on(u"POST"_s, u"/api/v1/playlists/p1/tracks"_s, FakeResponse {404, R"({"detail": "Нет такого"})"});
        m_server->on(u"POST"_s, kPlaylists, jsonResponse(playlistJson(u"p7"_s, u"Mix"_s, 0)));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s, FakeResponse {200, "{}"});
        auto sheet = openSheet(1);
        sheet->addTo(0);
        QTRY_COMPARE(sheet->addError(), u"Нет такого"_s);

        QSignalSpy finished(sheet.get(), &PlaylistRowsModel::createFinished);
        sheet->create(u"Mix"_s);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(sheet->addError(), QString());

        sheet->addTo(1);
        QTRY_COMPARE(sheet->addError(), u"Нет такого"_s);
        sheet->addTo(0);
        QTRY_VERIFY(!sheet->isAddingAny());
        QCOMPARE(sheet->addError(), QString());
    }
};

QTEST_GUILESS_MAIN(TestAddToPlaylistSheet)
#include "tst_addtoplaylistsheet.moc"
