// The transport under the typed client, and the typed client's own rules;
// the request shape of every endpoint is checked end to end against the
// local service.
#include "api/answerdecoding.h"
#include "api/apiclient.h"
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/connectivity.h"

#include "eventloop.h"
#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include "api/nimbraapi.h"

#include <QRegularExpression>
#include <QSemaphore>
#include <QSettings>
#include <QTcpServer>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class FakeConnectivity : public Connectivity
{
public:
    bool offline = true;
    // Called from the event loop once a request has found the network
    // away, and so waits for it; then forgotten.
    mutable std::function<void()> onceWaiting;

    bool isOffline(const QUrl &) const override
    {
        if (offline && onceWaiting)
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), std::exchange(onceWaiting, {}), Qt::QueuedConnection);
        return offline;
    }
    void goOnline()
    {
        offline = false;
        emit changed();
    }
};

TaskOutcome<QByteArray> send(const ApiClient &client, const QString &path, const QString &method = u"GET"_s,
    const QMap<QString, QString> &query = {}, const std::optional<QByteArray> &body = {},
    const std::optional<QString> &token = {}, const CancelToken &cancel = {})
{
    return outcomeOf(client.request(path, method, query, body, u"application/json"_s, token, cancel));
}

ApiError apiError(const TaskOutcome<QByteArray> &outcome)
{
    return outcome.errorAs<ApiError>().value_or(ApiError::httpStatus(0, u"no ApiError"_s));
}

// Keeps the request head byte for byte, as no HTTP server library does:
// they trim the blank that ends "Bearer " with an empty token.
class RawHttpServer : public QTcpServer
{
public:
    QByteArray head;

    RawHttpServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                head += socket->readAll();
                if (head.contains("\r\n\r\n")) {
                    socket->write("HTTP/1.1 204 No Content\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                    socket->disconnectFromHost();
                }
            });
        });
    }
};

// Answers reads on a kept-alive connection and takes in every change, then
// closes without a byte of an answer, as a service that made the change and
// lost its connection; it counts the changes that reached it.
class ClosingHttpServer : public QTcpServer
{
public:
    int reads = 0;
    int changes = 0;

    ClosingHttpServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        });
    }

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        for (qsizetype end; (end = pending.indexOf("\r\n\r\n")) >= 0;) {
            const QByteArray head = pending.left(end);
            static const QRegularExpression lengthLine(u"(?i)\r\ncontent-length: *(\\d+)"_s);
            const auto length = lengthLine.match(QString::fromLatin1(head));
            const qsizetype whole = end + 4 + (length.hasMatch() ? length.captured(1).toLongLong() : 0);
            if (pending.size() < whole)
                return;
            pending.remove(0, whole);
            if (head.startsWith("GET ")) {
                ++reads;
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 2\r\n\r\n[]");
            } else {
                ++changes;
                socket->abort();
                return;
            }
        }
    }

    QHash<QTcpSocket *, QByteArray> m_pending;
};

// A decoder that holds its worker until the test lets it end.
QSemaphore decodingStarted;
QSemaphore decodingMayEnd;
QByteArray heldDecode(const QByteArray &body)
{
    decodingStarted.release();
    decodingMayEnd.acquire();
    return body;
}

QCoro::Task<void> decodeInto(
    QByteArray body, CancelToken cancel, std::shared_ptr<std::optional<TaskOutcome<QByteArray>>> into)
{
    *into = co_await nimbra::test::detail::capture(decodeAnswer<QByteArray, &heldDecode>(std::move(body), std::move(cancel)));
}

// The listener never sees the network layer's English texts.
bool isRussianOnly(const QString &text)
{
    return !text.isEmpty() && !text.contains(QRegularExpression(u"[A-Za-z]"_s));
}

} // namespace

