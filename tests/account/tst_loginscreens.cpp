// The sign-in screen and the QR sign-in sheet on screen, offscreen, over a
// real sign-in store talking to a fake service: they load without a QML
// warning, react to clicks and typing, and are rendered to PNGs for review
// (build/screenshots/login-*.png, qr-*.png).
#include "account/authstore.h"
#include "collection/favoritesstore.h"
#include "collection/playlistsstore.h"
#include "collection/ratingsstore.h"
#include "api/storeregistry.h"
#include "player/playerstore.h"

#include "authsession.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "heldclock.h"
#include "scenerig.h"
#include "screentest.h"
#include "zbardecode.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)
Q_DECLARE_METATYPE(nimbra::test::FakeResponse)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString kQrStatus = u"/api/v1/auth/qr/status/q-7f3a9c21"_s;
const QString kQrLink = u"nimbras://qr?token=q-7f3a9c21"_s;

const QByteArray kLoginView = "import QtQuick\nimport Nimbra\nLoginView { width: 900; height: 640 }\n";

// A spinner is on screen and turning.
bool spins(QQuickItem *spinner)
{
    QObject *animation = spinner ? spinner->findChild<QObject *>(u"spinnerAnimation"_s) : nullptr;
    return animation && spinner->isVisible() && animation->property("running").toBool();
}

// Nothing of it is drawn and nothing turns.
bool isStill(QQuickItem *spinner)
{
    QObject *animation = spinner ? spinner->findChild<QObject *>(u"spinnerAnimation"_s) : nullptr;
    return animation && !spinner->isVisible() && !animation->property("running").toBool();
}

} // namespace

class TstLoginScreens : public QObject
{
    Q_OBJECT

    SceneRig m_scene;
    // QR status pauses that end at once, and ones that last until the poll
    // is cancelled (the code stays on show).
    HeldClock m_noPause {true};
    HeldClock m_endlessPause;
    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<AuthSession> m_session;

    AuthStore &auth() { return *m_session->auth; }

    int requestsTo(const QString &path) const { return m_server->requestsTo(path); }

    // The sheet lives in the window's overlay, beside the screen's own item.
    static QQuickItem *openSheet(QmlScene &scene)
    {
        click(scene.window(), scene.item(u"qrButton"_s));
        return scene.find(u"showingFace"_s);
    }

private slots:
    void initTestCase()
    {
        m_scene.start();
        m_server = startFakeService();
    }

    void init()
    {
        m_server->clearRequests();
        m_server->on(
            u"POST"_s, kLoginPath, FakeResponse {401, R"({"detail": "Неверное имя пользователя или пароль"})"});
        m_server->on(
            u"POST"_s, kQrInitPath, FakeResponse {200, R"({"qr_token": "q-7f3a9c21", "expires_in_seconds": 300})"});
        m_server->on(u"GET"_s, kQrStatus, FakeResponse {200, R"({"status": "pending"})"});
        m_session = std::make_unique<AuthSession>();
        auth().setClock(&m_endlessPause);
        StoreRegistry::set(m_session->auth.get());
        // The store singleton is made once per engine: a fresh engine for
        // each test's fresh store.
        m_scene.dropEngine();
    }

    void cleanup()
    {
        if (m_session)
            auth().cancelQrLogin();
        m_scene.dropEngine();
        m_session.reset();
        m_scene.finishTest();
    }

