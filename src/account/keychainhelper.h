#pragma once

#include "platform/secretstore.h"

#include <QLatin1StringView>
#include <QObject>
#include <QString>
#include <QUrl>

#include <QCoro/QCoroTask>

#include <memory>
#include <optional>

namespace nimbra {

// The one saved item that keeps the bearer token across restarts: the
// account "access_token" under the service name of the application, the
// token's UTF-8 text as the secret, and nowhere else. A second item beside
// it, "access_token_origin", names the service that issued the token, which
// alone may receive it; an item of an earlier build has none.
//
// The secret store answers asynchronously, so calls are carried out strictly
// one after another in the order they were made: a delete asked for before
// a save can never remove the newer token. Failures are swallowed: a token
// that could not be saved is simply missing at the next start. Main thread.
class KeychainHelper : public QObject
{
    Q_OBJECT
public:
    // The application's reverse-domain identifier followed by ".auth".
    static constexpr QLatin1StringView service {"app.nimbra.Nimbra.auth"};
    static constexpr QLatin1StringView account {"access_token"};
    static constexpr QLatin1StringView originAccount {"access_token_origin"};

    explicit KeychainHelper(std::shared_ptr<SecretStore> store, QObject *parent = nullptr);

    // The desktop's Secret Service under `service`.
    static std::shared_ptr<SecretStore> systemStore();

    // The saved token, or absent when there is none, it cannot be read
    // (readFailed) or its bytes are not UTF-8. Empty text is a present token.
    QCoro::Task<std::optional<QString>> loadToken();
    // The service that issued the saved token; absent for a token saved
    // without one (by an earlier build) or none that reads as an address.
    QCoro::Task<std::optional<QUrl>> loadTokenOrigin();
    // Replaces whatever was saved; a failed save leaves no token at all.
    // The origin is written first: a token is never left beside the origin
    // of the one before.
    QCoro::Task<void> saveToken(QString token, QUrl origin);
    QCoro::Task<void> deleteToken();
    // Resumes once every call made before it has finished.
    QCoro::Task<void> settled();

signals:
    // The secret store refused a token (no Secret Service runs, or it is
    // locked): this sign-in will not outlive the process.
    void saveFailed();
    // The secret store did not answer a read: a saved sign-in may be there
    // but could not be used.
    void readFailed();
    // The call in progress has finished and the next may start.
    void turnPassed();

private:
    class Turn;
    QCoro::Task<bool> waitForTurn(quint64 ticket);

    std::shared_ptr<SecretStore> m_store;
    quint64 m_nextTicket = 0;
    quint64 m_serving = 0;
};

} // namespace nimbra
