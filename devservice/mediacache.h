#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

#include <functional>
#include <future>

namespace devservice {

// A small least-recently-used store of rendered files, so that the Range
// requests of one playback do not render the same file again and again.
// Two requests for a file that is being rendered wait for one rendering.
class MediaCache
{
public:
    explicit MediaCache(int capacity) : m_capacity(qMax(1, capacity)) { }

    QByteArray get(const QString &key, const std::function<QByteArray()> &render);

    bool contains(const QString &key) const;

private:
    mutable QMutex m_mutex;
    int m_capacity;
    QList<QPair<QString, QByteArray>> m_entries; // most recently used first
    QHash<QString, std::shared_future<QByteArray>> m_rendering;
};

} // namespace devservice
