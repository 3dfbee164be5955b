#include "authsession.h"

#include <QCoro/QCoroTask>

namespace nimbra::test {

AuthSession::AuthSession(std::optional<QByteArray> savedToken, bool held, std::optional<QByteArray> savedOrigin)
{
    if (savedToken)
        secrets->put(QString(KeychainHelper::account), *savedToken);
    if (savedOrigin)
        secrets->put(QString(KeychainHelper::originAccount), *savedOrigin);
    secrets->setHeld(held);
    keychain = std::make_unique<KeychainHelper>(secrets);
    auth = std::make_unique<AuthStore>(keychain.get(), session.get());
    if (!held)
        waitUntilLoaded();
}

std::optional<QByteArray> AuthSession::savedToken()
{
    QCoro::waitFor(keychain->settled());
    return secrets->value(QString(KeychainHelper::account));
}

void AuthSession::waitUntilLoaded()
{
    QCoro::waitFor(auth->waitUntilTokenLoaded());
}

QByteArray userJson(const QString &username)
{
    return R"({"id": "id-)" + username.toUtf8() + R"(", "username": ")" + username.toUtf8()
        + R"(", "role": "user", "created_at": "2026-01-02T03:04:05Z"})";
}

QByteArray tokenJson(const QByteArray &token)
{
    return R"({"access_token": ")" + token + R"(", "token_type": "bearer"})";
}

} // namespace nimbra::test
