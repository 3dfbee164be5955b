#include "api/apierror.h"
#include "api/nimbraapi.h"
#include "catalogue/homesummary.h"
#include "format/russiandate.h"

#include "catalogpages.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QtTest>
#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// The service writes instants in UTC; these are built as UTC too.
QDateTime utc(int year, int month, int day, int hour = 12, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

} // namespace

class TestCompositionsHome : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakeHttpServer> m_server;

    // A catalogue of 3 albums, 1234 tracks, 17 clips, 5 battles and 2
    // favourites.
    void serveCounts()
    {
        serveLibraryCounts(
            *m_server, {albumJson(u"a1"_s), albumJson(u"a2"_s), albumJson(u"a3"_s)}, tracksJson({u"f1"_s, u"f2"_s}));
    }

    // A handler that answers once the server has received four requests
    // (the four counts), or with a 409 when they never all come.
    FakeHttpServer::Handler whenAllFourArrived(FakeResponse response)
    {
        FakeHttpServer *server = m_server.get();
        return [server, response](const RecordedRequest &) {
            if (!server->waitForRequestCount(4, std::chrono::milliseconds(kEventLimitMs)))
                return jsonResponse(R"({"detail": "asked one by one"})", 409);
            return response;
        };
    }

    QStringList requestedPaths() const
    {
        QStringList paths;
        for (const RecordedRequest &r : m_server->requests())
            paths.append(r.path);
        return paths;
    }

