#include "api/apierror.h"
#include "api/nimbraapi.h"
#include "api/splitmix64.h"
#include "library/trackdraws.h"

#include "catalogpages.h"
#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"
#include "trackfixtures.h"

#include "api/randomshuffle.h"
#include <QtTest>
#include <limits>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// Page p of 50 holds the tracks "p<p>-0" ... "p<p>-49".
QJsonArray numberedPage(int page, int size)
{
    QStringList ids;
    for (int i = 0; i < size; ++i)
        ids.append(u"p%1-%2"_s.arg(page).arg(i));
    return tracksJson(ids);
}

TrackDraws onDay(QDate day)
{
    return TrackDraws(NimbraApi(), TrackDraws::Sources {[day] { return day; }, {}});
}

TrackDraws withRandomSeed(quint64 seed)
{
    auto generator = std::make_shared<SplitMix64>(seed);
    return TrackDraws(NimbraApi(), TrackDraws::Sources {{}, [generator] { return generator->next(); }});
}

// Hands out fixed values and counts how many were taken.
struct Script
{
    QList<quint64> values;
    int taken = 0;

    quint64 operator()()
    {
        if (taken >= values.size())
            qFatal("the draw asked for more values than scripted");
        return values.at(taken++);
    }
};

} // namespace

class TestCompositionsDaily : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakeHttpServer> m_server;

    void serveCatalogue(qint64 probePages, std::function<QJsonArray(int, int)> page = numberedPage)
    {
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, catalogue(probePages, std::move(page)));
    }

    // Every request of the call asked for brief records, with the token when
    // one was given.
    void verifyRequests(const std::optional<QString> &token)
    {
        for (const RecordedRequest &r : m_server->requests()) {
            if (r.path == "/api/v1/tracks"_L1)
                QCOMPARE(r.queryItems.first(), (QPair<QString, QString> {u"brief"_s, u"true"_s}));
            QCOMPARE(r.hasHeader(u"Authorization"_s), token.has_value());
            if (token)
                // The fake server trims the value, so the empty token's "Bearer " arrives as "Bearer".
                QCOMPARE(r.header(u"Authorization"_s), (u"Bearer "_s + *token).trimmed());
        }
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init()
    {
        m_server->clearRequests();
        m_server->setFallback({});
    }

    void dailyDrawsTheDaysPages_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<qint64>("probePages");
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<QStringList>("firstTracks");

        // Drawn by an independent implementation of the same generator,
        // draw and shuffle, with the day ordinal as the seed (739958 for
        // 6 December 2026).
        QTest::newRow("6 December, pages 250 clamped to 100")
            << QDate(2026, 12, 6) << qint64(250) << QList<int> {95, 2, 42, 33}
            << QStringList {u"p33-9"_s, u"p33-45"_s, u"p95-29"_s, u"p2-38"_s, u"p2-4"_s, u"p42-27"_s};
        QTest::newRow("the next day draws anew")
            << QDate(2026, 12, 7) << qint64(250) << QList<int> {1, 95, 20, 59}
            << QStringList {u"p20-23"_s, u"p20-40"_s, u"p95-37"_s, u"p95-43"_s, u"p1-21"_s, u"p59-1"_s};
        QTest::newRow("three pages, all fetched")
            << QDate(2026, 12, 6) << qint64(3) << QList<int> {3, 2, 1}
            << QStringList {u"p2-11"_s, u"p3-46"_s, u"p3-37"_s, u"p1-27"_s, u"p2-42"_s, u"p1-23"_s};
        QTest::newRow("no pages counts as one") << QDate(2026, 12, 6) << qint64(0) << QList<int> {1} << QStringList();
    }

    void dailyDrawsTheDaysPages()
    {
        QFETCH(QDate, day);
        QFETCH(qint64, probePages);
        QFETCH(QList<int>, pages);
        QFETCH(QStringList, firstTracks);
        serveCatalogue(probePages,
            [probePages](int page, int size) { return probePages > 0 ? numberedPage(page, size) : QJsonArray(); });

        const auto outcome = outcomeOf(onDay(day).dailyPlaylist(std::nullopt, 30));
        QVERIFY2(outcome.value, qPrintable(describeException(outcome.error)));
        QCOMPARE(trackIds(*outcome.value).mid(0, firstTracks.size()), firstTracks);
        QCOMPARE(outcome.value->size(), firstTracks.isEmpty() ? 0 : 30);

        const QList<RecordedRequest> requests = m_server->requests();
        QCOMPARE(requests.size(), 1 + pages.size());
        QCOMPARE(queryNumber(requests.first(), u"page"_s), 1);
        QCOMPARE(queryNumber(requests.first(), u"size"_s), 1);
        QCOMPARE(drawnPages(requests), pages);
        verifyRequests(std::nullopt);
    }

    void dailyKeepsTheFirstCopyOfATrack()
    {
        // Pages come in the order 3, 2, 1 on this day (see above).
        serveCatalogue(3, [](int page, int) {
            QJsonArray items {trackJson(u"dup"_s, u"from page %1"_s.arg(page))};
            items.append(trackJson(u"only-%1"_s.arg(page)));
            return items;
        });
        const auto outcome = outcomeOf(onDay(QDate(2026, 12, 6)).dailyPlaylist(std::nullopt, 30));
        QVERIFY(outcome.value);
        QCOMPARE(outcome.value->size(), 4);
        QStringList ids = trackIds(*outcome.value);
        ids.sort();
        QCOMPARE(ids, (QStringList {u"dup"_s, u"only-1"_s, u"only-2"_s, u"only-3"_s}));
        for (const TrackOut &track : *outcome.value) {
            if (track.id == "dup"_L1)
                QCOMPARE(track.title, u"from page 3"_s);
        }
    }

    void dailyCutsToSize()
    {
        serveCatalogue(40);
        const TrackDraws api = onDay(QDate(2026, 12, 6));
        const auto all = outcomeOf(api.dailyPlaylist(std::nullopt, 500));
        QCOMPARE(all.value->size(), 200); // four pages of 50
        // A shorter list is the beginning of the longer one.
        QCOMPARE(*outcomeOf(api.dailyPlaylist(std::nullopt, 7)).value, all.value->mid(0, 7));
        QVERIFY(outcomeOf(api.dailyPlaylist(std::nullopt, -3)).value->isEmpty());
    }

    void dailyFailsWithTheFailingPage()
    {
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, [](const RecordedRequest &r) {
            const int page = queryNumber(r, u"page"_s);
            if (queryNumber(r, u"size"_s) == 1)
                return jsonResponse(trackPageBody(tracksJson({u"probe"_s}), 3, 1, 1, 3));
            if (page == 1)
                return jsonResponse(R"({"detail": "page lost"})", 500);
            return jsonResponse(trackPageBody(numberedPage(page, 50), 3, page, 50, 3));
        });
        const auto error = outcomeOf(onDay(QDate(2026, 12, 6)).dailyPlaylist(std::nullopt, 30)).errorAs<ApiError>();
        QVERIFY(error);
        QCOMPARE(error->statusCode(), 500);
        QCOMPARE(error->description(), u"page lost"_s);
        // Pages 3 and 2 came first and are dropped with the failure.
        QCOMPARE(drawnPages(m_server->requests()), (QList<int> {3, 2, 1}));
    }

    void waveMixesFavouritesIntoRandomPages()
    {
        serveCatalogue(250);
        QJsonArray favourites {trackJson(u"fav-1"_s, u"first copy"_s), trackJson(u"p7-3"_s, u"as favourite"_s),
            trackJson(u"fav-1"_s, u"second copy"_s), trackJson(u"fav-2"_s)};
        for (int page = 1; page <= 80; ++page)
            favourites.append(trackJson(u"p%1-0"_s.arg(page), u"as favourite"_s));
        m_server->on(u"GET"_s, u"/api/v1/favorites"_s, jsonResponse(listBody(favourites)));

        const auto outcome = outcomeOf(withRandomSeed(7).myWaveQueue(u"tok"_s));
        QVERIFY2(outcome.value, qPrintable(describeException(outcome.error)));

        const QList<RecordedRequest> requests = m_server->requests();
        QCOMPARE(requests.size(), 6);
        QCOMPARE(requests.at(0).path, u"/api/v1/favorites"_s);
        QCOMPARE(queryNumber(requests.at(1), u"size"_s), 1);
        const QList<int> pages = drawnPages(requests);
        QCOMPARE(pages.size(), 4);
        QCOMPARE(QSet<int>(pages.begin(), pages.end()).size(), 4);
        for (const int page : pages)
            QVERIFY2(page >= 1 && page <= 80, qPrintable(QString::number(page)));
        verifyRequests(u"tok"_s);

        // Every id once; a favourite that is also on a page stays as the
        // favourite; nothing is cut.
        const QStringList ids = trackIds(*outcome.value);
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
        const int pageSeven = pages.contains(7) ? 1 : 0;
        QCOMPARE(ids.size(), 3 + 80 + 4 * 50 - 4 - pageSeven);
        for (const TrackOut &track : *outcome.value) {
            if (track.id == "p7-3"_L1 || track.id.endsWith("-0"_L1))
                QCOMPARE(track.title, u"as favourite"_s);
        }
    }

    void waveShufflesEveryCall()
    {
        serveCatalogue(250);
        const TrackDraws api = withRandomSeed(99);
        const auto first = outcomeOf(api.myWaveQueue(std::nullopt));
        const auto second = outcomeOf(api.myWaveQueue(std::nullopt));
        QVERIFY(first.value && second.value);
        QVERIFY(trackIds(*first.value) != trackIds(*second.value));
    }

    void waveOfAGuestAsksNoFavourites()
    {
        serveCatalogue(2);
        const auto outcome = outcomeOf(withRandomSeed(5).myWaveQueue(std::nullopt));
        QVERIFY(outcome.value);
        QCOMPARE(outcome.value->size(), 100);
        const QList<RecordedRequest> requests = m_server->requests();
        QCOMPARE(requests.size(), 3);
        for (const RecordedRequest &r : requests)
            QCOMPARE(r.path, u"/api/v1/tracks"_s);
        QList<int> pages = drawnPages(requests);
        std::sort(pages.begin(), pages.end());
        QCOMPARE(pages, (QList<int> {1, 2}));
        verifyRequests(std::nullopt);
    }

    void waveFailsWhenAnyRequestFails_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("requests");
        QTest::newRow("favourites") << u"/api/v1/favorites"_s << 1;
        QTest::newRow("catalogue") << u"/api/v1/tracks"_s << 2;
    }

    void waveFailsWhenAnyRequestFails()
    {
        QFETCH(QString, failing);
        QFETCH(int, requests);
        serveCatalogue(5);
        m_server->on(u"GET"_s, u"/api/v1/favorites"_s, jsonResponse(listBody(tracksJson({u"a"_s}))));
        m_server->on(u"GET"_s, failing, jsonResponse("down", 503));
        const auto error = outcomeOf(withRandomSeed(1).myWaveQueue(u"tok"_s)).errorAs<ApiError>();
        QVERIFY(error);
        QCOMPARE(error->statusCode(), 503);
        QCOMPARE(m_server->requestCount(), requests);
    }

    void splitMixGivesThePublishedSequence()
    {
        // The reference sequence of seed 1234567 (Vigna's splitmix64.c).
        SplitMix64 generator(1234567);
        const QList<quint64> expected {6457827717110365317ULL, 3203168211198807973ULL, 9817491932198370423ULL,
            4593380528125082431ULL, 16408922859458223821ULL};
        for (const quint64 value : expected)
            QCOMPARE(generator.next(), value);
    }

    void boundedDraw_data()
    {
        QTest::addColumn<QList<quint64>>("values");
        QTest::addColumn<quint64>("bound");
        QTest::addColumn<quint64>("draw");
        QTest::addColumn<int>("taken");

        constexpr quint64 max = std::numeric_limits<quint64>::max();
        constexpr quint64 half = quint64(1) << 63;
        QTest::newRow("bound 1 is always 0") << QList<quint64> {max} << quint64(1) << quint64(0) << 1;
        QTest::newRow("largest value, top of the range") << QList<quint64> {max} << quint64(5) << quint64(4) << 1;
        // 0 * 3 leaves a low word of 0, below (2^64 - 3) mod 3 = 1: rejected.
        QTest::newRow("rejected, then drawn") << QList<quint64> {0, half} << quint64(3) << quint64(1) << 2;
        // (2^64 + 1) / 3 * 3 leaves a low word of 2: below the bound, yet
        // not below the threshold, so it is kept.
        QTest::newRow("low word below the bound, kept")
            << QList<quint64> {6148914691236517206ULL} << quint64(3) << quint64(1) << 1;
        // Bound 2^63 + 1: threshold (2^64 - b) mod b = 2^63 - 1.
        QTest::newRow("huge bound, rejected twice") << QList<quint64> {0, 2, max} << (half + 1) << half << 3;
    }

    void boundedDraw()
    {
        QFETCH(QList<quint64>, values);
        QFETCH(quint64, bound);
        QFETCH(quint64, draw);
        QFETCH(int, taken);
        Script script {values};
        QCOMPARE(uniformBelow(script, bound), draw);
        QCOMPARE(script.taken, taken);
    }

    void shuffleFollowsTheForwardOrder()
    {
        // Computed by an independent implementation of the same shuffle.
        SplitMix64 generator(1234567);
        QList<int> numbers {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        shuffleList(numbers, [&generator] { return generator.next(); });
        QCOMPARE(numbers, (QList<int> {3, 2, 6, 4, 9, 7, 8, 5, 1, 0}));
    }

    void shortListsTakeNoDraws()
    {
        Script script;
        QList<int> one {7};
        shuffleList(one, script);
        QCOMPARE(script.taken, 0);
        // n elements take n - 1 draws when none is rejected.
        Script three {{1, 1, 1}};
        QList<int> list {1, 2, 3};
        shuffleList(list, three);
        QCOMPARE(three.taken, 2);
        QCOMPARE(list, (QList<int> {1, 2, 3}));
    }
};

QTEST_GUILESS_MAIN(TestCompositionsDaily)
#include "tst_compositionsdaily.moc"
