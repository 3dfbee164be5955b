#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/nimbraapi.h"

#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QJsonDocument>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kTrack = R"({"id": "t1", "title": "A", "artist": "B", "duration_seconds": 10,
    "file_url": "/f.mp3", "is_favorite": false})";
const QByteArray kAlbum = R"({"id": "a1", "title": "Al", "artist": "B"})";
const QByteArray kUser = R"({"id": "u1", "username": "ann", "role": "user", "created_at": "2026-01-02T03:04:05Z"})";
const QByteArray kToken = R"({"access_token": "T", "token_type": "bearer"})";
const QByteArray kPlaylist = R"({"id": "p1", "title": "Mine", "is_public": false, "track_count": 0})";
const QByteArray kClipPage = R"({"items": [{"id": "c1", "title": "C", "artist": "B", "duration_seconds": 5,
    "file_url": "/c.mp4", "kind": "clip", "is_favorite": false}], "total": 1})";

using Items = QList<QPair<QString, QString>>;
using Call = std::function<QCoro::Task<QString>(NimbraAPI)>;

// One endpoint: how to call it, what must reach the wire, what it answers
// and what the caller gets back (summarised as text).
struct Endpoint
{
    const char *name;
    Call call;
    QString method;
    QString target;
    Items query;
    std::optional<QJsonObject> body;
    std::optional<QString> authorization;
    QByteArray response;
    QString result;
};

template<typename T> QCoro::Task<QString> none(QCoro::Task<T> task)
{
    co_await std::move(task);
    co_return QString();
}

