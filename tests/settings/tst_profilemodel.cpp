// The profile screen's rules over a real sign-in store and a fake service:
// the gate, what the rows show, the save with its lines, and a save whose
// answer comes after the token changed.
#include "settings/profilemodel.h"
#include "api/storeregistry.h"

#include "authsession.h"
#include "fakehttpserver.h"
#include "testenv.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <QCoro/QCoroTask>

Q_DECLARE_METATYPE(nimbra::test::FakeResponse)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

FakeResponse answer(int status, const QByteArray &body)
{
    FakeResponse response;
    response.status = status;
    response.body = body;
    return response;
}

const QByteArray kAnna = R"({"id": "u7", "username": "anna", "role": "admin", "email": "anna@example.org",
    "created_at": "2025-01-15T09:30:00Z", "avatar_url": "media/avatars/u7.png",
    "custom_roles": [{"id": "r1", "name": "Меломан", "color": 16735882, "position": 1}]})";
const QByteArray kSaved = R"({"id": "u7", "username": "anna", "role": "admin", "email": "new@example.org",
    "catalog_artist_name": "Анна", "created_at": "2025-01-15T09:30:00Z"})";

} // namespace

class TestProfileModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<AuthSession> m_session;

    AuthStore &auth() { return *m_session->auth; }

    void signIn(const QByteArray &token, const QByteArray &user)
    {
        m_server->on(u"POST"_s, kLoginPath, answer(200, tokenJson(token)));
        m_server->on(u"GET"_s, kMePath, answer(200, user));
        QCoro::waitFor(auth().loginAsync(u"anna"_s, u"secret"_s));
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init()
    {
        m_server->clearRequests();
        m_session = std::make_unique<AuthSession>();
        m_session->waitUntilLoaded();
    }

    void gateAndRows()
    {
        StoreRegistry::set(&auth());
        ProfileModel model;
        QVERIFY(!model.isAvailable());
        QCOMPARE(model.badges(), QVariantList {});

        signIn("t1", kAnna);
        QVERIFY(model.isAvailable());
        QCOMPARE(model.initial(), u"A"_s);
        QCOMPARE(model.roleCaption(), u"Администратор сервиса"_s);
        QVERIFY(model.hasCustomRoles());
        QCOMPARE(model.badges().size(), 2);
        QCOMPARE(model.emailText(), u"anna@example.org"_s);
        QCOMPARE(model.catalogArtistText(), u"—"_s);
        QCOMPARE(model.createdText(), u"15 января 2025 г."_s);
        QCOMPARE(model.avatarUrl(), QUrl(m_server->baseUrl().toString() + u"/media/avatars/u7.png"_s));
        // Another user signing in fills the fields anew.
        QCOMPARE(model.email(), u"anna@example.org"_s);
        QCOMPARE(model.catalogArtistName(), QString());

        model.signOut();
        QVERIFY(!model.isAvailable());
    }

    void save_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<FakeResponse>("answer");
        QTest::addColumn<QJsonObject>("sent");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("error");

        QTest::newRow("both fields") << u"new@example.org"_s << answer(200, kSaved)
                                     << QJsonObject {{"catalog_artist_name"_L1, u"Анна"_s}, {"email"_L1, u"new@example.org"_s}}
                                     << u"Профиль сохранён"_s << QString();
        QTest::newRow("empty field left out") << QString() << answer(200, kSaved)
                                              << QJsonObject {{"catalog_artist_name"_L1, u"Анна"_s}}
                                              << u"Профиль сохранён"_s << QString();
        QTest::newRow("rejected")
            << u"bad@"_s
            << answer(422,
                   R"({"detail": [{"loc": ["body", "email"], "msg": "Некорректный адрес электронной почты",
                       "type": "value_error"}]})")
            << QJsonObject {{"catalog_artist_name"_L1, u"Анна"_s}, {"email"_L1, u"bad@"_s}} << QString()
            << u"Некорректный адрес электронной почты"_s;
    }

    void save()
    {
        QFETCH(QString, email);
        QFETCH(FakeResponse, answer);
        QFETCH(QJsonObject, sent);
        QFETCH(QString, saved);
        QFETCH(QString, error);

        signIn("t1", kAnna);
        StoreRegistry::set(&auth());
        ProfileModel model;
        model.setEmail(email);
        model.setCatalogArtistName(u"Анна"_s);
        m_server->on(u"PATCH"_s, kProfilePath, answer);
        QSignalSpy saving(&model, &ProfileModel::isSavingChanged);
        QCoro::waitFor(model.saveAsync());

        QCOMPARE(saving.count(), 2);
        QCOMPARE(QJsonDocument::fromJson(m_server->lastRequest().body).object(), sent);
        QCOMPARE(model.saveMessage(), saved);
        QCOMPARE(model.errorText(), error);
        // The fields keep what was typed, also after a save that returns
        // the same user with other values.
        QCOMPARE(model.email(), email);
        QCOMPARE(model.catalogArtistName(), u"Анна"_s);
        QCOMPARE(auth().user()->email, std::optional(error.isEmpty() ? u"new@example.org"_s : u"anna@example.org"_s));
    }

    void noSaveWithoutToken()
    {
        StoreRegistry::set(&auth());
        ProfileModel model;
        QCoro::waitFor(model.saveAsync());
        QCOMPARE(m_server->requestsTo(kProfilePath), 0);
        QVERIFY(!model.isSaving());
    }

    // A sign-out, or a sign-in as somebody else, while the save runs: the
    // late answer is not put into the new session's profile.
    void lateSaveAfterTokenChangeIgnored_data()
    {
        QTest::addColumn<bool>("signInAgain");
        QTest::newRow("signed out") << false;
        QTest::newRow("another account") << true;
    }

    void lateSaveAfterTokenChangeIgnored()
    {
        QFETCH(bool, signInAgain);
        signIn("t1", kAnna);
        StoreRegistry::set(&auth());
        auto model = std::make_unique<ProfileModel>();
        AnswerGate late;
        m_server->on(u"PATCH"_s, kProfilePath, late.hold(answer(200, kSaved)));
        QCoro::Task<void> save = model->saveAsync();
        QTRY_COMPARE(m_server->requestsTo(kProfilePath), 1);
        auth().signOut();
        if (signInAgain)
            signIn("t2", userJson(u"boris"_s));
        // The screen may be gone too by the time the answer comes.
        model.reset();
        late.open();
        QCoro::waitFor(std::move(save));
        if (signInAgain)
            QCOMPARE(auth().user()->username, u"boris"_s);
        else
            QVERIFY(!auth().user());
    }
};

QTEST_GUILESS_MAIN(TestProfileModel)
#include "tst_profilemodel.moc"
