#pragma once

#include "api/canceltoken.h"

#include <QByteArray>
#include <QMap>
#include <QPointer>
#include <QString>

#include <QCoro/QCoroTask>

#include <chrono>
#include <optional>

namespace nimbra {

class Connectivity;

// The one transport to the service: builds a request on the base address,
// sends it through the shared network access manager and turns every
// outcome but a 2xx status into an APIError. Holds no state of its own
// beyond its limits; copies behave alike. Main thread only.
class APIClient
{
public:
    struct Limits
    {
        // Longest silence while waiting for data.
        std::chrono::milliseconds idle = std::chrono::seconds(60);
        // Longest whole call, a wait for the network included.
        std::chrono::milliseconds transfer = std::chrono::seconds(600);
    };

    APIClient();
    // connectivity: null for the system's.
    explicit APIClient(Limits limits, Connectivity *connectivity = nullptr);

    // Sends one request and returns the body of a 2xx answer, which may be
    // empty. path is relative to the base address, without a leading "/",
    // with every argument segment already encoded. Throws APIError: invalidUrl
    // before anything is sent, network (Cancelled once cancel is cancelled),
    // or httpStatus with the server's message.
    QCoro::Task<QByteArray> request(QString path, QString method, QMap<QString, QString> query,
        std::optional<QByteArray> body, QString contentType, std::optional<QString> bearerToken,
        CancelToken cancel = {}) const;

private:
    Limits m_limits;
    QPointer<Connectivity> m_connectivity;
};

} // namespace nimbra
