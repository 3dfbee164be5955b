#include "account/authstore.h"

#include "authsession.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "heldclock.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kStatusQ1 = u"/api/v1/auth/qr/status/q1"_s;

QByteArray initJson(const QByteArray &qrToken, qint64 lifetime)
{
    return R"({"qr_token": ")" + qrToken + R"(", "expires_in_seconds": )" + QByteArray::number(lifetime) + "}";
}

} // namespace

class TstQrLogin : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeHttpServer> m_server;

    int requestsTo(const QString &path) const { return m_server->requestsTo(path); }

    // Answers the status polls of q1 in turn from answers; the last one
    // repeats.
    void answerStatus(QList<FakeResponse> answers)
    {
        auto served = std::make_shared<std::atomic<int>>(0);
        m_server->on(u"GET"_s, kStatusQ1, [answers, served](const RecordedRequest &) {
            const int index = std::min<int>(served->fetch_add(1), int(answers.size()) - 1);
            return answers.at(index);
        });
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_server->on(u"GET"_s, u"/api/v1/auth/me"_s, [](const RecordedRequest &request) {
            if (request.header(u"authorization"_s) == u"Bearer access"_s)
                return FakeResponse {200, userJson(u"ann"_s)};
            return FakeResponse {401, {}};
        });
    }

    void init()
    {
        m_server->clearRequests();
        m_server->on(u"POST"_s, kQrInitPath, FakeResponse {200, initJson("q1", 120)});
    }

    // Status requests follow a pause each, as many as the token's lifetime
    // allows; when none brings a verdict, the code has expired.
    void attemptsFollowLifetime_data()
    {
        QTest::addColumn<qint64>("lifetime");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("attempts");

        QTest::newRow("23 s") << qint64(23) << 200 << 11;
        QTest::newRow("21 s") << qint64(21) << 200 << 10;
        QTest::newRow("0 s") << qint64(0) << 200 << 10;
        QTest::newRow("every request fails") << qint64(40) << 503 << 20;
    }

    void attemptsFollowLifetime()
    {
        QFETCH(qint64, lifetime);
        QFETCH(int, status);
        QFETCH(int, attempts);
        m_server->on(u"POST"_s, kQrInitPath, FakeResponse {200, initJson("q1", lifetime)});
        answerStatus({FakeResponse {status, R"({"status": "waiting"})"}});
        AuthSession session;
        AuthStore &auth = *session.auth;
        // Every pause between status requests ends at once.
        HeldClock gate(true);
        auth.setClock(&gate);

        QCoro::waitFor(auth.startQrLoginAsync());
        QCOMPARE(auth.qrToken(), std::optional<QString>(u"q1"_s));
        QCOMPARE(auth.qrLink(), u"nimbras://qr?token=q1"_s);
        QVERIFY(auth.isQrPolling());

        QTRY_COMPARE(auth.qrError(), std::optional<QString>(u"QR-код истёк"_s));
        QCOMPARE(requestsTo(kStatusQ1), attempts);
        QCOMPARE(int(gate.asked.size()), attempts);
        QVERIFY(!auth.isQrPolling());
        QCOMPARE(auth.qrToken(), std::nullopt);
        QVERIFY(!auth.isQrTaskRunning());
        for (const RecordedRequest &request : m_server->requests())
            QVERIFY(!request.hasHeader(u"authorization"_s));
    }

    void verdictInAnyLetterCase_data()
    {
        QTest::addColumn<QByteArray>("verdict");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("qrError");

        QTest::newRow("Confirmed") << QByteArray(R"({"status": "Confirmed", "access_token": "access"})") << true
                                   << QString();
        QTest::newRow("confirmed without token")
            << QByteArray(R"({"status": "confirmed"})") << false << u"Не удалось войти по QR-коду"_s;
        QTest::newRow("EXPIRED") << QByteArray(R"({"status": "EXPIRED"})") << false << u"QR-код истёк"_s;
    }

    void verdictInAnyLetterCase()
    {
        QFETCH(QByteArray, verdict);
        QFETCH(bool, signedIn);
        QFETCH(QString, qrError);
        answerStatus({FakeResponse {200, R"({"status": "pending"})"}, FakeResponse {200, R"({"status": "scanned"})"},
            FakeResponse {200, verdict}});
        AuthSession session;
        AuthStore &auth = *session.auth;
        // Every pause between status requests ends at once.
        HeldClock gate(true);
        auth.setClock(&gate);

        auth.startQrLogin();
        QTRY_VERIFY(requestsTo(kStatusQ1) == 3 && !auth.isQrTaskRunning());
        if (signedIn)
            QTRY_VERIFY(auth.isSignedIn());
        QVERIFY(waitUntilIdle());
        QCOMPARE(requestsTo(kStatusQ1), 3);

        QCOMPARE(auth.qrToken(), std::nullopt);
        QVERIFY(!auth.isQrPolling());
        QCOMPARE(auth.qrError(), qrError.isEmpty() ? std::nullopt : std::optional<QString>(qrError));
        QCOMPARE(auth.isSignedIn(), signedIn);
        QCOMPARE(session.savedToken(), signedIn ? std::optional<QByteArray>("access") : std::nullopt);
    }

    void cancelDuringPauseSendsNothingMore()
    {
        answerStatus({FakeResponse {200, R"({"status": "pending"})"}});
        AuthSession session;
        AuthStore &auth = *session.auth;
        HeldClock gate;
        auth.setClock(&gate);

        QCoro::waitFor(auth.startQrLoginAsync());
        QCOMPARE(int(gate.asked.size()), 1);
        auth.cancelQrLogin();
        QCOMPARE(auth.qrToken(), std::nullopt);
        QVERIFY(!auth.isQrPolling());
        QCOMPARE(auth.qrError(), std::nullopt);

        QTRY_COMPARE(gate.ended, 1);
        QVERIFY(waitUntilIdle());
        QCOMPARE(int(gate.asked.size()), 1);
        QCOMPARE(requestsTo(kStatusQ1), 0);
    }

    void codeRequestFailure()
    {
        m_server->on(u"POST"_s, kQrInitPath, FakeResponse {503, R"({"detail": "Сервис перегружен"})"});
        AuthSession session;
        AuthStore &auth = *session.auth;
        QCoro::waitFor(auth.startQrLoginAsync());
        QCOMPARE(auth.qrError(), std::optional<QString>(u"Сервис перегружен"_s));
        QCOMPARE(auth.qrToken(), std::nullopt);
        QVERIFY(!auth.isQrPolling());
        QVERIFY(!auth.isQrTaskRunning());
    }
};

QTEST_GUILESS_MAIN(TstQrLogin)
#include "tst_qrlogin.moc"
