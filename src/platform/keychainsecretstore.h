#pragma once

#include "platform/secretstore.h"

namespace nimbra {

// Secrets kept by QtKeychain in the desktop's Secret Service (through
// libsecret). Never falls back to a plain-text file: without a Secret
// Service every call fails and reads come back absent.
class KeychainSecretStore final : public SecretStore
{
public:
    explicit KeychainSecretStore(QString service);

    QCoro::Task<std::optional<QByteArray>> read(QString key) override;
    QCoro::Task<bool> write(QString key, QString secret) override;
    QCoro::Task<bool> remove(QString key) override;

private:
    QString m_service;
};

} // namespace nimbra
