#pragma once

#include "authroutes.h"
#include "catalogroutes.h"
#include "cliproutes.h"
#include "devcontrols.h"
#include "faultlist.h"
#include "libraryroutes.h"
#include "lyricsroutes.h"
#include "mediaroutes.h"
#include "requestlog.h"
#include "updateroutes.h"

#include <memory>

namespace httplib {
class Server;
}

namespace devservice {

// The HTTP side: one handler for every path that logs the request, applies
// an injected fault, and hands it to the first group of routes that knows it.
class DevServer
{
public:
    DevServer(const Catalogue &catalogue, Accounts &accounts, UpdateOptions update = {});
    ~DevServer();

    // Binds 127.0.0.1 to the port (0: any free one); gives the port or -1.
    int bind(int port);
    // Serves until stop(); false when serving could not start.
    bool listen();
    void stop();

private:
    void dispatch(const httplib::Request &req, httplib::Response &res);
    // Holds or delays the answer as the fault says; true when the fault
    // produced the whole answer.
    bool applyFault(const Fault &fault, httplib::Response &res);

    std::unique_ptr<httplib::Server> m_http;
    RequestLog m_log;
    FaultList m_faults;
    AuthRoutes m_auth;
    CatalogRoutes m_catalog;
    LibraryRoutes m_library;
    LyricsRoutes m_lyrics;
    ClipRoutes m_clips;
    MediaRoutes m_media;
    UpdateRoutes m_update;
    DevControls m_dev;
};

} // namespace devservice
