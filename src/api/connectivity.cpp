#include "api/connectivity.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QNetworkInformation>
#include <QPointer>
#include <QTimer>

#include <QCoro/QCoroTimer>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

bool isLoopbackHost(const QString &host)
{
    if (host.compare("localhost"_L1, Qt::CaseInsensitive) == 0 || host.endsWith(".localhost"_L1, Qt::CaseInsensitive))
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

class SystemConnectivity final : public Connectivity
{
public:
    explicit SystemConnectivity(QObject *parent) : Connectivity(parent)
    {
        if (!QNetworkInformation::loadDefaultBackend())
            QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
        QNetworkInformation *info = QNetworkInformation::instance();
        if (info && info->supports(QNetworkInformation::Feature::Reachability)) {
            m_info = info;
            connect(info, &QNetworkInformation::reachabilityChanged, this, &Connectivity::changed);
        }
    }

    bool isOffline(const QUrl &url) const override
    {
        // The local service runs on loopback and is reachable with no network.
        if (!m_info || isLoopbackHost(url.host()))
            return false;
        // Unknown counts as reachable: only a backend that knows sends us waiting.
        return m_info->reachability() == QNetworkInformation::Reachability::Disconnected;
    }

private:
    QPointer<QNetworkInformation> m_info;
};

} // namespace

Connectivity *Connectivity::system()
{
    static Connectivity *instance = new SystemConnectivity(QCoreApplication::instance());
    return instance;
}

QCoro::Task<bool> Connectivity::waitUntilReachable(QUrl url, std::chrono::milliseconds limit, CancelToken cancel)
{
    if (!isOffline(url))
        co_return true;

    QPointer<Connectivity> self(this);
    const QDeadlineTimer deadline(limit);
    // One timer wakes the wait for all three reasons: a change of the
    // network, cancellation and the end of the limit.
    QTimer wake;
    wake.setSingleShot(true);
    connect(this, &Connectivity::changed, &wake, [&wake] { wake.start(0); });
    const CancelRegistration registration(cancel, [&wake] { wake.start(0); });

    while (true) {
        if (cancel.isCancelled())
            co_return false;
        if (!self || !self->isOffline(url))
            co_return true;
        if (deadline.hasExpired())
            co_return false;
        wake.start(std::chrono::milliseconds(deadline.remainingTime()));
        co_await wake;
    }
}

} // namespace nimbra
