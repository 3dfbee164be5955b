#include "tracks/pagedtrackmodel.h"
#include "tracks/trackactions.h"
#include "tracks/tracklistmodel.h"

#include "collection/favoritesstore.h"
#include "collection/ratingsstore.h"
#include "api/session.h"

#include "fakehttpserver.h"
#include "playerrig.h"
#include "testenv.h"

#include <QCoro/QCoroTimer>
#include <QAbstractItemModelTester>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// Pages of two tracks, three pages in all; each answers a moment after it
// was asked for.
struct PagedSource
{
    QList<int> asked;
    int answered = 0; // loads that have ended, whatever their end
    bool fails = false;
    bool empty = false;

    PagedTrackModel::PageLoader loader()
    {
        return [this](int page, CancelToken) -> QCoro::Task<TrackPage> {
            asked.append(page);
            co_await QCoro::sleepFor(std::chrono::milliseconds(1));
            ++answered;
            if (fails)
                throw std::runtime_error("no network");
            TrackPage result;
            result.page = page;
            result.pages = 3;
            if (!empty)
                result.items = makeTracks({u"p%1a"_s.arg(page), u"p%1b"_s.arg(page)});
            co_return result;
        };
    }
};

} // namespace

class TestTrackListModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_server->setFallback([](const RecordedRequest &request) {
            if (request.path == u"/api/v1/rate"_s)
                return FakeResponse {200, R"({"track_id": "b", "type": "dislike"})"};
            return FakeResponse {204, {}};
        });
    }

    void rolesAndReplaceTouchOneRow()
    {
        TrackListModel model(TrackStores {});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setTracks(makeTracks({u"a"_s, u"b"_s, u"c"_s}));
        QCOMPARE(model.count(), 3);
        const QHash<int, QByteArray> names = model.roleNames();
        QCOMPARE(names.value(TrackListModel::TitleRole), QByteArray("title"));
        QCOMPARE(model.data(model.index(1), TrackListModel::TrackIdRole).toString(), u"b"_s);

        QSignalSpy changed(&model, &TrackListModel::dataChanged);
        QSignalSpy reset(&model, &TrackListModel::modelReset);
        TrackOut b = model.trackAt(1);
        QVERIFY(model.replaceById(b.withFavorite(true)));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 1);
        QCOMPARE(reset.size(), 0);
        QVERIFY(model.data(model.index(1), TrackListModel::IsFavoriteRole).toBool());
        // The same record again, or an id not shown, changes nothing.
        QVERIFY(!model.replaceById(model.trackAt(1)));
        QVERIFY(!model.replaceById(makeTrack(u"zz"_s)));
        QCOMPARE(changed.size(), 1);

        model.append(makeTracks({u"d"_s}));
        QCOMPARE(model.count(), 4);
        model.setTracks({});
        QCOMPARE(model.count(), 0);
        QCOMPARE(reset.size(), 1);
    }

    // A row keeps its record compactly and gives every field back as it was
    // given, also after the rows around it were replaced and removed.
    void rowsComeBackWhole_data()
    {
        QTest::addColumn<TrackOut>("track");
        TrackOut bare;
        bare.id = u"t1"_s;
        TrackOut full = bare;
        full.title = u"Песня \U0001F3B5"_s;
        full.artist = u"Café"_s;
        full.durationSeconds = std::numeric_limits<qint64>::max();
        full.fileUrl = u"media/t1.FLAC?x=1"_s;
        full.coverUrl = u"media/covers/é.png"_s;
        full.albumId = u"al1"_s;
        full.lyrics = QString(70000, u'ж');
        full.trackNumber = -3;
        full.userRating = u"dislike"_s;
        full.isFavorite = true;
        full.createdAt = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0, 7), QTimeZone::utc());
        TrackOut empty = bare;
        empty.title = QString(QChar(0xD83C)); // half of a pair, as a JSON escape may give it
        empty.coverUrl = QString();
        empty.lyrics = QString();
        empty.createdAt = QDateTime();
        TrackOut wideId = full;
        wideId.id = u"трек-1"_s;
        wideId.fileUrl = u"média/t1.wav"_s;
        wideId.lyrics = std::nullopt;
        QTest::newRow("no optional field") << bare;
        QTest::newRow("every field, long and wide texts") << full;
        QTest::newRow("wide id, one-byte address") << wideId;
        QTest::newRow("empty texts, lone surrogate, invalid date") << empty;
    }

    void rowsComeBackWhole()
    {
        QFETCH(TrackOut, track);
        TrackListModel model(TrackStores {});
        // An id that begins with the row's (t10 before t1) is another track's.
        QList<TrackOut> tracks = makeTracks({u"t10"_s, u"b"_s});
        tracks.insert(1, track);
        model.setTracks(tracks);
        QCOMPARE(model.trackAt(1), track);
        const QModelIndex row = model.index(1);
        QCOMPARE(model.data(row, TrackListModel::TitleRole).toString(), track.title);
        QCOMPARE(model.data(row, TrackListModel::ArtistRole).toString(), track.artist);
        QCOMPARE(model.data(row, TrackListModel::CoverUrlRole).toString(), track.coverAddress());
        QCOMPARE(model.data(row, TrackListModel::DurationSecondsRole).toDouble(), double(track.durationSeconds));
        QCOMPARE(model.data(row, TrackListModel::IsHiFiRole).toBool(), track.isHiFi());
        QCOMPARE(model.data(row, TrackListModel::UserRatingRole).toInt(), track.userRating ? -1 : 0);
        QCOMPARE(model.data(row, TrackListModel::AlbumIdRole).toString(), track.albumId.value_or(QString()));
        QCOMPARE(model.data(row, TrackListModel::TrackNumberRole).isValid(), track.trackNumber.has_value());
        QCOMPARE(model.rowOf(track.id), 1);

        // Lyrics replaced again and again leave dead texts until the rows
        // are packed anew.
        TrackOut changed = tracks.at(2);
        for (int i = 0; i < 40; ++i) {
            changed.lyrics = QString(4000, QChar(u'a' + i % 26));
            QVERIFY(model.replaceById(changed));
        }
        model.removeById(u"t10"_s);
        QCOMPARE(model.trackAt(0), track);
        QCOMPARE(model.trackAt(0).createdAt.has_value(), track.createdAt.has_value());
        QCOMPARE(model.trackAt(1), changed);

        // A new list starts on fresh blocks.
        model.setTracks(tracks);
        QCOMPARE(model.tracks(), tracks);

        // Lyrics found later reach a row that had none.
        track.lyrics = u"[00:01.00] строка"_s;
        QVERIFY(model.replaceById(track));
        QCOMPARE(model.trackAt(1), track);
    }

    void pagingStopsAtTheEndAndDropsStalePages()
    {
        PagedSource source;
        PagedTrackModel model(source.loader(), TrackStores {});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.loadState().state, LoadState::Idle);

        model.reload();
        QVERIFY(model.isLoading());
        // No second request while one runs.
        model.fetchMore({});
        QCOMPARE(source.asked, QList<int>({1}));
        QTRY_COMPARE(model.loadState().state, LoadState::Loaded);
        // The tester asks for more as rows arrive, as a view does.
        while (model.canFetchMore({})) {
            model.fetchMore({});
            QTRY_VERIFY(!model.isFetching());
        }
        QTRY_COMPARE(model.count(), 6);
        QCOMPARE(source.asked, QList<int>({1, 2, 3}));

        // A reload replaces a load in flight; its page is ignored.
        source.asked.clear();
        source.answered = 0;
        model.reload();
        model.reload();
        QTRY_COMPARE(model.loadState().state, LoadState::Loaded);
        QTRY_COMPARE(model.count(), 6);
        // The replaced load's page, too, has been handed back.
        QTRY_COMPARE(source.answered, int(source.asked.size()));
        QCOMPARE(model.count(), 6);
        QCOMPARE(model.trackAt(0).id, u"p1a"_s);
        QCOMPARE(source.asked.count(1), 2);
        QCOMPARE(source.asked.count(2), 1);

        source.fails = true;
        model.reload();
        QTRY_COMPARE(model.loadState().state, LoadState::Failed);
        QCOMPARE(model.errorText(), u"no network"_s);
        QVERIFY(!model.canFetchMore({}));
    }

    // A page that failed stops the paging: a list scrolled on to its last
    // row asks for nothing more until the listener retries, and what was
    // shown stays.
    void aFailedPageAsksForNoMore()
    {
        PagedSource source;
        PagedTrackModel model(source.loader(), TrackStores {});
        model.reload();
        QTRY_COMPARE(model.loadState().state, LoadState::Loaded);
        source.fails = true;
        model.rowAppeared(model.count() - 1);
        QTRY_COMPARE(model.loadState().state, LoadState::Failed);
        QCOMPARE(model.count(), 2);
        QVERIFY(model.hasMore());
        QVERIFY(!model.canFetchMore({}));
        for (int i = 0; i < 3; ++i) {
            model.rowAppeared(model.count() - 1);
            model.fetchMore({});
        }
        QVERIFY(!model.isFetching());
        QCOMPARE(source.asked, QList<int>({1, 2}));

        source.fails = false;
        model.reload();
        QTRY_COMPARE(model.loadState().state, LoadState::Loaded);
        QCOMPARE(source.asked, QList<int>({1, 2, 1}));
    }

    // A first page without rows is the empty state, not an empty list.
    void anEmptyFirstPageIsTheEmptyState()
    {
        PagedSource source;
        source.empty = true;
        PagedTrackModel model(source.loader(), TrackStores {});
        QSignalSpy state(&model, &TrackListModel::loadStateChanged);
        model.reload();
        QTRY_COMPARE(model.loadState().state, LoadState::Empty);
        QCOMPARE(model.count(), 0);
        QVERIFY(!model.canFetchMore({}));
        QVERIFY(state.size() >= 2); // loading, then empty
    }

    // The row that was playing loses its mark and the row that plays gains
    // it, each with a change of that row alone.
    void theRowThatStopsPlayingLosesItsMark()
    {
        PlayerRig rig;
        TrackListModel list(TrackStores {rig.store.get(), nullptr, nullptr, &rig.session});
        list.setTracks(makeTracks({u"a"_s, u"b"_s, u"c"_s}));
        QVERIFY(QMetaObject::invokeMethod(&list, "play", Q_ARG(int, 1)));
        QVERIFY(list.data(list.index(1), TrackListModel::IsCurrentRole).toBool());

        QSignalSpy changed(&list, &TrackListModel::dataChanged);
        QVERIFY(QMetaObject::invokeMethod(&list, "play", Q_ARG(int, 2)));
        QSet<int> rows;
        for (const QList<QVariant> &signal : std::as_const(changed)) {
            if (!signal.at(2).value<QList<int>>().contains(TrackListModel::IsCurrentRole))
                continue;
            QCOMPARE(signal.at(0).toModelIndex().row(), signal.at(1).toModelIndex().row());
            rows.insert(signal.at(0).toModelIndex().row());
        }
        QCOMPARE(rows, (QSet<int> {1, 2}));
        QVERIFY(!list.data(list.index(1), TrackListModel::IsCurrentRole).toBool());
        QVERIFY(list.data(list.index(2), TrackListModel::IsCurrentRole).toBool());
    }

    void rowAndCurrentTrackActionsSendOnce()
    {
        PlayerRig rig;
        FavoritesStore favorites(&rig.session);
        RatingsStore ratings(&rig.session);
        const TrackStores stores {rig.store.get(), &favorites, &ratings, &rig.session};
        TrackListModel list(stores);
        TrackListModel other(stores);
        TrackActions current(stores);
        list.setTracks(makeTracks({u"a"_s, u"b"_s}));
        other.setTracks(makeTracks({u"b"_s}));

        // Without an account nothing is sent and the prompt shows.
        QVERIFY(QMetaObject::invokeMethod(&list, "toggleFavorite", Q_ARG(int, 1)));
        QCOMPARE(list.signInPrompt(), u"Войдите в аккаунт, чтобы добавлять треки в избранное."_s);
        current.toggleDislike();
        QCOMPARE(current.signInPrompt(), QString());
        QCOMPARE(m_server->requestCount(), 0);

        rig.session.setToken(u"tok"_s);
        rig.session.setHasUser(true);
        QVERIFY(QMetaObject::invokeMethod(&list, "play", Q_ARG(int, 1)));
        QCOMPARE(rig.currentId(), u"b"_s);
        QVERIFY(list.data(list.index(1), TrackListModel::IsCurrentRole).toBool());
        QVERIFY(!list.data(list.index(0), TrackListModel::IsCurrentRole).toBool());

        QSignalSpy otherChanged(&other, &TrackListModel::dataChanged);
        QVERIFY(QMetaObject::invokeMethod(&list, "toggleFavorite", Q_ARG(int, 1)));
        QTRY_VERIFY(rig.store->currentIsFavorite());
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_server->lastRequest().method, u"POST"_s);
        QCOMPARE(m_server->lastRequest().path, u"/api/v1/favorites"_s);
        QVERIFY(m_server->lastRequest().body.contains("\"b\""));
        QCOMPARE(m_server->lastRequest().header(u"Authorization"_s), u"Bearer tok"_s);
        // Every list showing the track follows, the queue included.
        QVERIFY(other.data(other.index(0), TrackListModel::IsFavoriteRole).toBool());
        QCOMPARE(otherChanged.size(), 1);
        QVERIFY(rig.store->queue().at(1).isFavorite);

        // The current track's own actions: a dislike, then the heart again.
        QVERIFY(QMetaObject::invokeMethod(&current, "toggleDislike"));
        QTRY_VERIFY(rig.store->currentIsDisliked());
        QCOMPARE(m_server->requestCount(), 2);
        QCOMPARE(m_server->lastRequest().path, u"/api/v1/rate"_s);
        QVERIFY(m_server->lastRequest().body.contains("\"b\""));
        QVERIFY(QMetaObject::invokeMethod(&current, "toggleFavorite"));
        QTRY_VERIFY(!rig.store->currentIsFavorite());
        QCOMPARE(m_server->requestCount(), 3);
        QCOMPARE(m_server->lastRequest().method, u"DELETE"_s);
        QCOMPARE(m_server->lastRequest().path, u"/api/v1/favorites/b"_s);
        QVERIFY(QMetaObject::invokeMethod(&list, "toggleDislike", Q_ARG(int, 0)));
        QTRY_COMPARE(m_server->requestCount(), 4);
        QVERIFY(m_server->lastRequest().body.contains("\"a\""));
    }

private:
    std::unique_ptr<FakeHttpServer> m_server;
};

QTEST_MAIN(TestTrackListModel)
#include "tst_tracklistmodel.moc"
