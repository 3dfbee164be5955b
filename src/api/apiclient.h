#pragma once

#include "api/canceltoken.h"

#include <QByteArray>
#include <QMap>
#include <QPointer>
#include <QString>

#include <QCoro/QCoroTask>

#include <chrono>
#include <memory>
#include <optional>

namespace nimbra {

class ApiError;
class Connectivity;
class SharedAnswers;

// The one transport to the service: builds a request on the base address,
// sends it through the shared network access manager and turns every
// outcome but a 2xx status into an ApiError. Holds no state of its own
// beyond its limits; copies behave alike. Main thread only.
class ApiClient
{
public:
    struct Limits
    {
        // Longest silence while waiting for data.
        std::chrono::milliseconds idle = std::chrono::seconds(60);
        // Longest whole call, a wait for the network included.
        std::chrono::milliseconds transfer = std::chrono::seconds(600);
        // Largest answer body read; a larger one is an error. The largest
        // real answers, a catalogue page of 1000 tracks (under half a
        // megabyte) and every album at once (some 160 bytes an album), stay
        // well below it on a catalogue a hundred times today's. Audio and
        // the installer are files, read by a sink, and have no such limit.
        qint64 maxBody = 32 * 1024 * 1024;
    };

    ApiClient();
    // connectivity: null for the system's.
    explicit ApiClient(Limits limits, Connectivity *connectivity = nullptr);

    // Sends one request and returns the body of a 2xx answer, which may be
    // empty. path is relative to the base address, without a leading "/",
    // with every argument segment already encoded. Throws ApiError: invalidUrl
    // before anything is sent, network (Cancelled once cancel is cancelled),
    // or httpStatus with the server's message.
    QCoro::Task<QByteArray> request(QString path, QString method, QMap<QString, QString> query,
        std::optional<QByteArray> body, QString contentType, std::optional<QString> bearerToken,
        CancelToken cancel = {}) const;

    // A copy whose reads (GET) of one address with one token are asked once
    // among every copy that shares answers: the others wait for that answer.
    ApiClient sharingAnswers(std::shared_ptr<SharedAnswers> answers) const;

private:
    Limits m_limits;
    QPointer<Connectivity> m_connectivity;
    std::shared_ptr<SharedAnswers> m_sharedAnswers;
};

} // namespace nimbra
