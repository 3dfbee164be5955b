#pragma once

#include "platform/secretstore.h"

#include <QMap>
#include <QObject>
#include <QStringList>

namespace nimbra::test {

// A secret store in memory. It can hold every call until the test lets it
// finish, to show what callers do while the store is busy, and it can play
// a desktop without a Secret Service.
class MemorySecretStore final : public QObject, public SecretStore
{
    Q_OBJECT
public:
    QCoro::Task<std::optional<QByteArray>> read(QString key) override;
    QCoro::Task<bool> write(QString key, QString secret) override;
    QCoro::Task<bool> remove(QString key) override;

    // Puts raw bytes in place, as another program might have.
    void put(const QString &key, const QByteArray &bytes) { m_items.insert(key, bytes); }
    std::optional<QByteArray> value(const QString &key) const;
    int itemCount() const { return int(m_items.size()); }

    // Held: every call waits until release() lets it go, oldest first.
    void setHeld(bool held);
    void release(int calls = 1);
    int waitingCalls() const { return m_waiting; }
    // The most calls that were under way at the same time.
    int maxCallsAtOnce() const { return m_maxAtOnce; }

    // Unavailable: reads throw, writes and removals fail.
    void setAvailable(bool available) { m_available = available; }

    // "read <key>", "write <key> <secret>", "remove <key>" as each started.
    QStringList log() const { return m_log; }

signals:
    void released();

private:
    // Logs the call and waits while the store is held.
    QCoro::Task<void> begin(QString entry);

    QMap<QString, QByteArray> m_items;
    QStringList m_log;
    bool m_held = false;
    bool m_available = true;
    quint64 m_nextWaiting = 0;
    quint64 m_releasedUpTo = 0;
    int m_waiting = 0;
    int m_atOnce = 0;
    int m_maxAtOnce = 0;
};

} // namespace nimbra::test
