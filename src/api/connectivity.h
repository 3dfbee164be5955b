#pragma once

#include "api/canceltoken.h"

#include <QObject>
#include <QUrl>

#include <QCoro/QCoroTask>

#include <chrono>

namespace nimbra {

// Whether the machine can reach the network, so that a request made while
// offline waits for a connection instead of failing at once. Main thread.
class Connectivity : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The system's view (QNetworkInformation). Without a backend that reports
    // reachability the network counts as present and requests go out at once.
    static Connectivity *system();

    // True while a request to url would find no network. Loopback hosts are
    // always reachable.
    virtual bool isOffline(const QUrl &url) const = 0;

    // Resumes when url is reachable (true), or false when limit passed or
    // cancel was cancelled first. Never blocks the thread.
    QCoro::Task<bool> waitUntilReachable(QUrl url, std::chrono::milliseconds limit, CancelToken cancel);

signals:
    void changed();
};

} // namespace nimbra
