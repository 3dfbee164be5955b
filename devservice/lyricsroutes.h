#pragma once

#include "catalogue.h"

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace devservice {

// A stand-in for the public lyrics service at the root of the same server:
// "/api/get" and "/api/search", answering its camel-case records. It knows
// the catalogue tracks whose lyrics source is one of the Service* kinds.
class LyricsRoutes
{
public:
    explicit LyricsRoutes(const Catalogue &catalogue) : m_catalogue(catalogue) { }

    // False when the path is not one of these routes.
    bool handle(const httplib::Request &req, httplib::Response &res);

private:
    void get(const httplib::Request &req, httplib::Response &res);
    void search(const httplib::Request &req, httplib::Response &res);
    bool known(int index) const;

    const Catalogue &m_catalogue;
};

} // namespace devservice
