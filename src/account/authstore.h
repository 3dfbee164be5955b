#pragma once

#include "api/accountrecords.h"
#include "api/canceltoken.h"
#include "api/clock.h"
#include "api/nimbraapi.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <QCoro/QCoroTask>

#include <chrono>
#include <functional>
#include <optional>

namespace nimbra {

class KeychainHelper;
class Session;

// Who is using the client: the signed-in user's profile, or the choice to go
// on as a guest; and the state of a sign-in by QR code. The bearer token
// itself is the session's, which the store writes and every screen reads for
// its requests. The token is saved in the keychain item, with the service
// that issued it, whenever the service issues one, and the item is deleted
// when the listener signs out of it or the service rejects it. A saved token
// of another service than the address in force (a run with another address)
// is left as it is, unsent, and the sign-in screen shows for this run, until
// its own service's address is saved in the settings: then it signs in. A 401
// to any request sent with the token, whenever it comes, signs out with the
// service's message.
//
// At construction the saved token is loaded; `tokenLoaded` turns true once
// that has finished, and the root view decides what to show only then.
// Texts that may be absent are empty in QML and std::nullopt in C++.
// Main thread only.
class AuthStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool tokenLoaded READ isTokenLoaded NOTIFY tokenLoadedChanged)
    Q_PROPERTY(bool isGuestMode READ isGuestMode NOTIFY isGuestModeChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(bool canUseApp READ canUseApp NOTIFY canUseAppChanged)
    Q_PROPERTY(bool isSignedIn READ isSignedIn NOTIFY isSignedInChanged)
    Q_PROPERTY(bool hasQrToken READ hasQrToken NOTIFY qrTokenChanged)
    Q_PROPERTY(QString qrLink READ qrLink NOTIFY qrTokenChanged)
    Q_PROPERTY(bool isQrPolling READ isQrPolling NOTIFY isQrPollingChanged)
    Q_PROPERTY(QString qrError READ qrErrorText NOTIFY qrErrorChanged)

public:
    static constexpr std::chrono::milliseconds qrPollInterval {2000};

    // keychain: where the token is kept; it must outlive the store's calls.
    // session: where the token is held while in use; it must outlive the store.
    AuthStore(KeychainHelper *keychain, Session *session, QObject *parent = nullptr);
    ~AuthStore() override;

    KeychainHelper *keychain() const;
    Session *session() const { return m_session; }
    const std::optional<UserOut> &user() const { return m_user; }
    // The profile screen puts the record that a profile change returned.
    void setUser(UserOut user);

    // The session holds a token (a profile may still be on its way).
    bool hasToken() const { return token().has_value(); }
    bool isTokenLoaded() const { return m_tokenLoaded; }
    bool isGuestMode() const { return m_guestMode; }
    bool isLoading() const { return m_loading; }
    const std::optional<QString> &error() const { return m_error; }
    QString errorText() const { return m_error.value_or(QString()); }
    // A token with a profile, or guest mode.
    bool canUseApp() const { return isSignedIn() || m_guestMode; }
    // A token with a profile: an account is in use.
    bool isSignedIn() const { return token() && m_user; }

    const std::optional<QString> &qrToken() const { return m_qrToken; }
    bool hasQrToken() const { return m_qrToken.has_value(); }
    // The link the QR image carries; empty while there is no QR token.
    QString qrLink() const;
    static QString qrLinkFor(const QString &qrToken);
    bool isQrPolling() const { return m_qrPolling; }
    const std::optional<QString> &qrError() const { return m_qrError; }
    QString qrErrorText() const { return m_qrError.value_or(QString()); }
    // True while a QR token is being asked for or its status polled.
    bool isQrTaskRunning() const { return m_qrTask.isRunning(); }

    // How many status requests a QR token of this lifetime (seconds) gets.
    static qint64 qrPollAttempts(qint64 lifetimeSeconds);
    // What the pause between QR status requests sleeps on (null: the real
    // clock); it must outlive the store's polls. Tests shorten it.
    void setClock(Clock *clock) { m_clock = clock ? clock : Clock::system(); }

    Q_INVOKABLE void login(QString username, QString password);
    // "register" is a C++ keyword.
    Q_INVOKABLE void registerUser(QString username, QString email, QString password);
    Q_INVOKABLE void continueAsGuest();
    // Ends the account or guest visit in use, and deletes the keychain
    // item, except one of another service that this run left alone: a
    // guest's way back to the sign-in screen is no sign-out of that service.
    Q_INVOKABLE void signOut();
    // The address moved to another service for good. When that service
    // issued the saved token left unsent at start, the session goes on
    // signed in with it there. Otherwise the session ends as at a sign-out,
    // and the saved token goes, whoever's it is.
    void moveToService(const QUrl &address);
    Q_INVOKABLE void startQrLogin();
    Q_INVOKABLE void cancelQrLogin();

    // The same operations for C++ callers that wait for the outcome.
    QCoro::Task<void> loginAsync(QString username, QString password);
    QCoro::Task<void> registerAsync(QString username, QString email, QString password);
    // A cancel aborts the request, and its outcome is not written.
    QCoro::Task<void> refreshProfileAsync(QString token, CancelToken cancel = {});
    // Tries a saved token again that an outage made the store let go: the
    // store holds it while its profile is fetched, as at start-up. Nothing
    // happens once someone else has signed in meanwhile.
    QCoro::Task<void> retrySavedTokenAsync(QString token, CancelToken cancel = {});
    // Lets go of a saved token whose profile has not come (the listener
    // chose another account): a late answer for it is then dropped. The
    // keychain item stays for the next start, as does one of another service.
    void setAsideSavedToken();
    // Returns once the QR token is shown (or failed); polling goes on.
    QCoro::Task<void> startQrLoginAsync();
    // Resumes once the saved token has been loaded.
    QCoro::Task<void> waitUntilTokenLoaded();

signals:
    void userChanged();
    void tokenLoadedChanged();
    void isGuestModeChanged();
    void isLoadingChanged();
    void errorTextChanged();
    void canUseAppChanged();
    void isSignedInChanged();
    void qrTokenChanged();
    void isQrPollingChanged();
    void qrErrorChanged();

private:
    const std::optional<QString> &token() const;
    QCoro::Task<void> restoreToken();
    QCoro::Task<void> authenticate(std::function<QCoro::Task<TokenResponse>()> request);
    // origin: the service the QR token was asked of, which issues the access token.
    QCoro::Task<void> pollQr(QString qrToken, qint64 lifetimeSeconds, QUrl origin, CancelToken cancel);
    QCoro::Task<void> loginWithAccessToken(QString accessToken, QUrl origin);
    // Takes a token the service at origin issued and saves it.
    void adoptToken(const QString &token, const QUrl &origin);
    void endQr(const QString &message);

    void setToken(std::optional<QString> token);
    void setUserValue(std::optional<UserOut> user);
    void setGuestMode(bool guest);
    void setLoading(bool loading);
    void setError(std::optional<QString> message);
    void setQrToken(std::optional<QString> qrToken);
    void setQrPolling(bool polling);
    void setQrError(std::optional<QString> message);
    void updateDerived();

    QPointer<KeychainHelper> m_keychain;
    Session *const m_session;
    NimbraApi m_api;
    Clock *m_clock = Clock::system();

    std::optional<UserOut> m_user;
    // Counts every write of the token, so that a saved token that arrives
    // after a sign-in or sign-out is not put over it.
    quint64 m_tokenWrites = 0;
    // The keychain's token of another service, left unsent at start, and
    // the service that issued it.
    struct SavedToken
    {
        QString token;
        QUrl origin;
    };
    std::optional<SavedToken> m_savedElsewhere;
    bool m_tokenLoaded = false;
    bool m_guestMode = false;
    bool m_loading = false;
    std::optional<QString> m_error;
    bool m_canUseApp = false;
    bool m_signedIn = false;

    std::optional<QString> m_qrToken;
    bool m_qrPolling = false;
    std::optional<QString> m_qrError;
    // One QR sign-in at a time: its token request and then its poll.
    TaskSlot m_qrTask;
};

} // namespace nimbra
