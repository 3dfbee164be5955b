#include "account/keychainhelper.h"

#include "platform/keychainsecretstore.h"

#include <QPointer>
#include <QStringDecoder>

#include <QCoro/QCoroSignal>

namespace nimbra {

// Holds the helper's turn for one call and hands it to the next call when
// the call ends, however it ends.
class KeychainHelper::Turn
{
public:
    explicit Turn(KeychainHelper *helper) : m_helper(helper) { }
    ~Turn()
    {
        if (m_helper) {
            ++m_helper->m_serving;
            emit m_helper->turnPassed();
        }
    }
    Turn(const Turn &) = delete;
    Turn &operator=(const Turn &) = delete;

private:
    QPointer<KeychainHelper> m_helper;
};

KeychainHelper::KeychainHelper(std::shared_ptr<SecretStore> store, QObject *parent)
    : QObject(parent), m_store(std::move(store))
{
}

std::shared_ptr<SecretStore> KeychainHelper::systemStore()
{
    return std::make_shared<KeychainSecretStore>(QString(service));
}

// Tickets are taken in call order, when the call is made, and served one at
// a time. False when the helper went away meanwhile.
QCoro::Task<bool> KeychainHelper::waitForTurn(quint64 ticket)
{
    QPointer<KeychainHelper> self(this);
    while (self && self->m_serving != ticket)
        co_await qCoro(self.data(), &KeychainHelper::turnPassed);
    co_return bool(self);
}

QCoro::Task<std::optional<QString>> KeychainHelper::loadToken()
{
    const std::shared_ptr<SecretStore> store = m_store;
    if (!co_await waitForTurn(m_nextTicket++))
        co_return std::nullopt;
    const Turn turn(this);

    QPointer<KeychainHelper> self(this);
    std::optional<QByteArray> bytes;
    try {
        bytes = co_await store->read(QString(account));
    } catch (const SecretStoreUnreadable &) {
        if (self)
            emit self->readFailed();
        co_return std::nullopt;
    }
    if (!bytes)
        co_return std::nullopt;
    // Kept byte for byte: a leading byte-order mark is part of the token.
    QStringDecoder decoder(
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(*bytes);
    if (decoder.hasError())
        co_return std::nullopt;
    co_return text;
}

QCoro::Task<std::optional<QUrl>> KeychainHelper::loadTokenOrigin()
{
    const std::shared_ptr<SecretStore> store = m_store;
    if (!co_await waitForTurn(m_nextTicket++))
        co_return std::nullopt;
    const Turn turn(this);

    const std::optional<QByteArray> bytes = co_await store->read(QString(originAccount));
    if (!bytes)
        co_return std::nullopt;
    const QUrl origin(QString::fromUtf8(*bytes), QUrl::StrictMode);
    if (!origin.isValid() || origin.host().isEmpty())
        co_return std::nullopt;
    co_return origin;
}

QCoro::Task<void> KeychainHelper::saveToken(QString token, QUrl origin)
{
    const std::shared_ptr<SecretStore> store = m_store;
    if (!co_await waitForTurn(m_nextTicket++))
        co_return;
    const Turn turn(this);

    // Cleared first, so that no earlier item of another form is left
    // beside the new one, nor the earlier token beside the new origin.
    co_await store->remove(QString(account));
    // Only scheme, host and port say whose the token is.
    const QString originText
        = origin.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
              .toString(QUrl::FullyEncoded);
    bool saved = co_await store->write(QString(originAccount), originText);
    if (saved)
        saved = co_await store->write(QString(account), token);
    if (!saved)
        emit saveFailed();
}

QCoro::Task<void> KeychainHelper::deleteToken()
{
    const std::shared_ptr<SecretStore> store = m_store;
    if (!co_await waitForTurn(m_nextTicket++))
        co_return;
    const Turn turn(this);
    co_await store->remove(QString(account));
    co_await store->remove(QString(originAccount));
}

QCoro::Task<void> KeychainHelper::settled()
{
    if (!co_await waitForTurn(m_nextTicket++))
        co_return;
    const Turn turn(this);
}

} // namespace nimbra
