// The typed client's own rules against a loopback fake; the request shape
// of every endpoint is checked end to end against the local service.
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/nimbraapi.h"

#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestNimbraAPI : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakeHttpServer> m_server;
    NimbraAPI m_api;

    void answerEverything(int status, QByteArray body)
    {
        m_server->setFallback([=](const RecordedRequest &) { return FakeResponse {status, body, "application/json"}; });
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
        APIConfig::setBaseURL(m_server->baseUrl());
    }

    void init() { m_server->clearRequests(); }

    void endpointsWithoutResultIgnoreTheBody_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty 200") << 200 << QByteArray();
        QTest::newRow("not JSON") << 201 << QByteArray("ok\xff");
    }

    void endpointsWithoutResultIgnoreTheBody()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        answerEverything(status, body);
        QVERIFY(outcomeOf(m_api.addFavorite(u"t1"_s, u"tok"_s)).value);
        QVERIFY(outcomeOf(m_api.removeFavorite(u"t1"_s, u"tok"_s)).value);
        QVERIFY(outcomeOf(m_api.addTrackToPlaylist(u"p1"_s, u"t1"_s, u"tok"_s)).value);
    }

    void bodyThatDoesNotFitFailsWithTheDecoderError_data()
    {
        QTest::addColumn<int>("endpoint");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("me, empty 200") << 0 << QByteArray();
        QTest::newRow("albums, an object") << 1 << QByteArray(R"({"items": []})");
        QTest::newRow("featured, a name not text") << 2 << QByteArray(R"({"names": ["Ann", 3]})");
    }

    void bodyThatDoesNotFitFailsWithTheDecoderError()
    {
        QFETCH(int, endpoint);
        QFETCH(QByteArray, body);
        answerEverything(200, body);
        const bool decoding = endpoint == 0 ? bool(outcomeOf(m_api.me(u"tok"_s)).errorAs<DecodingError>())
            : endpoint == 1                 ? bool(outcomeOf(m_api.albums()).errorAs<DecodingError>())
                                            : bool(outcomeOf(m_api.featuredArtistNames()).errorAs<DecodingError>());
        QVERIFY(decoding);
    }

    void idStaysOneSegment_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("segment");
        QTest::newRow("slash and dots") << u"../../auth/me"_s << u"..%2F..%2Fauth%2Fme"_s;
        QTest::newRow("query and fragment") << u"t1?x=1#y"_s << u"t1%3Fx=1%23y"_s;
        QTest::newRow("percent") << u"%2F%41"_s << u"%252F%2541"_s;
    }

    void idStaysOneSegment()
    {
        QFETCH(QString, id);
        QFETCH(QString, segment);
        answerEverything(200, "[]");
        QVERIFY(outcomeOf(m_api.albumTracks(id, std::nullopt)).value);
        QCOMPARE(m_server->lastRequest().target, u"/api/v1/albums/"_s + segment + u"/tracks"_s);
        QVERIFY(outcomeOf(m_api.removeFavorite(id, u"tok"_s)).value);
        QCOMPARE(m_server->lastRequest().target, u"/api/v1/favorites/"_s + segment);
    }

    void dotSegmentIdIsNeverSent()
    {
        answerEverything(200, R"({"id": "p1", "title": "Mine", "is_public": false, "track_count": 0})");
        for (const QString &id : {u"."_s, u".."_s}) {
            const auto error = outcomeOf(m_api.playlist(id, u"tok"_s)).errorAs<APIError>();
            QVERIFY(error);
            QCOMPARE(error->kind(), APIError::Kind::InvalidURL);
        }
        QCOMPARE(m_server->requestCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestNimbraAPI)
#include "tst_nimbraapi.moc"