    // A wrong password: the request goes out as typed, the store's message
    // shows as the red line, and stays there in registration mode.
    void wrongPasswordShowsErrorLine()
    {
        QmlScene scene(m_scene.engine(), kLoginView, QSize(900, 640));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *submit = scene.item(u"submitButton"_s);
        QQuickItem *errorLine = scene.item(u"errorLine"_s);
        QVERIFY(submit && errorLine);
        QCOMPARE(scene.item(u"caption"_s)->property("text").toString(), u"Музыкальный сервис для Linux"_s);
        QVERIFY(!submit->isEnabled());
        QVERIFY(!errorLine->isVisible());
        QVERIFY(!scene.item(u"emailField"_s)->isVisible());
        QVERIFY(saveScreenshot(scene.grab(), u"login-signin"_s));

        QVERIFY(typeText(scene.window(), scene.item(u"usernameField"_s), u"anna"_s));
        QVERIFY(!submit->isEnabled());
        QVERIFY(typeText(scene.window(), scene.item(u"passwordField"_s), u"wrong pass"_s));
        QVERIFY(submit->isEnabled());
        QCOMPARE(scene.item(u"passwordField"_s)->property("displayText").toString().size(), 10);

        // Return in a field does not send anything.
        QTest::keyClick(scene.window(), Qt::Key_Return);
        QVERIFY(waitUntilIdle());
        QCOMPARE(requestsTo(kLoginPath), 0);

        QVERIFY(click(scene.window(), submit));
        QTRY_VERIFY(isShown(errorLine));
        QCOMPARE(errorLine->property("text").toString(), u"Неверное имя пользователя или пароль"_s);
        QCOMPARE(requestsTo(kLoginPath), 1);
        const QJsonObject body = QJsonDocument::fromJson(m_server->lastRequest().body).object();
        QCOMPARE(body.value("username"_L1).toString(), u"anna"_s);
        QCOMPARE(body.value("password"_L1).toString(), u"wrong pass"_s);
        QTRY_VERIFY(submit->isEnabled());
        QVERIFY(isStill(scene.find(u"busySpinner"_s)));
        QVERIFY(saveScreenshot(scene.grab(), u"login-signin-error"_s));

        QVERIFY(click(scene.window(), scene.item(u"modeSwitch"_s)));
        QTRY_VERIFY(scene.item(u"emailField"_s)->isVisible());
        QVERIFY(isShown(errorLine));
        QCOMPARE(submit->property("text").toString(), u"Создать аккаунт"_s);
        QCOMPARE(scene.item(u"modeSwitch"_s)->property("text").toString(), u"Уже есть аккаунт? Войти"_s);
        QVERIFY(typeText(scene.window(), scene.item(u"emailField"_s), u"anna@example.org"_s));
        QVERIFY(saveScreenshot(scene.grab(), u"login-register-error"_s));

        // In the main window's usual size everything shows at once; at the
        // least size the screen asks for, the column scrolls instead of
        // being cut off.
        QQuickItem *scroller = scene.item(u"scroller"_s);
        scene.window()->resize(1100, 720);
        scene.root()->setSize(QSizeF(1100, 720));
        QTRY_VERIFY(!scroller->property("interactive").toBool());
        scene.window()->resize(520, 480);
        scene.root()->setSize(QSizeF(520, 480));
        QTRY_VERIFY(scroller->property("interactive").toBool());
        QVERIFY(saveScreenshot(scene.grab(), u"login-register-small"_s));
    }

