#include "libraryroutes.h"

#include "httputil.h"
#include "recordjson.h"

#include <httplib.h>

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

const QString kTrackNotFound = QStringLiteral("Трек не найден");

} // namespace

bool LibraryRoutes::handle(const httplib::Request &req, httplib::Response &res)
{
    const QStringList s = pathSegments(req);
    if (s.size() < 3 || s[0] != "api"_L1 || s[1] != "v1"_L1)
        return false;
    const QString &name = s[2];
    const bool favoritesList = s.size() == 3 && name == "favorites"_L1;
    const bool favoriteItem = s.size() == 4 && name == "favorites"_L1;
    const bool rateRoute = s.size() == 3 && name == "rate"_L1;
    const bool playlistsList = s.size() == 3 && name == "playlists"_L1;
    const bool playlistItem = s.size() == 4 && name == "playlists"_L1;
    const bool playlistTracks = s.size() == 5 && name == "playlists"_L1 && s[4] == "tracks"_L1;
    if (!favoritesList && !favoriteItem && !rateRoute && !playlistsList && !playlistItem && !playlistTracks)
        return false;

    const auto user = m_backend.requireUser(req, res);
    if (!user)
        return true;
    const std::string &method = req.method;
    const bool get = method == "GET" || method == "HEAD";
    if (favoritesList && get)
        favorites(*user, res);
    else if (favoritesList && method == "POST")
        addFavorite(*user, req, res);
    else if (favoriteItem && method == "DELETE")
        removeFavorite(*user, s[3], res);
    else if (rateRoute && method == "POST")
        rate(*user, req, res);
    else if (playlistsList && get)
        playlists(*user, res);
    else if (playlistsList && method == "POST")
        createPlaylist(*user, req, res);
    else if (playlistItem && get)
        playlist(*user, s[3], res);
    else if (playlistTracks && method == "POST")
        addToPlaylist(*user, s[3], req, res);
    else
        sendDetail(res, 405, u"Method Not Allowed"_s);
    return true;
}

std::optional<int> LibraryRoutes::bodyTrack(const httplib::Request &req, httplib::Response &res)
{
    const auto object = jsonObjectBody(req, res);
    if (!object)
        return std::nullopt;
    QList<ValidationIssue> issues;
    const auto trackId = requiredText(*object, u"track_id"_s, issues);
    if (!issues.isEmpty()) {
        sendValidation(res, issues);
        return std::nullopt;
    }
    const auto index = m_backend.catalogue.trackIndex(*trackId);
    if (!index)
        sendDetail(res, 404, kTrackNotFound);
    return index;
}

void LibraryRoutes::favorites(const UserRecord &user, httplib::Response &res)
{
    const UserView view = m_backend.accounts.view(user.id);
    QJsonArray list;
    for (const int index : m_backend.accounts.favorites(user.id))
        list.append(recordjson::track(m_backend.catalogue, index, view, recordjson::TrackDetail::Full));
    sendJson(res, 200, list);
}

void LibraryRoutes::addFavorite(const UserRecord &user, const httplib::Request &req, httplib::Response &res)
{
    const auto index = bodyTrack(req, res);
    if (!index)
        return;
    m_backend.accounts.addFavorite(user.id, *index);
    sendJson(res, 200, QJsonObject {{u"track_id"_s, m_backend.catalogue.trackId(*index)}, {u"is_favorite"_s, true}});
}

void LibraryRoutes::removeFavorite(const UserRecord &user, const QString &trackId, httplib::Response &res)
{
    const auto index = m_backend.catalogue.trackIndex(trackId);
    if (!index)
        return sendDetail(res, 404, kTrackNotFound);
    m_backend.accounts.removeFavorite(user.id, *index);
    sendJson(res, 200, QJsonObject {{u"track_id"_s, trackId}, {u"is_favorite"_s, false}});
}

void LibraryRoutes::rate(const UserRecord &user, const httplib::Request &req, httplib::Response &res)
{
    const auto object = jsonObjectBody(req, res);
    if (!object)
        return;
    QList<ValidationIssue> issues;
    const auto trackId = requiredText(*object, u"track_id"_s, issues);
    const auto type = requiredText(*object, u"type"_s, issues);
    if (type && *type != "like"_L1 && *type != "dislike"_L1)
        issues.append({{u"body"_s, u"type"_s}, u"Допустимые значения: like, dislike"_s, u"literal_error"_s});
    if (!issues.isEmpty())
        return sendValidation(res, issues);
    const auto index = m_backend.catalogue.trackIndex(*trackId);
    if (!index)
        return sendDetail(res, 404, kTrackNotFound);
    QJsonObject answer {{u"track_id"_s, *trackId}};
    if (const auto rating = m_backend.accounts.toggleRating(user.id, *index, *type))
        answer.insert(u"type"_s, *rating);
    sendJson(res, 200, answer);
}

void LibraryRoutes::playlists(const UserRecord &user, httplib::Response &res)
{
    QJsonArray list;
    for (const PlaylistRecord &playlist : m_backend.accounts.playlists(user.id))
        list.append(recordjson::playlist(playlist));
    sendJson(res, 200, list);
}

void LibraryRoutes::createPlaylist(const UserRecord &user, const httplib::Request &req, httplib::Response &res)
{
    const auto object = jsonObjectBody(req, res);
    if (!object)
        return;
    QList<ValidationIssue> issues;
    const auto title = requiredText(*object, u"title"_s, issues);
    if (title && title->trimmed().isEmpty())
        issues.append({{u"body"_s, u"title"_s}, u"Название не может быть пустым"_s, u"string_too_short"_s});
    const QJsonValue isPublic = object->value(u"is_public"_s);
    if (!isPublic.isUndefined() && !isPublic.isNull() && !isPublic.isBool())
        issues.append({{u"body"_s, u"is_public"_s}, u"Ожидается логическое значение"_s, u"bool_type"_s});
    if (!issues.isEmpty())
        return sendValidation(res, issues);
    sendJson(res, 200, recordjson::playlist(m_backend.accounts.createPlaylist(user.id, *title, isPublic.toBool())));
}

void LibraryRoutes::playlist(const UserRecord &user, const QString &id, httplib::Response &res)
{
    const auto playlist = m_backend.accounts.playlist(user.id, id);
    if (!playlist)
        return sendDetail(res, 404, u"Плейлист не найден"_s);
    sendJson(res, 200, recordjson::playlistDetail(m_backend.catalogue, *playlist, m_backend.accounts.view(user.id)));
}

void LibraryRoutes::addToPlaylist(
    const UserRecord &user, const QString &id, const httplib::Request &req, httplib::Response &res)
{
    if (!m_backend.accounts.playlist(user.id, id))
        return sendDetail(res, 404, u"Плейлист не найден"_s);
    const auto index = bodyTrack(req, res);
    if (!index)
        return;
    const auto playlist = m_backend.accounts.addToPlaylist(user.id, id, *index);
    if (!playlist)
        return sendDetail(res, 404, u"Плейлист не найден"_s);
    sendJson(res, 200, recordjson::playlist(*playlist));
}

} // namespace devservice
