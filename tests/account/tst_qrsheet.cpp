// The QR sheet's state machine over a real sign-in store and a fake
// service: which face it shows, what its buttons ask of the store, and when
// it asks to close.
#include "account/qrsheetmodel.h"
#include "api/storeregistry.h"

#include "account/authstore.h"

#include "authsession.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "heldclock.h"
#include "testenv.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(nimbra::test::FakeResponse)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kStatus = u"/api/v1/auth/qr/status/q1"_s;
const QByteArray kInitBody = R"({"qr_token": "q1", "expires_in_seconds": 300})";

} // namespace

class TstQrSheet : public QObject
{
    Q_OBJECT

    // QR status pauses that end at once, and ones that last until the poll
    // is cancelled.
    HeldClock m_noPause {true};
    HeldClock m_endlessPause;
    std::unique_ptr<FakeHttpServer> m_server;

    int requestsTo(const QString &path) const { return m_server->requestsTo(path); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init()
    {
        m_server->clearRequests();
        m_server->on(u"POST"_s, kQrInitPath, FakeResponse {200, kInitBody});
        m_server->on(u"GET"_s, kStatus, FakeResponse {200, R"({"status": "pending"})"});
        m_server->on(u"GET"_s, kMePath, FakeResponse {200, userJson(u"anna"_s)});
    }

    // Opening asks for a code only when the store holds no QR state; a
    // second sheet opened over a held code shows it at once.
    void startAsksOnlyWithoutState()
    {
        AuthSession session;
        AuthStore &auth = *session.auth;
        auth.setClock(&m_endlessPause);
        StoreRegistry::set(&auth);
        QrSheetModel sheet;
        QCOMPARE(sheet.phase(), QrSheetModel::Creating);

        sheet.start();
        QCOMPARE(sheet.phase(), QrSheetModel::Creating);
        QTRY_COMPARE(sheet.phase(), QrSheetModel::Showing);
        QCOMPARE(sheet.qrLink(), u"nimbras://qr?token=q1"_s);
        QVERIFY(sheet.isWaiting());
        QVERIFY(sheet.errorText().isEmpty());

        StoreRegistry::set(&auth);
        QrSheetModel again;
        again.start();
        QCOMPARE(again.phase(), QrSheetModel::Showing);
        QVERIFY(waitUntilIdle());
        QCOMPARE(requestsTo(kQrInitPath), 1);
        auth.cancelQrLogin();
    }

    // Failures show with their text; a retry starts over through "creating";
    // a sheet opened over a failure shows it and asks for nothing.
    void failureAndRetry_data()
    {
        QTest::addColumn<FakeResponse>("init");
        QTest::addColumn<FakeResponse>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("expired") << FakeResponse {200, kInitBody} << FakeResponse {200, R"({"status": "EXPIRED"})"}
                                 << u"QR-код истёк"_s;
        QTest::newRow("token refused") << FakeResponse {500, R"({"detail": "Сбой"})"} << FakeResponse {} << u"Сбой"_s;
    }

    void failureAndRetry()
    {
        QFETCH(FakeResponse, init);
        QFETCH(FakeResponse, status);
        QFETCH(QString, text);
        m_server->on(u"POST"_s, kQrInitPath, init);
        m_server->on(u"GET"_s, kStatus, status);
        AuthSession session;
        AuthStore &auth = *session.auth;
        auth.setClock(&m_noPause);
        StoreRegistry::set(&auth);
        QrSheetModel sheet;
        QSignalSpy close(&sheet, &QrSheetModel::closeRequested);
        QSignalSpy texts(&sheet, &QrSheetModel::errorTextChanged);

        sheet.start();
        QTRY_COMPARE(sheet.phase(), QrSheetModel::Failed);
        QCOMPARE(sheet.errorText(), text);
        QCOMPARE(texts.count(), 1);
        QVERIFY(sheet.qrLink().isEmpty());
        QVERIFY(!sheet.isWaiting());

        StoreRegistry::set(&auth);
        QrSheetModel reopened;
        const int asked = requestsTo(kQrInitPath);
        reopened.start();
        QCOMPARE(reopened.phase(), QrSheetModel::Failed);
        QCOMPARE(requestsTo(kQrInitPath), asked);

        m_server->on(u"POST"_s, kQrInitPath, FakeResponse {200, kInitBody});
        m_server->on(u"GET"_s, kStatus, FakeResponse {200, R"({"status": "pending"})"});
        auth.setClock(&m_endlessPause);
        sheet.retry();
        QCOMPARE(sheet.phase(), QrSheetModel::Creating);
        QVERIFY(sheet.errorText().isEmpty());
        QCOMPARE(texts.count(), 2);
        QTRY_COMPARE(sheet.phase(), QrSheetModel::Showing);
        QCOMPARE(requestsTo(kQrInitPath), asked + 1);
        QCOMPARE(close.count(), 0);
        auth.cancelQrLogin();
    }

    // "Отмена" leaves no QR state behind and asks to close; the next
    // opening asks for a new code.
    void cancelClearsAndCloses()
    {
        AuthSession session;
        AuthStore &auth = *session.auth;
        auth.setClock(&m_endlessPause);
        StoreRegistry::set(&auth);
        QrSheetModel sheet;
        QSignalSpy close(&sheet, &QrSheetModel::closeRequested);
        sheet.start();
        QTRY_COMPARE(sheet.phase(), QrSheetModel::Showing);

        sheet.cancel();
        QCOMPARE(close.count(), 1);
        QVERIFY(!auth.hasQrToken() && !auth.isQrPolling() && !auth.qrError());
        QVERIFY(!auth.isQrTaskRunning());
        QCOMPARE(sheet.phase(), QrSheetModel::Creating);

        sheet.start();
        QTRY_COMPARE(sheet.phase(), QrSheetModel::Showing);
        QCOMPARE(requestsTo(kQrInitPath), 2);
        auth.cancelQrLogin();
    }

    // A confirmed scan: "creating" while the profile is fetched, then one
    // request to close once the account is signed in.
    void confirmedScanClosesOnceSignedIn()
    {
        m_server->on(u"GET"_s, kStatus, FakeResponse {200, R"({"status": "confirmed", "access_token": "tok"})"});
        AnswerGate profile;
        m_server->on(u"GET"_s, kMePath, profile.hold(FakeResponse {200, userJson(u"anna"_s)}));
        AuthSession session;
        AuthStore &auth = *session.auth;
        auth.setClock(&m_noPause);
        StoreRegistry::set(&auth);
        QrSheetModel sheet;
        QSignalSpy close(&sheet, &QrSheetModel::closeRequested);
        QList<QrSheetModel::Phase> phases;
        connect(&sheet, &QrSheetModel::stateChanged, this, [&] {
            if (phases.isEmpty() || phases.last() != sheet.phase())
                phases.append(sheet.phase());
        });

        sheet.start();
        QTRY_VERIFY(auth.hasToken());
        QCOMPARE(sheet.phase(), QrSheetModel::Creating);
        QCOMPARE(close.count(), 0);
        profile.open();
        QTRY_COMPARE(close.count(), 1);
        QVERIFY(auth.isSignedIn());
        QCOMPARE(phases, (QList<QrSheetModel::Phase> {QrSheetModel::Showing, QrSheetModel::Creating}));
    }

    // The profile fetch after a confirmed scan fails: the sheet shows the
    // store's message (or, for a refused token, which leaves none, its own
    // text, not a stale message of an earlier password attempt) and can
    // start over.
    void profileFailureAfterScanShowsError_data()
    {
        QTest::addColumn<FakeResponse>("profile");
        QTest::addColumn<QString>("text");
        QTest::newRow("service fault") << FakeResponse {500, R"({"detail": "Профиль недоступен"})"}
                                       << u"Профиль недоступен"_s;
        QTest::newRow("token refused") << FakeResponse {401, R"({"detail": "Not authenticated"})"}
                                       << u"Не удалось войти по QR-коду"_s;
    }

    void profileFailureAfterScanShowsError()
    {
        QFETCH(FakeResponse, profile);
        QFETCH(QString, text);
        m_server->on(u"GET"_s, kStatus, FakeResponse {200, R"({"status": "confirmed", "access_token": "tok"})"});
        m_server->on(u"GET"_s, kMePath, profile);
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {401, R"({"detail": "Неверный пароль"})"});
        AuthSession session;
        AuthStore &auth = *session.auth;
        // An earlier password attempt left its message.
        QCoro::waitFor(auth.loginAsync(u"anna"_s, u"pw"_s));
        QCOMPARE(auth.errorText(), u"Неверный пароль"_s);
        auth.setClock(&m_noPause);
        StoreRegistry::set(&auth);
        QrSheetModel sheet;
        QSignalSpy close(&sheet, &QrSheetModel::closeRequested);

        sheet.start();
        QTRY_COMPARE(sheet.phase(), QrSheetModel::Failed);
        QCOMPARE(sheet.errorText(), text);
        QVERIFY(!auth.hasToken());
        QCOMPARE(close.count(), 0);

        m_server->on(u"GET"_s, kStatus, FakeResponse {200, R"({"status": "pending"})"});
        auth.setClock(&m_endlessPause);
        sheet.retry();
        QCOMPARE(sheet.phase(), QrSheetModel::Creating);
        QTRY_COMPARE(sheet.phase(), QrSheetModel::Showing);
        auth.cancelQrLogin();
    }

    // A sign-in found when the sheet starts is not a reason to close; only
    // a change to signed in is.
    void closesOnlyOnChangeToSignedIn()
    {
        AuthSession session(QByteArray("saved"));
        AuthStore &auth = *session.auth;
        QCoro::waitFor(auth.refreshProfileAsync(u"saved"_s));
        QVERIFY(auth.isSignedIn());
        auth.setClock(&m_endlessPause);
        StoreRegistry::set(&auth);
        QrSheetModel sheet;
        QSignalSpy close(&sheet, &QrSheetModel::closeRequested);
        sheet.start();
        QTRY_COMPARE(sheet.phase(), QrSheetModel::Showing);
        QCOMPARE(close.count(), 0);
        auth.cancelQrLogin();
    }
};

QTEST_MAIN(TstQrSheet)
#include "tst_qrsheet.moc"