class TestApiClient : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakeHttpServer> m_server;
    ApiClient m_client;
    NimbraApi m_api;

    void answerEverything(int status, QByteArray body)
    {
        m_server->setFallback([=](const RecordedRequest &) { return FakeResponse {status, body, "application/json"}; });
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
        m_server->setFallback([](const RecordedRequest &) { return FakeResponse {200, "{}"}; });
    }

    void init()
    {
        ApiConfig::setBaseUrl(m_server->baseUrl());
        m_server->clearRequests();
    }

    void queryIsSortedByKeyAndEncoded()
    {
        QVERIFY(send(m_client, u"api/v1/tracks"_s, u"GET"_s,
            {{u"size"_s, u"50"_s}, {u"page"_s, u"2"_s}, {u"brief"_s, u"true"_s}})
                    .value);
        QCOMPARE(m_server->lastRequest().target, u"/api/v1/tracks?brief=true&page=2&size=50"_s);

        // "+", "&", "=" and "#" inside a value must not split or change it.
        const QString text = u"C++ & rock=1 #1 ёж/?"_s;
        QVERIFY(send(m_client, u"api/v1/search"_s, u"GET"_s, {{u"q"_s, text}}).value);
        QCOMPARE(m_server->lastRequest().queryItems, (QList<QPair<QString, QString>> {{u"q"_s, text}}));
        QVERIFY(m_server->lastRequest().rawQuery.contains("%2B%2B"_L1));

        QVERIFY(send(m_client, u"api/v1/albums"_s).value);
        QCOMPARE(m_server->lastRequest().target, u"/api/v1/albums"_s);
    }

    void headersFollowBodyAndToken_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<std::optional<QByteArray>>("body");
        QTest::addColumn<std::optional<QString>>("token");
        const std::optional<QByteArray> none;
        QTest::newRow("GET, no token") << u"GET"_s << none << std::optional<QString>();
        QTest::newRow("POST without body") << u"POST"_s << none << std::optional<QString>(u"abc"_s);
        QTest::newRow("PATCH with body, empty token")
            << u"PATCH"_s << std::optional<QByteArray>("{}") << std::optional<QString>(QString());
    }

    void headersFollowBodyAndToken()
    {
        QFETCH(QString, method);
        QFETCH(std::optional<QByteArray>, body);
        QFETCH(std::optional<QString>, token);
        QVERIFY(send(m_client, u"api/v1/x"_s, method, {}, body, token).value);
        const RecordedRequest r = m_server->lastRequest();
        QCOMPARE(r.method, method);
        QCOMPARE(r.header(u"Accept"_s), u"application/json"_s);
        QCOMPARE(r.hasHeader(u"Content-Type"_s), body.has_value());
        QCOMPARE(r.header(u"Content-Type"_s), body ? u"application/json"_s : QString());
        QCOMPARE(r.body, body.value_or(QByteArray()));
        QCOMPARE(r.hasHeader(u"Authorization"_s), token.has_value());
        // The fake trims the blank of "Bearer " with an empty token; see below.
        if (token)
            QCOMPARE(r.header(u"Authorization"_s), (u"Bearer "_s + *token).trimmed());
    }

    void emptyTokenHeaderIsExact()
    {
        RawHttpServer raw;
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:%1"_s.arg(raw.serverPort())));
        QVERIFY(send(m_client, u"api/v1/auth/me"_s, u"GET"_s, {}, {}, QString()).value);
        QVERIFY2(raw.head.contains("\r\nAuthorization: Bearer \r\n"), raw.head.constData());
        ApiConfig::setBaseUrl(m_server->baseUrl());
    }

    // Qt writes a bare line feed into the request as it is, and a server
    // takes it for the end of the header: every break is refused alike.
    void tokenWithAnyLineBreakIsNeverSent_data()
    {
        QTest::addColumn<QString>("token");
        QTest::newRow("CR LF") << u"abc\r\nX-Admin: 1"_s;
        QTest::newRow("line feed alone") << u"abc\nX-Admin: 1"_s;
        QTest::newRow("carriage return alone") << u"abc\rX-Admin: 1"_s;
        QTest::newRow("NUL") << u"abc"_s + QChar(0) + u"X"_s;
    }

    void tokenWithAnyLineBreakIsNeverSent()
    {
        QFETCH(QString, token);
        const ApiError error = apiError(send(m_client, u"api/v1/auth/me"_s, u"GET"_s, {}, {}, token));
        QCOMPARE(error.kind(), ApiError::Kind::Unauthorized);
        QCOMPARE(error.description(), u"Требуется вход в аккаунт"_s);
        QCOMPARE(m_server->requestCount(), 0);
    }

    // Qt's HTTP layer sends a request again when a connection closes before
    // the answer: a change must reach the service once, its lost answer
    // shown like any dropped connection.
    void changeIsSentOnceWhenItsAnswerIsLost_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("create a playlist") << 0;
        QTest::newRow("add to a playlist") << 1;
        QTest::newRow("add a favourite") << 2;
        QTest::newRow("remove a favourite") << 3;
        QTest::newRow("put something") << 4;
    }

    void changeIsSentOnceWhenItsAnswerIsLost()
    {
        QFETCH(int, change);
        ClosingHttpServer closing;
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:%1"_s.arg(closing.serverPort())));
        // The connection the change goes on has answered before: kept alive.
        QVERIFY(outcomeOf(m_api.playlists(u"tok"_s)).value);
        std::exception_ptr error;
        if (change == 0)
            error = outcomeOf(m_api.createPlaylist(u"Mix"_s, u"tok"_s)).error;
        else if (change == 1)
            error = outcomeOf(m_api.addTrackToPlaylist(u"p1"_s, u"t1"_s, u"tok"_s)).error;
        else if (change == 2)
            error = outcomeOf(m_api.addFavorite(u"t1"_s, u"tok"_s)).error;
        else if (change == 3)
            error = outcomeOf(m_api.removeFavorite(u"t1"_s, u"tok"_s)).error;
        else
            error = send(m_client, u"api/v1/x"_s, u"PUT"_s, {}, QByteArray("{}"), u"tok"_s).error;
        QVERIFY(waitUntilIdle());
        ApiConfig::setBaseUrl(m_server->baseUrl());
        QCOMPARE(closing.reads, 1);
        QCOMPARE(closing.changes, 1);
        QVERIFY(error);
        try {
            std::rethrow_exception(error);
        } catch (const ApiError &lost) {
            QCOMPARE(lost.networkFailure(), ApiError::NetworkFailure::ConnectionLost);
            QVERIFY(isRussianOnly(lost.description()));
        }
    }

    // A redirect takes the token only within its origin; a change is not
    // followed out of it at all, whatever the status asks.
    void redirectsStayWithTheBaseOrigin_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("otherPort");
        QTest::newRow("a read, same origin keeps the token") << u"GET"_s << 302 << false;
        QTest::newRow("a read, another port drops it") << u"GET"_s << 302 << true;
        QTest::newRow("a change, same origin keeps its body") << u"POST"_s << 307 << false;
        QTest::newRow("a change, another port") << u"POST"_s << 307 << true;
        QTest::newRow("a change seen other, another port") << u"POST"_s << 303 << true;
        QTest::newRow("PUT, another port") << u"PUT"_s << 308 << true;
        QTest::newRow("PATCH, another port") << u"PATCH"_s << 307 << true;
        QTest::newRow("DELETE, another port") << u"DELETE"_s << 301 << true;
    }

    void redirectsStayWithTheBaseOrigin()
    {
        QFETCH(QString, method);
        QFETCH(int, status);
        QFETCH(bool, otherPort);
        FakeHttpServer second;
        FakeHttpServer &target = otherPort ? second : *m_server;
        const QByteArray location = target.baseUrl().toString().toUtf8() + "/landing";
        m_server->on(method, u"/api/v1/moved"_s, FakeResponse {status, {}, "text/plain", false, {{"Location", location}}});
        target.setFallback([](const RecordedRequest &) { return FakeResponse {200, "{}"}; });
        const bool change = method != u"GET";
        const std::optional<QByteArray> body = change ? std::optional<QByteArray>("{\"a\": 1}") : std::nullopt;
        const TaskOutcome<QByteArray> outcome = send(m_client, u"api/v1/moved"_s, method, {}, body, u"tok"_s);
        if (change && otherPort) {
            const ApiError error = apiError(outcome);
            QCOMPARE(error.networkFailure(), ApiError::NetworkFailure::RedirectedElsewhere);
            QVERIFY(isRussianOnly(error.description()));
            QVERIFY(waitUntilIdle());
            QCOMPARE(second.requestCount(), 0);
            return;
        }
        QVERIFY(outcome.value);
        QCOMPARE(target.lastRequest().path, u"/landing"_s);
        QCOMPARE(target.lastRequest().method, method);
        QCOMPARE(target.lastRequest().body, body.value_or(QByteArray()));
        QCOMPARE(target.lastRequest().hasHeader(u"Authorization"_s), !otherPort);
    }

    void finalRedirectAndProxyRefusalAreStatuses_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("3xx without Location") << 302;
        QTest::newRow("proxy authentication") << 407;
    }

    void finalRedirectAndProxyRefusalAreStatuses()
    {
        QFETCH(int, status);
        m_server->setFallback([=](const RecordedRequest &) {
            return FakeResponse {status, R"({"detail": "Сервер сказал нет"})", "application/json"};
        });
        const ApiError error = apiError(send(m_client, u"api/v1/x"_s, u"GET"_s, {}, {}, {}));
        m_server->setFallback([](const RecordedRequest &) { return FakeResponse {200, "{}"}; });
        QCOMPARE(error.kind(), ApiError::Kind::HttpStatus);
        QCOMPARE(error.statusCode(), status);
        QCOMPARE(error.message(), std::optional<QString>(u"Сервер сказал нет"_s));
    }

    void baseAddressIsReadAfreshWithItsOwnPath()
    {
        QUrl prefixed = m_server->baseUrl();
        prefixed.setPath(u"/nimbra/"_s);
        ApiConfig::setBaseUrl(prefixed);
        QVERIFY(send(m_client, u"api/v1/tracks"_s).value);
        QCOMPARE(m_server->lastRequest().path, u"/nimbra/api/v1/tracks"_s);
        // Stored by hand with a trailing "/": still one "/" between.
        QSettings().setValue(QLatin1StringView(ApiConfig::settingsKey), prefixed.toString());
        QVERIFY(send(m_client, u"api/v1/tracks"_s).value);
        QCOMPARE(m_server->lastRequest().path, u"/nimbra/api/v1/tracks"_s);

        m_server->clearRequests();
        for (const QString &stored : {u"http://"_s, u"http:service"_s}) {
            QSettings().setValue(QLatin1StringView(ApiConfig::settingsKey), stored);
            const ApiError error = apiError(send(m_client, u"api/v1/tracks"_s));
            QCOMPARE(error.kind(), ApiError::Kind::InvalidUrl);
            QCOMPARE(error.description(), u"Некорректный адрес API"_s);
        }
        QCOMPARE(m_server->requestCount(), 0);
    }

    void errorStatusCarriesServerMessage_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<QString>>("message");
        QTest::addColumn<QString>("description");
        const QString joined = u"field required, too short"_s;
        QTest::newRow("validation list")
            << 422
            << QByteArray(R"({"detail": [{"loc": ["body", "username"], "msg": "field required", "type": "missing"},
                                         {"loc": [], "msg": "too short", "type": "x"}]})")
            << std::optional(joined) << joined;
        QTest::newRow("detail text") << 400 << QByteArray(R"({"detail": "Трек не найден"})")
                                     << std::optional(u"Трек не найден"_s) << u"Трек не найден"_s;
        QTest::newRow("empty detail list")
            << 400 << QByteArray(R"({"detail": []})") << std::optional(u"{\"detail\": []}"_s) << u"{\"detail\": []}"_s;
        QTest::newRow("plain text") << 500 << QByteArray("Internal failure") << std::optional(u"Internal failure"_s)
                                    << u"Internal failure"_s;
        QTest::newRow("empty body") << 500 << QByteArray() << std::optional(QString()) << u"Ошибка сервера (500)"_s;
        QTest::newRow("not UTF-8") << 404 << QByteArray("\xff\xfe") << std::optional<QString>()
                                   << u"Ошибка сервера (404)"_s;
        QTest::newRow("401 empty") << 401 << QByteArray() << std::optional(QString()) << u"Ошибка сервера (401)"_s;
        QTest::newRow("401 not UTF-8") << 401 << QByteArray("\xc3\x28") << std::optional(u"Неверный логин или пароль"_s)
                                       << u"Неверный логин или пароль"_s;
        QTest::newRow("403 not UTF-8") << 403 << QByteArray("\xc3\x28") << std::optional(u"Неверный логин или пароль"_s)
                                       << u"Неверный логин или пароль"_s;
    }

    void errorStatusCarriesServerMessage()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        m_server->on(u"GET"_s, u"/api/v1/fail"_s, FakeResponse {status, body, "text/plain"});
        const ApiError error = apiError(send(m_client, u"api/v1/fail"_s));
        QCOMPARE(error.kind(), ApiError::Kind::HttpStatus);
        QCOMPARE(error.statusCode(), status);
        QTEST(error.message(), "message");
        QTEST(error.description(), "description");
    }

    void cancellationAbortsPromptly()
    {
        // The answer is held until the call has ended; the call is
        // cancelled once the request has arrived.
        AnswerGate gate;
        CancelToken cancel;
        m_server->on(u"GET"_s, u"/api/v1/slow"_s,
            gate.hold(FakeResponse {200, "{}"}, [cancel] { cancelFromEventLoop(cancel); }));
        const ApiError error = apiError(send(m_client, u"api/v1/slow"_s, u"GET"_s, {}, {}, {}, cancel));
        QVERIFY2(!gate.answered(), "the answer was awaited instead of aborted");
        gate.open();
        QCOMPARE(error.kind(), ApiError::Kind::Network);
        QVERIFY(error.isCancelled());
        QCOMPARE(error.description(), u"Запрос отменён"_s);

        // Already cancelled: nothing is sent.
        m_server->clearRequests();
        QVERIFY(apiError(send(m_client, u"api/v1/x"_s, u"GET"_s, {}, {}, {}, cancel)).isCancelled());
        QCOMPARE(m_server->requestCount(), 0);
    }

    void timeOutsAreNotCancellations_data()
    {
        QTest::addColumn<int>("idleMs");
        QTest::addColumn<int>("transferMs");
        QTest::newRow("idle") << 150 << 60000;
        QTest::newRow("whole transfer") << 60000 << 150;
    }

    void timeOutsAreNotCancellations()
    {
        QFETCH(int, idleMs);
        QFETCH(int, transferMs);
        // Held until the client has given up on it.
        AnswerGate late;
        m_server->on(u"GET"_s, u"/api/v1/slow"_s, late.hold(FakeResponse {200, "{}"}));
        const ApiClient client(
            ApiClient::Limits {std::chrono::milliseconds(idleMs), std::chrono::milliseconds(transferMs)});
        const ApiError error = apiError(send(client, u"api/v1/slow"_s));
        QVERIFY(error.isTimedOut());
        QVERIFY(!error.isCancelled());
        QVERIFY(isRussianOnly(error.description()));
    }

    void transportFailuresAreNetworkErrors()
    {
        m_server->on(u"GET"_s, u"/api/v1/drop"_s, FakeResponse {200, "", "application/json", true});
        const ApiError dropped = apiError(send(m_client, u"api/v1/drop"_s));
        QCOMPARE(dropped.kind(), ApiError::Kind::Network);
        QVERIFY(!dropped.isCancelled());
        QVERIFY(isRussianOnly(dropped.description()));

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:%1"_s.arg(port)));
        const ApiError refused = apiError(send(m_client, u"api/v1/x"_s));
        QCOMPARE(refused.networkFailure(), ApiError::NetworkFailure::ConnectionRefused);
        QCOMPARE(refused.description(), u"Не удалось подключиться к серверу"_s);
    }

    void offlineRequestWaitsForTheNetwork()
    {
        FakeConnectivity connectivity;
        const ApiClient client(ApiClient::Limits {}, &connectivity);
        int sentWhileWaiting = -1;
        connectivity.onceWaiting = [&] {
            sentWhileWaiting = m_server->requestCount();
            connectivity.goOnline();
        };
        QVERIFY(send(client, u"api/v1/x"_s).value);
        QCOMPARE(sentWhileWaiting, 0);
        QCOMPARE(m_server->requestCount(), 1);

        // The wait ends with a cancel, or with the transfer limit.
        connectivity.offline = true;
        m_server->clearRequests();
        CancelToken cancel;
        connectivity.onceWaiting = [cancel] { cancel.cancel(); };
        QVERIFY(apiError(send(client, u"api/v1/x"_s, u"GET"_s, {}, {}, {}, cancel)).isCancelled());
        const ApiClient shortLimit(ApiClient::Limits {60s, 100ms}, &connectivity);
        const ApiError error = apiError(send(shortLimit, u"api/v1/x"_s));
        QCOMPARE(error.networkFailure(), ApiError::NetworkFailure::NoConnection);
        QCOMPARE(error.description(), u"Нет подключения к интернету"_s);
        QCOMPARE(m_server->requestCount(), 0);
    }

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

    // A large body is decoded on a worker; its failure reads the same.
    void bodyThatDoesNotFitFailsWithTheDecoderError_data()
    {
        QTest::addColumn<int>("endpoint");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const QByteArray album = R"({"id": "a", "title": "Альбом", "artist": "Артист"},)";
        const QByteArray longList = "[" + album.repeated(1000) + R"({"title": "T", "artist": "A"}])";
        const QByteArray longNames = R"({"names": [)" + QByteArray(R"("Имя",)").repeated(8000) + "null]}";
        QTest::newRow("me, empty 200") << 0 << QByteArray() << u"Не удалось прочитать ответ сервера: это не JSON"_s;
        QTest::newRow("albums, an object")
            << 1 << QByteArray(R"({"items": []})") << u"Не удалось прочитать ответ сервера: неверный тип поля ответ целиком"_s;
        QTest::newRow("featured, a name not text") << 2 << QByteArray(R"({"names": ["Ann", 3]})")
                                                   << u"Не удалось прочитать ответ сервера: неверный тип поля «names[1]»"_s;
        QTest::newRow("albums, a long list, the last without id")
            << 1 << longList << u"Не удалось прочитать ответ сервера: нет поля «[1000].id»"_s;
        QTest::newRow("featured, a long list ending in null")
            << 2 << longNames << u"Не удалось прочитать ответ сервера: пустое значение поля «names[8000]»"_s;
        QTest::newRow("albums, a long text cut short")
            << 1 << longList.left(longList.size() - 2) << u"Не удалось прочитать ответ сервера: это не JSON"_s;
    }

    void bodyThatDoesNotFitFailsWithTheDecoderError()
    {
        QFETCH(int, endpoint);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        answerEverything(200, body);
        const std::optional<DecodingError> error = endpoint == 0 ? outcomeOf(m_api.me(u"tok"_s)).errorAs<DecodingError>()
            : endpoint == 1 ? outcomeOf(m_api.albums()).errorAs<DecodingError>()
                            : outcomeOf(m_api.featuredArtistNames()).errorAs<DecodingError>();
        QVERIFY(error);
        QCOMPARE(error->description(), message);
    }

    // A load let go of while a worker decodes its answer gets no records.
    void cancelledWhileDecodingGetsNothing()
    {
        const CancelToken cancel;
        const auto outcome = std::make_shared<std::optional<TaskOutcome<QByteArray>>>();
        decodeInto(QByteArray(kDecodeOnWorkerFrom, 'x'), cancel, outcome);
        QVERIFY(decodingStarted.tryAcquire(1, 20000));
        cancel.cancel();
        decodingMayEnd.release();
        QTRY_VERIFY(outcome->has_value());
        QVERIFY(!(*outcome)->value);
        QVERIFY(apiError(**outcome).isCancelled());
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
            const auto error = outcomeOf(m_api.playlist(id, u"tok"_s)).errorAs<ApiError>();
            QVERIFY(error);
            QCOMPARE(error->kind(), ApiError::Kind::InvalidUrl);
        }
        QCOMPARE(m_server->requestCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestApiClient)
#include "tst_apiclient.moc"
