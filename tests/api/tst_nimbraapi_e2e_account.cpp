// The typed client against the local service: sign-in, registration, QR
// sign-in, the profile, and each user's favourites, ratings and playlists.
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/nimbraapi.h"

#include "devserviceprocess.h"
#include "servicerequests.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QJsonDocument>
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

class TestNimbraApiEndToEndAccount : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    NimbraApi m_api;
    int m_users = 0;

    // A token of a newly registered user, so that every test starts with
    // empty favourites, ratings and playlists; the request log is cleared.
    QString freshUser()
    {
        const QString name = u"listener%1"_s.arg(++m_users);
        const auto outcome = outcomeOf(m_api.registerUser(name, name + u"@nimbra.local"_s, u"password1"_s));
        m_service->clearRequests();
        return outcome.value ? outcome.value->accessToken : QString();
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>(QStringList {u"--tracks"_s, u"200"_s, u"--albums"_s, u"20"_s});
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        ApiConfig::setBaseUrl(m_service->baseUrl());
    }

    void init() { m_service->clearRequests(); }

    void cleanupTestCase() { m_service.reset(); }

    void signInAndReadProfile()
    {
        SERVICE_VALUE(token, m_api.login(u"demo"_s, u"demo12345"_s));
        QCOMPARE(token.tokenType, u"bearer"_s);
        SERVICE_VALUE(user, m_api.me(token.accessToken));
        QCOMPARE(user.username, u"demo"_s);
        QVERIFY(user.createdAt.isValid());
        // The roles come as the service lists them, out of position order.
        QCOMPARE(user.customRoles.size(), 2);
        QCOMPARE(user.customRoles[0].position, 2);
        QCOMPARE(user.customRoles[1].createdAt, std::nullopt);

        const auto requests = m_service->requests();
        QCOMPARE(requestLines(requests),
            (QStringList {expectedLine(u"POST"_s, u"/api/v1/auth/login"_s, std::nullopt, true),
                expectedLine(u"GET"_s, u"/api/v1/auth/me"_s, token.accessToken)}));
        QCOMPARE(
            bodyOf(requests.value(0)), (QJsonObject {{"username"_L1, u"demo"_s}, {"password"_L1, u"demo12345"_s}}));
        QVERIFY(requests.value(1).body.isEmpty());
    }

    void refusedRequestsCarryTheServiceMessage()
    {
        struct Refusal
        {
            const char *name;
            std::exception_ptr error;
            int status;
            QString message;
        };
        const QString token = freshUser();
        const QList<Refusal> refusals {
            {"wrong password", errorOf(m_api.login(u"demo"_s, u"wrong-password"_s)), 401,
                u"Неверный логин или пароль"_s},
            {"unknown token", errorOf(m_api.me(u"no-such-token"_s)), 401, u"Недействительный токен"_s},
            {"empty token", errorOf(m_api.favorites(QString())), 401, u"Не авторизован"_s},
            // Every broken rule is one entry of the validation list; the
            // message joins them in the service's order.
            {"short registration", errorOf(m_api.registerUser(u"x"_s, u"x"_s, u"x"_s)), 422,
                u"Имя пользователя должно быть не короче 3 символов, Некорректный адрес электронной почты, "
                "Пароль должен быть не короче 8 символов"_s},
            {"bad e-mail in profile", errorOf(m_api.patchProfile(token, u"no-at-sign"_s, std::nullopt)), 422,
                u"Некорректный адрес электронной почты"_s},
            {"unknown QR token", errorOf(m_api.qrStatus(u"no-such-qr"_s)), 404, u"QR-токен не найден"_s},
        };
        for (const Refusal &refusal : refusals) {
            const ApiError error = apiErrorOf(refusal.error);
            QVERIFY2(error.kind() == ApiError::Kind::HttpStatus, refusal.name);
            QVERIFY2(error.statusCode() == refusal.status, refusal.name);
            QCOMPARE(error.message(), refusal.message);
            QCOMPARE(error.description(), refusal.message);
        }
        // The service reads the bare "Bearer " as no token, but it was sent
        // (the service's HTTP library trims the blank).
        const RecordedRequest empty = m_service->requests().value(2);
        QCOMPARE(empty.path, u"/api/v1/favorites"_s);
        QCOMPARE(empty.header(u"authorization"_s).trimmed(), u"Bearer"_s);
    }

    void registeredUserIsSignedIn()
    {
        SERVICE_VALUE(token, m_api.registerUser(u"Новичок"_s, u"novice@nimbra.local"_s, u"password1"_s));
        SERVICE_VALUE(user, m_api.me(token.accessToken));
        QCOMPARE(user.username, u"Новичок"_s);

        const auto requests = m_service->requests();
        QCOMPARE(
            requestLine(requests.value(0)), expectedLine(u"POST"_s, u"/api/v1/auth/register"_s, std::nullopt, true));
        QCOMPARE(bodyOf(requests.value(0)),
            (QJsonObject {{"username"_L1, u"Новичок"_s}, {"email"_L1, u"novice@nimbra.local"_s},
                {"password"_L1, u"password1"_s}}));
    }

    void profileChangesOnlyWhatIsSent()
    {
        const QString token = freshUser();
        SERVICE_VALUE(named, m_api.patchProfile(token, std::nullopt, u"Мокко"_s));
        QCOMPARE(named.catalogArtistName, u"Мокко"_s);
        QCOMPARE(named.email, u"listener%1@nimbra.local"_s.arg(m_users));
        SERVICE_VALUE(moved, m_api.patchProfile(token, u"moved@nimbra.local"_s, std::nullopt));
        QCOMPARE(moved.email, u"moved@nimbra.local"_s);
        QCOMPARE(moved.catalogArtistName, u"Мокко"_s);

        const auto requests = m_service->requests();
        QCOMPARE(requestLine(requests.value(0)), expectedLine(u"PATCH"_s, u"/api/v1/auth/profile"_s, token, true));
        QCOMPARE(bodyOf(requests.value(0)), (QJsonObject {{"catalog_artist_name"_L1, u"Мокко"_s}}));
        QCOMPARE(bodyOf(requests.value(1)), (QJsonObject {{"email"_L1, u"moved@nimbra.local"_s}}));
    }

    void qrSignInIsConfirmedByAnotherDevice()
    {
        const QString signedIn = freshUser();
        SERVICE_VALUE(started, m_api.qrInit());
        QCOMPARE(started.expiresInSeconds, 120);
        SERVICE_VALUE(pending, m_api.qrStatus(started.qrToken));
        QCOMPARE(pending.status, u"pending"_s);

        QVERIFY(m_service->confirmQr(started.qrToken, u"demo"_s));
        SERVICE_VALUE(confirmed, m_api.qrStatus(started.qrToken));
        QCOMPARE(confirmed.status, u"confirmed"_s);
        QVERIFY(confirmed.accessToken && *confirmed.accessToken != signedIn);
        SERVICE_VALUE(user, m_api.me(*confirmed.accessToken));
        QCOMPARE(user.username, u"demo"_s);

        // The QR token travels in the path only; the body-less POST says
        // nothing of a content type, and no user's token is sent.
        const QString status = u"/api/v1/auth/qr/status/"_s + started.qrToken;
        QCOMPARE(requestLines(m_service->requests()),
            (QStringList {expectedLine(u"POST"_s, u"/api/v1/auth/qr/init"_s), expectedLine(u"GET"_s, status),
                expectedLine(u"GET"_s, status), expectedLine(u"GET"_s, u"/api/v1/auth/me"_s, *confirmed.accessToken)}));
    }

    void favouritesAreReflectedInTracks()
    {
        const QString token = freshUser();
        SERVICE_DONE(m_api.addFavorite(u"t00003"_s, token));
        SERVICE_DONE(m_api.addFavorite(u"t00005"_s, token));
        SERVICE_DONE(m_api.addFavorite(u"t00003"_s, token));
        SERVICE_VALUE(two, m_api.favorites(token));
        QCOMPARE(trackIds(two), (QStringList {u"t00005"_s, u"t00003"_s}));
        QVERIFY(two[0].isFavorite);

        SERVICE_VALUE(favourite, m_api.track(u"t00003"_s, token));
        QVERIFY(favourite.isFavorite);
        // A guest sees no one's favourites.
        SERVICE_VALUE(asGuest, m_api.track(u"t00003"_s, std::nullopt));
        QVERIFY(!asGuest.isFavorite);

        m_service->clearRequests();
        SERVICE_DONE(m_api.removeFavorite(u"t00003"_s, token));
        SERVICE_VALUE(one, m_api.favorites(token));
        QCOMPARE(trackIds(one), QStringList {u"t00005"_s});
        const auto requests = m_service->requests();
        QCOMPARE(requestLines(requests),
            (QStringList {expectedLine(u"DELETE"_s, u"/api/v1/favorites/t00003"_s, token),
                expectedLine(u"GET"_s, u"/api/v1/favorites"_s, token)}));
        QVERIFY(requests.value(0).body.isEmpty());

        m_service->clearRequests();
        const ApiError unknown = apiErrorOf(errorOf(m_api.addFavorite(u"t99999"_s, token)));
        QCOMPARE(unknown.statusCode(), 404);
        QCOMPARE(unknown.description(), u"Трек не найден"_s);
        const auto request = m_service->requests().value(0);
        QCOMPARE(requestLine(request), expectedLine(u"POST"_s, u"/api/v1/favorites"_s, token, true));
        QCOMPARE(bodyOf(request), (QJsonObject {{"track_id"_L1, u"t99999"_s}}));
    }

    void ratingTogglesOnAndOff()
    {
        const QString token = freshUser();
        const QString id = u"t00004"_s;
        SERVICE_VALUE(disliked, m_api.rateTrack(id, u"dislike"_s, token));
        QCOMPARE(disliked.type, u"dislike"_s);
        SERVICE_VALUE(dislikedTrack, m_api.track(id, token));
        QCOMPARE(dislikedTrack.userRating, u"dislike"_s);
        const auto request = m_service->requests().value(0);
        QCOMPARE(requestLine(request), expectedLine(u"POST"_s, u"/api/v1/rate"_s, token, true));
        QCOMPARE(bodyOf(request), (QJsonObject {{"track_id"_L1, id}, {"type"_L1, u"dislike"_s}}));

        // The same rating again takes it away.
        SERVICE_VALUE(cleared, m_api.rateTrack(id, u"dislike"_s, token));
        QCOMPARE(cleared.type, std::nullopt);
        SERVICE_VALUE(clearedTrack, m_api.track(id, token));
        QCOMPARE(clearedTrack.userRating, std::nullopt);

        const ApiError invalid = apiErrorOf(errorOf(m_api.rateTrack(id, u"love"_s, token)));
        QCOMPARE(invalid.statusCode(), 422);
        QCOMPARE(invalid.description(), u"Допустимые значения: like, dislike"_s);
    }

    void playlistsCollectTracks()
    {
        const QString token = freshUser();
        SERVICE_VALUE(created, m_api.createPlaylist(u"Вечер «у моря»"_s, token));
        QCOMPARE(created.title, u"Вечер «у моря»"_s);
        SERVICE_DONE(m_api.addTrackToPlaylist(created.id, u"t00002"_s, token));
        SERVICE_DONE(m_api.addTrackToPlaylist(created.id, u"t00008"_s, token));
        SERVICE_DONE(m_api.addTrackToPlaylist(created.id, u"t00002"_s, token));

        SERVICE_VALUE(detail, m_api.playlist(created.id, token));
        QCOMPARE(trackIds(detail.tracks), (QStringList {u"t00002"_s, u"t00008"_s}));
        QCOMPARE(detail.trackCount, 2);
        SERVICE_VALUE(listed, m_api.playlists(token));
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed[0].trackCount, 2);

        const auto requests = m_service->requests();
        const QString tracksPath = u"/api/v1/playlists/"_s + created.id + u"/tracks"_s;
        QCOMPARE(requestLines(requests.mid(0, 3)),
            (QStringList {expectedLine(u"POST"_s, u"/api/v1/playlists"_s, token, true),
                expectedLine(u"POST"_s, tracksPath, token, true), expectedLine(u"POST"_s, tracksPath, token, true)}));
        QCOMPARE(bodyOf(requests.value(0)), (QJsonObject {{"title"_L1, u"Вечер «у моря»"_s}, {"is_public"_L1, false}}));
        QCOMPARE(bodyOf(requests.value(1)), (QJsonObject {{"track_id"_L1, u"t00002"_s}}));
        QCOMPARE(requestLine(requests.value(4)), expectedLine(u"GET"_s, u"/api/v1/playlists/"_s + created.id, token));

        // Nobody else sees a private playlist.
        const ApiError foreign = apiErrorOf(errorOf(m_api.playlist(created.id, freshUser())));
        QCOMPARE(foreign.statusCode(), 404);
        QCOMPARE(foreign.description(), u"Плейлист не найден"_s);
        const ApiError untitled = apiErrorOf(errorOf(m_api.createPlaylist(QString(), token)));
        QCOMPARE(untitled.statusCode(), 422);
        QCOMPARE(untitled.description(), u"Название не может быть пустым"_s);
    }
};

QTEST_GUILESS_MAIN(TestNimbraApiEndToEndAccount)
#include "tst_nimbraapi_e2e_account.moc"
