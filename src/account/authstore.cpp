#include "account/authstore.h"

#include "account/accountvariants.h"
#include "account/keychainhelper.h"

#include "api/boundary.h"
#include "api/tokenrejections.h"

#include <QCoro/QCoroSignal>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The service refused the token itself; any other failure (no network, a
// fault of the service, an answer that does not decode) says nothing about
// the token.
bool isRejectedToken(const std::optional<ApiError> &error)
{
    if (!error)
        return false;
    if (error->kind() == ApiError::Kind::HttpStatus)
        return error->statusCode() == 401 || error->statusCode() == 403;
    // A token that cannot even be put into a request never will be.
    return error->kind() == ApiError::Kind::Unauthorized;
}

} // namespace

AuthStore::AuthStore(KeychainHelper *keychain, QObject *parent)
    : QObject(parent), m_keychain(keychain)
{
    // A token the service stops accepting mid-session (it restarted, the
    // token was revoked) ends the session as a refused one at start-up
    // does, with the service's word for why. Before the profile came, the
    // profile fetch itself decides.
    connect(TokenRejections::instance(), &TokenRejections::rejected, this,
        [this](const QString &token, const QString &message) {
            if (m_token != token || !m_user)
                return;
            signOut();
            setErrorMessage(message);
        });
    restoreToken();
}

AuthStore::~AuthStore() = default;

QCoro::Task<void> AuthStore::restoreToken()
{
    QPointer<AuthStore> self(this);
    const quint64 writesBefore = m_tokenWrites;
    std::optional<QString> saved;
    if (m_keychain)
        saved = co_await m_keychain->loadToken();
    if (!self)
        co_return;
    // A sign-in or sign-out while the keychain answered has the last word.
    if (saved && m_tokenWrites == writesBefore)
        setToken(std::move(saved));
    m_tokenLoaded = true;
    emit tokenLoadedChanged();
}

KeychainHelper *AuthStore::keychain() const
{
    return m_keychain;
}

QCoro::Task<void> AuthStore::waitUntilTokenLoaded()
{
    QPointer<AuthStore> self(this);
    while (self && !self->m_tokenLoaded)
        co_await qCoro(self.data(), &AuthStore::tokenLoadedChanged);
}

QVariantMap AuthStore::userMap() const
{
    return m_user ? toVariantMap(*m_user) : QVariantMap();
}

void AuthStore::setUser(UserOut user)
{
    setUserValue(std::move(user));
}

QString AuthStore::qrLink() const
{
    return m_qrToken ? qrLinkFor(*m_qrToken) : QString();
}

QString AuthStore::qrLinkFor(const QString &qrToken)
{
    // The token goes in exactly as the service gave it: the scanning
    // device reads it back the same way.
    return u"nimbras://qr?token="_s + qrToken;
}

void AuthStore::login(QString username, QString password)
{
    loginAsync(std::move(username), std::move(password));
}

void AuthStore::registerUser(QString username, QString email, QString password)
{
    registerAsync(std::move(username), std::move(email), std::move(password));
}

void AuthStore::refreshProfile(QString token)
{
    refreshProfileAsync(std::move(token));
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
    setErrorMessage(std::nullopt);

    QCoro::Task<TokenResponse> call = request();
    const Outcome<TokenResponse> response = co_await runAtBoundary(std::move(call));
    if (!self)
        co_return;
    if (!response) {
        setErrorMessage(response.errorText);
        setLoading(false);
        co_return;
    }

    const QString token = response.value->accessToken;
    adoptToken(token);
    co_await refreshProfileAsync(token);
    if (!self)
        co_return;
    setLoading(false);
}

QCoro::Task<void> AuthStore::refreshProfileAsync(QString token)
{
    QPointer<AuthStore> self(this);
    const NimbraApi api = m_api;
    QCoro::Task<UserOut> call = api.me(token);
    Outcome<UserOut> user = co_await runAtBoundary(std::move(call));
    // An answer for a token that is no longer the store's (a sign-out, or a
    // sign-in of someone else meanwhile) neither signs anybody out nor
    // replaces anybody.
    if (!self || self->m_token != token)
        co_return;

    if (user) {
        setUserValue(std::move(user.value));
        setToken(token);
        setGuestMode(false);
        setErrorMessage(std::nullopt);
    } else if (isRejectedToken(user.apiError)) {
        signOut();
    } else {
        // The saved token stays: a start without network, or while the
        // service has a fault, must not sign the listener out for good.
        setToken(std::nullopt);
        setErrorMessage(user.errorText);
    }
}

QCoro::Task<void> AuthStore::retrySavedTokenAsync(QString token)
{
    if (m_user || (m_token && *m_token != token))
        co_return;
    // A new attempt clears the message of the one before, as a sign-in does.
    setErrorMessage(std::nullopt);
    setToken(token);
    co_await refreshProfileAsync(std::move(token));
}

void AuthStore::setAsideSavedToken()
{
    if (m_user)
        return;
    setToken(std::nullopt);
    setErrorMessage(std::nullopt);
}