QList<Endpoint> endpoints()
{
    const std::optional<QString> noAuth;
    const std::optional<QString> auth(u"Bearer tok"_s);
    const std::optional<QJsonObject> noBody;
    const QString tok = u"tok"_s;
    return {
        {"me", [=](NimbraAPI api) -> QCoro::Task<QString> { co_return (co_await api.me(tok)).username; }, u"GET"_s,
            u"/api/v1/auth/me"_s, {}, noBody, auth, kUser, u"ann"_s},
        {"patchProfile",
            [=](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.patchProfile(tok, u"a@b.c"_s, std::nullopt)).id;
            },
            u"PATCH"_s, u"/api/v1/auth/profile"_s, {}, QJsonObject {{"email"_L1, "a@b.c"_L1}}, auth, kUser, u"u1"_s},
        {"login",
            [](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.login(u"ann"_s, u"pw"_s)).accessToken;
            },
            u"POST"_s, u"/api/v1/auth/login"_s, {}, QJsonObject {{"username"_L1, "ann"_L1}, {"password"_L1, "pw"_L1}},
            noAuth, kToken, u"T"_s},
        {"register",
            [](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.registerUser(u"ann"_s, u"a@b.c"_s, u"pw"_s)).accessToken;
            },
            u"POST"_s, u"/api/v1/auth/register"_s, {},
            QJsonObject {{"username"_L1, "ann"_L1}, {"email"_L1, "a@b.c"_L1}, {"password"_L1, "pw"_L1}}, noAuth, kToken,
            u"T"_s},
        {"qrInit", [](NimbraAPI api) -> QCoro::Task<QString> { co_return (co_await api.qrInit()).qrToken; }, u"POST"_s,
            u"/api/v1/auth/qr/init"_s, {}, noBody, noAuth, R"({"qr_token": "q1", "expires_in_seconds": 120})", u"q1"_s},
        {"qrStatus", [](NimbraAPI api) -> QCoro::Task<QString> { co_return (co_await api.qrStatus(u"q1"_s)).status; },
            u"GET"_s, u"/api/v1/auth/qr/status/q1"_s, {}, noBody, noAuth, R"({"status": "pending"})", u"pending"_s},
        {"tracks, brief, no token",
            [](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.tracks(2, 50, true, std::nullopt)).items.first().id;
            },
            u"GET"_s, u"/api/v1/tracks"_s, {{u"brief"_s, u"true"_s}, {u"page"_s, u"2"_s}, {u"size"_s, u"50"_s}}, noBody,
            noAuth, R"({"items": [)" + kTrack + R"(], "total": 1, "page": 2, "size": 50, "pages": 1})", u"t1"_s},
        {"tracks, full, token",
            [=](NimbraAPI api) -> QCoro::Task<QString> {
                co_return QString::number((co_await api.tracks(1, 20, false, tok)).total);
            },
            u"GET"_s, u"/api/v1/tracks"_s, {{u"brief"_s, u"false"_s}, {u"page"_s, u"1"_s}, {u"size"_s, u"20"_s}},
            noBody, auth, R"({"items": [], "total": 0, "page": 1, "size": 20, "pages": 0})", u"0"_s},
        {"track", [=](NimbraAPI api) -> QCoro::Task<QString> { co_return (co_await api.track(u"t1"_s, tok)).title; },
            u"GET"_s, u"/api/v1/tracks/t1"_s, {}, noBody, auth, kTrack, u"A"_s},
        {"search, empty text",
            [](NimbraAPI api) -> QCoro::Task<QString> {
                const SearchResults r = co_await api.search(QString(), std::nullopt);
                co_return r.tracks.first().id + r.albums.first().id;
            },
            u"GET"_s, u"/api/v1/search"_s, {{u"q"_s, QString()}}, noBody, noAuth,
            R"({"tracks": [)" + kTrack + R"(], "albums": [)" + kAlbum + "]}", u"t1a1"_s},
        {"albums", [](NimbraAPI api) -> QCoro::Task<QString> { co_return (co_await api.albums()).first().id; },
            u"GET"_s, u"/api/v1/albums"_s, {}, noBody, noAuth, "[" + kAlbum + "]", u"a1"_s},
        {"albumTracks",
            [](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.albumTracks(u"a1"_s, std::nullopt)).first().id;
            },
            u"GET"_s, u"/api/v1/albums/a1/tracks"_s, {}, noBody, noAuth, "[" + kTrack + "]", u"t1"_s},
        {"favorites",
            [=](NimbraAPI api) -> QCoro::Task<QString> {
                co_return QString::number((co_await api.favorites(tok)).size());
            },
            u"GET"_s, u"/api/v1/favorites"_s, {}, noBody, auth, "[" + kTrack + "," + kTrack + "]", u"2"_s},
        {"addFavorite", [=](NimbraAPI api) { return none(api.addFavorite(u"t1"_s, tok)); }, u"POST"_s,
            u"/api/v1/favorites"_s, {}, QJsonObject {{"track_id"_L1, "t1"_L1}}, auth, "{}", QString()},
        {"removeFavorite", [=](NimbraAPI api) { return none(api.removeFavorite(u"t1"_s, tok)); }, u"DELETE"_s,
            u"/api/v1/favorites/t1"_s, {}, noBody, auth, "", QString()},
        {"rateTrack",
            [=](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.rateTrack(u"t1"_s, u"dislike"_s, tok)).type.value_or(u"-"_s);
            },
            u"POST"_s, u"/api/v1/rate"_s, {}, QJsonObject {{"track_id"_L1, "t1"_L1}, {"type"_L1, "dislike"_L1}}, auth,
            R"({"track_id": "t1"})", u"-"_s},
        {"playlists",
            [=](NimbraAPI api) -> QCoro::Task<QString> { co_return (co_await api.playlists(tok)).first().title; },
            u"GET"_s, u"/api/v1/playlists"_s, {}, noBody, auth, "[" + kPlaylist + "]", u"Mine"_s},
        {"createPlaylist, empty title",
            [=](NimbraAPI api) -> QCoro::Task<QString> { co_return (co_await api.createPlaylist(QString(), tok)).id; },
            u"POST"_s, u"/api/v1/playlists"_s, {}, QJsonObject {{"title"_L1, ""_L1}, {"is_public"_L1, false}}, auth,
            kPlaylist, u"p1"_s},
        {"createPlaylist, title unchanged",
            [=](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.createPlaylist(u"  Мой «лучший» ␣ "_s, tok)).id;
            },
            u"POST"_s, u"/api/v1/playlists"_s, {},
            QJsonObject {{"title"_L1, u"  Мой «лучший» ␣ "_s}, {"is_public"_L1, false}}, auth, kPlaylist, u"p1"_s},
        {"playlist",
            [=](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.playlist(u"p1"_s, tok)).tracks.first().id;
            },
            u"GET"_s, u"/api/v1/playlists/p1"_s, {}, noBody, auth,
            R"({"id": "p1", "title": "Mine", "tracks": [)" + kTrack + R"(], "is_public": false, "track_count": 1})",
            u"t1"_s},
        {"addTrackToPlaylist", [=](NimbraAPI api) { return none(api.addTrackToPlaylist(u"p1"_s, u"t1"_s, tok)); },
            u"POST"_s, u"/api/v1/playlists/p1/tracks"_s, {}, QJsonObject {{"track_id"_L1, "t1"_L1}}, auth, "{}",
            QString()},
        {"clips",
            [](NimbraAPI api) -> QCoro::Task<QString> {
                co_return (co_await api.clips(1, 20, u"live"_s, std::nullopt)).items.first().id;
            },
            u"GET"_s, u"/api/v1/clips"_s, {{u"kind"_s, u"live"_s}, {u"page"_s, u"1"_s}, {u"size"_s, u"20"_s}}, noBody,
            noAuth, kClipPage, u"c1"_s},
        {"battles",
            [=](NimbraAPI api) -> QCoro::Task<QString> {
                co_return QString::number((co_await api.battles(3, 10, tok)).total);
            },
            u"GET"_s, u"/api/v1/battles"_s, {{u"page"_s, u"3"_s}, {u"size"_s, u"10"_s}}, noBody, auth, kClipPage,
            u"1"_s},
        {"featuredArtistNames",
            [](NimbraAPI api) -> QCoro::Task<QString> { co_return (co_await api.featuredArtistNames()).join('|'_L1); },
            u"GET"_s, u"/api/v1/catalog/featured-artist-names"_s, {}, noBody, noAuth, R"({"names": ["Ann", "Бо"]})",
            u"Ann|Бо"_s},
    };
}

