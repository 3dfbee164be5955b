// A bearer token reaches only the service that issued it: a request or an
// offline save made with it after the address moved to another service goes
// there without it, while another spelling of the same address changes nothing.
#include "account/authstore.h"
#include "api/apiconfig.h"
#include "api/nimbraapi.h"
#include "api/storeregistry.h"
#include "player/audiocacheservice.h"
#include "settings/settingsmodel.h"

#include "authsession.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestTokenOrigins : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_issuer;
    std::unique_ptr<FakeHttpServer> m_other;

    // The playlists asked for with the token after the address became
    // `address`: the issuer gets the token while the address is still its
    // origin; otherwise no request anywhere carries it.
    void verifyOnlyTheIssuerGetsIt(const QString &token, const QString &address, bool sameOrigin)
    {
        ApiConfig::setBaseUrl(QUrl(address));
        m_issuer->clearRequests();
        m_other->clearRequests();
        const auto outcome = outcomeOf(NimbraApi().playlists(token));
        if (sameOrigin) {
            QVERIFY(outcome.value.has_value());
            QCOMPARE(m_issuer->requestCount(), 1);
            QCOMPARE(m_issuer->lastRequest().header(u"authorization"_s), u"Bearer "_s + token);
            return;
        }
        for (const FakeHttpServer *server : {m_issuer.get(), m_other.get()}) {
            for (const RecordedRequest &request : server->requests())
                QVERIFY2(!request.hasHeader(u"authorization"_s), qPrintable(request.target));
        }
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_issuer = std::make_unique<FakeHttpServer>();
        m_other = std::make_unique<FakeHttpServer>();
        const auto everything = [](const RecordedRequest &request) {
            if (request.path == u"/api/v1/auth/login"_s)
                return FakeResponse {200, tokenJson("issued")};
            if (request.path == u"/api/v1/auth/me"_s)
                return FakeResponse {200, userJson(u"listener"_s)};
            return FakeResponse {200, "[]"};
        };
        m_issuer->setFallback(everything);
        m_other->setFallback(everything);
    }

    void init() { ApiConfig::setBaseUrl(m_issuer->baseUrl()); }

    void signedInTokenStaysWithItsService_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("sameOrigin");
        const QString port = QString::number(m_issuer->baseUrl().port());
        QTest::newRow("trailing slash") << u"http://127.0.0.1:%1/"_s.arg(port) << true;
        QTest::newRow("another path") << u"http://127.0.0.1:%1/v2"_s.arg(port) << true;
        QTest::newRow("another port") << m_other->baseUrl().toString() << false;
        QTest::newRow("another host") << u"http://localhost:%1"_s.arg(port) << false;
    }

    void signedInTokenStaysWithItsService()
    {
        QFETCH(QString, address);
        QFETCH(bool, sameOrigin);
        AuthSession session;
        QCoro::waitFor(session.auth->loginAsync(u"listener"_s, u"pw"_s));
        QVERIFY(session.auth->isSignedIn());
        verifyOnlyTheIssuerGetsIt(*session.session->token(), address, sameOrigin);
    }

    // The keychain holds the token alone: it belongs to the service that
    // accepted it at start.
    void restoredTokenStaysWithTheServiceThatAcceptedIt()
    {
        AuthSession session("restored");
        QCoro::waitFor(session.auth->refreshProfileAsync(u"restored"_s));
        QVERIFY(session.auth->isSignedIn());
        verifyOnlyTheIssuerGetsIt(u"restored"_s, m_other->baseUrl().toString(), false);
    }

    // At start a saved token counts only where its issuer is the address
    // in force (the settings', or the command line's for that run): else it
    // is neither sent nor forgotten, and the listener signs in for the run.
    // An earlier build's token, or one whose service item names no host, was
    // issued by the address then in the settings. Saving its own service's
    // address in the settings later in the run signs in with it; saving a
    // third one forgets it.
    void savedTokenOfAnotherServiceIsNeverSent_data()
    {
        QTest::addColumn<QByteArray>("origin"); // the item saved with the token; empty: none
        QTest::addColumn<bool>("otherInSettings");
        QTest::addColumn<QString>("forTheRun"); // "issuer", "other" or none
        QTest::addColumn<bool>("used");
        QTest::addColumn<QString>("savedLater"); // saved in the settings after start: "issuer", "third" or none
        const QByteArray issuer = m_issuer->baseUrl().toString().toUtf8();
        QTest::newRow("its service") << issuer << false << QString() << true << QString();
        QTest::newRow("another service for the run") << issuer << false << u"other"_s << false << QString();
        QTest::newRow("its service for the run, another in the settings")
            << issuer << true << u"issuer"_s << true << QString();
        QTest::newRow("earlier build's, the settings' service") << QByteArray() << false << QString() << true << QString();
        QTest::newRow("earlier build's, another service for the run")
            << QByteArray() << false << u"other"_s << false << QString();
        QTest::newRow("a service item without a host") << QByteArray("/api/v1") << false << QString() << true << QString();
        QTest::newRow("another service for the run, then its own saved")
            << issuer << false << u"other"_s << false << u"issuer"_s;
        QTest::newRow("another service for the run, then a third saved")
            << issuer << false << u"other"_s << false << u"third"_s;
    }

    void savedTokenOfAnotherServiceIsNeverSent()
    {
        QFETCH(QByteArray, origin);
        QFETCH(bool, otherInSettings);
        QFETCH(QString, forTheRun);
        QFETCH(bool, used);
        QFETCH(QString, savedLater);
        if (otherInSettings)
            ApiConfig::setBaseUrl(m_other->baseUrl());
        if (!forTheRun.isEmpty())
            ApiConfig::setRunBaseUrl((forTheRun == u"other" ? m_other : m_issuer)->baseUrl());
        m_issuer->clearRequests();
        m_other->clearRequests();
        AuthSession session("saved", false, origin.isEmpty() ? std::nullopt : std::optional(origin));
        QCOMPARE(session.auth->hasToken(), used);
        if (used)
            QCoro::waitFor(session.auth->refreshProfileAsync(u"saved"_s));
        QCOMPARE(session.auth->isSignedIn(), used);
        QCOMPARE(m_issuer->requestCount(), used ? 1 : 0);
        for (const RecordedRequest &request : m_other->requests())
            QVERIFY2(!request.hasHeader(u"authorization"_s), qPrintable(request.target));
        if (!savedLater.isEmpty()) {
            StoreRegistry::set(session.auth.get());
            SettingsModel settings;
            const QUrl issuer = m_issuer->baseUrl();
            settings.setBaseUrlText(savedLater == u"issuer" ? issuer.toString() : u"http://localhost:1"_s);
            settings.saveAddress();
            if (savedLater != u"issuer") {
                QCOMPARE(session.savedToken(), std::nullopt);
                return;
            }
            QTRY_VERIFY(session.auth->isSignedIn());
            QCOMPARE(m_issuer->lastRequest().header(u"authorization"_s), u"Bearer saved"_s);
        }
        // Untouched, for the next start with its own address.
        QCOMPARE(session.savedToken(), std::optional<QByteArray>("saved"));
        QCOMPARE(session.secrets->itemCount(), origin.isEmpty() ? 1 : 2);
    }

    // A track file on another host is fetched, but without the token.
    void offlineSaveAfterTheAddressMovedCarriesNoToken()
    {
        AuthSession session;
        QCoro::waitFor(session.auth->loginAsync(u"listener"_s, u"pw"_s));
        ApiConfig::setBaseUrl(m_other->baseUrl());
        m_other->clearRequests();
        m_other->on(u"GET"_s, u"/media/x.mp3"_s, FakeResponse {200, QByteArray(512, 'x'), "audio/mpeg"});
        QTemporaryDir folder;
        AudioCacheService cache(folder.path());
        const QUrl file(m_other->baseUrl().toString() + u"/media/x.mp3"_s);
        const auto saved = outcomeOf(cache.downloadTrack(u"x"_s, file, session.session->token()));
        QVERIFY(saved.value.has_value());
        QCOMPARE(m_other->requestCount(), 1);
        QVERIFY(!m_other->lastRequest().hasHeader(u"authorization"_s));
    }

    // The token belongs to the service that was asked for it, even when the
    // address moved while it answered.
    void tokenIsBoundToTheServiceAsked()
    {
        AnswerGate gate;
        m_issuer->on(u"POST"_s, kLoginPath, gate.hold(FakeResponse {200, tokenJson("answered-late")}));
        const auto restore = qScopeGuard([this] {
            m_issuer->on(u"POST"_s, kLoginPath, FakeResponse {200, tokenJson("issued")});
        });
        AuthSession session;
        m_issuer->clearRequests();
        m_other->clearRequests();
        session.auth->login(u"listener"_s, u"pw"_s);
        QTRY_COMPARE(m_issuer->requestsTo(kLoginPath), 1);
        ApiConfig::setBaseUrl(m_other->baseUrl());
        gate.open();
        QTRY_VERIFY(!session.auth->isLoading());
        QVERIFY(waitUntilIdle());
        QCOMPARE(m_other->requestsTo(kMePath), 1);
        for (const RecordedRequest &request : m_other->requests())
            QVERIFY2(!request.hasHeader(u"authorization"_s), qPrintable(request.target));
    }
};

QTEST_MAIN(TestTokenOrigins)
#include "tst_tokenorigins.moc"
