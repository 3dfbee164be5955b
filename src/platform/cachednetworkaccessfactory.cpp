#include "platform/cachednetworkaccessfactory.h"
#include "platform/coveraccessmanager.h"

#include <QDir>
#include <QNetworkDiskCache>
#include <QQmlEngine>
#include <QStandardPaths>

namespace nimbra {

CachedNetworkAccessFactory::CachedNetworkAccessFactory(QString folder, qint64 maximumBytes)
    : m_folder(folder.isEmpty()
              ? QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath(QStringLiteral("images"))
              : std::move(folder))
    , m_maximumBytes(maximumBytes)
    , m_refused(std::make_shared<RefusedAddresses>())
{
}

// Called on the engine's loader threads; each manager lives on its own
// thread with its own cache object over the same folder, which
// QNetworkDiskCache tolerates (each entry is one file written whole).
QNetworkAccessManager *CachedNetworkAccessFactory::create(QObject *parent)
{
    auto *manager = new CoverAccessManager(m_refused, parent);
    auto *cache = new QNetworkDiskCache(manager);
    cache->setCacheDirectory(m_folder);
    cache->setMaximumCacheSize(m_maximumBytes);
    manager->setCache(cache);
    return manager;
}

void CachedNetworkAccessFactory::install(QQmlEngine &engine)
{
    auto *factory = new CachedNetworkAccessFactory;
    engine.setNetworkAccessManagerFactory(factory);
    QObject::connect(&engine, &QObject::destroyed, [factory] { delete factory; });
}

} // namespace nimbra
