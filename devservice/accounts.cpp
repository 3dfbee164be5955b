#include "accounts.h"

#include <QDateTime>
#include <QJsonObject>
#include <QMutexLocker>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

qint64 utcMs(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC).toMSecsSinceEpoch();
}

QJsonObject role(const QString &id, const QString &name, int color, int position, const QJsonValue &createdAt)
{
    return {
        {u"id"_s, id}, {u"name"_s, name}, {u"color"_s, color}, {u"position"_s, position}, {u"created_at"_s, createdAt}};
}

} // namespace

QString randomToken()
{
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(words), sizeof(words))
                                   .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

Accounts::Accounts(int qrLifetimeSeconds) : m_qrLifetimeSeconds(qrLifetimeSeconds)
{
    UserRecord demo;
    demo.id = u"u1"_s;
    demo.username = u"demo"_s;
    demo.email = u"demo@nimbra.local"_s;
    demo.password = u"demo12345"_s;
    demo.role = u"user"_s;
    demo.avatarUrl = u"media/avatars/u1.png"_s;
    demo.createdAtMs = utcMs(2025, 1, 15, 9, 30);
    // The artist page marks this artist as the user's own.
    demo.catalogArtistName = u"Лунный Свет"_s;
    // Listed out of order: badges are shown by ascending position.
    demo.customRoles = {role(u"r2"_s, u"Меломан"_s, 0xFF5E8A, 2, u"2025-06-01T12:00:00.000Z"_s),
        role(u"r1"_s, u"Ранний слушатель"_s, 0x3FA7FF, 1, QJsonValue::Null)};
    m_users.append(demo);

    UserRecord admin;
    admin.id = u"u2"_s;
    admin.username = u"admin"_s;
    admin.email = u"admin@nimbra.local"_s;
    admin.password = u"admin12345"_s;
    admin.role = u"admin"_s;
    admin.createdAtMs = utcMs(2024, 11, 2, 8, 0);
    admin.customRoles = {role(u"r3"_s, u"Модератор"_s, 0x00C853, 1, u"2024-11-02T08:00:00"_s)};
    m_users.append(admin);
}

void Accounts::seedDemoLibrary(int trackCount)
{
    const QString demo = u"u1"_s;
    // t00008-t00019: full-length tracks with the credits worth looking at.
    for (int index = 7; index < 19 && index < trackCount; ++index)
        addFavorite(demo, index);
    PlaylistRecord road = createPlaylist(demo, u"В дорогу"_s, false);
    for (int index = 20; index < 50 && index < trackCount; ++index)
        addToPlaylist(demo, road.id, index);
    PlaylistRecord single = createPlaylist(demo, u"На повторе"_s, false);
    if (trackCount > 8)
        addToPlaylist(demo, single.id, 8);
}

QString Accounts::issueToken(const QString &userId)
{
    const QString token = randomToken();
    m_tokens.insert(token, userId);
    return token;
}

UserRecord *Accounts::findUser(const QString &userId)
{
    for (UserRecord &user : m_users) {
        if (user.id == userId)
            return &user;
    }
    return nullptr;
}

std::optional<QString> Accounts::login(const QString &username, const QString &password)
{
    QMutexLocker lock(&m_mutex);
    for (const UserRecord &user : std::as_const(m_users)) {
        if (user.username == username && user.password == password)
            return issueToken(user.id);
    }
    return std::nullopt;
}

bool Accounts::usernameTaken(const QString &username) const
{
    return userByName(username).has_value();
}

std::optional<QString> Accounts::registerUser(const QString &username, const QString &email, const QString &password)
{
    QMutexLocker lock(&m_mutex);
    for (const UserRecord &existing : std::as_const(m_users)) {
        if (existing.username.compare(username, Qt::CaseInsensitive) == 0)
            return std::nullopt;
    }
    UserRecord user;
    user.id = u"u%1"_s.arg(m_users.size() + 1);
    user.username = username;
    user.email = email;
    user.password = password;
    user.role = u"user"_s;
    user.createdAtMs = QDateTime::currentMSecsSinceEpoch();
    m_users.append(user);
    return issueToken(user.id);
}

std::optional<UserRecord> Accounts::userForToken(const QString &token) const
{
    QMutexLocker lock(&m_mutex);
    const QString userId = m_tokens.value(token);
    for (const UserRecord &user : m_users) {
        if (!userId.isEmpty() && user.id == userId)
            return user;
    }
    return std::nullopt;
}

std::optional<UserRecord> Accounts::userByName(const QString &username) const
{
    QMutexLocker lock(&m_mutex);
    for (const UserRecord &user : m_users) {
        if (user.username.compare(username, Qt::CaseInsensitive) == 0)
            return user;
    }
    return std::nullopt;
}