void AuthStore::continueAsGuest()
{
    setGuestMode(true);
    setErrorMessage(std::nullopt);
}

void AuthStore::signOut()
{
    setToken(std::nullopt);
    setUserValue(std::nullopt);
    setGuestMode(false);
    if (m_keychain)
        m_keychain->deleteToken();
}

void AuthStore::adoptToken(const QString &token)
{
    setToken(token);
    if (m_keychain)
        m_keychain->saveToken(token);
}

// QR sign-in ---------------------------------------------------------------

qint64 AuthStore::qrPollAttempts(qint64 lifetimeSeconds)
{
    // Integer division truncates toward zero, so a negative lifetime also
    // gets the floor of ten.
    return std::max<qint64>(lifetimeSeconds / 2, 10);
}

void AuthStore::startQrLogin()
{
    startQrLoginAsync();
}

QCoro::Task<void> AuthStore::startQrLoginAsync()
{
    QPointer<AuthStore> self(this);
    setQrError(std::nullopt);
    setQrToken(std::nullopt);
    setQrPolling(false);
    // Replaces the sign-in before it, whether it still waits for its token
    // or already polls.
    const CancelToken cancel = m_qrTask.renew();

    const NimbraApi api = m_api;
    QCoro::Task<QrInitResponse> call = api.qrInit(cancel);
    const Outcome<QrInitResponse> init = co_await runAtBoundary(std::move(call));
    if (!self || !self->m_qrTask.isCurrent(cancel))
        co_return;
    if (!init) {
        m_qrTask.finish(cancel);
        setQrError(init.errorText);
        co_return;
    }
    setQrToken(init.value->qrToken);
    setQrPolling(true);
    pollQr(init.value->qrToken, init.value->expiresInSeconds, cancel);
}

QCoro::Task<void> AuthStore::pollQr(QString qrToken, qint64 lifetimeSeconds, CancelToken cancel)
{
    QPointer<AuthStore> self(this);
    const NimbraApi api = m_api;
    Clock *const clock = m_clock;
    const qint64 attempts = qrPollAttempts(lifetimeSeconds);

    for (qint64 attempt = 0; attempt < attempts; ++attempt) {
        if (cancel.isCancelled())
            co_return;
        co_await clock->sleep(qrPollInterval, cancel);
        if (!self || !self->m_qrTask.isCurrent(cancel))
            co_return;

        // A failed request only uses up its attempt.
        QCoro::Task<QrStatusResponse> call = api.qrStatus(qrToken, cancel);
        const Outcome<QrStatusResponse> answer = co_await runAtBoundary(std::move(call));
        // A poll that was replaced or cancelled meanwhile writes nothing
        // into the state of the one after it.
        if (!self || !self->m_qrTask.isCurrent(cancel))
            co_return;
        if (!answer)
            continue;

        const QString status = answer.value->status.toLower();
        if (status == "confirmed"_L1) {
            self->m_qrTask.finish(cancel);
            // A confirmation without a token cannot sign in; waiting on
            // would only show the code until it expires.
            if (!answer.value->accessToken)
                self->endQr(u"Не удалось войти по QR-коду"_s);
            else
                co_await self->loginWithAccessToken(*answer.value->accessToken);
            co_return;
        }
        if (status == "expired"_L1) {
            self->m_qrTask.finish(cancel);
            self->endQr(u"QR-код истёк"_s);
            co_return;
        }
    }

    if (self && self->m_qrTask.isCurrent(cancel)) {
        self->m_qrTask.finish(cancel);
        self->endQr(u"QR-код истёк"_s);
    }
}

QCoro::Task<void> AuthStore::loginWithAccessToken(QString accessToken)
{
    adoptToken(accessToken);
    setQrToken(std::nullopt);
    setQrPolling(false);
    setQrError(std::nullopt);
    co_await refreshProfileAsync(accessToken);
}

void AuthStore::endQr(const QString &message)
{
    setQrPolling(false);
    setQrError(message);
    setQrToken(std::nullopt);
}

void AuthStore::cancelQrLogin()
{
    m_qrTask.cancel();
    setQrToken(std::nullopt);
    setQrPolling(false);
    setQrError(std::nullopt);
}

// Property writes ------------------------------------------------------------

void AuthStore::setToken(std::optional<QString> token)
{
    ++m_tokenWrites;
    if (m_token == token)
        return;
    m_token = std::move(token);
    emit tokenChanged();
    updateDerived();
}

void AuthStore::setUserValue(std::optional<UserOut> user)
{
    if (!user && !m_user)
        return;
    m_user = std::move(user);
    emit userChanged();
    updateDerived();
}

void AuthStore::setGuestMode(bool guest)
{
    if (m_guestMode == guest)
        return;
    m_guestMode = guest;
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

void AuthStore::setErrorMessage(std::optional<QString> message)
{
    if (m_errorMessage == message)
        return;
    m_errorMessage = std::move(message);
    emit errorMessageChanged();
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
