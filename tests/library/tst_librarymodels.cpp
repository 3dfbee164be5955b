// The library screens' models against an in-process fake service: each smart
// playlist's load, the favourites and a playlist's tracks, failures told from
// empty lists, loads that were
// replaced writing nothing, the count lines, and the add-to-playlist sheet's
// create and add steps.
#include "collection/favoritesstore.h"
#include "collection/playlistsstore.h"
#include "api/session.h"
#include "player/audiocacheservice.h"
#include "player/playerstore.h"
#include "library/addtoplaylistmodel.h"
#include "library/favoritesmodel.h"
#include "library/playlistdetailmodel.h"
#include "library/playlistsmodel.h"
#include "library/smartplaylistmodel.h"

#include "catalogpages.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray detailJson(const QString &id, const QStringList &tracks)
{
    return QJsonDocument(QJsonObject {{u"id"_s, id}, {u"title"_s, u"Loaded "_s + id}, {u"is_public"_s, false},
                             {u"track_count"_s, tracks.size()}, {u"tracks"_s, tracksJson(tracks)}})
        .toJson(QJsonDocument::Compact);
}

QStringList rowIds(const TrackListModel &model)
{
    return trackIds(model.tracks());
}

} // namespace

class TstLibraryModels : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    Session m_session;
    std::unique_ptr<FavoritesStore> m_favorites;
    std::unique_ptr<PlaylistsStore> m_playlists;

    TrackStores stores() { return {nullptr, m_favorites.get(), nullptr, &m_session}; }

    int requestsTo(const QString &path) const { return int(m_server->requestsTo(path)); }

    // A catalogue of two pages of 50 ("p1-0" ...), for the compositions.
    void serveCatalogue()
    {
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, [](const RecordedRequest &request) {
            const int page = queryNumber(request, u"page"_s);
            QStringList ids;
            for (int i = 0; page <= 2 && i < 50; ++i)
                ids.append(u"p%1-%2"_s.arg(page).arg(i));
            return jsonResponse(trackPageBody(tracksJson(ids), 100, page, 50, 2));
        });
    }

    void signIn()
    {
        m_session.setToken(u"tok"_s);
        m_session.setHasUser(true);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_favorites = std::make_unique<FavoritesStore>(&m_session);
    }

    void init()
    {
        m_server->clearRequests();
        m_server->setFallback([](const RecordedRequest &) { return FakeResponse {404, {}}; });
        signIn();
        m_playlists = std::make_unique<PlaylistsStore>(&m_session);
    }

    void smartPlaylistLoadsEachKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("state");
        // The listener signs out while the favourites are on their way.
        QTest::addColumn<bool>("leaves");

        QTest::newRow("wave, guest") << u"wave"_s << false << u"/api/v1/tracks"_s << 100 << int(LoadState::Loaded)
                                     << false;
        QTest::newRow("daily, 30 of the day") << u"daily"_s << true << u"/api/v1/tracks"_s << 30
                                              << int(LoadState::Loaded) << false;
        QTest::newRow("favourites") << u"favorites"_s << true << u"/api/v1/favorites"_s << 2 << int(LoadState::Loaded)
                                    << false;
        QTest::newRow("favourites, guest: no request")
            << u"favorites"_s << false << u"/api/v1/favorites"_s << 0 << int(LoadState::Empty) << false;
        // Its catalogue pages are never asked for, and nothing is written.
        QTest::newRow("wave, the listener leaves")
            << u"wave"_s << true << u"/api/v1/tracks"_s << 0 << int(LoadState::Loading) << true;
    }

    void smartPlaylistLoadsEachKind()
    {
        QFETCH(QString, kind);
        QFETCH(bool, signedIn);
        QFETCH(QString, path);
        QFETCH(int, rows);
        QFETCH(int, state);
        QFETCH(bool, leaves);
        if (!signedIn)
            m_session.setToken(std::nullopt);
        serveCatalogue();
        const FakeResponse favourites = jsonResponse(listBody(tracksJson({u"f1"_s, u"f2"_s})));
        AnswerGate gate;
        if (leaves)
            m_server->on(u"GET"_s, u"/api/v1/favorites"_s, gate.hold(favourites));
        else
            m_server->on(u"GET"_s, u"/api/v1/favorites"_s, favourites);

        SmartPlaylistModel model(stores(), {}, NimbraApi());
        QAbstractItemModelTester tester(&model);
        model.setKind(kind);
        if (leaves) {
            QTRY_COMPARE(requestsTo(u"/api/v1/favorites"_s), 1);
            m_session.setToken(std::nullopt);
            gate.open();
            QTRY_VERIFY(gate.answered());
            QVERIFY(waitUntilIdle());
        }
        QTRY_COMPARE(model.loadStateValue(), state);
        QCOMPARE(model.count(), rows);
        QCOMPARE(requestsTo(path) > 0, rows > 0);
        if (signedIn && rows > 0)
            QCOMPARE(m_server->lastRequest().header(u"Authorization"_s), u"Bearer tok"_s);
        QVERIFY(!model.title().isEmpty());
    }

    // The listener's own lists are never shown empty for a service that could
    // not be asked; the wave and the daily list keep their "could not load"
    // empty page.
    void smartPlaylistFailureIsNotAnEmptyList()
    {
        m_server->on(u"GET"_s, u"/api/v1/favorites"_s, FakeResponse {500, R"({"detail": "Сбой"})"});
        SmartPlaylistModel model(stores(), {}, NimbraApi());
        model.setKind(u"favorites"_s);
        QTRY_COMPARE(model.loadStateValue(), int(LoadState::Failed));
        QCOMPARE(model.errorText(), u"Сбой"_s);
        QCOMPARE(model.count(), 0);
        QCOMPARE(model.title(), u"❤️ Избранное"_s);

        // The retry asks again; an empty answer is the empty page.
        m_server->on(u"GET"_s, u"/api/v1/favorites"_s, jsonResponse(listBody(tracksJson({}))));
        model.retry();
        QTRY_COMPARE(model.loadStateValue(), int(LoadState::Empty));
        QCOMPARE(model.emptyText(), u"Добавьте треки в избранное"_s);
        QCOMPARE(model.errorText(), QString());

        // Saved files while the catalogue cannot be read.
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, FakeResponse {503, {}});
        SmartPlaylistModel offline(stores(), [] { return QSet<QString> {u"p1"_s}; }, NimbraApi());
        offline.setKind(u"offline"_s);
        QTRY_COMPARE(offline.loadStateValue(), int(LoadState::Failed));
        QCOMPARE(offline.errorText(), u"Ошибка сервера (503)"_s);

        SmartPlaylistModel wave(stores(), {}, NimbraApi());
        wave.setKind(u"wave"_s);
        QTRY_COMPARE(wave.loadStateValue(), int(LoadState::Empty));
        QCOMPARE(wave.emptyText(), u"Не удалось загрузить подборку"_s);
    }

    // Saved files: a plain id, an id stored encoded, and a download a crash
    // left behind, which is no saved track. Listed in catalogue order.
    void offlineListsTheSavedTracksInCatalogueOrder()
    {
        QTemporaryDir folder;
        AudioCacheService cache(folder.path());
        for (const QString &name : {AudioCacheService::fileNameFor(u"p2-7"_s),
                 AudioCacheService::fileNameFor(u"p1-3/x"_s), AudioCacheService::fileNameFor(u"p1-40"_s),
                 u".download-abc123.part"_s}) {
            QFile file(folder.path() + u'/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s,
            jsonResponse(trackPageBody(tracksJson({u"p1-3/x"_s, u"p1-40"_s, u"p2-7"_s, u"p9"_s}), 4, 1, 1000, 1)));

        SmartPlaylistModel model(stores(), [&cache] { return cache.cachedTrackIds(); }, NimbraApi());
        model.setKind(u"offline"_s);
        QTRY_COMPARE(model.loadStateValue(), int(LoadState::Loaded));
        QCOMPARE(rowIds(model), (QStringList {u"p1-3/x"_s, u"p1-40"_s, u"p2-7"_s}));

        // No saved file: no catalogue request.
        m_server->clearRequests();
        SmartPlaylistModel none(stores(), [] { return QSet<QString>(); }, NimbraApi());
        none.setKind(u"offline"_s);
        QTRY_COMPARE(none.loadStateValue(), int(LoadState::Empty));
        QCOMPARE(m_server->requestCount(), 0);
    }

    void preloadedListIsShownWithoutARequest()
    {
        SmartPlaylistModel model(stores(), {}, NimbraApi());
        model.setPreloadedTracks(makeTracks({u"a"_s, u"b"_s}));
        m_session.setToken(std::nullopt);
        model.setKind(u"daily"_s);
        QCOMPARE(rowIds(model), (QStringList {u"a"_s, u"b"_s}));
        QCOMPARE(model.loadStateValue(), int(LoadState::Loaded));
        QVERIFY(waitUntilIdle());
        QCOMPARE(m_server->requestCount(), 0);
    }

    // A load replaced by a newer one, or cut off by a sign-out, writes
    // nothing: no rows, no error, no loading flag.
    void staleLoadWritesNothing()
    {
        AnswerGate replaced;
        m_server->on(u"GET"_s, u"/api/v1/playlists/p1"_s, replaced.hold(jsonResponse(detailJson(u"p1"_s, {u"old"_s}))));
        m_server->on(u"GET"_s, u"/api/v1/playlists/p2"_s, jsonResponse(detailJson(u"p2"_s, {u"new"_s})));
        PlaylistDetailModel detail(stores(), m_playlists.get(), NimbraApi());
        detail.setPlaylistId(u"p1"_s);
        QVERIFY(detail.isLoading());
        // Each replaced load is under way at the service first, so that it
        // cannot reach the service after this test.
        QTRY_COMPARE(requestsTo(u"/api/v1/playlists/p1"_s), 1);
        detail.setPlaylistId(u"p2"_s);
        QTRY_COMPARE(rowIds(detail), QStringList {u"new"_s});
        // The first answer comes now, or its request was aborted.
        replaced.open();
        QVERIFY(waitUntilIdle());
        QCOMPARE(rowIds(detail), QStringList {u"new"_s});
        QCOMPARE(detail.title(), u"Loaded p2"_s);

        AnswerGate signedOut;
        m_server->on(u"GET"_s, u"/api/v1/favorites"_s, signedOut.hold(FakeResponse {500, R"({"detail": "Сбой"})"}));
        FavoritesModel favorites(stores(), NimbraApi());
        favorites.reload();
        QVERIFY(favorites.isLoading());
        QTRY_COMPARE(requestsTo(u"/api/v1/favorites"_s), 1);
        QSignalSpy states(&favorites, &TrackListModel::loadStateChanged);
        m_session.setToken(std::nullopt);
        m_session.setHasUser(false);
        QVERIFY(favorites.needsSignIn());
        signedOut.open();
        QVERIFY(waitUntilIdle());
        QCOMPARE(states.size(), 0);
        QCOMPARE(favorites.errorText(), QString());
    }

    void failedDetailShowsItsFailure()
    {
        m_server->on(u"GET"_s, u"/api/v1/playlists/p1"_s, FakeResponse {500, {}});
        PlaylistDetailModel detail(stores(), m_playlists.get(), NimbraApi());
        detail.setPlaylistId(u"p1"_s);
        QTRY_COMPARE(detail.loadStateValue(), int(LoadState::Failed));
        QCOMPARE(detail.errorText(), u"Ошибка сервера (500)"_s);
        QCOMPARE(detail.count(), 0);

        m_server->on(u"GET"_s, u"/api/v1/playlists/p1"_s, jsonResponse(detailJson(u"p1"_s, {})));
        detail.retry();
        QTRY_COMPARE(detail.loadStateValue(), int(LoadState::Empty));
    }

    // Below the smart cards: "Нажмите +" only after the service said the
    // listener has none; a failure with the listener's playlists unknown
    // shows its text; a list once shown stays through a failed reload.
    void playlistsScreenTellsFailedFromEmpty()
    {
        PlaylistsModel rows(m_playlists.get(), &m_session);
        QSignalSpy texts(&rows, &PlaylistsModel::errorTextChanged);
        QCOMPARE(rows.loadStateValue(), int(LoadState::Idle));
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, FakeResponse {502, "<html>Bad gateway</html>", "text/html"});
        rows.load();
        QCOMPARE(rows.loadStateValue(), int(LoadState::Loading));
        QTRY_COMPARE(rows.loadStateValue(), int(LoadState::Failed));
        QCOMPARE(rows.errorText(), u"Ошибка сервера (502)"_s);

        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, jsonResponse("[]"));
        rows.retry();
        QTRY_COMPARE(rows.loadStateValue(), int(LoadState::Empty));
        QCOMPARE(texts.count(), 2);

        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, jsonResponse("[" + playlistJson(u"p1"_s, u"Mine"_s, 2) + "]"));
        rows.load();
        QTRY_COMPARE(rows.loadStateValue(), int(LoadState::Loaded));
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, FakeResponse {500, {}});
        rows.load();
        QTRY_VERIFY(!m_playlists->loadError().isEmpty());
        QCOMPARE(rows.loadStateValue(), int(LoadState::Loaded));
        QCOMPARE(rows.count(), 1);

        // Another session starts over: nothing known yet.
        m_session.setToken(u"other"_s);
        QCOMPARE(rows.loadStateValue(), int(LoadState::Idle));
    }

    // The heart of a favourites row: the row goes only when the service
    // confirmed the removal; a track sent as no favourite is added and stays.
    void favouriteRowGoesOnlyAfterTheService()
    {
        QJsonArray list = tracksJson({u"f1"_s, u"f2"_s, u"f3"_s});
        for (int i = 0; i < 2; ++i) {
            QJsonObject track = list[i].toObject();
            track[u"is_favorite"_s] = true;
            list[i] = track;
        }
        m_server->on(u"GET"_s, u"/api/v1/favorites"_s, jsonResponse(listBody(list)));
        FavoritesModel model(stores(), NimbraApi());
        QAbstractItemModelTester tester(&model);
        model.reload();
        QTRY_COMPARE(model.count(), 3);

        m_server->on(u"DELETE"_s, u"/api/v1/favorites/f1"_s, FakeResponse {500, {}});
        m_server->on(u"DELETE"_s, u"/api/v1/favorites/f2"_s, FakeResponse {200, "{}"});
        m_server->on(u"POST"_s, u"/api/v1/favorites"_s, FakeResponse {200, "{}"});
        model.toggleFavorite(0);
        model.toggleFavorite(1);
        model.toggleFavorite(2);
        QTRY_COMPARE(m_server->requestCount(), 4);
        QTRY_COMPARE(rowIds(model), (QStringList {u"f1"_s, u"f3"_s}));
        QTRY_VERIFY(model.trackAt(1).isFavorite);
        QCOMPARE(model.loadStateValue(), int(LoadState::Loaded));
    }

    void countLineForms_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("line");
        const QList<QPair<int, QString>> cases {{0, u"0 треков"_s}, {1, u"1 трек"_s}, {2, u"2 трека"_s},
            {5, u"5 треков"_s}, {11, u"11 треков"_s}, {14, u"14 треков"_s}, {21, u"21 трек"_s}, {22, u"22 трека"_s},
            {101, u"101 трек"_s}, {111, u"111 треков"_s}, {112, u"112 треков"_s}};
        for (const auto &[count, line] : cases)
            QTest::addRow("%d", count) << count << line;
    }

    void countLineForms()
    {
        QFETCH(int, count);
        QFETCH(QString, line);
        PlaylistsModel model(m_playlists.get(), &m_session);
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, jsonResponse("[" + playlistJson(u"p1"_s, u"A"_s, count) + "]"));
        model.load();
        QTRY_COMPARE(model.count(), 1);
        QCOMPARE(model.data(model.index(0), PlaylistRowsModel::CountTextRole).toString(), line);
    }

    void titleIsTrimmedOfSpacesAndTabsOnly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::newRow("spaces and tabs") << u" \tВечер  \t"_s << u"Вечер"_s;
        QTest::newRow("inner blanks stay") << u"  Два  слова "_s << u"Два  слова"_s;
        QTest::newRow("line breaks stay") << u"\nНочь\n "_s << u"\nНочь\n"_s;
        QTest::newRow("only blanks") << u" \t "_s << QString();
    }

    void titleIsTrimmedOfSpacesAndTabsOnly()
    {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        m_server->on(u"POST"_s, u"/api/v1/playlists"_s, jsonResponse(playlistJson(u"p9"_s, sent, 0)));
        PlaylistsModel model(m_playlists.get(), &m_session);
        QCOMPARE(model.canCreate(typed), !sent.isEmpty());
        QSignalSpy finished(&model, &PlaylistRowsModel::createFinished);
        model.create(typed);
        if (sent.isEmpty()) {
            QVERIFY(waitUntilIdle());
            QCOMPARE(m_server->requestCount(), 0);
            return;
        }
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(QJsonDocument::fromJson(m_server->lastRequest().body).object().value(u"title"_s).toString(), sent);
        QCOMPARE(model.data(model.index(0), PlaylistRowsModel::CountTextRole).toString(), u"0 треков"_s);
    }

    // One track into several playlists, one of them refusing: the others
    // are marked and counted, the refused one shows the store's text and
    // can be clicked again. The sheet's count line takes the form its number asks for.
    void addToSeveralPlaylistsWithOneFailing()
    {
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s,
            jsonResponse("[" + playlistJson(u"p1"_s, u"A"_s, 1) + "," + playlistJson(u"p2"_s, u"B"_s, 2) + ","
                + playlistJson(u"p3"_s, u"C"_s, 3) + "]"));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p1/tracks"_s, FakeResponse {200, "{}"});
        m_server->on(u"POST"_s, u"/api/v1/playlists/p2/tracks"_s, FakeResponse {404, R"({"detail": "Плейлист не найден"})"});
        m_server->on(u"POST"_s, u"/api/v1/playlists/p3/tracks"_s, FakeResponse {200, "{}"});
        TrackListModel source(stores());
        source.setTracks(makeTracks({u"t1"_s}));
        AddToPlaylistModel sheet(m_playlists.get(), &m_session);
        QAbstractItemModelTester tester(&sheet);
        sheet.begin(&source, 0);
        QTRY_COMPARE(sheet.count(), 3);
        QCOMPARE(sheet.data(sheet.index(0), PlaylistRowsModel::CountTextRole).toString(), u"1 трек"_s);

        sheet.addTo(2);
        QVERIFY(sheet.isAddingAny());
        QVERIFY(sheet.data(sheet.index(2), PlaylistRowsModel::IsAddingRole).toBool());
        // Every row waits while one add runs.
        sheet.addTo(0);
        QTRY_VERIFY(!sheet.isAddingAny());
        sheet.addTo(0);
        QTRY_VERIFY(sheet.data(sheet.index(0), PlaylistRowsModel::IsAddedRole).toBool());
        sheet.addTo(1);
        QTRY_COMPARE(sheet.addError(), u"Плейлист не найден"_s);

        QList<bool> added;
        QList<qint64> counts;
        for (int row = 0; row < 3; ++row) {
            added.append(sheet.data(sheet.index(row), PlaylistRowsModel::IsAddedRole).toBool());
            counts.append(sheet.data(sheet.index(row), PlaylistRowsModel::TrackCountRole).toLongLong());
        }
        QCOMPARE(added, (QList<bool> {true, false, true}));
        QCOMPARE(counts, (QList<qint64> {2, 2, 4}));
        QCOMPARE(requestsTo(u"/api/v1/playlists/p1/tracks"_s), 1);
        QCOMPARE(QJsonDocument::fromJson(m_server->lastRequest().body).object().value(u"track_id"_s).toString(),
            u"t1"_s);

        // The same row again, now accepted; a new presentation starts unmarked.
        m_server->on(u"POST"_s, u"/api/v1/playlists/p2/tracks"_s, FakeResponse {200, "{}"});
        sheet.addTo(1);
        QTRY_VERIFY(sheet.data(sheet.index(1), PlaylistRowsModel::IsAddedRole).toBool());
        QCOMPARE(sheet.addError(), QString());
        sheet.begin(&source, 0);
        QVERIFY(!sheet.data(sheet.index(1), PlaylistRowsModel::IsAddedRole).toBool());
        QCOMPARE(requestsTo(u"/api/v1/playlists"_s), 1);
    }

    // Create and add in one step; a failed create keeps its text for the
    // prompt, a created playlist whose add failed stays first with 0.
    void createAndAddFromTheSheet()
    {
        m_server->on(u"GET"_s, u"/api/v1/playlists"_s, jsonResponse("[" + playlistJson(u"p1"_s, u"A"_s, 1) + "]"));
        m_server->on(u"POST"_s, u"/api/v1/playlists"_s, FakeResponse {422, R"({"detail": [{"msg": "Слишком длинно"}]})"});
        TrackListModel source(stores());
        source.setTracks(makeTracks({u"t1"_s}));
        AddToPlaylistModel sheet(m_playlists.get(), &m_session);
        sheet.begin(&source, 0);
        QTRY_COMPARE(sheet.count(), 1);
        QSignalSpy finished(&sheet, &PlaylistRowsModel::createFinished);

        sheet.create(u" Новый "_s);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(finished.last().first().toBool(), false);
        QCOMPARE(sheet.createError(), u"Слишком длинно"_s);
        QCOMPARE(sheet.count(), 1);

        m_server->on(u"POST"_s, u"/api/v1/playlists"_s, jsonResponse(playlistJson(u"p7"_s, u"Новый"_s, 0)));
        m_server->on(u"POST"_s, u"/api/v1/playlists/p7/tracks"_s, FakeResponse {200, "{}"});
        sheet.create(u" Новый "_s);
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(finished.last().first().toBool(), true);
        QCOMPARE(sheet.createError(), QString());
        QCOMPARE(sheet.createdCount(), 1);
        QCOMPARE(sheet.playlistAt(0).id, u"p7"_s);
        QCOMPARE(sheet.data(sheet.index(0), PlaylistRowsModel::TrackCountRole).toLongLong(), 1);
        QVERIFY(sheet.data(sheet.index(0), PlaylistRowsModel::IsAddedRole).toBool());
    }

    // Without a token the store sends nothing for any of its calls.
    void guestSendsNothing()
    {
        m_session.setToken(std::nullopt);
        QCoro::waitFor(m_playlists->loadAsync());
        QCOMPARE(QCoro::waitFor(m_playlists->createAsync(u"x"_s)), std::nullopt);
        QVERIFY(!QCoro::waitFor(m_playlists->addTrackAsync(u"t1"_s, u"p1"_s)));
        FavoritesModel favorites(stores(), NimbraApi());
        favorites.reload();
        QVERIFY(waitUntilIdle());
        QCOMPARE(m_server->requestCount(), 0);
        QVERIFY(favorites.needsSignIn());
    }
};

QTEST_GUILESS_MAIN(TstLibraryModels)
#include "tst_librarymodels.moc"
