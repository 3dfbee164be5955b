#pragma once

#include "memorysecretstore.h"

#include "account/authstore.h"
#include "account/keychainhelper.h"
#include "api/session.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace nimbra::test {

// The service's sign-in paths, for a fake's routes.
inline const QString kLoginPath = QStringLiteral("/api/v1/auth/login");
inline const QString kRegisterPath = QStringLiteral("/api/v1/auth/register");
inline const QString kMePath = QStringLiteral("/api/v1/auth/me");
inline const QString kProfilePath = QStringLiteral("/api/v1/auth/profile");
inline const QString kQrInitPath = QStringLiteral("/api/v1/auth/qr/init");

// A sign-in store over a keychain in memory, as the program starts: with
// or without a saved token, and the origin saved with it (none: as an
// earlier build saved it).
struct AuthSession
{
    explicit AuthSession(std::optional<QByteArray> savedToken = std::nullopt, bool held = false,
        std::optional<QByteArray> savedOrigin = std::nullopt);

    // The keychain's item once every call made so far has finished.
    std::optional<QByteArray> savedToken();
    void waitUntilLoaded();

    std::shared_ptr<MemorySecretStore> secrets = std::make_shared<MemorySecretStore>();
    std::unique_ptr<KeychainHelper> keychain;
    // Holds the token the store writes.
    std::unique_ptr<Session> session = std::make_unique<Session>();
    std::unique_ptr<AuthStore> auth;
};

// A profile as the service sends it.
QByteArray userJson(const QString &username);
// The answer to a sign-in that issued this token.
QByteArray tokenJson(const QByteArray &token);

} // namespace nimbra::test
