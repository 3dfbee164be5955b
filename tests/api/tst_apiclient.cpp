#include "api/apiclient.h"
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/connectivity.h"

#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSettings>
#include <QTcpServer>
#include <QTimer>
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
    bool isOffline(const QUrl &) const override { return offline; }
    void goOnline()
    {
        offline = false;
        emit changed();
    }
};

TaskOutcome<QByteArray> get(const APIClient &client, const QString &path, const CancelToken &cancel = {})
{
    return outcomeOf(client.request(path, u"GET"_s, {}, std::nullopt, u"application/json"_s, std::nullopt, cancel));
}

APIError apiError(const TaskOutcome<QByteArray> &outcome)
{
    const auto error = outcome.errorAs<APIError>();
    if (!error)
        qFatal("expected an APIError");
    return *error;
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

// The listener never sees the network layer's English texts.
bool isRussianOnly(const QString &text)
{
    return !text.isEmpty() && !text.contains(QRegularExpression(u"[A-Za-z]"_s));
}

} // namespace

class TestAPIClient : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakeHttpServer> m_server;
    APIClient m_client;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
        m_server->setFallback([](const RecordedRequest &) { return FakeResponse {200, "{}"}; });
    }

    void init()
    {
        APIConfig::setBaseURL(m_server->baseUrl());
        m_server->clearRequests();
    }

    void queryIsSortedByKeyAndEncoded()
    {
        const QMap<QString, QString> query {{u"size"_s, u"50"_s}, {u"page"_s, u"2"_s}, {u"brief"_s, u"true"_s}};
        QVERIFY(outcomeOf(
            m_client.request(u"api/v1/tracks"_s, u"GET"_s, query, std::nullopt, u"application/json"_s, std::nullopt))
                    .value);
        QCOMPARE(m_server->lastRequest().target, u"/api/v1/tracks?brief=true&page=2&size=50"_s);

        // "+", "&", "=" and "#" inside a value must not split or change it.
        const QString text = u"C++ & rock=1 #1 ёж/?"_s;
        QVERIFY(outcomeOf(m_client.request(u"api/v1/search"_s, u"GET"_s, {{u"q"_s, text}}, std::nullopt,
                              u"application/json"_s, std::nullopt))
                    .value);
        const RecordedRequest r = m_server->lastRequest();
        QCOMPARE(r.queryItems.size(), 1);
        QCOMPARE(r.queryItems.first(), qMakePair(u"q"_s, text));
        QVERIFY(r.rawQuery.contains("%2B%2B"_L1));
    }

    void emptyQueryHasNoQuestionMark()
    {
        QVERIFY(get(m_client, u"api/v1/albums"_s).value);
        QCOMPARE(m_server->lastRequest().target, u"/api/v1/albums"_s);
    }

    void headersFollowBodyAndToken_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<std::optional<QByteArray>>("body");
        QTest::addColumn<std::optional<QString>>("token");

        const std::optional<QByteArray> none;
        QTest::newRow("GET, no token") << u"GET"_s << none << std::optional<QString>();
        QTest::newRow("GET, token") << u"GET"_s << none << std::optional<QString>(u"abc"_s);
        QTest::newRow("POST without body") << u"POST"_s << none << std::optional<QString>(u"abc"_s);
        QTest::newRow("DELETE without body") << u"DELETE"_s << none << std::optional<QString>(u"abc"_s);
        QTest::newRow("POST with body") << u"POST"_s << std::optional<QByteArray>("{\"a\":1}")
                                        << std::optional<QString>();
        QTest::newRow("PATCH with body, empty token")
            << u"PATCH"_s << std::optional<QByteArray>("{}") << std::optional<QString>(QString());
    }

    void headersFollowBodyAndToken()
    {
        QFETCH(QString, method);
        QFETCH(std::optional<QByteArray>, body);
        QFETCH(std::optional<QString>, token);

        QVERIFY(outcomeOf(m_client.request(u"api/v1/x"_s, method, {}, body, u"application/json"_s, token)).value);
        const RecordedRequest r = m_server->lastRequest();
        QCOMPARE(r.method, method);
        QCOMPARE(r.header(u"Accept"_s), u"application/json"_s);
        QCOMPARE(r.hasHeader(u"Content-Type"_s), body.has_value());
        if (body) {
            QCOMPARE(r.header(u"Content-Type"_s), u"application/json"_s);
            QCOMPARE(r.body, *body);
        } else {
            QVERIFY(r.body.isEmpty());
        }
        QCOMPARE(r.hasHeader(u"Authorization"_s), token.has_value());
        if (token)
            QCOMPARE(r.header(u"Authorization"_s).toUtf8(), ("Bearer " + token->toUtf8()).trimmed());
    }

    void emptyTokenSendsBareBearer()
    {
        RawHttpServer raw;
        APIConfig::setBaseURL(QUrl(u"http://127.0.0.1:%1"_s.arg(raw.serverPort())));
        QVERIFY(outcomeOf(
            m_client.request(u"api/v1/auth/me"_s, u"GET"_s, {}, std::nullopt, u"application/json"_s, QString()))
                    .value);
        QVERIFY2(raw.head.contains("\r\nAuthorization: Bearer \r\n"), raw.head.constData());
    }

    void tokenWithLineBreakIsNeverSent()
    {
        const auto outcome = outcomeOf(m_client.request(
            u"api/v1/auth/me"_s, u"GET"_s, {}, std::nullopt, u"application/json"_s, u"abc\r\nX-Admin: 1"_s));
        QCOMPARE(apiError(outcome).kind(), APIError::Kind::Unauthorized);
        QCOMPARE(apiError(outcome).description(), u"Требуется вход в аккаунт"_s);
        QCOMPARE(m_server->requestCount(), 0);
    }

    void baseAddressIsReadAfreshWithItsOwnPath()
    {
        QVERIFY(get(m_client, u"api/v1/tracks"_s).value);
        QCOMPARE(m_server->lastRequest().path, u"/api/v1/tracks"_s);

        QUrl prefixed = m_server->baseUrl();
        prefixed.setPath(u"/nimbra/"_s);
        APIConfig::setBaseURL(prefixed);
        QVERIFY(get(m_client, u"api/v1/tracks"_s).value);
        QCOMPARE(m_server->lastRequest().path, u"/nimbra/api/v1/tracks"_s);

        // Stored by hand with a trailing "/": still one "/" between.
        QSettings().setValue(QLatin1StringView(APIConfig::settingsKey), prefixed.toString());
        QVERIFY(get(m_client, u"api/v1/tracks"_s).value);
        QCOMPARE(m_server->lastRequest().path, u"/nimbra/api/v1/tracks"_s);
    }

    void unusableBaseAddressFailsBeforeSending_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("scheme only") << u"http:"_s;
        QTest::newRow("empty authority") << u"http://"_s;
        QTest::newRow("no host") << u"https:///api"_s;
        QTest::newRow("opaque") << u"http:service"_s;
    }

    void unusableBaseAddressFailsBeforeSending()
    {
        QFETCH(QString, stored);
        QSettings().setValue(QLatin1StringView(APIConfig::settingsKey), stored);
        const APIError error = apiError(get(m_client, u"api/v1/tracks"_s));
        QCOMPARE(error.kind(), APIError::Kind::InvalidURL);
        QCOMPARE(error.description(), u"Некорректный адрес API"_s);
        QCOMPARE(m_server->requestCount(), 0);
    }

    void errorStatusCarriesServerMessage_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<QString>>("message");
        QTest::addColumn<QString>("description");

        const QByteArray emptyList = R"({"detail": []})";
        const QByteArray missingMsg = R"({"detail": [{"msg": "a"}, {"loc": ["x"]}]})";
        QTest::newRow("validation list") << 422
                                         << QByteArray(
                                                R"({"detail": [{"loc": ["body", "username"], "msg": "field required",
                                             "type": "missing"}, {"loc": [], "msg": "too short", "type": "x"}]})")
                                         << std::optional<QString>(u"field required, too short"_s)
                                         << u"field required, too short"_s;
        QTest::newRow("detail text") << 400 << QByteArray(R"({"detail": "Трек не найден"})")
                                     << std::optional<QString>(u"Трек не найден"_s) << u"Трек не найден"_s;
        QTest::newRow("empty detail list")
            << 400 << emptyList << std::optional<QString>(QString::fromUtf8(emptyList)) << QString::fromUtf8(emptyList);
        QTest::newRow("entry without msg") << 422 << missingMsg << std::optional<QString>(QString::fromUtf8(missingMsg))
                                           << QString::fromUtf8(missingMsg);
        QTest::newRow("detail of another type") << 400 << QByteArray(R"({"detail": 7})")
                                                << std::optional<QString>(u"{\"detail\": 7}"_s) << u"{\"detail\": 7}"_s;
        QTest::newRow("plain text 500") << 500 << QByteArray("Internal failure")
                                        << std::optional<QString>(u"Internal failure"_s) << u"Internal failure"_s;
        QTest::newRow("empty 500") << 500 << QByteArray() << std::optional<QString>(QString())
                                   << u"Ошибка сервера (500)"_s;
        QTest::newRow("empty detail text")
            << 409 << QByteArray(R"({"detail": ""})") << std::optional<QString>(QString()) << u"Ошибка сервера (409)"_s;
        QTest::newRow("404 not UTF-8") << 404 << QByteArray("\xff\xfe\xfd") << std::optional<QString>()
                                       << u"Ошибка сервера (404)"_s;
        QTest::newRow("401 empty") << 401 << QByteArray() << std::optional<QString>(QString())
                                   << u"Ошибка сервера (401)"_s;
        QTest::newRow("401 not UTF-8") << 401 << QByteArray("\xc3\x28")
                                       << std::optional<QString>(u"Неверный логин или пароль"_s)
                                       << u"Неверный логин или пароль"_s;
        QTest::newRow("403 not UTF-8") << 403 << QByteArray("\xff")
                                       << std::optional<QString>(u"Неверный логин или пароль"_s)
                                       << u"Неверный логин или пароль"_s;
        QTest::newRow("403 detail") << 403 << QByteArray(R"({"detail": "Токен истёк"})")
                                    << std::optional<QString>(u"Токен истёк"_s) << u"Токен истёк"_s;
    }

    void errorStatusCarriesServerMessage()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(std::optional<QString>, message);
        QFETCH(QString, description);

        m_server->on(u"GET"_s, u"/api/v1/fail"_s, FakeResponse {status, body, "text/plain"});
        const APIError error = apiError(get(m_client, u"api/v1/fail"_s));
        QCOMPARE(error.kind(), APIError::Kind::HttpStatus);
        QCOMPARE(error.statusCode(), status);
        QCOMPARE(error.message(), message);
        QCOMPARE(error.description(), description);
    }

    void successReturnsBodyUnchanged_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("204") << 204 << QByteArray();
        QTest::newRow("empty 200") << 200 << QByteArray();
        QTest::newRow("201 not JSON") << 201 << QByteArray("created \xff");
    }

    void successReturnsBodyUnchanged()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        m_server->on(u"POST"_s, u"/api/v1/ok"_s, FakeResponse {status, body, "text/plain"});
        const auto outcome = outcomeOf(
            m_client.request(u"api/v1/ok"_s, u"POST"_s, {}, std::nullopt, u"application/json"_s, std::nullopt));
        QVERIFY(outcome.value);
        QCOMPARE(*outcome.value, body);
    }

    void cancellationAbortsPromptly()
    {
        m_server->on(u"GET"_s, u"/api/v1/slow"_s, FakeResponse {200, "{}", "application/json", 2000});
        CancelToken cancel;
        QTimer::singleShot(50, [cancel] { cancel.cancel(); });
        QElapsedTimer elapsed;
        elapsed.start();
        const APIError error = apiError(get(m_client, u"api/v1/slow"_s, cancel));
        QVERIFY2(elapsed.elapsed() < 1500, "the answer was awaited instead of aborted");
        QVERIFY(error.isCancelled());
        QCOMPARE(error.description(), u"Запрос отменён"_s);
    }

    void cancelledTokenSendsNothing()
    {
        CancelToken cancel;
        cancel.cancel();
        QVERIFY(apiError(get(m_client, u"api/v1/x"_s, cancel)).isCancelled());
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
        m_server->on(u"GET"_s, u"/api/v1/slow"_s, FakeResponse {200, "{}", "application/json", 1000});
        const APIClient client(
            APIClient::Limits {std::chrono::milliseconds(idleMs), std::chrono::milliseconds(transferMs)});
        const APIError error = apiError(get(client, u"api/v1/slow"_s));
        QVERIFY(error.isTimedOut());
        QVERIFY(!error.isCancelled());
        QVERIFY(isRussianOnly(error.description()));
    }

    void transportFailuresAreNetworkErrors()
    {
        m_server->on(u"GET"_s, u"/api/v1/drop"_s, FakeResponse {200, "", "application/json", 0, true});
        const APIError dropped = apiError(get(m_client, u"api/v1/drop"_s));
        QCOMPARE(dropped.kind(), APIError::Kind::Network);
        QVERIFY(!dropped.isCancelled());
        QVERIFY(isRussianOnly(dropped.description()));

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        APIConfig::setBaseURL(QUrl(u"http://127.0.0.1:%1"_s.arg(port)));
        const APIError refused = apiError(get(m_client, u"api/v1/x"_s));
        QCOMPARE(refused.networkFailure(), APIError::NetworkFailure::ConnectionRefused);
        QCOMPARE(refused.description(), u"Не удалось подключиться к серверу"_s);
        QVERIFY(!refused.underlying().isEmpty());
    }

    void offlineRequestWaitsForTheNetwork()
    {
        FakeConnectivity connectivity;
        const APIClient client(APIClient::Limits {}, &connectivity);
        QTimer::singleShot(50, &connectivity, [&] {
            QCOMPARE(m_server->requestCount(), 0);
            connectivity.goOnline();
        });
        QVERIFY(get(client, u"api/v1/x"_s).value);
        QCOMPARE(m_server->requestCount(), 1);
    }

    void offlineWaitEndsWithCancelOrLimit()
    {
        FakeConnectivity connectivity;
        CancelToken cancel;
        QTimer::singleShot(50, [cancel] { cancel.cancel(); });
        QVERIFY(apiError(get(APIClient(APIClient::Limits {}, &connectivity), u"api/v1/x"_s, cancel)).isCancelled());

        const APIClient shortLimit(APIClient::Limits {60s, 100ms}, &connectivity);
        const APIError error = apiError(get(shortLimit, u"api/v1/x"_s));
        QCOMPARE(error.networkFailure(), APIError::NetworkFailure::NoConnection);
        QCOMPARE(error.description(), u"Нет подключения к интернету"_s);
        QCOMPARE(m_server->requestCount(), 0);
    }

    void waitingNeverBlocksTheEventLoop()
    {
        m_server->on(u"GET"_s, u"/api/v1/slow"_s, FakeResponse {200, "{}", "application/json", 400});
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(10);
        QVERIFY(get(m_client, u"api/v1/slow"_s).value);
        // A blocked loop would fire the timer once, at the end.
        QVERIFY2(ticks >= 5, qPrintable(u"ticks: %1"_s.arg(ticks)));
    }
};

QTEST_GUILESS_MAIN(TestAPIClient)
#include "tst_apiclient.moc"
