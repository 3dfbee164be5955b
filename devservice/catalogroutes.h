#pragma once

#include "backend.h"

namespace devservice {

// The catalogue under "/api/v1/": track pages, single tracks, search,
// albums, clips, battles and the featured artist names.
class CatalogRoutes
{
public:
    explicit CatalogRoutes(Backend backend) : m_backend(backend) { }

    // False when the path is not one of these routes.
    bool handle(const httplib::Request &req, httplib::Response &res);

private:
    void trackPage(const httplib::Request &req, httplib::Response &res);
    void track(const httplib::Request &req, httplib::Response &res, const QString &id);
    void search(const httplib::Request &req, httplib::Response &res);
    void albums(httplib::Response &res);
    void albumTracks(const httplib::Request &req, httplib::Response &res, const QString &id);
    void clipPage(const httplib::Request &req, httplib::Response &res, const std::optional<QString> &kind);

    Backend m_backend;
};

} // namespace devservice
