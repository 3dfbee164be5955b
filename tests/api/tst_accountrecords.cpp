#include "api/accountrecords.h"
#include "recordcodingcases.h"

#include <QJsonArray>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QJsonObject roleJson(const QString &id, int position)
{
    return QJsonObject {{"id"_L1, id}, {"name"_L1, u"Модератор"_s}, {"color"_L1, 16711680}, {"position"_L1, position},
        {"created_at"_L1, u"2024-02-03T04:05:06.789Z"_s}};
}

QJsonObject userJson()
{
    return QJsonObject {{"id"_L1, u"u1"_s}, {"username"_L1, u"lina"_s}, {"email"_L1, u"lina@example.com"_s},
        {"role"_L1, u"admin"_s}, {"avatar_url"_L1, u"avatars/u1.png"_s}, {"catalog_artist_name"_L1, u"Лина"_s},
        {"created_at"_L1, u"2023-01-02T03:04:05.000Z"_s},
        {"custom_roles"_L1, QJsonArray {roleJson(u"r1"_s, 2), roleJson(u"r2"_s, 1)}}};
}

QJsonObject trackJson(const QString &id)
{
    return QJsonObject {{"id"_L1, id}, {"title"_L1, u"Т"_s}, {"artist"_L1, u"А"_s}, {"duration_seconds"_L1, 100},
        {"file_url"_L1, u"m/%1.mp3"_s.arg(id)}, {"is_favorite"_L1, false}};
}

QJsonObject playlistJson()
{
    return QJsonObject {
        {"id"_L1, u"p1"_s}, {"title"_L1, u"В дорогу"_s}, {"is_public"_L1, false}, {"track_count"_L1, 3}};
}

QJsonObject playlistDetailJson()
{
    QJsonObject o = playlistJson();
    QJsonObject first = trackJson(u"t1"_s);
    first.insert("cover_url"_L1, u"c/t1.png"_s);
    o.insert("tracks"_L1, QJsonArray {first, trackJson(u"t2"_s), trackJson(u"t3"_s)});
    return o;
}

const QList<RecordCase> &cases()
{
    static const QList<RecordCase> all {
        {u"CustomRoleOut"_s, roleJson(u"r1"_s, 1), {"id", "name", "color", "position"}, {"created_at"},
            viaToJson<CustomRoleOut>()},
        {u"UserOut"_s, userJson(),
            {"id", "username", "role", "created_at", "custom_roles[1]", "custom_roles[1].id", "custom_roles[1].name",
                "custom_roles[1].color", "custom_roles[1].position"},
            {"email", "avatar_url", "catalog_artist_name", "custom_roles[0].created_at"}, viaToJson<UserOut>()},
        {u"PlaylistOut"_s, playlistJson(), {"id", "title", "is_public", "track_count"}, {}, viaToJson<PlaylistOut>()},
        {u"PlaylistDetail"_s, playlistDetailJson(),
            {"id", "title", "tracks", "is_public", "track_count", "tracks[2]", "tracks[2].file_url",
                "tracks[2].is_favorite"},
            {"tracks[0].cover_url"}, viaToJson<PlaylistDetail>()},
        {u"TokenResponse"_s, {{"access_token"_L1, u"abc"_s}, {"token_type"_L1, u"bearer"_s}},
            {"access_token", "token_type"}, {}, viaToJson<TokenResponse>()},
        {u"QrInitResponse"_s, {{"qr_token"_L1, u"q1"_s}, {"expires_in_seconds"_L1, 120}},
            {"qr_token", "expires_in_seconds"}, {},
            [](const QByteArray &body) {
                const auto r = decodeJson<QrInitResponse>(body);
                return QJsonObject {{"qr_token"_L1, r.qrToken}, {"expires_in_seconds"_L1, r.expiresInSeconds}};
            }},
        {u"QrStatusResponse"_s, {{"status"_L1, u"confirmed"_s}, {"access_token"_L1, u"tok"_s}}, {"status"},
            {"access_token"},
            [](const QByteArray &body) {
                const auto r = decodeJson<QrStatusResponse>(body);
                QJsonObject o {{"status"_L1, r.status}};
                putOptional(o, "access_token"_L1, r.accessToken);
                return o;
            }},
        {u"RateRequest"_s, {{"track_id"_L1, u"t1"_s}, {"type"_L1, u"dislike"_s}}, {"track_id", "type"}, {},
            viaToJson<RateRequest>()},
        {u"RateResponse"_s, {{"track_id"_L1, u"t1"_s}, {"type"_L1, u"dislike"_s}}, {"track_id"}, {"type"},
            viaToJson<RateResponse>()},
        {u"FavoriteAdd"_s, {{"track_id"_L1, u"t1"_s}}, {"track_id"}, {}, viaToJson<FavoriteAdd>()},
        {u"UserLogin"_s, {{"username"_L1, u"lina"_s}, {"password"_L1, u"p@ss"_s}}, {"username", "password"}, {},
            viaToJson<UserLogin>()},
        {u"UserRegister"_s, {{"username"_L1, u"lina"_s}, {"email"_L1, u"l@e.com"_s}, {"password"_L1, u"p"_s}},
            {"username", "email", "password"}, {}, viaToJson<UserRegister>()},
        {u"UserProfilePatch"_s, {{"catalog_artist_name"_L1, u"Лина"_s}, {"email"_L1, u"new@e.com"_s}}, {},
            {"catalog_artist_name", "email"}, viaToJson<UserProfilePatch>()},
        {u"HttpValidationError"_s,
            {{"detail"_L1,
                QJsonArray {QJsonObject {{"msg"_L1, u"field required"_s}}, QJsonObject {{"msg"_L1, u"too short"_s}}}}},
            {"detail[1]", "detail[1].msg"}, {"detail"}, viaToJson<HttpValidationError>()},
    };
    return all;
}

} // namespace

class TestAccountRecords : public QObject
{
    Q_OBJECT
private slots:
    void requiredFieldFails_data() { requiredFieldRows(cases()); }
    void requiredFieldFails() { checkRequiredField(cases()); }
    void optionalFieldMayBeAbsent_data() { optionalFieldRows(cases()); }
    void optionalFieldMayBeAbsent() { checkOptionalField(cases()); }
    void roundTripIgnoringUnknownKeys_data() { recordRows(cases()); }
    void roundTripIgnoringUnknownKeys() { checkRoundTrip(cases()); }

    void customRolesDefaultToEmpty()
    {
        QJsonObject user = userJson();
        user.remove("custom_roles"_L1);
        QVERIFY(decodeJson<UserOut>(jsonBytes(user)).customRoles.isEmpty());
        user.insert("custom_roles"_L1, QJsonValue::Null);
        QVERIFY(decodeJson<UserOut>(jsonBytes(user)).customRoles.isEmpty());
    }

    void listOfRecordsFailsOnOneBadElement()
    {
        QJsonArray playlists {playlistJson(), playlistJson(), playlistJson()};
        playlists.replace(2, QJsonObject {{"id"_L1, u"p3"_s}, {"title"_L1, u"x"_s}, {"is_public"_L1, false}});
        const auto failure = decodingFailure([&] { decodeJsonList<PlaylistOut>(jsonBytes(playlists)); });
        QVERIFY(failure);
        QCOMPARE(failure->path(), u"[2].track_count"_s);
        QCOMPARE(int(failure->kind()), int(DecodingError::Kind::KeyNotFound));
    }
};

QTEST_GUILESS_MAIN(TestAccountRecords)
#include "tst_accountrecords.moc"
