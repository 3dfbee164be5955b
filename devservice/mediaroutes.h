#pragma once

#include "catalogue.h"
#include "mediacache.h"

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace devservice {

// "/media/...": track audio, covers and avatars, rendered on first use and
// served with byte ranges.
class MediaRoutes
{
public:
    explicit MediaRoutes(const Catalogue &catalogue);

    // False when the path is not one of these routes.
    bool handle(const httplib::Request &req, httplib::Response &res);

    static constexpr int kCoverSize = 512;

private:
    const Catalogue &m_catalogue;
    MediaCache m_audio;
    MediaCache m_images;
};

// Answers with the bytes, or the one range of them that the "Range" header
// asks for (206, or 416 when it starts past the end). Several ranges or an
// unreadable header get the whole file, as HTTP allows.
void serveBytes(const httplib::Request &req, httplib::Response &res, const QByteArray &data, const char *contentType);

} // namespace devservice
