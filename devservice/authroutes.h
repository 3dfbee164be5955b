#pragma once

#include "backend.h"

namespace devservice {

// "/api/v1/auth/...": sign-in, registration, profile and QR sign-in.
class AuthRoutes
{
public:
    explicit AuthRoutes(Backend backend) : m_backend(backend) { }

    // False when the path is not one of these routes.
    bool handle(const httplib::Request &req, httplib::Response &res);

private:
    void login(const httplib::Request &req, httplib::Response &res);
    void registerUser(const httplib::Request &req, httplib::Response &res);
    void me(const httplib::Request &req, httplib::Response &res);
    void patchProfile(const httplib::Request &req, httplib::Response &res);
    void qrInit(httplib::Response &res);
    void qrStatus(const QString &qrToken, httplib::Response &res);

    Backend m_backend;
};

} // namespace devservice
