#pragma once

#include <QHash>
#include <QJsonArray>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>

#include <chrono>
#include <optional>

namespace devservice {

struct UserRecord
{
    QString id;
    QString username;
    QString email;
    QString password;
    QString role;
    QString avatarUrl;
    std::optional<QString> catalogArtistName;
    qint64 createdAtMs = 0;
    QJsonArray customRoles;
};

struct PlaylistRecord
{
    QString id;
    QString ownerId;
    QString title;
    bool isPublic = false;
    QList<int> tracks; // catalogue indices, in the order added
};

// What a track looks like to one user.
struct UserView
{
    QSet<int> favorites;
    QHash<int, QString> ratings;

    static UserView guest() { return {}; }
};

enum class QrState { Unknown, Pending, Confirmed, Expired };

struct QrStatus
{
    QrState state = QrState::Unknown;
    QString accessToken; // with Confirmed
};

// Users, tokens and each user's library, held in memory for the life of the
// process. Every member is safe to call from any request thread.
class Accounts
{
public:
    using Clock = std::chrono::steady_clock;

    explicit Accounts(int qrLifetimeSeconds);

    // The demo user's library on first sign-in: a dozen favourites and two
    // playlists, one of 30 tracks and, listed first, one of a single track;
    // only tracks the catalogue of trackCount holds.
    void seedDemoLibrary(int trackCount);

    // A fresh token for the user, or nothing when name or password is wrong.
    std::optional<QString> login(const QString &username, const QString &password);
    bool usernameTaken(const QString &username) const;
    // Creates the user (the caller has validated the input) and returns a
    // token; nothing when the name was taken meanwhile.
    std::optional<QString> registerUser(const QString &username, const QString &email, const QString &password);
    std::optional<UserRecord> userForToken(const QString &token) const;
    std::optional<UserRecord> userByName(const QString &username) const;
    // Absent arguments leave the field alone; an empty artist name clears it.
    UserRecord updateProfile(const QString &userId, const std::optional<QString> &email,
        const std::optional<std::optional<QString>> &catalogArtistName);

    UserView view(const QString &userId) const;
    QList<int> favorites(const QString &userId) const; // most recently added first
    void addFavorite(const QString &userId, int track);
    void removeFavorite(const QString &userId, int track);
    // Rating the same type again removes the rating; returns the rating now held.
    std::optional<QString> toggleRating(const QString &userId, int track, const QString &type);

    QList<PlaylistRecord> playlists(const QString &userId) const; // newest first
    PlaylistRecord createPlaylist(const QString &userId, const QString &title, bool isPublic);
    std::optional<PlaylistRecord> playlist(const QString &userId, const QString &playlistId) const;
    // Adds the track unless it is already there; nothing when no such playlist.
    std::optional<PlaylistRecord> addToPlaylist(const QString &userId, const QString &playlistId, int track);

    int qrLifetimeSeconds() const { return m_qrLifetimeSeconds; }
    QString startQr();
    QrStatus qrStatus(const QString &qrToken) const;
    // Confirms a pending QR sign-in for the user; returns its state before.
    QrState confirmQr(const QString &qrToken, const QString &userId);

private:
    struct QrSession
    {
        Clock::time_point started;
        QString accessToken;
    };

    QString issueToken(const QString &userId);
    UserRecord *findUser(const QString &userId);
    bool expired(const QrSession &session) const;

    mutable QMutex m_mutex;
    QList<UserRecord> m_users;
    QHash<QString, QString> m_tokens; // token -> user id
    QHash<QString, QList<int>> m_favorites;
    QHash<QString, QHash<int, QString>> m_ratings;
    QList<PlaylistRecord> m_playlists;
    int m_nextPlaylist = 1;
    QHash<QString, QrSession> m_qr;
    int m_qrLifetimeSeconds;
};

QString randomToken();

} // namespace devservice
