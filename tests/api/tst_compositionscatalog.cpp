#include "api/apierror.h"
#include "api/nimbraapi.h"

#include "catalogpages.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestCompositionsCatalog : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakeHttpServer> m_server;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init() { m_server->clearRequests(); }

    void pagesUntilAStopRule_data()
    {
        QTest::addColumn<qint64>("total");
        // Items on page p: pageItems[p - 1], or lastItems for every page past the list.
        QTest::addColumn<QList<int>>("pageItems");
        QTest::addColumn<int>("lastItems");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("tracks");

        QTest::newRow("an empty page ends it before the total")
            << qint64(1'000'000) << QList<int> {1000, 1000} << 0 << 3 << 2000;
        QTest::newRow("the total reached on a full page") << qint64(2000) << QList<int> {} << 1000 << 2 << 2000;
        QTest::newRow("short pages until the total") << qint64(7) << QList<int> {} << 3 << 3 << 9;
        QTest::newRow("a total of 0 keeps page 1") << qint64(0) << QList<int> {4} << 1000 << 1 << 4;
        QTest::newRow("a total never reached ends after page 2049")
            << qint64(1'000'000'000) << QList<int> {} << 1 << 2049 << 2049;
    }

    void pagesUntilAStopRule()
    {
        QFETCH(qint64, total);
        QFETCH(QList<int>, pageItems);
        QFETCH(int, lastItems);
        QFETCH(int, requests);
        QFETCH(int, tracks);
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, [=](const RecordedRequest &r) {
            const int page = queryNumber(r, u"page"_s);
            const int count = page <= pageItems.size() ? pageItems.at(page - 1) : lastItems;
            // The same ids on every page: the whole catalogue keeps duplicates.
            QStringList ids;
            for (int i = 0; i < count; ++i)
                ids.append(u"t%1"_s.arg(i));
            return jsonResponse(trackPageBody(tracksJson(ids), total, page, 1000, 3));
        });

        const auto outcome = outcomeOf(NimbraApi().fetchAllTracksBrief(u"tok"_s));
        QVERIFY2(outcome.value, qPrintable(describeException(outcome.error)));
        QCOMPARE(outcome.value->size(), tracks);

        const QList<RecordedRequest> recorded = m_server->requests();
        QCOMPARE(recorded.size(), requests);
        for (int i = 0; i < recorded.size(); ++i) {
            const RecordedRequest &r = recorded.at(i);
            QCOMPARE(r.queryItems,
                (QList<QPair<QString, QString>> {
                    {u"brief"_s, u"true"_s}, {u"page"_s, QString::number(i + 1)}, {u"size"_s, u"1000"_s}}));
            QCOMPARE(r.header(u"Authorization"_s), u"Bearer tok"_s);
        }
    }

    void aFailingPageReturnsNothing_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("decoding");
        QTest::newRow("status") << QByteArray(R"({"detail": "busy"})") << 503 << false;
        QTest::newRow("a page that does not decode") << QByteArray(R"({"items": []})") << 200 << true;
    }

    void aFailingPageReturnsNothing()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, decoding);
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, [=](const RecordedRequest &r) {
            const int page = queryNumber(r, u"page"_s);
            if (page == 3)
                return jsonResponse(body, status);
            return jsonResponse(trackPageBody(tracksJson({u"t%1"_s.arg(page)}), 100, page, 1000, 100));
        });
        const auto outcome = outcomeOf(NimbraApi().fetchAllTracksBrief(std::nullopt));
        QVERIFY(!outcome.value);
        QCOMPARE(m_server->requestCount(), 3);
        if (decoding) {
            QVERIFY(outcome.errorAs<DecodingError>());
        } else {
            const auto error = outcome.errorAs<ApiError>();
            QVERIFY(error);
            QCOMPARE(error->statusCode(), 503);
            QCOMPARE(error->description(), u"busy"_s);
        }
    }

    void cancelledCallStopsPaging()
    {
        CancelToken cancel;
        // Page 2 is still on its way when the call is cancelled.
        AnswerGate laterPages;
        const auto answer = [](const RecordedRequest &r) {
            const int page = queryNumber(r, u"page"_s);
            return jsonResponse(trackPageBody(tracksJson({u"t%1"_s.arg(page)}), 100, page, 1000, 100));
        };
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s,
            laterPages.holdAnswersOf(answer, [](const RecordedRequest &r) { return queryNumber(r, u"page"_s) >= 2; }));
        auto task = NimbraApi().fetchAllTracksBrief(std::nullopt, cancel);
        QTRY_COMPARE(m_server->requestCount(), 2);
        cancel.cancel();
        const auto error = outcomeOf(std::move(task)).errorAs<ApiError>();
        QVERIFY(error && error->isCancelled());
        laterPages.open();
        QVERIFY(waitUntilIdle());
        QCOMPARE(m_server->requestCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCompositionsCatalog)
#include "tst_compositionscatalog.moc"
