#include "api/tokenorigins.h"

#include "api/apiconfig.h"

#include <QHash>
#include <QMutex>

namespace nimbra {

namespace {

struct Bindings
{
    QMutex mutex;
    // Never shrinks: a token let go at a sign-out may still sit in a request
    // on its way, and must keep its origin. A process holds a handful.
    QHash<QString, QUrl> origins;
};

Bindings &bindings()
{
    static Bindings shared;
    return shared;
}

} // namespace

void TokenOrigins::bind(const QString &token, const QUrl &origin)
{
    Bindings &all = bindings();
    const QMutexLocker lock(&all.mutex);
    all.origins.insert(token, origin);
}

QUrl TokenOrigins::originOf(const std::optional<QString> &token)
{
    Bindings &all = bindings();
    if (token) {
        const QMutexLocker lock(&all.mutex);
        const auto found = all.origins.constFind(*token);
        if (found != all.origins.cend())
            return *found;
    }
    return ApiConfig::baseUrl();
}

} // namespace nimbra
