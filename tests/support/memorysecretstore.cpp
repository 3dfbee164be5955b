#include "memorysecretstore.h"

#include <QPointer>

#include <QCoro/QCoroSignal>

using namespace Qt::StringLiterals;

namespace nimbra::test {

QCoro::Task<void> MemorySecretStore::begin(QString entry)
{
    m_log.append(entry);
    m_maxAtOnce = std::max(m_maxAtOnce, ++m_atOnce);
    if (!m_held) {
        --m_atOnce;
        co_return;
    }
    const quint64 ticket = m_nextWaiting++;
    ++m_waiting;
    QPointer<MemorySecretStore> self(this);
    while (self && self->m_held && ticket >= self->m_releasedUpTo)
        co_await qCoro(self.data(), &MemorySecretStore::released);
    if (self) {
        --m_waiting;
        --m_atOnce;
    }
}

QCoro::Task<std::optional<QByteArray>> MemorySecretStore::read(QString key)
{
    co_await begin(u"read "_s + key);
    if (!m_available)
        throw SecretStoreUnreadable();
    co_return value(key);
}

QCoro::Task<bool> MemorySecretStore::write(QString key, QString secret)
{
    co_await begin(u"write "_s + key + u' ' + secret);
    if (m_available)
        m_items.insert(key, secret.toUtf8());
    co_return m_available;
}

QCoro::Task<bool> MemorySecretStore::remove(QString key)
{
    co_await begin(u"remove "_s + key);
    if (m_available)
        m_items.remove(key);
    co_return m_available;
}

std::optional<QByteArray> MemorySecretStore::value(const QString &key) const
{
    return m_items.contains(key) ? std::optional(m_items.value(key)) : std::nullopt;
}

void MemorySecretStore::setHeld(bool held)
{
    m_held = held;
    if (!held) {
        m_releasedUpTo = m_nextWaiting;
        emit released();
    }
}

void MemorySecretStore::release(int calls)
{
    m_releasedUpTo = std::min(m_releasedUpTo + quint64(calls), m_nextWaiting);
    emit released();
}

} // namespace nimbra::test
