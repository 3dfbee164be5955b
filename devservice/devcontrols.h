#pragma once

#include "accounts.h"
#include "faultlist.h"
#include "requestlog.h"

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace devservice {

// "/__dev/...": the controls tests use to look into and steer the service.
// The client never calls them, and they are neither logged nor faulted.
class DevControls
{
public:
    DevControls(Accounts &accounts, RequestLog &log, FaultList &faults)
        : m_accounts(accounts), m_log(log), m_faults(faults)
    {
    }

    void handle(const httplib::Request &req, httplib::Response &res);

private:
    void confirmQr(const httplib::Request &req, httplib::Response &res);

    Accounts &m_accounts;
    RequestLog &m_log;
    FaultList &m_faults;
};

} // namespace devservice
