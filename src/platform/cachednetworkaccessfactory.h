#pragma once

#include <QQmlNetworkAccessManagerFactory>
#include <QString>

#include <memory>

class QQmlEngine;

namespace nimbra {

// The network access of QML images (covers, avatars): one disk cache in the
// user's cache folder, bounded in size, shared by every access manager the
// engine makes (one per loader thread). Covers never change at one address:
// a cached one is served without asking again, and a refused one is not
// asked for again in this session.
class RefusedAddresses;

class CachedNetworkAccessFactory : public QQmlNetworkAccessManagerFactory
{
public:
    static constexpr qint64 defaultMaximumBytes = 200LL * 1024 * 1024;

    // An empty folder means the standard cache location's "images".
    explicit CachedNetworkAccessFactory(QString folder = {}, qint64 maximumBytes = defaultMaximumBytes);

    QNetworkAccessManager *create(QObject *parent) override;

    // Gives engine a factory of its own over the standard folder, deleted
    // after the engine (an engine does not own its factory).
    static void install(QQmlEngine &engine);

    QString folder() const { return m_folder; }

private:
    QString m_folder;
    qint64 m_maximumBytes;
    std::shared_ptr<RefusedAddresses> m_refused;
};

} // namespace nimbra
