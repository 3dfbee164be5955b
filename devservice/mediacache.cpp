#include "mediacache.h"

#include <QMutexLocker>

namespace devservice {

QByteArray MediaCache::get(const QString &key, const std::function<QByteArray()> &render)
{
    std::promise<QByteArray> promise;
    {
        QMutexLocker lock(&m_mutex);
        for (int i = 0; i < m_entries.size(); ++i) {
            if (m_entries.at(i).first == key) {
                m_entries.move(i, 0);
                return m_entries.first().second;
            }
        }
        if (const auto it = m_rendering.constFind(key); it != m_rendering.cend()) {
            const std::shared_future<QByteArray> pending = *it;
            lock.unlock();
            return pending.get();
        }
        m_rendering.insert(key, promise.get_future().share());
    }

    const QByteArray data = render();

    QMutexLocker lock(&m_mutex);
    m_entries.prepend({key, data});
    while (m_entries.size() > m_capacity)
        m_entries.removeLast();
    m_rendering.remove(key);
    promise.set_value(data);
    return data;
}

bool MediaCache::contains(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    for (const auto &entry : m_entries) {
        if (entry.first == key)
            return true;
    }
    return false;
}

} // namespace devservice
