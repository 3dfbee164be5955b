#include "api/runsettings.h"

#include <QHash>
#include <QMutex>
#include <QSettings>

namespace nimbra {

namespace {

struct Values
{
    QMutex mutex;
    QHash<QString, QString> byKey;
};

Values &values()
{
    static Values shared;
    return shared;
}

} // namespace

void RunSettings::set(const char *key, const QString &value)
{
    Values &all = values();
    const QMutexLocker lock(&all.mutex);
    all.byKey.insert(QString::fromLatin1(key), value);
}

void RunSettings::clear(const char *key)
{
    Values &all = values();
    const QMutexLocker lock(&all.mutex);
    all.byKey.remove(QString::fromLatin1(key));
}

bool RunSettings::has(const char *key)
{
    Values &all = values();
    const QMutexLocker lock(&all.mutex);
    return all.byKey.contains(QString::fromLatin1(key));
}

QVariant RunSettings::value(const char *key)
{
    {
        Values &all = values();
        const QMutexLocker lock(&all.mutex);
        const auto found = all.byKey.constFind(QString::fromLatin1(key));
        if (found != all.byKey.cend())
            return *found;
    }
    return QSettings().value(QLatin1StringView(key));
}

} // namespace nimbra
