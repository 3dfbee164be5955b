#include "api/accountrecords.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace nimbra {

CustomRoleOut CustomRoleOut::fromJson(const JsonReader &r)
{
    CustomRoleOut c;
    c.id = r.string("id"_L1);
    c.name = r.shownString("name"_L1);
    c.color = r.integer("color"_L1);
    c.position = r.integer("position"_L1);
    c.createdAt = r.optDate("created_at"_L1);
    return c;
}

QJsonObject CustomRoleOut::toJson() const
{
    QJsonObject o {{"id"_L1, id}, {"name"_L1, name}, {"color"_L1, color}, {"position"_L1, position}};
    putOptional(o, "created_at"_L1, createdAt);
    return o;
}

size_t qHash(const CustomRoleOut &c, size_t seed)
{
    return qHashMulti(seed, c.id, c.name, c.color, c.position,
        c.createdAt ? c.createdAt->toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
}

UserOut UserOut::fromJson(const JsonReader &r)
{
    UserOut u;
    u.id = r.string("id"_L1);
    u.username = r.shownString("username"_L1);
    u.email = r.optShownString("email"_L1);
    u.role = r.string("role"_L1);
    u.avatarUrl = r.optString("avatar_url"_L1);
    u.catalogArtistName = r.optShownString("catalog_artist_name"_L1);
    u.createdAt = r.date("created_at"_L1);
    u.customRoles = r.optList<CustomRoleOut>("custom_roles"_L1).value_or(QList<CustomRoleOut>());
    return u;
}

QJsonObject UserOut::toJson() const
{
    QJsonObject o {
        {"id"_L1, id}, {"username"_L1, username}, {"role"_L1, role}, {"created_at"_L1, formatServiceDate(createdAt)}};
    putOptional(o, "email"_L1, email);
    putOptional(o, "avatar_url"_L1, avatarUrl);
    putOptional(o, "catalog_artist_name"_L1, catalogArtistName);
    QJsonArray roles;
    for (const auto &role : customRoles)
        roles.append(role.toJson());
    o.insert("custom_roles"_L1, roles);
    return o;
}

PlaylistOut PlaylistOut::fromJson(const JsonReader &r)
{
    PlaylistOut p;
    p.id = r.string("id"_L1);
    p.title = r.shownString("title"_L1);
    p.isPublic = r.boolean("is_public"_L1);
    p.trackCount = r.integer("track_count"_L1);
    return p;
}

QJsonObject PlaylistOut::toJson() const
{
    return QJsonObject {{"id"_L1, id}, {"title"_L1, title}, {"is_public"_L1, isPublic}, {"track_count"_L1, trackCount}};
}

size_t qHash(const PlaylistOut &p, size_t seed)
{
    return qHashMulti(seed, p.id, p.title, p.isPublic, p.trackCount);
}

PlaylistDetail PlaylistDetail::fromJson(const JsonReader &r)
{
    PlaylistDetail p;
    p.id = r.string("id"_L1);
    p.title = r.shownString("title"_L1);
    p.tracks = r.list<TrackOut>("tracks"_L1);
    p.isPublic = r.boolean("is_public"_L1);
    p.trackCount = r.integer("track_count"_L1);
    return p;
}

QJsonObject PlaylistDetail::toJson() const
{
    QJsonArray a;
    for (const auto &t : tracks)
        a.append(t.toJson());
    return QJsonObject {{"id"_L1, id}, {"title"_L1, title}, {"tracks"_L1, a}, {"is_public"_L1, isPublic},
        {"track_count"_L1, trackCount}};
}

TokenResponse TokenResponse::fromJson(const JsonReader &r)
{
    return TokenResponse {r.string("access_token"_L1), r.string("token_type"_L1)};
}

QJsonObject TokenResponse::toJson() const
{
    return QJsonObject {{"access_token"_L1, accessToken}, {"token_type"_L1, tokenType}};
}

QrInitResponse QrInitResponse::fromJson(const JsonReader &r)
{
    return QrInitResponse {r.string("qr_token"_L1), r.integer("expires_in_seconds"_L1)};
}

QrStatusResponse QrStatusResponse::fromJson(const JsonReader &r)
{
    return QrStatusResponse {r.string("status"_L1), r.optString("access_token"_L1)};
}

RateRequest RateRequest::fromJson(const JsonReader &r)
{
    return RateRequest {r.string("track_id"_L1), r.string("type"_L1)};
}

QJsonObject RateRequest::toJson() const
{
    return QJsonObject {{"track_id"_L1, trackId}, {"type"_L1, type}};
}

RateResponse RateResponse::fromJson(const JsonReader &r)
{
    return RateResponse {r.string("track_id"_L1), r.optString("type"_L1)};
}

QJsonObject RateResponse::toJson() const
{
    QJsonObject o {{"track_id"_L1, trackId}};
    putOptional(o, "type"_L1, type);
    return o;
}

FavoriteAdd FavoriteAdd::fromJson(const JsonReader &r)
{
    return FavoriteAdd {r.string("track_id"_L1)};
}

QJsonObject FavoriteAdd::toJson() const
{
    return QJsonObject {{"track_id"_L1, trackId}};
}

UserLogin UserLogin::fromJson(const JsonReader &r)
{
    return UserLogin {r.string("username"_L1), r.string("password"_L1)};
}

QJsonObject UserLogin::toJson() const
{
    return QJsonObject {{"username"_L1, username}, {"password"_L1, password}};
}

UserRegister UserRegister::fromJson(const JsonReader &r)
{
    return UserRegister {r.string("username"_L1), r.string("email"_L1), r.string("password"_L1)};
}

QJsonObject UserRegister::toJson() const
{
    return QJsonObject {{"username"_L1, username}, {"email"_L1, email}, {"password"_L1, password}};
}

UserProfilePatch UserProfilePatch::fromJson(const JsonReader &r)
{
    return UserProfilePatch {r.optString("catalog_artist_name"_L1), r.optString("email"_L1)};
}

QJsonObject UserProfilePatch::toJson() const
{
    QJsonObject o;
    putOptional(o, "catalog_artist_name"_L1, catalogArtistName);
    putOptional(o, "email"_L1, email);
    return o;
}

ValidationDetail ValidationDetail::fromJson(const JsonReader &r)
{
    return ValidationDetail {r.string("msg"_L1)};
}

QJsonObject ValidationDetail::toJson() const
{
    return QJsonObject {{"msg"_L1, msg}};
}

HttpValidationError HttpValidationError::fromJson(const JsonReader &r)
{
    return HttpValidationError {r.optList<ValidationDetail>("detail"_L1)};
}

QJsonObject HttpValidationError::toJson() const
{
    QJsonObject o;
    if (detail) {
        QJsonArray a;
        for (const auto &d : *detail)
            a.append(d.toJson());
        o.insert("detail"_L1, a);
    }
    return o;
}

} // namespace nimbra