    void errorLineMovesNoField_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("screenshot");
        QTest::newRow("sign-in") << false << QSize(900, 640) << u"login-signin-error-place"_s;
        // The window's usual size, and its least, where the higher form is
        // raised to fit and the line of three failures does not fit.
        QTest::newRow("registration") << true << QSize(1100, 720) << u"login-register-error-place"_s;
        QTest::newRow("registration, least window") << true << QSize(900, 600) << u"login-register-error-least"_s;
    }

    // The failure line shows under the button and goes with the next try;
    // the fields and the button stay where they were pressed, so a second
    // press at the same spot lands on the button again.
    void errorLineMovesNoField()
    {
        QFETCH(bool, registration);
        QFETCH(QSize, size);
        QFETCH(QString, screenshot);
        const QString path = registration ? kRegisterPath : kLoginPath;
        const FakeResponse refusal = registration ? FakeResponse {422, R"({"detail": [
                {"loc": ["body", "username"], "msg": "Пользователь с таким именем уже существует", "type": "value_error"},
                {"loc": ["body", "email"], "msg": "Некорректный адрес электронной почты", "type": "value_error"},
                {"loc": ["body", "password"], "msg": "Пароль должен быть не короче 8 символов", "type": "string_too_short"}]})"}
                                                  : FakeResponse {401, R"({"detail": "Неверный логин или пароль"})"};
        m_server->on(u"POST"_s, path, refusal);
        QmlScene scene(m_scene.engine(), kLoginView, size);
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        scene.root()->setSize(QSizeF(size));
        if (registration)
            QVERIFY(click(scene.window(), scene.item(u"modeSwitch"_s)));
        QStringList placed {u"usernameField"_s, u"passwordField"_s, u"submitButton"_s};
        if (registration)
            placed << u"emailField"_s;
        QVERIFY(typeText(scene.window(), scene.item(u"usernameField"_s), u"anna"_s));
        QVERIFY(typeText(scene.window(), scene.item(u"passwordField"_s), u"short"_s));
        // Laid out for a picture before each look.
        const auto places = [&] {
            scene.grab();
            QList<QPointF> found;
            for (const QString &name : placed)
                found << scene.item(name)->mapToScene({});
            return found;
        };
        const QList<QPointF> before = places();
        QQuickItem *errorLine = scene.item(u"errorLine"_s);

        QVERIFY(click(scene.window(), scene.item(u"submitButton"_s)));
        QTRY_VERIFY(isShown(errorLine));
        QVERIFY(!auth().isLoading());
        QCOMPARE(places(), before);
        QVERIFY(saveScreenshot(scene.grab(), screenshot));

        // The next try takes the line away while it runs, and its refusal
        // brings it back.
        AnswerGate again;
        m_server->on(u"POST"_s, path, again.hold(refusal));
        QVERIFY(click(scene.window(), scene.item(u"submitButton"_s)));
        QTRY_VERIFY(auth().isLoading());
        QVERIFY(!errorLine->isVisible());
        QCOMPARE(places(), before);
        again.open();
        QTRY_VERIFY(isShown(errorLine));
        QCOMPARE(places(), before);
        QCOMPARE(requestsTo(path), 2);
    }

    // While a sign-in runs the button spins and is disabled; the links and
    // fields stay usable, and the spinner stops with the request.
    // Focus frames are suppressed, so Tab moves only between the text
    // fields: Space or Enter can never press a button nobody sees focused.
    void tabVisitsOnlyTheTextFields_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::addColumn<QStringList>("chain");
        QTest::newRow("sign-in") << false << QStringList {u"passwordField"_s, u"usernameField"_s};
        QTest::newRow("registration") << true
                                      << QStringList {u"emailField"_s, u"passwordField"_s, u"usernameField"_s};
    }

    void tabVisitsOnlyTheTextFields()
    {
        QFETCH(bool, registration);
        QFETCH(QStringList, chain);
        QmlScene scene(m_scene.engine(), kLoginView, QSize(900, 640));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        // The screen opens ready for the name.
        QTRY_COMPARE(scene.window()->activeFocusItem(), scene.item(u"usernameField"_s));
        if (registration)
            QVERIFY(click(scene.window(), scene.item(u"modeSwitch"_s)));
        QCOMPARE(scene.window()->activeFocusItem(), scene.item(u"usernameField"_s));

        for (const QString &next : chain) {
            QTest::keyClick(scene.window(), Qt::Key_Tab);
            QCOMPARE(scene.window()->activeFocusItem()->objectName(), next);
        }
        QStringList back = chain;
        std::reverse(back.begin(), back.end());
        back.removeFirst();
        back << u"usernameField"_s;
        for (const QString &previous : back) {
            QTest::keyClick(scene.window(), Qt::Key_Backtab);
            QCOMPARE(scene.window()->activeFocusItem()->objectName(), previous);
        }
    }

    void busyWhileSigningIn()
    {
        AnswerGate refusal;
        m_server->on(u"POST"_s, kLoginPath, refusal.hold(FakeResponse {401, R"({"detail": "Нет"})"}));
        QmlScene scene(m_scene.engine(), kLoginView, QSize(900, 640));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *submit = scene.item(u"submitButton"_s);
        QQuickItem *spinner = scene.find(u"busySpinner"_s);
        QVERIFY(typeText(scene.window(), scene.item(u"usernameField"_s), u"anna"_s));
        QVERIFY(typeText(scene.window(), scene.item(u"passwordField"_s), u"secret"_s));
        QVERIFY(isStill(spinner));

        QVERIFY(click(scene.window(), submit));
        QTRY_VERIFY(auth().isLoading());
        QVERIFY(!submit->isEnabled());
        QVERIFY(spins(spinner));
        for (const char *name : {"modeSwitch", "qrButton", "guestButton", "usernameField", "passwordField"})
            QVERIFY2(scene.item(QString::fromLatin1(name))->isEnabled(), name);

        refusal.open();
        QTRY_VERIFY(!auth().isLoading());
        QVERIFY(isStill(spinner));
        QVERIFY(submit->isEnabled());
    }

    void guestLinkEntersGuestMode()
    {
        QmlScene scene(m_scene.engine(), kLoginView, QSize(900, 640));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(click(scene.window(), scene.item(u"guestButton"_s)));
        QVERIFY(auth().isGuestMode());
        QVERIFY(auth().canUseApp());
        QCOMPARE(m_server->requestCount(), 0);
    }

    // The QR link opens the sheet, which asks for one code and shows it; the
    // code on screen scans back to the sign-in link.
    void qrSheetShowsScannableCode()
    {
        QmlScene scene(m_scene.engine(), kLoginView, QSize(900, 640));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(openSheet(scene));
        QQuickItem *showing = scene.find(u"showingFace"_s);
        QTRY_VERIFY(isShown(showing));
        QCOMPARE(requestsTo(kQrInitPath), 1);
        QQuickItem *code = scene.find(u"qrCode"_s);
        QCOMPARE(code->property("content").toString(), kQrLink);
        QVERIFY(code->property("hasCode").toBool());
        QVERIFY(spins(scene.find(u"waitingSpinner"_s)));
        QVERIFY(isStill(scene.find(u"creatingSpinner"_s)));

        const QImage shot = scene.grab();
        QVERIFY(saveScreenshot(shot, u"qr-waiting"_s));

        if (!hasZbarImg())
            QSKIP("zbarimg is not installed");
        const qreal ratio = scene.window()->devicePixelRatio();
        const QRectF card = code->mapRectToScene(code->boundingRect()).adjusted(-16, -16, 16, 16);
        const QRect pixels((card.topLeft() * ratio).toPoint(), (card.size() * ratio).toSize());
        QCOMPARE(decodeQrImage(shot.copy(pixels)), std::optional<QString>(kQrLink));
    }

    // An expired code and a failed token request show the failure with a
    // retry that passes through "creating" to a new code.
    void qrFailureOffersRetry_data()
    {
        QTest::addColumn<FakeResponse>("status");
        QTest::addColumn<FakeResponse>("init");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("screenshot");
        QTest::newRow("expired") << FakeResponse {200, R"({"status": "Expired"})"}
                                 << FakeResponse {200, R"({"qr_token": "q-7f3a9c21", "expires_in_seconds": 300})"}
                                 << u"QR-код истёк"_s << u"qr-expired"_s;
        QTest::newRow("token request failed")
            << FakeResponse {200, R"({"status": "pending"})"}
            << FakeResponse {503, R"({"detail": "Вход по QR-коду временно недоступен"})"}
            << u"Вход по QR-коду временно недоступен"_s << u"qr-error"_s;
    }

    void qrFailureOffersRetry()
    {
        QFETCH(FakeResponse, status);
        QFETCH(FakeResponse, init);
        QFETCH(QString, message);
        QFETCH(QString, screenshot);
        m_server->on(u"GET"_s, kQrStatus, status);
        m_server->on(u"POST"_s, kQrInitPath, init);
        auth().setClock(&m_noPause);

        QmlScene scene(m_scene.engine(), kLoginView, QSize(900, 640));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(openSheet(scene));
        QQuickItem *failed = scene.find(u"failedFace"_s);
        QTRY_VERIFY(isShown(failed));
        QCOMPARE(scene.find(u"qrErrorText"_s)->property("text").toString(), message);
        QVERIFY(isStill(scene.find(u"creatingSpinner"_s)));
        QVERIFY(isStill(scene.find(u"waitingSpinner"_s)));
        QVERIFY(saveScreenshot(scene.grab(), screenshot));

        // The retry gets a code that stays.
        m_server->on(u"GET"_s, kQrStatus, FakeResponse {200, R"({"status": "pending"})"});
        AnswerGate code;
        m_server->on(u"POST"_s, kQrInitPath,
            code.hold(FakeResponse {200, R"({"qr_token": "q-7f3a9c21", "expires_in_seconds": 300})"}));
        auth().setClock(&m_endlessPause);
        const int before = requestsTo(kQrInitPath);
        QVERIFY(click(scene.window(), scene.find(u"retryButton"_s)));
        QTRY_VERIFY(spins(scene.find(u"creatingSpinner"_s)));
        code.open();
        QTRY_VERIFY(isShown(scene.find(u"showingFace"_s)));
        QVERIFY(!failed->isVisible());
        QCOMPARE(requestsTo(kQrInitPath), before + 1);
    }

    // "Отмена" and Escape stop the sign-in and close the sheet; opening it
    // again asks for a new code.
    void cancelClosesSheet_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("button") << false;
        QTest::newRow("escape") << true;
    }

    void cancelClosesSheet()
    {
        QFETCH(bool, escape);
        QmlScene scene(m_scene.engine(), kLoginView, QSize(900, 640));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(openSheet(scene));
        QTRY_VERIFY(isShown(scene.find(u"showingFace"_s)));
        QObject *sheet = scene.root()->findChild<QObject *>(u"qrSheet"_s);
        QVERIFY(sheet && sheet->property("opened").toBool());

        if (escape)
            QTest::keyClick(scene.window(), Qt::Key_Escape);
        else
            QVERIFY(click(scene.window(), scene.find(u"cancelButton"_s)));
        QTRY_VERIFY(!sheet->property("visible").toBool());
        QVERIFY(!auth().isQrPolling());

        QVERIFY(openSheet(scene));
        QTRY_VERIFY(sheet->property("opened").toBool());
        QTRY_COMPARE(requestsTo(kQrInitPath), 2);
    }
};

QTEST_MAIN(TstLoginScreens)
#include "tst_loginscreens.moc"
