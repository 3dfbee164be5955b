// Accounts on the local service: sign-in, registration, profile, QR sign-in
// and each user's favourites, ratings and playlists.
#include "devserviceprocess.h"
#include "testenv.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QStringList fieldsOf(const DevServiceReply &reply)
{
    QStringList fields;
    for (const QJsonValue &issue : reply.object().value("detail"_L1).toArray()) {
        const QJsonArray loc = issue.toObject().value("loc"_L1).toArray();
        fields.append(loc.last().toString());
    }
    return fields;
}

} // namespace

class TestDevServiceAccount : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;

    DevServiceReply post(const QString &path, const QJsonObject &body, const QString &token = {}) const
    {
        return m_service->call("POST", path, json(body), token);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
    }

    void seededUsersSignIn()
    {
        const auto reply = post(u"/api/v1/auth/login"_s, {{"username"_L1, u"demo"_s}, {"password"_L1, u"demo12345"_s}});
        QCOMPARE(reply.status, 200);
        const QString token = reply.object().value("access_token"_L1).toString();
        QVERIFY(token.size() >= 20);
        QCOMPARE(reply.object().value("token_type"_L1).toString(), u"bearer"_s);

        const QJsonObject me = m_service->get(u"/api/v1/auth/me"_s, token).object();
        QCOMPARE(me.value("username"_L1).toString(), u"demo"_s);
        QCOMPARE(me.value("role"_L1).toString(), u"user"_s);
        QVERIFY(me.value("email"_L1).toString().contains(QLatin1Char('@')));
        QVERIFY(me.value("created_at"_L1).isString());
        const QJsonArray roles = me.value("custom_roles"_L1).toArray();
        QCOMPARE(roles.size(), 2);
        for (const QJsonValue &role : roles)
            QVERIFY(role.toObject().value("color"_L1).toInt() > 0);

        const QString admin = m_service->signIn(u"admin"_s, u"admin12345"_s);
        QCOMPARE(m_service->get(u"/api/v1/auth/me"_s, admin).object().value("role"_L1).toString(), u"admin"_s);
        QVERIFY(admin != token);
    }

    void refusedSignInAnswers401()
    {
        for (const auto &[user, password] :
            {std::pair {u"demo"_s, u"wrong-password"_s}, {u"nobody"_s, u"demo12345"_s}, {u"Demo"_s, u"demo12345"_s}}) {
            const auto reply = post(u"/api/v1/auth/login"_s, {{"username"_L1, user}, {"password"_L1, password}});
            QCOMPARE(reply.status, 401);
            QCOMPARE(reply.object(), (QJsonObject {{"detail"_L1, u"Неверный логин или пароль"_s}}));
        }
    }

    void malformedBodiesAnswerInValidationForm()
    {
        const auto notJson = m_service->call("POST", u"/api/v1/auth/login"_s, "{not json");
        QCOMPARE(notJson.status, 422);
        QCOMPARE(fieldsOf(notJson), QStringList {u"body"_s});
        const auto missing = post(u"/api/v1/auth/login"_s, {{"username"_L1, u"demo"_s}});
        QCOMPARE(missing.status, 422);
        const QJsonObject issue = missing.object().value("detail"_L1).toArray().first().toObject();
        QCOMPARE(issue.value("loc"_L1).toArray(), (QJsonArray {u"body"_s, u"password"_s}));
        QCOMPARE(issue.value("type"_L1).toString(), u"missing"_s);
        QVERIFY(!issue.value("msg"_L1).toString().isEmpty());
        const auto wrongType = post(u"/api/v1/auth/login"_s, {{"username"_L1, 5}, {"password"_L1, u"x"_s}});
        QCOMPARE(fieldsOf(wrongType), QStringList {u"username"_s});
    }

    void registrationValidates_data()
    {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("short name") << u"ab"_s << u"a@b.c"_s << u"password1"_s << QStringList {u"username"_s};
        QTest::newRow("short password") << u"newuser"_s << u"a@b.c"_s << u"1234567"_s << QStringList {u"password"_s};
        QTest::newRow("e-mail without @") << u"newuser"_s << u"ab.c"_s << u"password1"_s << QStringList {u"email"_s};
        QTest::newRow("taken name") << u"demo"_s << u"a@b.c"_s << u"password1"_s << QStringList {u"username"_s};
        QTest::newRow("taken in other case")
            << u"ADMIN"_s << u"a@b.c"_s << u"password1"_s << QStringList {u"username"_s};
        QTest::newRow("all at once") << u"x"_s << u"x"_s << u"x"_s
                                     << QStringList {u"username"_s, u"email"_s, u"password"_s};
    }

    void registrationValidates()
    {
        QFETCH(QString, username);
        QFETCH(QString, email);
        QFETCH(QString, password);
        const auto reply = post(
            u"/api/v1/auth/register"_s, {{"username"_L1, username}, {"email"_L1, email}, {"password"_L1, password}});
        QCOMPARE(reply.status, 422);
        QTEST(fieldsOf(reply), "fields");
    }

    void registeredUserCanSignInOnce()
    {
        const QJsonObject body {
            {"username"_L1, u"listener"_s}, {"email"_L1, u"l@x.ru"_s}, {"password"_L1, u"secret123"_s}};
        const auto reply = post(u"/api/v1/auth/register"_s, body);
        QCOMPARE(reply.status, 200);
        const QString token = reply.object().value("access_token"_L1).toString();
        const QJsonObject me = m_service->get(u"/api/v1/auth/me"_s, token).object();
        QCOMPARE(me.value("username"_L1).toString(), u"listener"_s);
        QCOMPARE(me.value("custom_roles"_L1).toArray().size(), 0);
        QVERIFY(!m_service->signIn(u"listener"_s, u"secret123"_s).isEmpty());
        QCOMPARE(post(u"/api/v1/auth/register"_s, body).status, 422);
    }

    void tokenIsRequiredWhereTheServiceSaysSo()
    {
        for (const QString path : {u"/api/v1/auth/me"_s, u"/api/v1/favorites"_s, u"/api/v1/playlists"_s}) {
            for (const QString token : {QString(), u"not-a-token"_s}) {
                const auto reply = m_service->get(path, token);
                QCOMPARE(reply.status, 401);
                QVERIFY(!reply.object().value("detail"_L1).toString().isEmpty());
            }
        }
        // Optional-token endpoints serve a stale token as a guest.
        QCOMPARE(m_service->get(u"/api/v1/tracks/t00001"_s, u"not-a-token"_s).status, 200);
    }

    void profileChangeKeepsWhatIsNotSent()
    {
        const QString token = m_service->signIn(u"admin"_s, u"admin12345"_s);
        auto reply = m_service->call(
            "PATCH", u"/api/v1/auth/profile"_s, json({{"catalog_artist_name"_L1, u"Мокко"_s}}), token);
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.object().value("catalog_artist_name"_L1).toString(), u"Мокко"_s);
        QCOMPARE(reply.object().value("email"_L1).toString(), u"admin@nimbra.local"_s);
        reply = m_service->call("PATCH", u"/api/v1/auth/profile"_s, json({{"email"_L1, u"no-at-sign"_s}}), token);
        QCOMPARE(reply.status, 422);
        reply = m_service->call("PATCH", u"/api/v1/auth/profile"_s, json({}), token);
        QCOMPARE(reply.object().value("catalog_artist_name"_L1).toString(), u"Мокко"_s);
        reply = m_service->call(
            "PATCH", u"/api/v1/auth/profile"_s, json({{"catalog_artist_name"_L1, QJsonValue()}}), token);
        QVERIFY(reply.object().value("catalog_artist_name"_L1).isNull());
    }

    void favouritesBelongToTheirUser()
    {
        const QString demo = m_service->signIn();
        const QString admin = m_service->signIn(u"admin"_s, u"admin12345"_s);
        QCOMPARE(post(u"/api/v1/favorites"_s, {{"track_id"_L1, u"t00005"_s}}, demo).status, 200);
        QCOMPARE(post(u"/api/v1/favorites"_s, {{"track_id"_L1, u"t00009"_s}}, demo).status, 200);
        QCOMPARE(post(u"/api/v1/favorites"_s, {{"track_id"_L1, u"t00005"_s}}, demo).status, 200);

        const QJsonArray list = m_service->get(u"/api/v1/favorites"_s, demo).json().array();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.at(0).toObject().value("id"_L1).toString(), u"t00009"_s); // newest first
        QVERIFY(list.at(0).toObject().value("is_favorite"_L1).toBool());
        QVERIFY(m_service->get(u"/api/v1/tracks/t00005"_s, demo).object().value("is_favorite"_L1).toBool());
        QVERIFY(!m_service->get(u"/api/v1/tracks/t00005"_s, admin).object().value("is_favorite"_L1).toBool());
        QVERIFY(!m_service->get(u"/api/v1/tracks/t00005"_s).object().value("is_favorite"_L1).toBool());
        QCOMPARE(m_service->get(u"/api/v1/favorites"_s, admin).json().array().size(), 0);

        QCOMPARE(m_service->call("DELETE", u"/api/v1/favorites/t00005"_s, {}, demo).status, 200);
        QCOMPARE(m_service->get(u"/api/v1/favorites"_s, demo).json().array().size(), 1);
        QCOMPARE(post(u"/api/v1/favorites"_s, {{"track_id"_L1, u"t99999"_s}}, demo).status, 404);
        QCOMPARE(m_service->call("DELETE", u"/api/v1/favorites/t99999"_s, {}, demo).status, 404);
    }

    void ratingTogglesPerUser()
    {
        const QString demo = m_service->signIn();
        const QString admin = m_service->signIn(u"admin"_s, u"admin12345"_s);
        auto rate = [&](const QString &type, const QString &token) {
            return post(u"/api/v1/rate"_s, {{"track_id"_L1, u"t00020"_s}, {"type"_L1, type}}, token);
        };
        auto rating = [&](const QString &token) {
            return m_service->get(u"/api/v1/tracks/t00020"_s, token).object().value("user_rating"_L1);
        };
        QCOMPARE(
            rate(u"dislike"_s, demo).object(), (QJsonObject {{"track_id"_L1, u"t00020"_s}, {"type"_L1, u"dislike"_s}}));
        QCOMPARE(rating(demo).toString(), u"dislike"_s);
        QVERIFY(rating(admin).isNull());
        // The same type again takes the rating away, and the answer says so
        // by leaving "type" out.
        QCOMPARE(rate(u"dislike"_s, demo).object(), (QJsonObject {{"track_id"_L1, u"t00020"_s}}));
        QVERIFY(rating(demo).isNull());
        QCOMPARE(rate(u"like"_s, demo).object().value("type"_L1).toString(), u"like"_s);
        QCOMPARE(rate(u"dislike"_s, demo).object().value("type"_L1).toString(), u"dislike"_s);
        QCOMPARE(rate(u"meh"_s, demo).status, 422);
        QCOMPARE(rate(u"like"_s, QString()).status, 401);
    }

    void playlistsKeepTracksOnce()
    {
        const QString demo = m_service->signIn();
        const QString admin = m_service->signIn(u"admin"_s, u"admin12345"_s);
        const QJsonObject first
            = post(u"/api/v1/playlists"_s, {{"title"_L1, u"В дорогу"_s}, {"is_public"_L1, false}}, demo).object();
        QCOMPARE(first.value("title"_L1).toString(), u"В дорогу"_s);
        QCOMPARE(first.value("is_public"_L1).toBool(), false);
        QCOMPARE(first.value("track_count"_L1).toInt(), 0);
        const QString id = first.value("id"_L1).toString();
        const QJsonObject second = post(u"/api/v1/playlists"_s, {{"title"_L1, u"Вечер"_s}}, demo).object();

        const QJsonArray list = m_service->get(u"/api/v1/playlists"_s, demo).json().array();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.first().toObject().value("id"_L1), second.value("id"_L1));

        const QString tracks = u"/api/v1/playlists/"_s + id + u"/tracks"_s;
        QCOMPARE(post(tracks, {{"track_id"_L1, u"t00003"_s}}, demo).status, 200);
        QCOMPARE(post(tracks, {{"track_id"_L1, u"t00003"_s}}, demo).object().value("track_count"_L1).toInt(), 1);
        QCOMPARE(post(tracks, {{"track_id"_L1, u"t00004"_s}}, demo).object().value("track_count"_L1).toInt(), 2);
        QCOMPARE(post(tracks, {{"track_id"_L1, u"nope"_s}}, demo).status, 404);

        const QJsonObject detail = m_service->get(u"/api/v1/playlists/"_s + id, demo).object();
        QCOMPARE(detail.value("track_count"_L1).toInt(), 2);
        QCOMPARE(detail.value("tracks"_L1).toArray().at(1).toObject().value("id"_L1).toString(), u"t00004"_s);

        QCOMPARE(m_service->get(u"/api/v1/playlists/"_s + id, admin).status, 404);
        QCOMPARE(post(tracks, {{"track_id"_L1, u"t00005"_s}}, admin).status, 404);
        QCOMPARE(m_service->get(u"/api/v1/playlists"_s, admin).json().array().size(), 0);
        QCOMPARE(post(u"/api/v1/playlists"_s, {{"title"_L1, u"  "_s}}, demo).status, 422);
    }

    void qrSignInGoesFromPendingToConfirmed()
    {
        const auto init = m_service->call("POST", u"/api/v1/auth/qr/init"_s);
        QCOMPARE(init.status, 200);
        const QString qr = init.object().value("qr_token"_L1).toString();
        QVERIFY(!qr.isEmpty());
        QCOMPARE(init.object().value("expires_in_seconds"_L1).toInt(), 120);
        const QString status = u"/api/v1/auth/qr/status/"_s + qr;
        QCOMPARE(m_service->get(status).object(), (QJsonObject {{"status"_L1, u"pending"_s}}));

        QVERIFY(m_service->confirmQr(qr, u"admin"_s));
        const QJsonObject confirmed = m_service->get(status).object();
        QCOMPARE(confirmed.value("status"_L1).toString(), u"confirmed"_s);
        const QString token = confirmed.value("access_token"_L1).toString();
        QCOMPARE(m_service->get(u"/api/v1/auth/me"_s, token).object().value("username"_L1).toString(), u"admin"_s);

        QCOMPARE(m_service->get(u"/api/v1/auth/qr/status/unknown"_s).status, 404);
        QVERIFY(!m_service->confirmQr(u"unknown"_s));
        QVERIFY(!m_service->confirmQr(qr, u"nobody"_s));
    }

    void qrSignInExpires()
    {
        DevServiceProcess shortLived({u"--tracks"_s, u"10"_s, u"--qr-lifetime"_s, u"1"_s});
        QVERIFY(shortLived.isRunning());
        const auto init = shortLived.call("POST", u"/api/v1/auth/qr/init"_s);
        QCOMPARE(init.object().value("expires_in_seconds"_L1).toInt(), 1);
        const QString qr = init.object().value("qr_token"_L1).toString();
        QTRY_COMPARE_WITH_TIMEOUT(
            shortLived.get(u"/api/v1/auth/qr/status/"_s + qr).object().value("status"_L1).toString(), u"expired"_s,
            3000);
        QVERIFY(!shortLived.confirmQr(qr));
    }

    void confirmQrCommandLineConfirmsForDemo()
    {
        const QString qr = m_service->call("POST", u"/api/v1/auth/qr/init"_s).object().value("qr_token"_L1).toString();
        QProcess helper;
        QSignalSpy finished(&helper, &QProcess::finished);
        helper.start(
            devservicePath(), {u"--confirm-qr"_s, qr, u"--service"_s, m_service->baseUrl().toString() + u"/"_s});
        QVERIFY(finished.wait(10000));
        QCOMPARE(helper.exitCode(), 0);
        const QJsonObject status = m_service->get(u"/api/v1/auth/qr/status/"_s + qr).object();
        const QString token = status.value("access_token"_L1).toString();
        QCOMPARE(m_service->get(u"/api/v1/auth/me"_s, token).object().value("username"_L1).toString(), u"demo"_s);

        QProcess refused;
        QSignalSpy refusedFinished(&refused, &QProcess::finished);
        refused.start(
            devservicePath(), {u"--confirm-qr"_s, u"unknown"_s, u"--service"_s, m_service->baseUrl().toString()});
        QVERIFY(refusedFinished.wait(10000));
        QCOMPARE(refused.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDevServiceAccount)
#include "tst_devserviceaccount.moc"
