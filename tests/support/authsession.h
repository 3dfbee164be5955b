#pragma once

#include "memorysecretstore.h"

#include "account/authstore.h"
#include "account/keychainhelper.h"

#include <QByteArray>

#include <memory>
#include <optional>

namespace nimbra::test {

// A sign-in store over a keychain in memory, as the program starts: with
// or without a saved token.
struct AuthSession
{
    explicit AuthSession(std::optional<QByteArray> savedToken = std::nullopt, bool held = false);

    // The keychain's item once every call made so far has finished.
    std::optional<QByteArray> savedToken();
    void waitUntilLoaded();

    std::shared_ptr<MemorySecretStore> secrets = std::make_shared<MemorySecretStore>();
    std::unique_ptr<KeychainHelper> keychain;
    std::unique_ptr<AuthStore> auth;
};

// A profile as the service sends it.
QByteArray userJson(const QString &username);

} // namespace nimbra::test
