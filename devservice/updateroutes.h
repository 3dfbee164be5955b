#pragma once

#include <QByteArray>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace devservice {

// How the update routes behave; set from the command line so that every
// state of the client's update check and download can be shown.
struct UpdateOptions
{
    // The manifest offers build 1000000 (newer than any real build) when
    // true, else build 0 (never newer).
    bool offerNewer = false;
    // The package goes without a Content-Length (chunked).
    bool noLength = false;
    // The package answers this status instead of 200 (404: missing).
    int packageStatus = 200;
    // The package announces its whole length but the connection closes
    // after half of it.
    bool cutShort = false;
    // The package is spread over this many seconds, so its progress can
    // be watched.
    int packageSeconds = 0;
};

// The update manifest of each system ("/updates/pc/linux/linux-update.json",
// "/updates/pc/mac/mac-update.json") and the package it names, served from
// this server's own address.
class UpdateRoutes
{
public:
    static constexpr qint64 packageSize = 2 * 1024 * 1024;
    static constexpr qint64 offeredBuild = 1000000;

    explicit UpdateRoutes(UpdateOptions options);

    // False when the path is not one of these routes.
    bool handle(const httplib::Request &req, httplib::Response &res);

    // The package's bytes: a fixed header line, then a fixed pattern.
    static QByteArray packageBytes();

private:
    void manifest(const httplib::Request &req, httplib::Response &res, bool mac);
    void package(httplib::Response &res);

    UpdateOptions m_options;
    QByteArray m_package;
};

} // namespace devservice
