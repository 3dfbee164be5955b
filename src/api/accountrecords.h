#pragma once

#include "api/trackout.h"

namespace nimbra {

// A role granted by an administrator, shown as a coloured badge.
struct CustomRoleOut
{
    QString id;
    QString name;
    qint64 color = 0; // 0xRRGGBB
    qint64 position = 0;
    std::optional<QDateTime> createdAt;

    bool operator==(const CustomRoleOut &other) const = default;

    static CustomRoleOut fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};
size_t qHash(const CustomRoleOut &role, size_t seed = 0);

struct UserOut
{
    QString id;
    QString username;
    std::optional<QString> email;
    QString role;
    std::optional<QString> avatarUrl;
    std::optional<QString> catalogArtistName;
    QDateTime createdAt;
    QList<CustomRoleOut> customRoles; // missing or null in JSON: empty

    static UserOut fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct PlaylistOut
{
    QString id;
    QString title;
    bool isPublic = false;
    qint64 trackCount = 0;

    bool operator==(const PlaylistOut &other) const = default;

    static PlaylistOut fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};
size_t qHash(const PlaylistOut &playlist, size_t seed = 0);

struct PlaylistDetail
{
    QString id;
    QString title;
    QList<TrackOut> tracks;
    bool isPublic = false;
    qint64 trackCount = 0;

    static PlaylistDetail fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct TokenResponse
{
    QString accessToken;
    QString tokenType;

    static TokenResponse fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct QrInitResponse
{
    QString qrToken;
    qint64 expiresInSeconds = 0;

    static QrInitResponse fromJson(const JsonReader &r);
};

struct QrStatusResponse
{
    QString status;
    std::optional<QString> accessToken;

    static QrStatusResponse fromJson(const JsonReader &r);
};

struct RateRequest
{
    QString trackId;
    QString type;

    static RateRequest fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct RateResponse
{
    QString trackId;
    std::optional<QString> type; // absent: the rating was taken away

    static RateResponse fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct FavoriteAdd
{
    QString trackId;

    static FavoriteAdd fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct UserLogin
{
    QString username;
    QString password;

    static UserLogin fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct UserRegister
{
    QString username;
    QString email;
    QString password;

    static UserRegister fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

// A profile change: only the fields that are present are sent.
struct UserProfilePatch
{
    std::optional<QString> catalogArtistName;
    std::optional<QString> email;

    static UserProfilePatch fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

struct ValidationDetail
{
    QString msg;

    static ValidationDetail fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

// The service's validation-error body.
struct HttpValidationError
{
    std::optional<QList<ValidationDetail>> detail;

    static HttpValidationError fromJson(const JsonReader &r);
    QJsonObject toJson() const;
};

} // namespace nimbra
