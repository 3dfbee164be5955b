#pragma once

#include "accounts.h"
#include "catalogue.h"

#include <optional>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace devservice {

// What every group of routes works on: the read-only catalogue and the
// accounts, plus the token checks they share.
struct Backend
{
    const Catalogue &catalogue;
    Accounts &accounts;

    // The user of the bearer token; answers 401 and gives nothing when the
    // token is missing or unknown.
    std::optional<UserRecord> requireUser(const httplib::Request &req, httplib::Response &res) const;
    // The view of the token's user, or a guest's when there is no valid token:
    // endpoints that take a token optionally do not refuse a stale one.
    UserView optionalView(const httplib::Request &req) const;
};

} // namespace devservice
