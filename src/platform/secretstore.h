#pragma once

#include "api/error.h"

#include <QByteArray>
#include <QString>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

// The desktop's store of small secrets (the Secret Service on Linux), one
// secret per key under the owner's service name. Backends work
// asynchronously and may reorder overlapping calls, so callers that care
// about order must wait for each call before making the next. A write or
// removal says only whether it succeeded; a read that could not reach the
// store throws SecretStoreUnreadable. Main thread only.
class SecretStore
{
public:
    virtual ~SecretStore() = default;

    // The stored bytes as they are, not decoded, so that the caller can
    // refuse what another program may have put there; absent when there is
    // none. Throws SecretStoreUnreadable when the store did not answer (no
    // Secret Service, a keyring left locked, no answer in time).
    virtual QCoro::Task<std::optional<QByteArray>> read(QString key) = 0;
    // Stores text (as UTF-8, not re-encoded) in place of any earlier secret
    // of the key. False when the store refused it.
    virtual QCoro::Task<bool> write(QString key, QString secret) = 0;
    // Removes the key's secret; removing what is not there succeeds.
    virtual QCoro::Task<bool> remove(QString key) = 0;
};

class SecretStoreUnreadable : public Error
{
public:
    QString description() const override
    {
        return QStringLiteral("Не удалось прочитать сохранённый вход: служба хранения паролей не ответила");
    }
};

} // namespace nimbra