FakeResponse answer(int status, QByteArray body)
{
    return FakeResponse {status, std::move(body), "application/json"};
}

} // namespace

class TestNimbraAPI : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakeHttpServer> m_server;
    NimbraAPI m_api;

    void answerEverything(FakeResponse response)
    {
        m_server->setFallback([response](const RecordedRequest &) { return response; });
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
        APIConfig::setBaseURL(m_server->baseUrl());
    }

    void init() { m_server->clearRequests(); }

    void endpointSendsItsRequest_data()
    {
        QTest::addColumn<int>("index");
        const QList<Endpoint> all = endpoints();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all.at(i).name) << i;
    }

    void endpointSendsItsRequest()
    {
        QFETCH(int, index);
        const Endpoint e = endpoints().at(index);
        answerEverything(answer(200, e.response));

        const TaskOutcome<QString> outcome = outcomeOf(e.call(m_api));
        QVERIFY2(outcome.value, qPrintable(describeException(outcome.error)));
        QCOMPARE(*outcome.value, e.result);

        QCOMPARE(m_server->requestCount(), 1);
        const RecordedRequest r = m_server->lastRequest();
        QCOMPARE(r.method, e.method);
        QCOMPARE(r.path, e.target);
        QCOMPARE(r.queryItems, e.query);
        QCOMPARE(r.target.contains('?'_L1), !e.query.isEmpty());
        QCOMPARE(r.header(u"Accept"_s), u"application/json"_s);
        QCOMPARE(r.hasHeader(u"Content-Type"_s), e.body.has_value());
        if (e.body) {
            QCOMPARE(r.header(u"Content-Type"_s), u"application/json"_s);
            QCOMPARE(QJsonDocument::fromJson(r.body).object(), *e.body);
        } else {
            QVERIFY(r.body.isEmpty());
        }
        QCOMPARE(r.hasHeader(u"Authorization"_s), e.authorization.has_value());
        if (e.authorization)
            QCOMPARE(r.header(u"Authorization"_s), *e.authorization);
    }

    void endpointsWithoutResultIgnoreTheBody_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty 200") << 200 << QByteArray();
        QTest::newRow("204") << 204 << QByteArray();
        QTest::newRow("not JSON") << 201 << QByteArray("ok\xff");
        QTest::newRow("a list") << 200 << QByteArray("[1, 2]");
    }

    void endpointsWithoutResultIgnoreTheBody()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        answerEverything(answer(status, body));
        QVERIFY(outcomeOf(m_api.addFavorite(u"t1"_s, u"tok"_s)).value);
        QVERIFY(outcomeOf(m_api.removeFavorite(u"t1"_s, u"tok"_s)).value);
        QVERIFY(outcomeOf(m_api.addTrackToPlaylist(u"p1"_s, u"t1"_s, u"tok"_s)).value);
    }

    void bodyThatDoesNotFitFailsWithTheDecoderError_data()
    {
        QTest::addColumn<int>("endpoint");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("me, empty 200") << 0 << QByteArray();
        QTest::newRow("albums, empty 200") << 1 << QByteArray();
        QTest::newRow("albums, an object") << 1 << QByteArray(R"({"items": []})");
        QTest::newRow("featured, no names") << 2 << QByteArray(R"({"artists": ["Ann"]})");
        QTest::newRow("featured, names not a list") << 2 << QByteArray(R"({"names": "Ann"})");
        QTest::newRow("featured, a name not text") << 2 << QByteArray(R"({"names": ["Ann", 3]})");
    }

    void bodyThatDoesNotFitFailsWithTheDecoderError()
    {
        QFETCH(int, endpoint);
        QFETCH(QByteArray, body);
        answerEverything(answer(200, body));
        std::exception_ptr error;
        if (endpoint == 0)
            error = outcomeOf(m_api.me(u"tok"_s)).error;
        else if (endpoint == 1)
            error = outcomeOf(m_api.albums()).error;
        else
            error = outcomeOf(m_api.featuredArtistNames()).error;
        QVERIFY(error);
        bool decoding = false;
        try {
            std::rethrow_exception(error);
        } catch (const DecodingError &) {
            decoding = true;
        } catch (...) {
        }
        QVERIFY(decoding);
    }

    void transportErrorsPassUnchanged()
    {
        answerEverything(answer(401, R"({"detail": "Not authenticated"})"));
        const auto error = outcomeOf(m_api.me(u"old"_s)).errorAs<APIError>();
        QVERIFY(error);
        QCOMPARE(error->statusCode(), 401);
        QCOMPARE(error->description(), u"Not authenticated"_s);

        CancelToken cancel;
        cancel.cancel();
        m_server->clearRequests();
        const auto cancelled = outcomeOf(m_api.tracks(1, 20, true, std::nullopt, cancel)).errorAs<APIError>();
        QVERIFY(cancelled && cancelled->isCancelled());
        QCOMPARE(m_server->requestCount(), 0);
    }

    void idStaysOneSegment_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("segment");
        QTest::newRow("plain") << u"3f2a-11_b.c~d"_s << u"3f2a-11_b.c~d"_s;
        QTest::newRow("slash and dots") << u"../../auth/me"_s << u"..%2F..%2Fauth%2Fme"_s;
        QTest::newRow("query and fragment") << u"t1?x=1#y"_s << u"t1%3Fx=1%23y"_s;
        QTest::newRow("percent") << u"%2F%41"_s << u"%252F%2541"_s;
        QTest::newRow("blank and letters") << u"трек 1"_s << u"%D1%82%D1%80%D0%B5%D0%BA%201"_s;
    }

    void idStaysOneSegment()
    {
        QFETCH(QString, id);
        QFETCH(QString, segment);
        answerEverything(answer(200, "[]"));
        QVERIFY(outcomeOf(m_api.albumTracks(id, std::nullopt)).value);
        QCOMPARE(m_server->lastRequest().target, u"/api/v1/albums/"_s + segment + u"/tracks"_s);
        QVERIFY(outcomeOf(m_api.removeFavorite(id, u"tok"_s)).value);
        QCOMPARE(m_server->lastRequest().target, u"/api/v1/favorites/"_s + segment);
    }

    void dotSegmentIdIsNeverSent()
    {
        answerEverything(answer(200, kPlaylist));
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
