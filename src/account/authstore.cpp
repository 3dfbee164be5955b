#include "account/authstore.h"

#include "account/keychainhelper.h"

#include "api/apiconfig.h"
#include "api/boundary.h"
#include "api/session.h"
#include "api/tokenorigins.h"
#include "api/tokenrejections.h"
#include "api/transfer.h"

#include <QCoro/QCoroSignal>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The service refused the token it was sent; any other failure (no
// network, a fault of the service, an answer that does not decode, a
// refusal from another origin a redirect led to, which never got the token)
// says nothing about the token.
bool isRejectedToken(const std::optional<ApiError> &error)
{
    if (!error)
        return false;
    if (error->kind() == ApiError::Kind::HttpStatus)
        return (error->statusCode() == 401 || error->statusCode() == 403) && error->tokenWasSent();
    // A token that cannot even be put into a request never will be.
    return error->kind() == ApiError::Kind::Unauthorized;
}

} // namespace

AuthStore::AuthStore(KeychainHelper *keychain, Session *session, QObject *parent)
    : QObject(parent), m_keychain(keychain), m_session(session)
{
    Q_ASSERT(session);
    // A token the service stops accepting mid-session (it restarted, the
    // token was revoked) ends the session as a refused one at start-up
    // does, with the service's word for why. Before the profile came, the
    // profile fetch itself decides.
    connect(TokenRejections::instance(), &TokenRejections::rejected, this,
        [this](const QString &token, const QString &message) {
            if (this->token() != token || !m_user)
                return;
            signOut();
            setError(message);
        });
    restoreToken();
}

AuthStore::~AuthStore() = default;

QCoro::Task<void> AuthStore::restoreToken()
{
    QPointer<AuthStore> self(this);
    const quint64 writesBefore = m_tokenWrites;
    std::optional<QString> saved;
    std::optional<QUrl> origin;
    if (m_keychain) {
        saved = co_await m_keychain->loadToken();
        if (saved && self && m_keychain)
            origin = co_await m_keychain->loadTokenOrigin();
    }
    if (!self)
        co_return;
    // A sign-in or sign-out while the keychain answered has the last word.
    if (saved && m_tokenWrites == writesBefore) {
        // Earlier builds saved the token alone, while the address in the
        // settings was the one that issued it (they wrote the command
        // line's address there too, and a new one ended the session).
        const QUrl issuer = origin.value_or(ApiConfig::storedBaseUrl());
        // Another service's token (this run was given another address) is
        // neither sent nor forgotten: the listener signs in for this run,
        // and the next start with the token's own address finds it again.
        if (sameOrigin(issuer, ApiConfig::baseUrl())) {
            TokenOrigins::bind(*saved, issuer);
            setToken(std::move(saved));
        } else {
            m_savedElsewhere = SavedToken {*saved, issuer};
        }
    }
    m_tokenLoaded = true;
    emit tokenLoadedChanged();
}

KeychainHelper *AuthStore::keychain() const
{
    return m_keychain;
}

const std::optional<QString> &AuthStore::token() const
{
    return m_session->token();
}

QCoro::Task<void> AuthStore::waitUntilTokenLoaded()
{
    QPointer<AuthStore> self(this);
    while (self && !self->m_tokenLoaded)
        co_await qCoro(self.data(), &AuthStore::tokenLoadedChanged);
}

void AuthStore::setUser(UserOut user)
{
    setUserValue(std::move(user));
}

void AuthStore::login(QString username, QString password)
{
    loginAsync(std::move(username), std::move(password));
}

void AuthStore::registerUser(QString username, QString email, QString password)
{
    registerAsync(std::move(username), std::move(email), std::move(password));
}

QCoro::Task<void> AuthStore::loginAsync(QString username, QString password)
{
    const NimbraApi api = m_api;
    // The request is a named local, not a temporary inside the co_await:
    // g++ 12 destroys such a temporary twice, and with it the captured
    // texts (a reference count too low, so memory freed under the caller).
    const std::function<QCoro::Task<TokenResponse>()> request = [=] { return api.login(username, password); };
    co_await authenticate(request);
}

QCoro::Task<void> AuthStore::registerAsync(QString username, QString email, QString password)
{
    const NimbraApi api = m_api;
    const std::function<QCoro::Task<TokenResponse>()> request
        = [=] { return api.registerUser(username, email, password); };
    co_await authenticate(request);
}

QCoro::Task<void> AuthStore::authenticate(std::function<QCoro::Task<TokenResponse>()> request)
{
    QPointer<AuthStore> self(this);
    setLoading(true);
    setError(std::nullopt);

    // The token comes from the service asked, even should the address
    // change before it answers.
    const QUrl origin = ApiConfig::baseUrl();
    QCoro::Task<TokenResponse> call = request();
    const Outcome<TokenResponse> response = co_await runAtBoundary(std::move(call));
    if (!self)
        co_return;
    if (!response) {
        setError(response.errorText);
        setLoading(false);
        co_return;
    }

    const QString token = response.value->accessToken;
    adoptToken(token, origin);
    co_await refreshProfileAsync(token);
    if (!self)
        co_return;
    setLoading(false);
}

