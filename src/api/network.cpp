#include "api/network.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>

namespace nimbra {

QNetworkAccessManager *sharedNetworkAccessManager()
{
    static QNetworkAccessManager *manager = [] {
        auto *m = new QNetworkAccessManager(QCoreApplication::instance());
        m->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        // Media and API answers follow the protocol's own caching rules; we
        // keep no cache of our own.
        return m;
    }();
    return manager;
}

} // namespace nimbra
