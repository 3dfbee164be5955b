#include "account/authstore.h"

#include "api/apiconfig.h"

#include "authsession.h"
#include "fakehttpserver.h"
#include "testenv.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QTcpServer>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QJsonObject bodyOf(const RecordedRequest &request)
{
    return QJsonDocument::fromJson(request.body).object();
}

} // namespace

class TstAuthStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeHttpServer> m_server;
    // Another origin that a redirect of the service may lead to.
    FakeHttpServer m_elsewhere;
    // The profile answer for each bearer token; anything else is refused.
    QMap<QString, FakeHttpServer::Handler> m_profiles;
    QMutex m_profilesMutex;

    void answerProfile(const QString &token, FakeResponse response)
    {
        answerProfile(token, [response](const RecordedRequest &) { return response; });
    }
    void answerProfile(const QString &token, FakeHttpServer::Handler answer)
    {
        const QMutexLocker lock(&m_profilesMutex);
        m_profiles.insert(u"Bearer "_s + token, std::move(answer));
    }

    QList<RecordedRequest> requestsTo(const QString &path) const
    {
        QList<RecordedRequest> found;
        for (const RecordedRequest &request : m_server->requests())
            if (request.path == path)
                found.append(request);
        return found;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_server->on(u"GET"_s, kMePath, [this](const RecordedRequest &request) {
            FakeHttpServer::Handler answer;
            {
                const QMutexLocker lock(&m_profilesMutex);
                answer = m_profiles.value(request.header(u"authorization"_s));
            }
            return answer ? answer(request) : FakeResponse {401, R"({"detail": "Not authenticated"})"};
        });
    }

    void init()
    {
        m_server->clearRequests();
        const QMutexLocker lock(&m_profilesMutex);
        m_profiles.clear();
    }

    void profileFetchOfSavedToken_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        // Not 0: the service redirects with this status to another origin,
        // which answers with status and body.
        QTest::addColumn<int>("redirect");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<bool>("savedTokenKept");
        // Empty: no message; "?": any message.
        QTest::addColumn<QString>("message");

        QTest::newRow("profile") << 200 << userJson(u"ann"_s) << 0 << true << true << QString();
        QTest::newRow("401 signs out silently")
            << 401 << QByteArray(R"({"detail": "expired"})") << 0 << false << false << QString();
        QTest::newRow("403 signs out silently")
            << 403 << QByteArray(R"({"detail": "forbidden"})") << 0 << false << false << QString();
        QTest::newRow("500 with the service's text")
            << 500 << QByteArray(R"({"detail": "Сервис недоступен"})") << 0 << false << true << u"Сервис недоступен"_s;
        QTest::newRow("profile that does not decode")
            << 200 << QByteArray(R"({"id": "u1", "username": "ann"})") << 0 << false << true << u"?"_s;
        // A captive portal or a misconfigured front end: the token never
        // went there, so its refusal is not the service's.
        QTest::newRow("401 of another origin a 302 led to") << 401 << QByteArray("<html>Sign in to the network</html>")
                                                            << 302 << false << true << u"Ошибка сервера (401)"_s;
        QTest::newRow("403 of another origin a 307 led to")
            << 403 << QByteArray(R"({"detail": "forbidden"})") << 307 << false << true << u"forbidden"_s;
    }

    void profileFetchOfSavedToken()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, redirect);
        QFETCH(bool, signedIn);
        QFETCH(bool, savedTokenKept);
        QFETCH(QString, message);

        m_elsewhere.clearRequests();
        if (redirect) {
            const QByteArray portal = m_elsewhere.baseUrl().resolved(QUrl(u"/portal"_s)).toEncoded();
            answerProfile(u"saved"_s, FakeResponse {redirect, {}, "text/plain", false, {{"Location", portal}}});
            m_elsewhere.on(u"GET"_s, u"/portal"_s,
                FakeResponse {status, body, body.startsWith('<') ? "text/html" : "application/json"});
        } else {
            answerProfile(u"saved"_s, FakeResponse {status, body});
        }
        AuthSession session("saved");
        AuthStore &auth = *session.auth;
        QCOMPARE(auth.session()->token(), std::optional<QString>(u"saved"_s));
        QVERIFY(!auth.canUseApp());

        QSignalSpy canUse(&auth, &AuthStore::canUseAppChanged);
        QCoro::waitFor(auth.refreshProfileAsync(u"saved"_s));

        QCOMPARE(requestsTo(kMePath).size(), 1);
        QCOMPARE(requestsTo(kMePath).first().header(u"authorization"_s), u"Bearer saved"_s);
        QCOMPARE(m_elsewhere.requestCount(), redirect ? 1 : 0);
        QVERIFY(!m_elsewhere.lastRequest().hasHeader(u"authorization"_s));
        QCOMPARE(auth.isSignedIn(), signedIn);
        QCOMPARE(canUse.size(), signedIn ? 1 : 0);
        QCOMPARE((auth.user() ? auth.user()->username : QString()), signedIn ? u"ann"_s : QString());
        QCOMPARE(auth.session()->token().has_value(), signedIn);
        // Only a refused token is deleted; an outage or a fault of the
        // service must not sign the listener out for good.
        QCOMPARE(session.savedToken(), savedTokenKept ? std::optional<QByteArray>("saved") : std::nullopt);
        if (message.isEmpty())
            QCOMPARE(auth.error(), std::nullopt);
        else if (message == "?"_L1)
            QVERIFY(!auth.errorText().isEmpty());
        else
            QCOMPARE(auth.error(), std::optional<QString>(message));
    }

    void unreachableServiceKeepsSavedToken()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:%1"_s.arg(port)));
        const auto restore = qScopeGuard([this] { ApiConfig::setBaseUrl(m_server->baseUrl()); });

        AuthSession session("saved");
        QCoro::waitFor(session.auth->refreshProfileAsync(u"saved"_s));
        QCOMPARE(session.auth->session()->token(), std::nullopt);
        QCOMPARE(session.auth->error(), std::optional<QString>(u"Не удалось подключиться к серверу"_s));
        QCOMPARE(session.savedToken(), std::optional<QByteArray>("saved"));
    }

    void loginAndRegistrationSignInAndSaveToken()
    {
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {200, tokenJson("fresh")});
        answerProfile(u"fresh"_s, FakeResponse {200, userJson(u"ann"_s)});
        AuthSession session;
        AuthStore &auth = *session.auth;

        QSignalSpy loading(&auth, &AuthStore::isLoadingChanged);
        auth.login(u" ann "_s, u"p@ss word"_s);
        QVERIFY(auth.isLoading());
        QTRY_VERIFY(!auth.isLoading());

        QCOMPARE(loading.size(), 2);
        QCOMPARE(bodyOf(requestsTo(kLoginPath).first()),
            (QJsonObject {{"username"_L1, " ann "_L1}, {"password"_L1, "p@ss word"_L1}}));
        QVERIFY(!requestsTo(kLoginPath).first().hasHeader(u"authorization"_s));
        // The profile was fetched while the sign-in still counted as loading.
        QCOMPARE(requestsTo(kMePath).size(), 1);
        QVERIFY(auth.isSignedIn());
        QCOMPARE(auth.session()->token(), std::optional<QString>(u"fresh"_s));
        QCOMPARE(session.savedToken(), std::optional<QByteArray>("fresh"));

        // Registration sends its fields unchanged.
        auth.signOut();
        m_server->on(u"POST"_s, kRegisterPath, FakeResponse {201, tokenJson("new")});
        answerProfile(u"new"_s, FakeResponse {200, userJson(u"bob"_s)});
        QCoro::waitFor(auth.registerAsync(u"  "_s, QString(), u" "_s));
        QCOMPARE(bodyOf(requestsTo(kRegisterPath).first()),
            (QJsonObject {{"username"_L1, "  "_L1}, {"email"_L1, ""_L1}, {"password"_L1, " "_L1}}));
        QVERIFY(auth.isSignedIn());
        QCOMPARE(session.savedToken(), std::optional<QByteArray>("new"));
    }

    void failedLoginChangesOnlyTheMessage()
    {
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {401, R"({"detail": "Неверный пароль"})"});
        answerProfile(u"saved"_s, FakeResponse {500, {}});
        AuthSession session("saved");
        AuthStore &auth = *session.auth;

        QCoro::waitFor(auth.loginAsync(u"ann"_s, u"wrong"_s));
        QCOMPARE(auth.error(), std::optional<QString>(u"Неверный пароль"_s));
        QVERIFY(!auth.isLoading());
        QCOMPARE(auth.session()->token(), std::optional<QString>(u"saved"_s));
        QCOMPARE(session.savedToken(), std::optional<QByteArray>("saved"));
        QCOMPARE(requestsTo(kMePath).size(), 0);

        // The next attempt clears the message as it starts.
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {200, tokenJson("fresh")});
        answerProfile(u"fresh"_s, FakeResponse {200, userJson(u"ann"_s)});
        QSignalSpy message(&auth, &AuthStore::errorTextChanged);
        QCoro::waitFor(auth.loginAsync(u"ann"_s, u"right"_s));
        QCOMPARE(message.size(), 1);
        QCOMPARE(auth.error(), std::nullopt);
    }

    void signInWhoseProfileFails()
    {
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {200, tokenJson("fresh")});
        answerProfile(u"fresh"_s, FakeResponse {500, {}});
        AuthSession session;
        AuthStore &auth = *session.auth;

        QCoro::waitFor(auth.loginAsync(u"ann"_s, u"pw"_s));
        QCOMPARE(auth.session()->token(), std::nullopt);
        QVERIFY(!auth.isLoading());
        QVERIFY(!auth.canUseApp());
        QCOMPARE(auth.error(), std::optional<QString>(u"Ошибка сервера (500)"_s));
        // The issued token stays saved for the next start.
        QCOMPARE(session.savedToken(), std::optional<QByteArray>("fresh"));
    }

    // The profile answer for a token that is no longer the store's arrives
    // after someone else signed in: it neither signs them out nor replaces
    // their profile.
    void lateProfileForFormerTokenIsDropped_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("refused") << 401 << QByteArray();
        QTest::newRow("another user") << 200 << userJson(u"old"_s);
    }

    void lateProfileForFormerTokenIsDropped()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        AnswerGate former;
        answerProfile(u"former"_s, former.hold(FakeResponse {status, body}));
        answerProfile(u"fresh"_s, FakeResponse {200, userJson(u"ann"_s)});
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {200, tokenJson("fresh")});
        AuthSession session("former");
        AuthStore &auth = *session.auth;

        QCoro::Task<void> late = auth.refreshProfileAsync(u"former"_s);
        QCoro::waitFor(auth.loginAsync(u"ann"_s, u"pw"_s));
        QVERIFY(auth.isSignedIn());
        former.open();
        QCoro::waitFor(std::move(late));

        QVERIFY(auth.isSignedIn());
        QCOMPARE(auth.user()->username, u"ann"_s);
        QCOMPARE(auth.session()->token(), std::optional<QString>(u"fresh"_s));
        QCOMPARE(auth.error(), std::nullopt);
        QCOMPARE(session.savedToken(), std::optional<QByteArray>("fresh"));
    }

    // The saved token comes back from the keychain only after the listener
    // has acted: what they did stands.
    void slowKeychainLoadDoesNotOverrule_data()
    {
        QTest::addColumn<bool>("signIn");
        QTest::newRow("sign-in") << true;
        QTest::newRow("sign-out") << false;
    }

    void slowKeychainLoadDoesNotOverrule()
    {
        QFETCH(bool, signIn);
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {200, tokenJson("fresh")});
        answerProfile(u"fresh"_s, FakeResponse {200, userJson(u"ann"_s)});
        AuthSession session("former", /*held=*/true);
        AuthStore &auth = *session.auth;
        QVERIFY(!auth.isTokenLoaded());

        if (signIn)
            QCoro::waitFor(auth.loginAsync(u"ann"_s, u"pw"_s));
        else
            auth.signOut();
        session.secrets->setHeld(false);
        session.waitUntilLoaded();

        QCOMPARE(auth.session()->token(), signIn ? std::optional<QString>(u"fresh"_s) : std::nullopt);
        QCOMPARE(auth.isSignedIn(), signIn);
        QCOMPARE(session.savedToken(), signIn ? std::optional<QByteArray>("fresh") : std::nullopt);
    }

    void guestMode()
    {
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {401, {}});
        AuthSession session;
        AuthStore &auth = *session.auth;
        // A start without a saved token asks nothing.
        QVERIFY(auth.isTokenLoaded());
        QCOMPARE(auth.session()->token(), std::nullopt);
        QVERIFY(!auth.canUseApp());
        QCOMPARE(m_server->requestCount(), 0);
        QCoro::waitFor(auth.loginAsync(u"ann"_s, u"wrong"_s));
        QVERIFY(auth.error());
        const int requestsBefore = m_server->requestCount();

        auth.continueAsGuest();
        QVERIFY(auth.isGuestMode());
        QVERIFY(auth.canUseApp());
        QVERIFY(!auth.isSignedIn());
        QCOMPARE(auth.error(), std::nullopt);
        QCOMPARE(m_server->requestCount(), requestsBefore);

        QSignalSpy canUse(&auth, &AuthStore::canUseAppChanged);
        auth.signOut();
        QVERIFY(!auth.isGuestMode());
        QVERIFY(!auth.canUseApp());
        QCOMPARE(canUse.size(), 1);
    }

    void signOutForgetsEverythingWithoutAsking()
    {
        answerProfile(u"saved"_s, FakeResponse {200, userJson(u"ann"_s)});
        AuthSession session("saved");
        AuthStore &auth = *session.auth;
        QCoro::waitFor(auth.refreshProfileAsync(u"saved"_s));
        QVERIFY(auth.isSignedIn());
        const int requestsBefore = m_server->requestCount();

        QSignalSpy token(auth.session(), &Session::tokenChanged);
        QSignalSpy user(&auth, &AuthStore::userChanged);
        auth.signOut();
        QCOMPARE(token.size(), 1);
        QCOMPARE(user.size(), 1);
        QCOMPARE(auth.user(), std::nullopt);
        QVERIFY(!auth.canUseApp());
        QCOMPARE(session.savedToken(), std::nullopt);
        QCOMPARE(m_server->requestCount(), requestsBefore);
    }
};

QTEST_GUILESS_MAIN(TstAuthStore)
#include "tst_authstore.moc"
