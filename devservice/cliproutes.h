#pragma once

#include "catalogue.h"
#include "mediacache.h"

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace devservice {

// The clips' media: "/media/clips/<id>.avi" (a video rendered on first use,
// served with byte ranges; 404 for the clip listed without a file) and the
// posters "/media/covers/<clip id>.png", which look like the video.
class ClipRoutes
{
public:
    explicit ClipRoutes(const Catalogue &catalogue);

    // False when the path is not one of these routes.
    bool handle(const httplib::Request &req, httplib::Response &res);

    static constexpr int kPosterSize = 512;

    // The text a clip's video and poster show: "Клип 3", "Баттл 12".
    static QString label(const ClipRecord &clip);

private:
    const Catalogue &m_catalogue;
    MediaCache m_videos;
    MediaCache m_posters;
};

} // namespace devservice