private slots:
    void initTestCase()
    {
        // Ten hours east of UTC, so that a release's local day differs from
        // its UTC day late in the UTC evening.
        qputenv("TZ", "XST-10");
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init() { m_server->clearRequests(); }

    void countsOfAGuest()
    {
        serveCounts();
        const auto outcome = outcomeOf(HomeSummary(NimbraApi()).libraryStats(std::nullopt));
        QVERIFY2(outcome.value, qPrintable(describeException(outcome.error)));
        const LibraryStats s = *outcome.value;
        QCOMPARE((QList<qint64> {s.favoritesCount, s.albumsCount, s.tracksCount, s.clipsCount, s.battlesCount}),
            (QList<qint64> {0, 3, 1234, 17, 5}));
        // A guest has no favourites to ask for.
        QVERIFY(!requestedPaths().contains(u"/api/v1/favorites"_s));

        // The empty token is a token: its favourites are counted.
        const auto listener = outcomeOf(HomeSummary(NimbraApi()).libraryStats(QString()));
        QCOMPARE(listener.value->favoritesCount, 2);
    }

    void aFailingCountFailsTheWhole_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("status");
        QTest::newRow("battles") << u"/api/v1/battles"_s << 503;
        QTest::newRow("favourites, no fallback to 0") << u"/api/v1/favorites"_s << 401;
    }

    void aFailingCountFailsTheWhole()
    {
        QFETCH(QString, failing);
        QFETCH(int, status);
        serveCounts();
        m_server->on(u"GET"_s, failing, whenAllFourArrived(jsonResponse("{}", status)));
        const auto outcome = outcomeOf(HomeSummary(NimbraApi()).libraryStats(u"tok"_s));
        QVERIFY(!outcome.value);
        const auto error = outcome.errorAs<ApiError>();
        QVERIFY(error);
        QCOMPARE(error->statusCode(), status);
        // A failed count asks no favourites.
        QCOMPARE(requestedPaths().contains(u"/api/v1/favorites"_s), failing == "/api/v1/favorites"_L1);
    }

    void aFailedCountCancelsTheOthers()
    {
        serveCounts();
        m_server->on(u"GET"_s, u"/api/v1/albums"_s, whenAllFourArrived(jsonResponse("{}", 500)));
        AnswerGate battles;
        m_server->on(u"GET"_s, u"/api/v1/battles"_s, battles.hold(jsonResponse(clipPageBody(5))));
        const auto error = outcomeOf(HomeSummary(NimbraApi()).libraryStats(std::nullopt)).errorAs<ApiError>();
        QVERIFY(error);
        QCOMPARE(error->statusCode(), 500);
        // The call ended while the battles were still held back.
        QVERIFY(!battles.answered());
        battles.open();
    }

    void newReleasesNewestFirst()
    {
        const QDateTime same = utc(2026, 12, 5, 9);
        QJsonArray tracks {trackJson(u"old"_s, u"Old"_s, utc(2025, 1, 9)),
            trackJson(u"undated"_s, u"Undated"_s, std::nullopt), trackJson(u"tie"_s, u"Tie"_s, same),
            trackJson(u"late"_s, u"Late evening"_s, utc(2026, 3, 31, 20, 30)),
            trackJson(u"tie2"_s, u"Tie too"_s, same)};
        QJsonObject ofAlbum = trackJson(u"in-album"_s, u"On the album"_s, utc(2026, 6, 1));
        ofAlbum.insert("album_id"_L1, u"al"_s);
        tracks.append(ofAlbum);
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, jsonResponse(trackPageBody(tracks, 6, 1, 80, 1)));
        m_server->on(u"GET"_s, u"/api/v1/albums"_s,
            jsonResponse(listBody({albumJson(u"tie"_s, same), albumJson(u"al"_s, utc(2026, 6, 1)),
                albumJson(u"undated"_s), albumJson(u"newest"_s, utc(2027, 1, 1, 1))})));

        const auto outcome = outcomeOf(HomeSummary(NimbraApi()).newReleases(u"tok"_s, 18));
        QVERIFY2(outcome.value, qPrintable(describeException(outcome.error)));
        QStringList ids, subtitles;
        for (const HomeReleaseItem &item : *outcome.value) {
            ids.append(item.id);
            subtitles.append(item.subtitle);
        }
        // Equal instants keep tracks before albums, each in the service's order.
        QCOMPARE(ids,
            (QStringList {u"album-newest"_s, u"track-tie"_s, u"track-tie2"_s, u"album-tie"_s, u"track-in-album"_s,
                u"album-al"_s, u"track-late"_s, u"track-old"_s}));
        // Days of the local zone, ten hours east: 20:30 UTC is the next morning.
        QCOMPARE(subtitles,
            (QStringList {u"Альбом · 1 января"_s, u"Сингл · 5 декабря"_s, u"Сингл · 5 декабря"_s,
                u"Альбом · 5 декабря"_s, u"Сингл · 1 июня"_s, u"Альбом · 1 июня"_s, u"Сингл · 1 апреля"_s,
                u"Сингл · 9 января"_s}));

        const HomeReleaseItem &single = outcome.value->at(1);
        QCOMPARE(single.artistLine, u"Artist tie"_s);
        QCOMPARE(single.coverUrl, std::optional<QString>(u"/covers/tie.png"_s));
        QCOMPARE(std::get<TrackOut>(single.target).id, u"tie"_s);
        QCOMPARE(outcome.value->at(0).artistLine, u"Band newest"_s);

        // The tracks first, then the album list, which is never sent the token.
        const QList<RecordedRequest> requests = m_server->requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.at(0).path, u"/api/v1/tracks"_s);
        QCOMPARE(requests.at(0).queryItems,
            (QList<QPair<QString, QString>> {{u"brief"_s, u"true"_s}, {u"page"_s, u"1"_s}, {u"size"_s, u"80"_s}}));
        QCOMPARE(requests.at(0).header(u"Authorization"_s), u"Bearer tok"_s);
        QCOMPARE(requests.at(1).path, u"/api/v1/albums"_s);
        QVERIFY(!requests.at(1).hasHeader(u"Authorization"_s));
    }

    void newReleasesUpToTheLimit()
    {
        const QJsonArray tracks {trackJson(u"t1"_s, u"A"_s, utc(2026, 1, 1)),
            trackJson(u"t2"_s, u"B"_s, utc(2026, 1, 3)), trackJson(u"t3"_s, u"C"_s)};
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, jsonResponse(trackPageBody(tracks, 3, 1, 80, 1)));
        m_server->on(u"GET"_s, u"/api/v1/albums"_s,
            jsonResponse(listBody({albumJson(u"a1"_s, utc(2026, 1, 2)), albumJson(u"a2"_s, utc(2025, 1, 2))})));
        const QStringList all {u"track-t2"_s, u"album-a1"_s, u"track-t1"_s, u"album-a2"_s};
        for (const auto &[limit, count] : {std::pair {-1, 0}, {2, 2}, {18, 4}}) {
            const auto outcome = outcomeOf(HomeSummary(NimbraApi()).newReleases(std::nullopt, limit));
            QStringList ids;
            for (const HomeReleaseItem &item : *outcome.value)
                ids.append(item.id);
            QCOMPARE(ids, all.mid(0, count));
        }
    }

    void newReleasesFailWithEitherRequest_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("requests");
        QTest::newRow("tracks") << u"/api/v1/tracks"_s << 1;
        QTest::newRow("albums") << u"/api/v1/albums"_s << 2;
    }

    void newReleasesFailWithEitherRequest()
    {
        QFETCH(QString, failing);
        QFETCH(int, requests);
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, jsonResponse(trackPageBody(tracksJson({u"t1"_s}), 1, 1, 80, 1)));
        m_server->on(u"GET"_s, u"/api/v1/albums"_s, jsonResponse("[]"));
        m_server->on(u"GET"_s, failing, jsonResponse(R"({"detail": "нет"})", 500));
        const auto error = outcomeOf(HomeSummary(NimbraApi()).newReleases(std::nullopt, 18)).errorAs<ApiError>();
        QVERIFY(error);
        QCOMPARE(error->description(), u"нет"_s);
        QCOMPARE(m_server->requestCount(), requests);
    }

    void russianDayAndMonth()
    {
        QCOMPARE(russianDayMonth(QDate(2026, 5, 9)), u"9 мая"_s);
        QCOMPARE(russianDayMonth(QDate()), QString());
    }
};

QTEST_GUILESS_MAIN(TestCompositionsHome)
#include "tst_compositionshome.moc"
