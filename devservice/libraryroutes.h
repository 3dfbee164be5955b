#pragma once

#include "backend.h"

namespace devservice {

// The signed-in user's library under "/api/v1/": favourites, ratings and
// playlists. Every route needs a valid token.
class LibraryRoutes
{
public:
    explicit LibraryRoutes(Backend backend) : m_backend(backend) { }

    // False when the path is not one of these routes.
    bool handle(const httplib::Request &req, httplib::Response &res);

private:
    void favorites(const UserRecord &user, httplib::Response &res);
    void addFavorite(const UserRecord &user, const httplib::Request &req, httplib::Response &res);
    void removeFavorite(const UserRecord &user, const QString &trackId, httplib::Response &res);
    void rate(const UserRecord &user, const httplib::Request &req, httplib::Response &res);
    void playlists(const UserRecord &user, httplib::Response &res);
    void createPlaylist(const UserRecord &user, const httplib::Request &req, httplib::Response &res);
    void playlist(const UserRecord &user, const QString &id, httplib::Response &res);
    void addToPlaylist(const UserRecord &user, const QString &id, const httplib::Request &req, httplib::Response &res);
    // The catalogue index named by "track_id" of a body; answers 422 or 404
    // and gives nothing when there is none.
    std::optional<int> bodyTrack(const httplib::Request &req, httplib::Response &res);

    Backend m_backend;
};

} // namespace devservice
