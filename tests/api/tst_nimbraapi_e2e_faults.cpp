// Failures of the local service as the typed client reports them: error
// statuses with their bodies, slow answers cancelled in flight, and
// connections dropped in the middle of an answer.
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/jsoncoding.h"
#include "api/network.h"
#include "api/nimbraapi.h"

#include "devserviceprocess.h"
#include "servicerequests.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTimer>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// Long enough that a request which waited for it is told apart from one
// that was aborted at once.
constexpr int kSlowAnswerMs = 1000;

} // namespace

class TestNimbraAPIE2EFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    NimbraAPI m_api;

    // Cancels the token shortly after the call has gone out.
    static void cancelSoon(const CancelToken &cancel)
    {
        QTimer::singleShot(20, [cancel] { cancel.cancel(); });
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        APIConfig::setBaseURL(m_service->baseUrl());
    }

    void init()
    {
        m_service->clearFaults();
        m_service->clearRequests();
    }

    void cleanupTestCase()
    {
        sharedNetworkAccessManager()->clearConnectionCache();
        m_service.reset();
    }

    // First, so that the service's waits run out while the other tests run.
    void slowAnswerCancelledInFlight()
    {
        QVERIFY(m_service->injectFault(
            {{"path"_L1, u"/api/v1/tracks"_s}, {"delay_ms"_L1, kSlowAnswerMs}, {"count"_L1, 1}}));
        const CancelToken cancel;
        cancelSoon(cancel);
        QElapsedTimer clock;
        clock.start();
        const APIError error = apiErrorOf(errorOf(m_api.tracks(1, 10, true, std::nullopt, cancel)));
        QVERIFY2(clock.elapsed() < kSlowAnswerMs, "the call waited for the answer instead of aborting it");
        QCOMPARE(error.kind(), APIError::Kind::Network);
        QVERIFY(error.isCancelled());
        QCOMPARE(error.description(), u"Запрос отменён"_s);

        // The fault is used up: the next call gets the real page.
        SERVICE_VALUE(page, m_api.tracks(1, 10, true, std::nullopt));
        QCOMPARE(page.items.size(), 10);
    }

    void slowProbeCancelsTheWholeCount()
    {
        QVERIFY(m_service->injectFault(
            {{"path"_L1, u"/api/v1/battles"_s}, {"delay_ms"_L1, kSlowAnswerMs}, {"count"_L1, 1}}));
        const CancelToken cancel;
        cancelSoon(cancel);
        QElapsedTimer clock;
        clock.start();
        const APIError error = apiErrorOf(errorOf(m_api.libraryStats(std::nullopt, cancel)));
        QVERIFY2(clock.elapsed() < kSlowAnswerMs, "the count waited for the slow probe");
        QVERIFY(error.isCancelled());
    }

    void errorStatusesCarryTheirBody_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QJsonValue>("body");
        QTest::addColumn<QString>("description");
        QTest::newRow("detail text") << 500 << QJsonValue(QJsonObject {{"detail"_L1, u"Сервис на обслуживании"_s}})
                                     << u"Сервис на обслуживании"_s;
        QTest::newRow("validation list") << 422
                                         << QJsonValue(QJsonObject {{"detail"_L1,
                                                QJsonArray {QJsonObject {{"loc"_L1, QJsonArray {u"query"_s}},
                                                                {"msg"_L1, u"Первая"_s}, {"type"_L1, u"x"_s}},
                                                    QJsonObject {{"loc"_L1, QJsonArray {u"query"_s}},
                                                        {"msg"_L1, u"вторая"_s}, {"type"_L1, u"x"_s}}}}})
                                         << u"Первая, вторая"_s;
        QTest::newRow("plain text") << 502 << QJsonValue(u"Bad gateway"_s) << u"Bad gateway"_s;
        QTest::newRow("empty body") << 503 << QJsonValue(QString()) << u"Ошибка сервера (503)"_s;
        QTest::newRow("forbidden, service default body")
            << 403 << QJsonValue(QJsonValue::Undefined) << u"Injected fault"_s;
    }

    void errorStatusesCarryTheirBody()
    {
        QFETCH(int, status);
        QFETCH(QJsonValue, body);
        QFETCH(QString, description);
        QJsonObject fault {{"path"_L1, u"/api/v1/albums"_s}, {"status"_L1, status}, {"count"_L1, 1}};
        if (!body.isUndefined())
            fault.insert("body"_L1, body);
        QVERIFY(m_service->injectFault(fault));
        const APIError error = apiErrorOf(errorOf(m_api.albums()));
        QCOMPARE(error.kind(), APIError::Kind::HttpStatus);
        QCOMPARE(error.statusCode(), status);
        QCOMPARE(error.description(), description);
    }

    void answerThatDoesNotDecodeIsTheDecodersError()
    {
        QVERIFY(m_service->injectFault(
            {{"path"_L1, u"/api/v1/tracks/t00001"_s}, {"status"_L1, 200}, {"body"_L1, u"not json"_s}}));
        QVERIFY(m_service->injectFault({{"path"_L1, u"/api/v1/catalog/featured-artist-names"_s}, {"status"_L1, 200},
            {"body"_L1, QJsonObject {{"artists"_L1, QJsonArray {u"Мокко"_s}}}}}));
        const auto track = outcomeOf(m_api.track(u"t00001"_s, std::nullopt));
        QVERIFY(track.errorAs<DecodingError>());
        QVERIFY(!track.errorAs<APIError>());
        const auto names = outcomeOf(m_api.featuredArtistNames());
        QVERIFY(names.errorAs<DecodingError>());
    }

    void droppedConnectionIsANetworkFailure()
    {
        QVERIFY(m_service->injectFault({{"path"_L1, u"/api/v1/tracks/t00001"_s}, {"drop"_L1, true}, {"count"_L1, 1}}));
        const APIError error = apiErrorOf(errorOf(m_api.track(u"t00001"_s, std::nullopt)));
        QCOMPARE(error.kind(), APIError::Kind::Network);
        QVERIFY(!error.isCancelled());
        QCOMPARE(error.networkFailure(), APIError::NetworkFailure::ConnectionLost);
        QCOMPARE(error.description(), u"Соединение с сервером прервано"_s);
        // Nothing is retried.
        QCOMPARE(m_service->requests().size(), 1);
    }

    void waveFailsWithItsFavourites()
    {
        const QString token = m_service->signIn();
        m_service->clearRequests();
        QVERIFY(m_service->injectFault(
            {{"path"_L1, u"/api/v1/favorites"_s}, {"method"_L1, u"get"_s}, {"drop"_L1, true}, {"count"_L1, 1}}));
        const APIError error = apiErrorOf(errorOf(m_api.myWaveQueue(token)));
        QCOMPARE(error.kind(), APIError::Kind::Network);
        // The failure ends the wave before any catalogue page is asked for.
        QCOMPARE(
            requestLines(m_service->requests()), QStringList {expectedLine(u"GET"_s, u"/api/v1/favorites"_s, token)});
    }
};

QTEST_GUILESS_MAIN(TestNimbraAPIE2EFaults)
#include "tst_nimbraapi_e2e_faults.moc"