UserRecord Accounts::updateProfile(const QString &userId, const std::optional<QString> &email,
    const std::optional<std::optional<QString>> &catalogArtistName)
{
    QMutexLocker lock(&m_mutex);
    UserRecord *user = findUser(userId);
    if (!user)
        return {};
    if (email)
        user->email = *email;
    if (catalogArtistName) {
        const std::optional<QString> &name = *catalogArtistName;
        user->catalogArtistName = name && !name->trimmed().isEmpty() ? name : std::nullopt;
    }
    return *user;
}

UserView Accounts::view(const QString &userId) const
{
    QMutexLocker lock(&m_mutex);
    UserView view;
    const QList<int> favorites = m_favorites.value(userId);
    view.favorites = QSet<int>(favorites.begin(), favorites.end());
    view.ratings = m_ratings.value(userId);
    return view;
}

QList<int> Accounts::favorites(const QString &userId) const
{
    QMutexLocker lock(&m_mutex);
    return m_favorites.value(userId);
}

void Accounts::addFavorite(const QString &userId, int track)
{
    QMutexLocker lock(&m_mutex);
    QList<int> &list = m_favorites[userId];
    if (!list.contains(track))
        list.prepend(track);
}

void Accounts::removeFavorite(const QString &userId, int track)
{
    QMutexLocker lock(&m_mutex);
    m_favorites[userId].removeAll(track);
}

std::optional<QString> Accounts::toggleRating(const QString &userId, int track, const QString &type)
{
    QMutexLocker lock(&m_mutex);
    QHash<int, QString> &ratings = m_ratings[userId];
    if (ratings.value(track) == type) {
        ratings.remove(track);
        return std::nullopt;
    }
    ratings.insert(track, type);
    return type;
}

QList<PlaylistRecord> Accounts::playlists(const QString &userId) const
{
    QMutexLocker lock(&m_mutex);
    QList<PlaylistRecord> result;
    for (auto it = m_playlists.crbegin(); it != m_playlists.crend(); ++it) {
        if (it->ownerId == userId)
            result.append(*it);
    }
    return result;
}

PlaylistRecord Accounts::createPlaylist(const QString &userId, const QString &title, bool isPublic)
{
    QMutexLocker lock(&m_mutex);
    PlaylistRecord playlist;
    playlist.id = u"p%1"_s.arg(m_nextPlaylist++);
    playlist.ownerId = userId;
    playlist.title = title;
    playlist.isPublic = isPublic;
    m_playlists.append(playlist);
    return playlist;
}

std::optional<PlaylistRecord> Accounts::playlist(const QString &userId, const QString &playlistId) const
{
    QMutexLocker lock(&m_mutex);
    for (const PlaylistRecord &playlist : m_playlists) {
        if (playlist.id == playlistId && (playlist.ownerId == userId || playlist.isPublic))
            return playlist;
    }
    return std::nullopt;
}

std::optional<PlaylistRecord> Accounts::addToPlaylist(const QString &userId, const QString &playlistId, int track)
{
    QMutexLocker lock(&m_mutex);
    for (PlaylistRecord &playlist : m_playlists) {
        if (playlist.id == playlistId && playlist.ownerId == userId) {
            if (!playlist.tracks.contains(track))
                playlist.tracks.append(track);
            return playlist;
        }
    }
    return std::nullopt;
}

bool Accounts::expired(const QrSession &session) const
{
    return Clock::now() - session.started >= std::chrono::seconds(m_qrLifetimeSeconds);
}

QString Accounts::startQr()
{
    QMutexLocker lock(&m_mutex);
    // Forget sessions long past their lifetime so a demo left running does
    // not collect them forever.
    for (auto it = m_qr.begin(); it != m_qr.end();) {
        if (Clock::now() - it->started > std::chrono::seconds(m_qrLifetimeSeconds) * 10)
            it = m_qr.erase(it);
        else
            ++it;
    }
    const QString token = randomToken();
    m_qr.insert(token, QrSession {Clock::now(), QString()});
    return token;
}

QrStatus Accounts::qrStatus(const QString &qrToken) const
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_qr.constFind(qrToken);
    if (it == m_qr.cend())
        return {};
    if (expired(*it))
        return {QrState::Expired, QString()};
    if (!it->accessToken.isEmpty())
        return {QrState::Confirmed, it->accessToken};
    return {QrState::Pending, QString()};
}

QrState Accounts::confirmQr(const QString &qrToken, const QString &userId)
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_qr.find(qrToken);
    if (it == m_qr.end())
        return QrState::Unknown;
    if (expired(*it))
        return QrState::Expired;
    if (!it->accessToken.isEmpty())
        return QrState::Confirmed;
    it->accessToken = issueToken(userId);
    return QrState::Pending;
}

} // namespace devservice