QCoro::Task<void> AuthStore::refreshProfileAsync(QString token, CancelToken cancel)
{
    QPointer<AuthStore> self(this);
    const NimbraApi api = m_api;
    QCoro::Task<UserOut> call = api.me(token, cancel);
    Outcome<UserOut> user = co_await runAtBoundary(std::move(call));
    // An answer for a token that is no longer the store's (a sign-out, or a
    // sign-in of someone else meanwhile) neither signs anybody out nor
    // replaces anybody.
    if (!self || cancel.isCancelled() || self->token() != token)
        co_return;

    if (user) {
        setUserValue(std::move(user.value));
        setToken(token);
        setGuestMode(false);
        setError(std::nullopt);
    } else if (isRejectedToken(user.apiError)) {
        signOut();
    } else {
        // The saved token stays: a start without network, or while the
        // service has a fault, must not sign the listener out for good.
        setToken(std::nullopt);
        setError(user.errorText);
    }
}

QCoro::Task<void> AuthStore::retrySavedTokenAsync(QString token, CancelToken cancel)
{
    if (m_user || (this->token() && *this->token() != token))
        co_return;
    // A new attempt clears the message of the one before, as a sign-in does.
    setError(std::nullopt);
    setToken(token);
    co_await refreshProfileAsync(std::move(token), std::move(cancel));
}

void AuthStore::setAsideSavedToken()
{
    if (m_user)
        return;
    setToken(std::nullopt);
    setError(std::nullopt);
}

void AuthStore::continueAsGuest()
{
    setGuestMode(true);
    setError(std::nullopt);
}

void AuthStore::signOut()
{
    setToken(std::nullopt);
    setUserValue(std::nullopt);
    setGuestMode(false);
    if (m_keychain && !m_savedElsewhere)
        m_keychain->deleteToken();
}

void AuthStore::moveToService(const QUrl &address)
{
    // The listener chose another service for good: a sign-in saved for a
    // service before goes too, even one this run did not use, unless it is
    // the chosen service's own.
    const std::optional<SavedToken> saved = std::exchange(m_savedElsewhere, std::nullopt);
    if (!saved || !sameOrigin(saved->origin, address)) {
        signOut();
        return;
    }
    // A guest visit stays on screen until the profile answers, as a start
    // with a saved token shows no sign-in form meanwhile.
    setUserValue(std::nullopt);
    setError(std::nullopt);
    TokenOrigins::bind(saved->token, saved->origin);
    setToken(saved->token);
    refreshProfileAsync(saved->token);
}

void AuthStore::adoptToken(const QString &token, const QUrl &origin)
{
    TokenOrigins::bind(token, origin);
    m_savedElsewhere.reset();
    setToken(token);
    if (m_keychain)
        m_keychain->saveToken(token, origin);
}

// Property writes ------------------------------------------------------------

void AuthStore::setToken(std::optional<QString> token)
{
    ++m_tokenWrites;
    if (this->token() == token)
        return;
    m_session->setToken(std::move(token));
    updateDerived();
}

void AuthStore::setUserValue(std::optional<UserOut> user)
{
    if (!user && !m_user)
        return;
    m_user = std::move(user);
    m_session->setHasUser(m_user.has_value());
    emit userChanged();
    updateDerived();
}

void AuthStore::setGuestMode(bool guest)
{
    if (m_guestMode == guest)
        return;
    m_guestMode = guest;
    m_session->setGuest(guest);
    emit isGuestModeChanged();
    updateDerived();
}

void AuthStore::setLoading(bool loading)
{
    if (m_loading == loading)
        return;
    m_loading = loading;
    emit isLoadingChanged();
}

void AuthStore::setError(std::optional<QString> message)
{
    if (m_error == message)
        return;
    m_error = std::move(message);
    emit errorTextChanged();
}

void AuthStore::setQrToken(std::optional<QString> qrToken)
{
    if (m_qrToken == qrToken)
        return;
    m_qrToken = std::move(qrToken);
    emit qrTokenChanged();
}

void AuthStore::setQrPolling(bool polling)
{
    if (m_qrPolling == polling)
        return;
    m_qrPolling = polling;
    emit isQrPollingChanged();
}

void AuthStore::setQrError(std::optional<QString> message)
{
    if (m_qrError == message)
        return;
    m_qrError = std::move(message);
    emit qrErrorChanged();
}

void AuthStore::updateDerived()
{
    const bool signedIn = isSignedIn();
    const bool canUse = canUseApp();
    if (m_signedIn != signedIn) {
        m_signedIn = signedIn;
        emit isSignedInChanged();
    }
    if (m_canUseApp != canUse) {
        m_canUseApp = canUse;
        emit canUseAppChanged();
    }
}

} // namespace nimbra
