#include "api/tokenrejections.h"

#include <QCoreApplication>

namespace nimbra {

TokenRejections *TokenRejections::instance()
{
    static TokenRejections *hub = [] {
        auto *created = new TokenRejections;
        created->setParent(QCoreApplication::instance());
        return created;
    }();
    return hub;
}

void TokenRejections::report(const QString &token, const QString &message)
{
    QMetaObject::invokeMethod(
        this, [this, token, message] { emit rejected(token, message); }, Qt::QueuedConnection);
}

} // namespace nimbra
