// The sign-in form's rules: when the button may be pressed in each mode,
// what a press sends (as typed, nothing trimmed), and what a mode switch
// keeps.
#include "account/loginformmodel.h"
#include "api/storeregistry.h"

#include "account/authstore.h"

#include "authsession.h"
#include "fakehttpserver.h"
#include "testenv.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TstLoginForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

    QList<RecordedRequest> requestsTo(const QString &path) const
    {
        QList<RecordedRequest> found;
        for (const RecordedRequest &request : m_server->requests())
            if (request.path == path)
                found.append(request);
        return found;
    }

    static QJsonObject bodyOf(const RecordedRequest &request) { return QJsonDocument::fromJson(request.body).object(); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {401, R"({"detail": "Неверный пароль"})"});
        m_server->on(u"POST"_s, kRegisterPath, FakeResponse {400, R"({"detail": "Имя занято"})"});
    }

    void init() { m_server->clearRequests(); }

    // The e-mail never takes part; spaces count as text.
    void buttonFollowsNameAndPassword_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("enabled");

        for (const bool registration : {false, true}) {
            const char *mode = registration ? "registration" : "sign-in";
            QTest::addRow("%s: no password", mode) << registration << u"anna"_s << u"a@b.c"_s << QString() << false;
            QTest::addRow("%s: no name", mode) << registration << QString() << u"a@b.c"_s << u"pw"_s << false;
            QTest::addRow("%s: name and password", mode) << registration << u"anna"_s << QString() << u"pw"_s << true;
            QTest::addRow("%s: only spaces", mode) << registration << u"  "_s << QString() << u" "_s << true;
        }
    }

    void buttonFollowsNameAndPassword()
    {
        QFETCH(bool, registration);
        QFETCH(QString, username);
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(bool, enabled);
        AuthSession session;
        StoreRegistry::set(session.auth.get());
        LoginFormModel form;
        form.setRegister(registration);
        form.setUsername(username);
        form.setEmail(email);
        form.setPassword(password);
        QCOMPARE(form.canSubmit(), enabled);

        // A press of a disabled button sends nothing.
        form.submit();
        QCOMPARE(session.auth->isLoading(), enabled);
        QTRY_VERIFY(!session.auth->isLoading());
        QCOMPARE(m_server->requestCount(), enabled ? 1 : 0);
    }

    // The texts go out as typed: surrounding spaces stay, and a registration
    // without an e-mail sends it empty. A sign-in carries no e-mail at all.
    void sendsTextsAsTyped_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonObject>("body");

        const QString name = u" anna "_s;
        const QString password = u"  pass word "_s;
        QTest::newRow("sign-in") << false << u"kept@example.org"_s << kLoginPath
                                 << QJsonObject {{"username"_L1, name}, {"password"_L1, password}};
        QTest::newRow("registration") << true << u" anna@example.org"_s << kRegisterPath
                                      << QJsonObject {{"username"_L1, name}, {"email"_L1, u" anna@example.org"_s},
                                             {"password"_L1, password}};
        QTest::newRow("registration without e-mail")
            << true << QString() << kRegisterPath
            << QJsonObject {{"username"_L1, name}, {"email"_L1, QString()}, {"password"_L1, password}};
    }

    void sendsTextsAsTyped()
    {
        QFETCH(bool, registration);
        QFETCH(QString, email);
        QFETCH(QString, path);
        QFETCH(QJsonObject, body);
        AuthSession session;
        StoreRegistry::set(session.auth.get());
        LoginFormModel form;
        // Texts on the heap, as typed into a field (literals are never freed).
        form.setUsername(QString::fromUtf8(" anna "));
        form.setEmail(QString::fromUtf8(email.toUtf8()));
        form.setPassword(QString::fromUtf8("  pass word "));
        form.setRegister(registration);

        // Copies share the form's texts; the sign-in must leave that sharing
        // intact. A store that dropped one reference too many would free
        // them under the text fields that hold them too.
        const QString name = form.username();
        const QString pass = form.password();
        const QString mail = form.email();

        form.submit();
        QTRY_VERIFY(!session.auth->isLoading());
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_server->lastRequest().path, path);
        QCOMPARE(bodyOf(m_server->lastRequest()), body);
        QVERIFY(!form.errorText().isEmpty());
        QVERIFY(!name.isDetached());
        QVERIFY(!pass.isDetached());
        QVERIFY(mail.isEmpty() || !mail.isDetached());
    }

    // While a sign-in runs the button is off, and the form says so once
    // each way.
    void loadingDisablesButton()
    {
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {401, R"({"detail": "Неверный пароль"})"});
        AuthSession session;
        StoreRegistry::set(session.auth.get());
        LoginFormModel form;
        form.setUsername(u"anna"_s);
        form.setPassword(u"pw"_s);
        QSignalSpy canSubmit(&form, &LoginFormModel::canSubmitChanged);
        QSignalSpy loading(&form, &LoginFormModel::isLoadingChanged);
        QSignalSpy error(&form, &LoginFormModel::errorTextChanged);

        form.submit();
        QVERIFY(form.isLoading());
        QVERIFY(!form.canSubmit());
        // A second press while the first runs sends nothing.
        form.submit();
        QTRY_VERIFY(!form.isLoading());
        QVERIFY(form.canSubmit());
        QCOMPARE(requestsTo(kLoginPath).size(), 1);
        QCOMPARE(canSubmit.count(), 2);
        QCOMPARE(loading.count(), 2);
        QCOMPARE(error.count(), 1);
        QCOMPARE(form.errorText(), u"Неверный пароль"_s);
        m_server->on(u"POST"_s, kLoginPath, FakeResponse {401, R"({"detail": "Неверный пароль"})"});
    }

    // A mode switch changes the labels only: every text, the hidden e-mail
    // and the error line stay; a new attempt or guest mode clears the line.
    void modeSwitchKeepsEverything()
    {
        AuthSession session;
        StoreRegistry::set(session.auth.get());
        LoginFormModel form;
        QVERIFY(!form.isRegister());
        QCOMPARE(form.submitTitle(), u"Войти"_s);
        QCOMPARE(form.modeSwitchTitle(), u"Нет аккаунта? Регистрация"_s);

        form.setUsername(u"anna"_s);
        form.setPassword(u"pw"_s);
        form.submit();
        QTRY_VERIFY(!form.errorText().isEmpty());

        QSignalSpy titles(&form, &LoginFormModel::isRegisterChanged);
        form.toggleMode();
        QVERIFY(form.isRegister());
        QCOMPARE(form.submitTitle(), u"Создать аккаунт"_s);
        QCOMPARE(form.modeSwitchTitle(), u"Уже есть аккаунт? Войти"_s);
        form.setEmail(u"anna@example.org"_s);
        form.toggleMode();
        form.toggleMode();
        QCOMPARE(titles.count(), 3);
        QCOMPARE(form.email(), u"anna@example.org"_s);
        QCOMPARE(form.username(), u"anna"_s);
        QCOMPARE(form.password(), u"pw"_s);
        QCOMPARE(form.errorText(), u"Неверный пароль"_s);
        QCOMPARE(m_server->requestCount(), 1);

        // A new attempt clears the line at its start.
        QSignalSpy error(&form, &LoginFormModel::errorTextChanged);
        form.submit();
        QVERIFY(form.errorText().isEmpty());
        QTRY_COMPARE(form.errorText(), u"Имя занято"_s);
        QCOMPARE(error.count(), 2);

        form.continueAsGuest();
        QVERIFY(form.errorText().isEmpty());
        QVERIFY(session.auth->isGuestMode());
    }
};

QTEST_MAIN(TstLoginForm)
#include "tst_loginform.moc"
