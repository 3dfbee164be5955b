// The typed client against the local service's default catalogue: every
// catalogue endpoint once, with the request shapes the service logged, and
// what the client makes of a slow answer and a dropped connection.
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/nimbraapi.h"
#include "catalogue/homesummary.h"

#include "devserviceprocess.h"
#include "servicerequests.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// "t00051" ... "t00100" for the second page of 50.
QStringList catalogueIds(int first, int count)
{
    QStringList ids;
    for (int n = first; n < first + count; ++n)
        ids.append(u"t%1"_s.arg(n, 5, 10, QLatin1Char('0')));
    return ids;
}

} // namespace

class TestNimbraApiEndToEndCatalogue : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    NimbraApi m_api;
    QString m_token;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        ApiConfig::setBaseUrl(m_service->baseUrl());
        m_token = m_service->signIn();
        QVERIFY(!m_token.isEmpty());
    }

    void init()
    {
        m_service->clearFaults();
        m_service->clearRequests();
    }

    void cleanupTestCase() { m_service.reset(); }

    void trackPagesBriefAndFull()
    {
        SERVICE_VALUE(second, m_api.tracks(2, 50, true, std::nullopt));
        QCOMPARE(trackIds(second.items), catalogueIds(51, 50));
        QCOMPARE(second.total, 6000);
        QCOMPARE(second.pages, 120);
        for (const TrackOut &track : second.items)
            QVERIFY2(!track.lyrics, qPrintable(track.id));

        // Full records carry the lyrics the brief ones leave out: t00001 has
        // lyrics of its own.
        SERVICE_VALUE(first, m_api.tracks(1, 20, false, m_token));
        QCOMPARE(trackIds(first.items), catalogueIds(1, 20));
        QVERIFY(first.items[0].lyrics && first.items[0].lyrics->contains(u'['));
        QCOMPARE(first.pages, 300);

        QCOMPARE(requestLines(m_service->requests()),
            (QStringList {expectedLine(u"GET"_s, u"/api/v1/tracks?brief=true&page=2&size=50"_s),
                expectedLine(u"GET"_s, u"/api/v1/tracks?brief=false&page=1&size=20"_s, m_token)}));
    }

    void singleTracksKeepTheirDocumentedTraits()
    {
        SERVICE_VALUE(hifi, m_api.track(u"t00002"_s, m_token));
        QCOMPARE(hifi.durationSeconds, 6);
        QVERIFY(hifi.isHiFi());
        QCOMPARE(hifi.trackNumber, 1);
        SERVICE_VALUE(credited, m_api.track(u"t00013"_s, std::nullopt));
        QCOMPARE(credited.artist, u"Mokko feat. Сахар"_s);
        QVERIFY(credited.createdAt);
        SERVICE_VALUE(undated, m_api.track(u"t00011"_s, std::nullopt));
        QCOMPARE(undated.createdAt, std::nullopt);
        SERVICE_VALUE(coverless, m_api.track(u"t00010"_s, std::nullopt));
        QCOMPARE(coverless.coverUrl, std::nullopt);
        QVERIFY(!coverless.isHiFi());

        QCOMPARE(
            requestLine(m_service->requests().value(0)), expectedLine(u"GET"_s, u"/api/v1/tracks/t00002"_s, m_token));

        // An id with a "/" stays one path segment and reaches no other route.
        m_service->clearRequests();
        const ApiError missing = apiErrorOf(errorOf(m_api.track(u"t00001/../a b"_s, std::nullopt)));
        QCOMPARE(missing.statusCode(), 404);
        QCOMPARE(m_service->requests().value(0).path, u"/api/v1/tracks/t00001%2F..%2Fa%20b"_s);
    }

    void searchFindsTitlesAndCredits_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Cyrillic with ё") << u"Лёша Север"_s << u"t00015"_s;
        // "&" would make a second query item if it reached the wire unencoded.
        QTest::newRow("ampersand") << u"caxap & nova"_s << u"t00014"_s;
    }

    void searchFindsTitlesAndCredits()
    {
        QFETCH(QString, query);
        QFETCH(QString, expected);
        SERVICE_VALUE(found, m_api.search(query, std::nullopt));
        QVERIFY(found.tracks.size() <= 50);
        QVERIFY(found.albums.size() <= 20);
        QVERIFY(trackIds(found.tracks).contains(expected));
        for (const TrackOut &track : found.tracks) {
            QVERIFY2(
                track.title.contains(query, Qt::CaseInsensitive) || track.artist.contains(query, Qt::CaseInsensitive),
                qPrintable(track.id));
        }
        const auto request = m_service->requests().value(0);
        QCOMPARE(request.path, u"/api/v1/search"_s);
        QCOMPARE(request.queryItems, (QList<QPair<QString, QString>> {{u"q"_s, query}}));
        QVERIFY(!request.hasHeader(u"authorization"_s));
    }

    void emptySearchStillSendsTheKey()
    {
        SERVICE_VALUE(nothing, m_api.search(QString(), m_token));
        QVERIFY(nothing.tracks.isEmpty());
        QVERIFY(nothing.albums.isEmpty());
        QCOMPARE(
            requestLines(m_service->requests()), QStringList {expectedLine(u"GET"_s, u"/api/v1/search?q="_s, m_token)});
    }

    void albumsAndTheirTracks()
    {
        SERVICE_VALUE(albums, m_api.albums());
        QCOMPARE(albums.size(), 600);
        QCOMPARE(albums.first().id, u"a0001"_s);

        SERVICE_VALUE(tracks, m_api.albumTracks(u"a0001"_s, m_token));
        QVERIFY(tracks.size() >= 2);
        QCOMPARE(tracks.first().id, u"t00002"_s);
        for (qsizetype i = 0; i < tracks.size(); ++i) {
            QCOMPARE(tracks[i].albumId, u"a0001"_s);
            QCOMPARE(tracks[i].trackNumber, i + 1);
        }

        QCOMPARE(requestLines(m_service->requests()),
            (QStringList {expectedLine(u"GET"_s, u"/api/v1/albums"_s),
                expectedLine(u"GET"_s, u"/api/v1/albums/a0001/tracks"_s, m_token)}));
    }

    void clipsAndBattlesArePaged()
    {
        SERVICE_VALUE(clips, m_api.clips(1, 10, u"clip"_s, std::nullopt));
        QCOMPARE(clips.total, 36);
        QCOMPARE(clips.items.size(), 10);
        QCOMPARE(clips.items.first().id, u"c0001"_s);
        SERVICE_VALUE(battles, m_api.battles(3, 10, m_token));
        QCOMPARE(battles.total, 24);
        QCOMPARE(battles.pages, 3);
        QCOMPARE(battles.items.size(), 4);
        QCOMPARE(battles.items.first().id, u"b0021"_s);

        QCOMPARE(requestLines(m_service->requests()),
            (QStringList {expectedLine(u"GET"_s, u"/api/v1/clips?kind=clip&page=1&size=10"_s),
                expectedLine(u"GET"_s, u"/api/v1/battles?page=3&size=10"_s, m_token)}));
    }

    void featuredArtistNamesAsTheServiceSpellsThem()
    {
        SERVICE_VALUE(names, m_api.featuredArtistNames());
        QCOMPARE(names, (QStringList {u"Мокко"_s, u"nova static"_s, u"Kocmoc"_s, u"Lumen"_s, u"Кира Норд"_s}));
        QCOMPARE(requestLines(m_service->requests()),
            QStringList {expectedLine(u"GET"_s, u"/api/v1/catalog/featured-artist-names"_s)});
    }

    void slowProbeCancelsTheWholeCount()
    {
        QVERIFY(m_service->injectFault({{"path"_L1, u"/api/v1/battles"_s}, {"hold"_L1, true}, {"count"_L1, 1}}));
        const CancelToken cancel;
        QCoro::Task<LibraryStats> count = HomeSummary(m_api).libraryStats(std::nullopt, cancel);
        QTRY_VERIFY(
            requestLines(m_service->requests()).contains(expectedLine(u"GET"_s, u"/api/v1/battles?page=1&size=1"_s)));
        cancel.cancel();
        const ApiError error = apiErrorOf(errorOf(std::move(count)));
        QVERIFY(error.isCancelled());
        // The count ended while the probe's answer was still held.
        QCOMPARE(m_service->releaseHeld(), 1);
    }

};

QTEST_GUILESS_MAIN(TestNimbraApiEndToEndCatalogue)
#include "tst_nimbraapi_e2e_catalogue.moc"
