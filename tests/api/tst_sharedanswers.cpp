// The reads of one load, asked once and shared: the counts and the new
// releases both read the album list, the counts and the daily list both
// probe the catalogue. Only the same read with the same token is shared,
// a failure reaches every operation that waited for it, and the next load
// asks again; a later load takes what an earlier one offered it.
#include "api/apierror.h"
#include "api/nimbraapi.h"
#include "api/sharedanswers.h"
#include "catalogue/homesummary.h"

#include "catalogpages.h"
#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// Both tasks run at once; the outcomes come back when both have ended.
template<typename A, typename B> QCoro::Task<std::pair<TaskOutcome<A>, TaskOutcome<B>>> both(
    QCoro::Task<A> first, QCoro::Task<B> second)
{
    QCoro::Task<TaskOutcome<A>> a = detail::capture<A>(std::move(first));
    QCoro::Task<TaskOutcome<B>> b = detail::capture<B>(std::move(second));
    TaskOutcome<A> firstOutcome = co_await a;
    TaskOutcome<B> secondOutcome = co_await b;
    co_return std::pair {std::move(firstOutcome), std::move(secondOutcome)};
}

} // namespace

class TestSharedAnswers : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

    void serveCatalogue(int albumStatus = 200)
    {
        serveLibraryCounts(*m_server,
            {albumJson(u"a1"_s, QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC)), albumJson(u"a2"_s)},
            tracksJson({u"f1"_s}), albumStatus);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init() { m_server->clearRequests(); }

    void countsAndReleasesReadTheAlbumsOnce()
    {
        serveCatalogue();
        const HomeSummary load(NimbraApi().sharingAnswers(std::make_shared<SharedAnswers>()));
        const auto [stats, releases] = QCoro::waitFor(both(load.libraryStats(u"tok"_s), load.newReleases(u"tok"_s, 18)));
        QVERIFY2(stats.value, qPrintable(describeException(stats.error)));
        QVERIFY2(releases.value, qPrintable(describeException(releases.error)));
        // Each keeps what it returns: the count, and the dated album.
        QCOMPARE(stats.value->albumsCount, 2);
        QCOMPARE(stats.value->tracksCount, 1234);
        QCOMPARE(releases.value->size(), 1);
        QCOMPARE(releases.value->constFirst().id, u"album-a1"_s);
        QCOMPARE(m_server->requestsTo(u"/api/v1/albums"_s), 1);
        // The size-1 probe and the releases' page of 80 are two reads.
        QCOMPARE(m_server->requestsTo(u"/api/v1/tracks"_s), 2);

        // The next load asks again.
        const HomeSummary next(NimbraApi().sharingAnswers(std::make_shared<SharedAnswers>()));
        QVERIFY(outcomeOf(next.libraryStats(u"tok"_s)).value);
        QCOMPARE(m_server->requestsTo(u"/api/v1/albums"_s), 2);
    }

    void aFailedReadFailsEveryOneWaitingForIt()
    {
        serveCatalogue(503);
        const HomeSummary load(NimbraApi().sharingAnswers(std::make_shared<SharedAnswers>()));
        const auto [stats, releases] = QCoro::waitFor(both(load.libraryStats(u"tok"_s), load.newReleases(u"tok"_s, 18)));
        QCOMPARE(stats.errorAs<ApiError>()->statusCode(), 503);
        QCOMPARE(releases.errorAs<ApiError>()->statusCode(), 503);
        QCOMPARE(m_server->requestsTo(u"/api/v1/albums"_s), 1);
    }

    // A later load takes the answers offered to it; a read that failed
    // there is asked again.
    void laterLoadTakesTheOfferedAnswers_data()
    {
        QTest::addColumn<int>("offeredStatus");
        QTest::addColumn<int>("albumReads");
        QTest::newRow("answered") << 200 << 1;
        QTest::newRow("failed") << 503 << 2;
    }

    void laterLoadTakesTheOfferedAnswers()
    {
        QFETCH(int, offeredStatus);
        QFETCH(int, albumReads);
        serveCatalogue(offeredStatus);
        const auto offered = std::make_shared<SharedAnswers>();
        SharedAnswers::offerToLaterLoads(offered);
        QCOMPARE(bool(outcomeOf(NimbraApi().sharingAnswers(offered).albums()).value), offeredStatus == 200);
        serveCatalogue();
        const auto later = outcomeOf(NimbraApi().sharingAnswers(SharedAnswers::withRecentAnswers()).albums());
        SharedAnswers::offerToLaterLoads(nullptr);
        QVERIFY2(later.value, qPrintable(describeException(later.error)));
        QCOMPARE(later.value->size(), 2);
        QCOMPARE(m_server->requestsTo(u"/api/v1/albums"_s), albumReads);
    }

    // Another token, another page or a write is another request. Counted
    // by token: an earlier test's cancelled request may still arrive.
    void onlyTheSameReadIsShared()
    {
        const auto sentWithout = [this](const QString &path, const QString &staleToken) {
            int count = 0;
            for (const RecordedRequest &request : m_server->requests())
                count += request.path == path && request.header(u"authorization"_s) != staleToken ? 1 : 0;
            return count;
        };
        serveCatalogue();
        m_server->on(u"POST"_s, u"/api/v1/favorites"_s, jsonResponse("{}"));
        const NimbraApi load = NimbraApi().sharingAnswers(std::make_shared<SharedAnswers>());
        QVERIFY(outcomeOf(load.tracks(1, 1, true, u"first"_s)).value);
        QVERIFY(outcomeOf(load.tracks(1, 1, true, u"first"_s)).value);
        QVERIFY(outcomeOf(load.tracks(1, 1, true, u"second"_s)).value);
        QVERIFY(outcomeOf(load.tracks(1, 1, true, std::nullopt)).value);
        QVERIFY(outcomeOf(load.tracks(2, 1, true, u"first"_s)).value);
        QCOMPARE(sentWithout(u"/api/v1/tracks"_s, u"Bearer tok"_s), 4);
        QVERIFY(outcomeOf(load.addFavorite(u"t1"_s, u"first"_s)).value);
        QVERIFY(outcomeOf(load.addFavorite(u"t1"_s, u"first"_s)).value);
        QCOMPARE(sentWithout(u"/api/v1/favorites"_s, u"Bearer tok"_s), 2);
    }
};

QTEST_MAIN(TestSharedAnswers)
#include "tst_sharedanswers.moc"
